// Reader of distance matrices as CSV tables.
#include <cassert>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "matrix/matrix_lines.hpp"

namespace dispersao {

namespace {

// Returns `field` without the double quotes around it, "" inside standing for one quote.
[[nodiscard]] std::string unquoted(std::string_view field) {
    if (field.size() < 2 || field.front() != '"' || field.back() != '"') {
        return std::string(field);
    }
    std::string name;
    for (std::size_t i = 1; i + 1 < field.size(); ++i) {
        name += field[i];
        if (field[i] == '"' && field[i + 1] == '"') {
            ++i;
        }
    }
    return name;
}

// True when every field of `fields` from `first` on is a number, finite or not.
[[nodiscard]] bool all_numbers(const std::vector<std::string_view>& fields, std::size_t first,
                               bool decimal_comma) {
    double ignored = 0;
    for (std::size_t i = first; i < fields.size(); ++i) {
        if (!parse_number(fields[i], decimal_comma, ignored)) {
            return false;
        }
    }
    return true;
}

// How the rows of a table are laid out, as its first lines show.
struct Layout {
    Separator separator = Separator::spaces;
    bool decimal_comma = false;
    std::size_t labels = 0;   // 1 when each row opens with a label, else 0
    std::size_t columns = 0;  // n, the distances per row
};

// Reads the rows `lines` hands out into `matrix`, appending each as it is read: memory is
// reserved for `layout.columns` rows but used only as they come. Precondition: `matrix.cells`
// is empty.
[[nodiscard]] std::optional<MatrixError> read_rows(MatrixLines& lines, const Layout& layout,
                                                   DistanceMatrix& matrix) {
    const std::size_t n = layout.columns;
    const std::size_t width = n + layout.labels;
    assert(matrix.cells.empty());
    std::vector<std::string_view> fields;
    std::size_t row = 0;
    std::string_view line;
    while (lines.next(line)) {
        const long number = lines.line_number();
        split_fields(line, layout.separator, fields);
        if (fields.size() != width) {
            return matrix_fault(number, quote_text(line) + " tem " + std::to_string(fields.size()) +
                                            " campos; esperados " + std::to_string(width));
        }
        if (row == n) {
            return matrix_fault(number, "mais linhas de distancias que as " + std::to_string(n) +
                                            " colunas da matriz");
        }
        for (std::size_t column = 0; column < n; ++column) {
            if (column == row) {
                matrix.cells.push_back(0.0);
                continue;
            }
            const std::string_view text = fields[column + layout.labels];
            double value = 0;
            if (!parse_distance(text, layout.decimal_comma, value)) {
                return matrix_fault(number, quote_text(text) + " nao e um numero");
            }
            std::optional<double> mirror;
            if (column < row) {
                mirror = matrix.cells[column * n + row];
            }
            if (auto fault = check_distance(number, text, value, row + 1, column + 1, mirror)) {
                return fault;
            }
            matrix.cells.push_back(value);
        }
        ++row;
    }
    if (row != n) {
        return matrix_fault(0, std::to_string(row) + " linhas de distancias para " +
                                   std::to_string(n) + " colunas");
    }
    return std::nullopt;
}

}  // namespace

std::optional<MatrixError> parse_csv_matrix(MatrixLines& lines, DistanceMatrix& matrix) {
    std::string_view line;
    if (!lines.next(line)) {
        return matrix_fault(0, "o arquivo nao tem distancias");
    }
    Layout layout;
    layout.separator = separator_of(line);
    layout.decimal_comma = layout.separator == Separator::semicolon;
    std::vector<std::string_view> fields;
    split_fields(line, layout.separator, fields);
    std::vector<std::string> header;
    long header_line = 0;
    if (!all_numbers(fields, 0, layout.decimal_comma)) {
        header_line = lines.line_number();
        for (const std::string_view field : fields) {
            header.push_back(unquoted(field));
        }
        if (!lines.next(line)) {
            return matrix_fault(0, "o arquivo nao tem distancias, apenas o cabecalho");
        }
        split_fields(line, layout.separator, fields);
        double ignored = 0;
        layout.labels = parse_number(fields[0], layout.decimal_comma, ignored) ? 0 : 1;
        if (layout.labels == 1 && header.size() == fields.size() &&
            parse_number(header.front(), layout.decimal_comma, ignored)) {
            // A number over the labels is a diagonal, not a corner: the first line is the
            // first row, and one of its distances is no number.
            for (const std::string& name : header) {
                if (!parse_number(name, layout.decimal_comma, ignored)) {
                    return matrix_fault(header_line, quote_text(name) + " nao e um numero");
                }
            }
        }
    }
    layout.columns = fields.size() - layout.labels;
    if (!header.empty()) {
        if (header.size() == layout.columns + 1 && layout.labels == 1) {
            header.erase(header.begin());
        }
        if (header.size() != layout.columns) {
            return matrix_fault(header_line, "o cabecalho tem " + std::to_string(header.size()) +
                                                 " nomes para " + std::to_string(layout.columns) +
                                                 " colunas de distancias");
        }
    }
    if (layout.columns == 0) {
        return matrix_fault(lines.line_number(), "a linha nao tem distancias");
    }
    if (auto fault = check_matrix_fits(layout.columns)) {
        return fault;
    }
    // Reserved, not filled: a first line of many columns over a short file costs what the file
    // holds.
    matrix.n = layout.columns;
    matrix.cells.clear();
    matrix.cells.reserve(matrix.n * matrix.n);
    matrix.names = std::move(header);
    lines.replay({{lines.line_number(), std::string(line)}});
    return read_rows(lines, layout, matrix);
}

}  // namespace dispersao
