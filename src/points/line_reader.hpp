// Splits the text of a byte source into lines, pulling it one large block at a time.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "instance/block_buffer.hpp"
#include "instance/byte_source.hpp"

namespace dispersao {

// Hands out the lines of a text in order, each as a view into an internal buffer that stays
// valid until the next call. Lines end at '\n'; a '\r' just before it is dropped, and a last
// line without a newline still counts.
class LineReader : private BlockBuffer {
  public:
    // Longest line handed out whole; a longer one is reported as such (see too_long).
    static constexpr std::size_t kMaxLine = std::size_t{1} << 16;

    explicit LineReader(ByteSource source, std::size_t block_size = std::size_t{1} << 20);

    // Stores the next line in `line` and returns true, or returns false once the text has
    // ended. After a line longer than kMaxLine, `line` holds its first kMaxLine bytes and
    // too_long() is true; the reader should not be used further.
    [[nodiscard]] bool next(std::string_view& line);

    // 1-based number of the line handed out last.
    [[nodiscard]] long line_number() const { return line_number_; }

    // True when the last line was longer than kMaxLine.
    [[nodiscard]] bool too_long() const { return too_long_; }

    // Returns what a message says of a line past kMaxLine that starts with `start` (the line
    // handed out when too_long()): "\"<start, quoted>\" inicia uma linha longa demais (mais de
    // 65536 bytes)".
    [[nodiscard]] static std::string overlong_line(std::string_view start);

  private:
    bool too_long_ = false;
    long line_number_ = 0;
};

}  // namespace dispersao
