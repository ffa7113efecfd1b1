// Readers of distance matrix files: CSV tables and MDPLIB's triples.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "dispersion/matrix_view.hpp"
#include "instance/byte_source.hpp"

namespace dispersao {

// A square matrix of real distances, read from a file: row-major, cell [i][j] at i * n + j,
// symmetric, every cell finite and >= 0, the diagonal 0.
struct DistanceMatrix {
    std::size_t n = 0;
    std::vector<double> cells;       // n * n doubles
    std::vector<std::string> names;  // one per row from a CSV header, or none

    [[nodiscard]] MatrixView view() const { return {n, cells.data(), n}; }
};

// Why a matrix file could not be used.
enum class MatrixFailure {
    malformed,   // the text breaks the format; `line` and `detail` say where and how
    unreadable,  // the file could not be opened or read (a folder, say)
    no_memory,   // the matrix does not fit in memory
};

struct MatrixError {
    MatrixFailure failure = MatrixFailure::malformed;
    long line = 0;       // 1-based line at fault; 0 when the text as a whole is
    std::string detail;  // what is wrong, in Portuguese, offending text quoted and cut
};

// Reads a distance matrix in either format, told apart by its first two lines that are not
// blank: MDPLIB's when the first is two whole numbers and the second three fields, CSV
// otherwise.
//
// CSV: one row of the matrix per line, optionally after a header line of names (a header is a
// first line with a field that is not a number), and then optionally with a label in the first
// field of every row (ignored; the header may then have a first field over the labels, not a
// number: a number there makes the first line the first row, its other fields distances). Fields
// are separated by ';' when the first line has one (a decimal comma is then allowed), else by
// ',', else by tabs, else by runs of spaces; blanks around fields are ignored, as are blank
// lines. Names may be in double quotes.
//
// MDPLIB: "n m", then lines "i j d" with positions 0 <= i, j < n; every pair i != j given at
// least once, in either order; m is not used.
//
// In both the diagonal is ignored; a distance that is not a finite number, is negative, or
// differs from its mirror image (j, i) is a fault naming its line and text. Fills `matrix` and
// returns nothing, or returns the first fault. A matrix whose n x n doubles would not fit in
// the memory the process can count on is refused before it is allocated (no_memory); MDPLIB's
// needs room for two, as its rows are kept apart, each made when the file first names it (a
// short file costs what it holds, not what its header claims), and joined at the end.
[[nodiscard]] std::optional<MatrixError> parse_matrix_text(ByteSource source,
                                                           DistanceMatrix& matrix);

// Reads the matrix file at `path` into `matrix`. Returns nothing on success; otherwise the
// fault, with `matrix` emptied.
[[nodiscard]] std::optional<MatrixError> read_matrix_file(const std::string& path,
                                                          DistanceMatrix& matrix);

// The one-line message that reports `error` in the file at `path`, ending in a newline.
[[nodiscard]] std::string describe_matrix_error(const MatrixError& error, const std::string& path);

}  // namespace dispersao
