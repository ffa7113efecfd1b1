// Differential fuzz target for the scanner paths: the same text, cut into blocks at random, is
// read on every path this processor runs, and every vectorised path must give what the
// portable one gives: the same verdict, line and token, and the same matrix.
//
// Input layout: byte 0 picks the matrix size n (1..64), byte 1 seeds the block sizes (the source
// hands out 1 to 300 bytes at a time, chosen at random, and the scanner asks for 128 to 16,384
// bytes), the rest is the text of the distance file. Each path gets its own cutting.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "instance/instance_files.hpp"
#include "tests/support/test_matrix.hpp"

using namespace dispersao;

namespace {

// A source over data[0..length-1] that hands out blocks of pseudo-random sizes from `seed`.
ByteSource random_blocks(const char* data, std::size_t length, std::uint32_t seed) {
    return [data, length, state = seed * 2654435761U + 1U, offset = std::size_t{0}](
               char* destination, std::size_t capacity) mutable {
        state ^= state << 13U;
        state ^= state >> 17U;
        state ^= state << 5U;
        std::size_t count = 1 + state % 300;
        count = std::min({count, capacity, length - offset});
        if (count > 0) {
            std::memcpy(destination, data + offset, count);
        }
        offset += count;
        return count;
    };
}

// What one reading left behind.
struct Reading {
    std::optional<DistanceError> error;
    TestMatrix matrix;
};

Reading read_on(ScanPath path, const char* text, std::size_t length, int n, std::uint32_t seed) {
    set_scan_path(path);
    Reading reading{std::nullopt, TestMatrix(n)};
    const std::size_t block = std::size_t{128} << (seed % 8);
    reading.error =
        parse_distance_triples(random_blocks(text, length, seed), reading.matrix.rows(), n, block);
    return reading;
}

[[nodiscard]] bool same(const Reading& a, const Reading& b) {
    if (a.error.has_value() != b.error.has_value() || !a.matrix.same_cells(b.matrix)) {
        return false;
    }
    return !a.error || (a.error->problem == b.error->problem && a.error->line == b.error->line &&
                        a.error->text == b.error->text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const int n = 1 + data[0] % 64;
    const std::uint32_t seed = data[1];
    const char* text = reinterpret_cast<const char*>(data + 2);
    const std::size_t length = size - 2;

    const Reading reference = read_on(ScanPath::portable, text, length, n, seed);
    for (const ScanPath path : available_scan_paths()) {
        if (path != ScanPath::portable) {
            const Reading reading = read_on(path, text, length, n, seed + 1);
            if (!same(reading, reference) || reading.matrix.damaged_guards() != 0) {
                std::abort();
            }
        }
    }
    return 0;
}
