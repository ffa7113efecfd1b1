// Line splitting over block sources.
#include "points/line_reader.hpp"

#include <cassert>
#include <cstring>

namespace dispersao {

namespace {

// Room before the fresh text for the unread tail of the previous block.
constexpr std::size_t kTailRoom = LineReader::kMaxLine + 1;

}  // namespace

LineReader::LineReader(ByteSource source, std::size_t block_size)
    : source_(std::move(source)),
      // Left uninitialised: only bytes the source has written are ever read.
      buffer_(new char[kTailRoom + block_size]),
      block_size_(block_size) {
    assert(block_size > 0);
    pos_ = end_ = buffer_.get() + kTailRoom;
}

bool LineReader::refill() {
    if (source_ended_) {
        return false;
    }
    // Fresh text always lands just after the room for the tail, where the reads keep their
    // alignment; the tail moves right before it.
    const auto kept = static_cast<std::size_t>(end_ - pos_);
    assert(kept < kTailRoom);
    char* const fresh = buffer_.get() + kTailRoom;
    std::memmove(fresh - kept, pos_, kept);
    pos_ = fresh - kept;
    // A source may hand out less than asked for; keep reading until the block is full.
    std::size_t got = 0;
    while (got < block_size_) {
        const std::size_t count = source_(fresh + got, block_size_ - got);
        if (count == 0) {
            source_ended_ = true;
            break;
        }
        got += count;
    }
    end_ = fresh + got;
    return got > 0;
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

}  // namespace dispersao
