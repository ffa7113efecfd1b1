// Fuzz target for the distance reader: any text, any matrix size, any cutting into blocks.
//
// Input layout: byte 0 picks the matrix size n (0..16), byte 1 the block sizes of the second
// parse (the source hands out 1..8 bytes at a time, the scanner asks for 1..128), the rest is the
// text of the distance file. The text is parsed twice, once in one block and once in tiny
// blocks; both must agree on the verdict and leave the same matrix, and no guard cell beside a
// row may change. Each row is its own heap block, so AddressSanitizer catches any write further
// out.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <tuple>

#include "instance/instance_files.hpp"
#include "tests/support/same_error.hpp"
#include "tests/support/test_matrix.hpp"

using namespace dispersao;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const int n = data[0] % 17;
    const std::size_t source_block = 1 + (data[1] & 7U);
    const std::size_t scanner_block = std::size_t{1} << (data[1] >> 5U);
    // Larger than any input the fuzzing script allows, so the first parse is one block; and
    // small enough that its buffer is not a fresh mapping on every run.
    constexpr std::size_t kWholeBlock = std::size_t{1} << 16;
    const char* text = reinterpret_cast<const char*>(data + 2);
    const std::size_t length = size - 2;

    TestMatrix whole(n);
    TestMatrix pieces(n);
    const std::optional<DistanceError> whole_error =
        parse_distance_triples(memory_source(text, length), whole.rows(), n, kWholeBlock);
    const std::optional<DistanceError> pieces_error = parse_distance_triples(
        memory_source(text, length, source_block), pieces.rows(), n, scanner_block);
    if (!test_support::same_error(
            whole_error, pieces_error,
            [](const DistanceError& e) { return std::tie(e.problem, e.line, e.text); }) ||
        !whole.same_cells(pieces) || whole.damaged_guards() != 0 || pieces.damaged_guards() != 0) {
        std::abort();
    }
    if (whole_error) {
        // The message is one printable line whatever the token held.
        const std::string message = describe_distance_error(*whole_error, "f.txt", n);
        if (!test_support::is_one_line(message)) {
            std::abort();
        }
    }
    return 0;
}
