// A read-only view of a square distance matrix held by its caller.
#pragma once

#include <cassert>
#include <cstddef>

namespace dispersao {

// n x n distances, cell [i][j] at cells[i * row_stride + j] (doubles, row-major, 0-based). The
// view owns nothing: the caller keeps the cells alive and unchanged while it is used. Only
// cells [i][j] with i < j are read by the searches; the caller has checked symmetry, if it cares.
struct MatrixView {
    std::size_t n = 0;
    const double* cells = nullptr;
    std::size_t row_stride = 0;  // doubles from one row to the next, >= n

    // Returns the distance between rows a and b, read from the upper triangle.
    // Preconditions: a != b, both below n.
    [[nodiscard]] double at(std::size_t a, std::size_t b) const {
        assert(a != b && a < n && b < n);
        return a < b ? cells[a * row_stride + b] : cells[b * row_stride + a];
    }
};

}  // namespace dispersao
