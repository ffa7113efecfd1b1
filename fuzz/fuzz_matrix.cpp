// Fuzz target for the distance matrix readers: any text, any cutting into blocks.
//
// Input layout: byte 0 picks the block size of the second parse (bits 0..2: the source hands out
// 1..8 bytes at a time); the rest is the text. The text is parsed twice, once whole and once in
// tiny blocks; both must agree on the verdict and the matrix. A matrix read must be square,
// symmetric, finite, non-negative, with a zero diagonal and a name per row or none; a fault's
// message must be one printable line. Small matrices are then solved, and the answer checked.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <tuple>

#include "dispersion/dispersion.hpp"
#include "matrix/matrix_file.hpp"
#include "tests/support/same_error.hpp"

using namespace dispersao;

namespace {

// Returns whether `matrix` keeps every promise of a matrix read.
[[nodiscard]] bool sound(const DistanceMatrix& matrix) {
    if (matrix.cells.size() != matrix.n * matrix.n ||
        (!matrix.names.empty() && matrix.names.size() != matrix.n)) {
        return false;
    }
    for (std::size_t a = 0; a < matrix.n; ++a) {
        if (matrix.cells[a * matrix.n + a] != 0) {
            return false;
        }
        for (std::size_t b = a + 1; b < matrix.n; ++b) {
            const double d = matrix.cells[a * matrix.n + b];
            if (!std::isfinite(d) || d < 0 || d != matrix.cells[b * matrix.n + a]) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::size_t block = 1 + (data[0] & 7U);
    const char* text = reinterpret_cast<const char*>(data + 1);
    const std::size_t length = size - 1;
    DistanceMatrix whole;
    DistanceMatrix pieces;
    const std::optional<MatrixError> whole_error =
        parse_matrix_text(memory_source(text, length), whole);
    const std::optional<MatrixError> pieces_error =
        parse_matrix_text(memory_source(text, length, block), pieces);
    if (!test_support::same_error(whole_error, pieces_error, [](const MatrixError& e) {
            return std::tie(e.failure, e.line, e.detail);
        })) {
        std::abort();
    }
    if (whole_error) {
        const std::string message = describe_matrix_error(*whole_error, "f");
        if (!test_support::is_one_line(message)) {
            std::abort();
        }
        return 0;
    }
    if (!sound(whole) || whole.cells != pieces.cells || whole.names != pieces.names) {
        std::abort();
    }
    if (whole.n >= 2 && whole.n <= 24) {
        const int p = 2 + static_cast<int>(length % std::min<std::size_t>(whole.n - 1, 4));
        const DispersionResult result = solve_distance_matrix(whole.view(), p, {});
        if (result.chosen.size() != static_cast<std::size_t>(p) || !result.proven ||
            result.upper_bound != result.value) {
            std::abort();
        }
        double worst = INFINITY;
        for (std::size_t i = 0; i < result.chosen.size(); ++i) {
            for (std::size_t j = i + 1; j < result.chosen.size(); ++j) {
                worst = std::min(worst, whole.view().at(result.chosen[i], result.chosen[j]));
            }
        }
        if (worst != result.value) {
            std::abort();
        }
    }
    return 0;
}
