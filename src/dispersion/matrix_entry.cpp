// The entry points of the matrix engine: the menu program's instances, with the triangle search
// as their p = 3 fast path, and real distance matrices.
#include <cassert>
#include <cstddef>

#include "dispersion/dispersion.hpp"
#include "dispersion/matrix_search.hpp"
#include "dispersion/triple_search.hpp"

namespace dispersao {

DispersionResult solve_matrix_dispersion(int n, const float* const* matrix, int p,
                                         const SearchLimits& limits) {
    assert(p >= 2 && p <= n);
    if (p != kSelectedCount) {
        return search_matrix(MenuObjective{static_cast<std::size_t>(n), matrix}, p, limits);
    }
    // The triangle search takes O(n^2) steps where the general one takes many thresholds, and
    // picks the same triple; it runs to the end, as it ends soon at any n that fits in memory.
    const ExactOptimum optimum = find_exact_optimum(n, matrix);
    DispersionResult result;
    for (const int position : optimum.positions) {
        result.chosen.push_back(static_cast<std::size_t>(position));
    }
    result.value = static_cast<double>(optimum.value);
    result.upper_bound = result.value;
    result.proven = true;
    if (limits.on_progress) {
        limits.on_progress(result.value, result.upper_bound);
    }
    return result;
}

DispersionResult solve_distance_matrix(const MatrixView& matrix, int p,
                                       const SearchLimits& limits) {
    assert(p >= 2 && static_cast<std::size_t>(p) <= matrix.n);
    assert(matrix.cells != nullptr && matrix.row_stride >= matrix.n);
    return search_matrix(matrix, p, limits);
}

}  // namespace dispersao
