// Refilling the block buffer of the text scanners.
#include "instance/block_buffer.hpp"

#include <cassert>
#include <cstring>
#include <utility>

namespace dispersao {

BlockBuffer::BlockBuffer(ByteSource source, std::size_t tail_room, std::size_t block_size,
                         bool fill_blocks)
    : source_(std::move(source)),
      buffer_(new char[tail_room + block_size]),
      tail_room_(tail_room),
      block_size_(block_size),
      fill_blocks_(fill_blocks) {
    assert(block_size > 0 && tail_room > 0);
    pos_ = end_ = buffer_.get() + tail_room_;
}

bool BlockBuffer::refill() {
    if (source_ended_) {
        return false;
    }
    const auto kept = static_cast<std::size_t>(end_ - pos_);
    assert(kept < tail_room_);
    char* const fresh = buffer_.get() + tail_room_;
    std::memmove(fresh - kept, pos_, kept);
    pos_ = fresh - kept;
    // A source may hand out less than asked for.
    std::size_t got = 0;
    while (got < block_size_) {
        const std::size_t count = source_(fresh + got, block_size_ - got);
        if (count == 0) {
            source_ended_ = true;
            break;
        }
        got += count;
        if (!fill_blocks_) {
            break;
        }
    }
    end_ = fresh + got;
    return got > 0;
}

}  // namespace dispersao
