// Byte sources that the instance readers pull their text from, one block at a time.
//
// Separating the source from the parsing lets the readers run over a file in large blocks and,
// in tests, over a buffer in memory cut into blocks of any size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>

namespace dispersao {

// Fills `destination` (room for `capacity` bytes) with the next bytes of the text and returns
// how many it wrote; 0 means the text has ended.
using ByteSource = std::function<std::size_t(char* destination, std::size_t capacity)>;

// Returns a source reading `file` from its current position; the caller keeps ownership.
[[nodiscard]] ByteSource file_source(std::FILE* file);

// Returns a source over data[0..length-1] handing out at most `max_block` bytes per call. The
// bytes must outlive the source.
[[nodiscard]] ByteSource memory_source(const char* data, std::size_t length,
                                       std::size_t max_block = SIZE_MAX);

}  // namespace dispersao
