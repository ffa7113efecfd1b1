// Fixed sites in a distance matrix or a menu instance: the conditional search over the matrix
// engine, each round's candidates read in place through the instance.
#include <cassert>
#include <cstddef>
#include <vector>

#include "dispersion/conditional_search.hpp"
#include "dispersion/fixed_sites.hpp"
#include "dispersion/matrix_search.hpp"
#include "dispersion/subset_distances.hpp"

namespace dispersao {

namespace {

// Returns the conditional instance of `distances` (MatrixView or MenuObjective), whose subsets
// the matrix engine solves through a view of their sites.
template <typename Distances>
[[nodiscard]] ConditionalInstance conditional_instance(const Distances& distances) {
    ConditionalInstance instance;
    instance.n = distances.n;
    instance.distance = [&distances](std::size_t a, std::size_t b) { return distances.at(a, b); };
    instance.solve_subset = [&distances](const std::vector<std::size_t>& subset, int q,
                                         const SearchLimits& inner) {
        const SubsetDistances<Distances> some{subset.size(), &distances, subset.data()};
        return lift(search_matrix(some, q, inner), subset);
    };
    return instance;
}

}  // namespace

DispersionResult solve_distance_matrix_fixed(const MatrixView& matrix, int p,
                                             const std::vector<std::size_t>& fixed,
                                             const SearchLimits& limits) {
    assert(p >= 2 && static_cast<std::size_t>(p) <= matrix.n);
    if (fixed.empty()) {
        return solve_distance_matrix(matrix, p, limits);
    }
    return solve_conditional(conditional_instance(matrix), p, fixed, limits);
}

DispersionResult solve_menu_dispersion_fixed(int n, const float* const* matrix, int p,
                                             const std::vector<std::size_t>& fixed,
                                             const SearchLimits& limits) {
    assert(p >= 2 && p <= n);
    if (fixed.empty()) {
        return solve_matrix_dispersion(n, matrix, p, limits);
    }
    const MenuObjective objective{static_cast<std::size_t>(n), matrix};
    return solve_conditional(conditional_instance(objective), p, fixed, limits);
}

}  // namespace dispersao
