// The block buffer both text scanners read through: fresh blocks after the unread tail.
#pragma once

#include <cstddef>
#include <memory>

#include "instance/byte_source.hpp"

namespace dispersao {

// Holds the text of a byte source one block at a time, with room before each fresh block for
// the unread tail of the one before, so that a token or line cut by a block boundary lies whole
// in memory. Fresh bytes always land at the same offset, where reads into the buffer keep their
// alignment: such reads run several times faster than reads into one shifted by the tail.
class BlockBuffer {
  protected:
    // Reads `source` in blocks of `block_size` bytes, keeping a tail of fewer than `tail_room`
    // bytes; with `fill_blocks`, each refill reads until its block is full or the source ends,
    // otherwise it takes what one read hands out. Precondition: block_size > 0, tail_room > 0.
    BlockBuffer(ByteSource source, std::size_t tail_room, std::size_t block_size, bool fill_blocks);

    // Moves the unread bytes [pos_, end_) right before the fresh block and reads more after
    // them; returns false once the source has nothing more. Precondition: fewer than the tail
    // room bytes are unread.
    bool refill();

    // The unread bytes, and whether the source has ended.
    const char* pos_ = nullptr;
    const char* end_ = nullptr;
    bool source_ended_ = false;

  private:
    ByteSource source_;
    // tail_room_ bytes of room for a kept tail, then block_size_ bytes for fresh text; left
    // uninitialised, as only bytes the source has written are ever read, and a small text then
    // touches only the pages it fills.
    std::unique_ptr<char[]> buffer_;
    std::size_t tail_room_;
    std::size_t block_size_;
    bool fill_blocks_;
};

}  // namespace dispersao
