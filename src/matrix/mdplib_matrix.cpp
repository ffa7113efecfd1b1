// Reader of distance matrices in MDPLIB's format: "n m", then "i j d" triples.
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "matrix/matrix_lines.hpp"

namespace dispersao {

namespace {

// Parses all of `word` as a whole number of at most `limit`; false otherwise.
[[nodiscard]] bool parse_count(std::string_view word, std::size_t limit, std::size_t& value) {
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return error == std::errc{} && end == word.data() + word.size() && !word.empty() &&
           value <= limit;
}

}  // namespace

std::optional<MatrixError> parse_mdplib_matrix(MatrixLines& lines, DistanceMatrix& matrix) {
    std::string_view line;
    std::vector<std::string_view> fields;
    if (!lines.next(line)) {
        return matrix_fault(0, "o arquivo nao tem distancias");
    }
    split_fields(line, Separator::spaces, fields);
    std::size_t n = 0;
    std::size_t m = 0;
    // Rows are numbered in 32 bits by the engines' callers; more would not fit anywhere.
    constexpr std::size_t kLargest = std::numeric_limits<std::uint32_t>::max();
    if (fields.size() != 2 || !parse_count(fields[0], kLargest, n) || n == 0 ||
        !parse_count(fields[1], kLargest, m)) {
        return matrix_fault(lines.line_number(),
                            quote_text(line) + " nao e o cabecalho \"n m\" do formato MDPLIB");
    }
    if (auto fault = check_matrix_fits(n)) {
        return fault;
    }
    // A cell not yet given holds NaN, which no distance read can be.
    matrix.n = n;
    matrix.cells.assign(n * n, std::numeric_limits<double>::quiet_NaN());
    for (std::size_t i = 0; i < n; ++i) {
        matrix.cells[i * n + i] = 0;
    }
    while (lines.next(line)) {
        const long number = lines.line_number();
        split_fields(line, Separator::spaces, fields);
        if (fields.size() != 3) {
            return matrix_fault(number, "a linha tem " + std::to_string(fields.size()) +
                                            " campos; esperados 3 (i j d)");
        }
        std::size_t position[2] = {0, 0};
        for (std::size_t k = 0; k < 2; ++k) {
            if (!parse_count(fields[k], n - 1, position[k])) {
                return matrix_fault(number, "a posicao " + quote_text(fields[k]) +
                                                " esta fora do intervalo 0.." +
                                                std::to_string(n - 1));
            }
        }
        const auto [a, b] = position;
        double value = 0;
        if (!parse_distance(fields[2], false, value)) {
            return matrix_fault(number, quote_text(fields[2]) + " nao e um numero");
        }
        if (a == b) {
            continue;
        }
        const double given = matrix.cells[a * n + b];
        std::optional<double> mirror;
        if (!std::isnan(given)) {
            mirror = given;
        }
        if (auto fault = check_distance(number, fields[2], value, a, b, mirror)) {
            return fault;
        }
        matrix.cells[a * n + b] = value;
        matrix.cells[b * n + a] = value;
    }
    for (std::size_t a = 0; a < n; ++a) {
        for (std::size_t b = a + 1; b < n; ++b) {
            if (std::isnan(matrix.cells[a * n + b])) {
                return matrix_fault(
                    0, "falta a distancia de " + std::to_string(a) + " a " + std::to_string(b));
            }
        }
    }
    return std::nullopt;
}

}  // namespace dispersao
