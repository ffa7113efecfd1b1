// Fixed sites in a distance matrix: the conditional search over the matrix engine.
#include <cassert>
#include <cstddef>
#include <vector>

#include "dispersion/conditional_search.hpp"
#include "dispersion/fixed_sites.hpp"

namespace dispersao {

DispersionResult solve_distance_matrix_fixed(const MatrixView& matrix, int p,
                                             const std::vector<std::size_t>& fixed,
                                             const SearchLimits& limits) {
    assert(p >= 2 && static_cast<std::size_t>(p) <= matrix.n);
    if (fixed.empty()) {
        return solve_distance_matrix(matrix, p, limits);
    }
    ConditionalInstance instance;
    instance.n = matrix.n;
    instance.distance = [&matrix](std::size_t a, std::size_t b) { return matrix.at(a, b); };
    instance.solve_subset = [&matrix](const std::vector<std::size_t>& subset, int q,
                                      const SearchLimits& inner) {
        const std::size_t m = subset.size();
        std::vector<double> cells(m * m, 0.0);
        for (std::size_t a = 0; a < m; ++a) {
            for (std::size_t b = a + 1; b < m; ++b) {
                cells[a * m + b] = matrix.at(subset[a], subset[b]);
            }
        }
        const MatrixView some{m, cells.data(), m};
        return lift(solve_distance_matrix(some, q, inner), subset);
    };
    return solve_conditional(instance, p, fixed, limits);
}

}  // namespace dispersao
