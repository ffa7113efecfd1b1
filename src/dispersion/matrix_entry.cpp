// The entry points of the matrix engine: the menu program's instances, with the triangle search
// as their p = 3 fast path, and real distance matrices.
#include <algorithm>
#include <cassert>
#include <cstddef>

#include "dispersion/dispersion.hpp"
#include "dispersion/matrix_search.hpp"
#include "dispersion/search_clock.hpp"
#include "dispersion/triple_search.hpp"

namespace dispersao {

DispersionResult solve_matrix_dispersion(int n, const float* const* matrix, int p,
                                         const SearchLimits& limits) {
    assert(p >= 2 && p <= n);
    if (p != kSelectedCount) {
        return search_matrix(MenuObjective{static_cast<std::size_t>(n), matrix}, p, limits);
    }
    // The triangle search takes O(n^2) steps where the general one takes many thresholds, and
    // picks the same triple. Stopped, it leaves the greedy's triple under the bound it reached.
    SearchClock clock(limits);
    const StoppableOptimum found =
        find_exact_optimum(n, matrix, [&clock] { return clock.should_stop(); });
    if (!found.optimum) {
        SearchLimits spent = limits;
        spent.seconds = 0;
        spent.on_progress = nullptr;
        DispersionResult result =
            search_matrix(MenuObjective{static_cast<std::size_t>(n), matrix}, p, spent);
        result.upper_bound =
            std::max(result.value, std::min(result.upper_bound, static_cast<double>(found.upper)));
        result.proven = result.upper_bound <= result.value;
        result.interrupted = !result.proven && clock.interrupted();
        if (limits.on_progress) {
            limits.on_progress(result.value, result.upper_bound);
        }
        return result;
    }
    const ExactOptimum& optimum = *found.optimum;
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
