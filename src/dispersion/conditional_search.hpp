// The search for a conditional p-dispersion optimum, on any instance that can measure two sites
// and solve the unconditional problem on a subset of its sites.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "dispersion/dispersion.hpp"

namespace dispersao {

// The instance a conditional search runs on: how many sites, the distance of two, and the
// exact search among a subset of them (its answer in the instance's positions).
struct ConditionalInstance {
    std::size_t n = 0;
    std::function<double(std::size_t, std::size_t)> distance;
    std::function<DispersionResult(const std::vector<std::size_t>& subset, int q,
                                   const SearchLimits& limits)>
        solve_subset;
};

// Returns p sites of `instance` that include every position in `fixed` and whose smallest
// pairwise distance is as large as possible among the selections that do, proven unless the
// limits stop it first; its value never exceeds the smallest distance within `fixed`.
// Preconditions: `fixed` holds 1 to p distinct positions below instance.n, p <= instance.n.
[[nodiscard]] DispersionResult solve_conditional(const ConditionalInstance& instance, int p,
                                                 const std::vector<std::size_t>& fixed,
                                                 const SearchLimits& limits);

// Returns `found`, an answer on `subset`'s positions, with its positions turned into the
// positions of the sites they stand for.
[[nodiscard]] DispersionResult lift(DispersionResult found, const std::vector<std::size_t>& subset);

}  // namespace dispersao
