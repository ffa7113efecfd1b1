// The brute-force oracle of brute_force.hpp on point sets: each pair is worth its distance under
// the set's rule, as the point search measures it.
#pragma once

#include <cstddef>
#include <vector>

#include "dispersion/dispersion.hpp"
#include "tests/support/brute_force.hpp"

namespace test_support {

// Returns the smallest distance among the chosen points (ascending positions of `points`).
[[nodiscard]] inline double value_of(const dispersao::PointSet& points,
                                     const std::vector<std::size_t>& chosen) {
    return value_of(chosen, [&points](std::size_t a, std::size_t b) {
        return dispersao::point_distance(points, a, b);
    });
}

// Returns the best value of p points of `points`, by trying every subset. Precondition: p >= 1.
[[nodiscard]] inline double brute_force_optimum(const dispersao::PointSet& points, int p) {
    return brute_force_optimum(points.size(), p, [&points](std::size_t a, std::size_t b) {
        return dispersao::point_distance(points, a, b);
    });
}

// Returns the positions 0 to p - 1: a poor start, for a search or its chains to improve on.
[[nodiscard]] inline std::vector<std::size_t> first_positions(int p) {
    std::vector<std::size_t> start(static_cast<std::size_t>(p));
    for (std::size_t k = 0; k < start.size(); ++k) {
        start[k] = k;
    }
    return start;
}

}  // namespace test_support
