// Line splitting over block sources.
#include "points/line_reader.hpp"

#include "points/text_fields.hpp"

#include <cassert>
#include <cstring>
#include <string>
#include <utility>

namespace dispersao {

namespace {

// Room before the fresh text for the unread tail of the previous block.
constexpr std::size_t kTailRoom = LineReader::kMaxLine + 1;

}  // namespace

LineReader::LineReader(ByteSource source, std::size_t block_size)
    // Each refill fills its block however little one read of a pipe hands out: fewer refills,
    // each of which moves the tail and searches it again.
    : BlockBuffer(std::move(source), kTailRoom, block_size, true) {
    assert(block_size > 0);
}

bool LineReader::next(std::string_view& line) {
    assert(!too_long_);
    for (;;) {
        const auto available = static_cast<std::size_t>(end_ - pos_);
        const void* found = std::memchr(pos_, '\n', available);
        // A line is handed out once its end is buffered, or once it is known to be too long,
        // so the verdict never depends on where the blocks break.
        if (found != nullptr || available > kMaxLine || (source_ended_ && available > 0)) {
            const char* stop = found != nullptr ? static_cast<const char*>(found) : end_;
            auto length = static_cast<std::size_t>(stop - pos_);
            if (length > kMaxLine) {
                too_long_ = true;
                length = kMaxLine;
            }
            line = std::string_view(pos_, length);
            if (!too_long_ && length > 0 && line.back() == '\r') {
                line.remove_suffix(1);
            }
            pos_ = found != nullptr ? stop + 1 : stop;
            ++line_number_;
            return true;
        }
        if (!refill() && pos_ == end_) {
            return false;
        }
    }
}

std::string LineReader::overlong_line(std::string_view start) {
    return quoted(start) + " inicia uma linha longa demais (mais de " + std::to_string(kMaxLine) +
           " bytes)";
}

}  // namespace dispersao
