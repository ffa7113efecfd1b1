// Reader of distance matrices in MDPLIB's format: "n m", then "i j d" triples.
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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

// The rows of an n x n matrix under construction, each allocated when first written. A cell
// not yet given holds NaN, which no distance read can be; the diagonal is 0.
class RowsByUse {
  public:
    explicit RowsByUse(std::size_t n) : n_(n), rows_(n) {}

    // Returns cell [a][b], NaN when not given. Precondition: a, b < n.
    [[nodiscard]] double at(std::size_t a, std::size_t b) const {
        assert(a < n_ && b < n_);
        if (rows_[a].empty()) {
            return a == b ? 0.0 : std::numeric_limits<double>::quiet_NaN();
        }
        return rows_[a][b];
    }

    // Sets cell [a][b], allocating row a if it has none. Precondition: a, b < n, a != b.
    void set(std::size_t a, std::size_t b, double value) {
        assert(a < n_ && b < n_ && a != b);
        std::vector<double>& row = rows_[a];
        if (row.empty()) {
            row.assign(n_, std::numeric_limits<double>::quiet_NaN());
            row[a] = 0;
        }
        row[b] = value;
    }

    // Returns the first pair a < b (rows in order, then columns) with no distance, if any.
    [[nodiscard]] std::optional<std::pair<std::size_t, std::size_t>> first_missing() const {
        for (std::size_t a = 0; a + 1 < n_; ++a) {
            if (rows_[a].empty()) {
                return std::pair{a, a + 1};
            }
            for (std::size_t b = a + 1; b < n_; ++b) {
                if (std::isnan(rows_[a][b])) {
                    return std::pair{a, b};
                }
            }
        }
        return std::nullopt;
    }

    // Moves the rows, row after row, into `cells` (n * n doubles), releasing each once copied
    // so that the peak stays near one matrix. Precondition: first_missing() is empty.
    void move_into(std::vector<double>& cells) {
        cells.clear();
        cells.reserve(n_ * n_);
        for (std::vector<double>& row : rows_) {
            if (row.empty()) {
                cells.push_back(0.0);  // n = 1: the lone diagonal cell
            } else {
                cells.insert(cells.end(), row.begin(), row.end());
            }
            std::vector<double>().swap(row);
        }
        assert(cells.size() == n_ * n_);
    }

  private:
    std::size_t n_;
    std::vector<std::vector<double>> rows_;
};

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
    // The rows and the matrix they are moved into may, at the end, both be held.
    if (auto fault = check_matrix_fits(n, 2)) {
        return fault;
    }
    // Rows come into being as the file names them, so a short file whose header claims a large
    // n costs memory in proportion to what it holds, not n x n doubles.
    RowsByUse rows(n);
    while (lines.next(line)) {
        const long number = lines.line_number();
        split_fields(line, Separator::spaces, fields);
        if (fields.size() != 3) {
            return matrix_fault(number, quote_text(line) + " tem " + std::to_string(fields.size()) +
                                            " campos; esperados 3 (i j d)");
        }
        std::size_t position[2] = {0, 0};
        for (std::size_t k = 0; k < 2; ++k) {
            if (!parse_count(fields[k], n - 1, position[k])) {
                // "1.0" or "x" is no position at all; "-2" or "7" one out of range.
                const bool whole =
                    !fields[k].empty() &&
                    fields[k].find_first_not_of("0123456789", fields[k][0] == '-' ? 1 : 0) ==
                        std::string_view::npos &&
                    fields[k] != "-";
                return matrix_fault(number, "a posicao " + quote_text(fields[k]) +
                                                (whole ? " esta fora do intervalo 0.."
                                                       : " nao e um numero inteiro de 0 a ") +
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
        const double given = rows.at(a, b);
        std::optional<double> mirror;
        if (!std::isnan(given)) {
            mirror = given;
        }
        if (auto fault = check_distance(number, fields[2], value, a, b, mirror)) {
            return fault;
        }
        rows.set(a, b, value);
        rows.set(b, a, value);
    }
    if (const std::optional<std::pair<std::size_t, std::size_t>> missing = rows.first_missing()) {
        return matrix_fault(0, "falta a distancia de " + std::to_string(missing->first) + " a " +
                                   std::to_string(missing->second));
    }
    matrix.n = n;
    rows.move_into(matrix.cells);
    return std::nullopt;
}

}  // namespace dispersao
