// Reading a matrix file: which format it is in, from disk, and the messages for its faults.
#include <algorithm>
#include <cstdio>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "matrix/matrix_file.hpp"
#include "matrix/matrix_lines.hpp"
#include "points/fault_message.hpp"

namespace dispersao {

namespace {

// True when `line` holds exactly `count` fields separated by blanks.
[[nodiscard]] bool has_words(std::string_view line, std::size_t count) {
    std::vector<std::string_view> fields;
    split_fields(line, Separator::spaces, fields);
    return fields.size() == count;
}

// True when `line` holds two whole numbers separated by blanks, as MDPLIB's "n m".
[[nodiscard]] bool is_mdplib_header(std::string_view line) {
    std::vector<std::string_view> fields;
    split_fields(line, Separator::spaces, fields);
    if (fields.size() != 2) {
        return false;
    }
    return std::ranges::all_of(fields, [](std::string_view field) {
        return field.find_first_not_of("0123456789") == std::string_view::npos;
    });
}

// Reads the matrix of `source` in the format its first lines show. Throws MatrixLineTooLong.
[[nodiscard]] std::optional<MatrixError> parse_lines(ByteSource source, DistanceMatrix& matrix) {
    MatrixLines lines(std::move(source));
    std::vector<std::pair<long, std::string>> first_lines;
    std::string_view line;
    while (first_lines.size() < 2 && lines.next(line)) {
        first_lines.emplace_back(lines.line_number(), std::string(line));
    }
    const bool mdplib = first_lines.size() == 2 && is_mdplib_header(first_lines[0].second) &&
                        has_words(first_lines[1].second, 3);
    lines.replay(std::move(first_lines));
    return mdplib ? parse_mdplib_matrix(lines, matrix) : parse_csv_matrix(lines, matrix);
}

}  // namespace

std::optional<MatrixError> parse_matrix_text(ByteSource source, DistanceMatrix& matrix) {
    try {
        return parse_lines(std::move(source), matrix);
    } catch (const MatrixLineTooLong& fault) {
        return matrix_fault(fault.line, quote_text(fault.start) +
                                            " inicia uma linha longa demais (mais de " +
                                            std::to_string(kLongestMatrixLine) + " bytes)");
    }
}

std::optional<MatrixError> read_matrix_file(const std::string& path, DistanceMatrix& matrix) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return MatrixError{MatrixFailure::unreadable, 0, ""};
    }
    std::optional<MatrixError> error;
    try {
        error = parse_matrix_text(file_source(file), matrix);
    } catch (const std::bad_alloc&) {
        error = MatrixError{MatrixFailure::no_memory, 0, ""};
    }
    // A folder opens but cannot be read; nor can a file on a failing disk. Either way the
    // text seen may be cut short, so the read fault comes before anything the parser found.
    if (std::ferror(file) != 0) {
        error = MatrixError{MatrixFailure::unreadable, 0, ""};
    }
    std::fclose(file);
    if (error) {
        matrix = DistanceMatrix{};
    }
    return error;
}

std::string describe_matrix_error(const MatrixError& error, const std::string& path) {
    switch (error.failure) {
        case MatrixFailure::unreadable:
            return "O arquivo " + path + " nao pode ser lido.\n";
        case MatrixFailure::no_memory:
            return "Falta memoria para a matriz de distancias do arquivo " + path + ".\n";
        case MatrixFailure::malformed:
            break;
    }
    return file_fault_message(path, error.line, error.detail);
}

}  // namespace dispersao
