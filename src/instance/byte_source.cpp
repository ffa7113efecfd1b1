// Byte sources over a file and over a buffer in memory.
#include "instance/byte_source.hpp"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace dispersao {

ByteSource file_source(std::FILE* file) {
    return [file](char* destination, std::size_t capacity) {
        return std::fread(destination, 1, capacity, file);
    };
}

ByteSource memory_source(const char* data, std::size_t length, std::size_t max_block) {
    assert(max_block > 0);
    return [data, length, max_block, offset = std::size_t{0}](char* destination,
                                                              std::size_t capacity) mutable {
        const std::size_t count = std::min({capacity, max_block, length - offset});
        if (count > 0) {
            std::memcpy(destination, data + offset, count);
        }
        offset += count;
        return count;
    };
}

}  // namespace dispersao
