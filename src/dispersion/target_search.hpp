// Raising a selection's value by searching for selections above it: a tabu search on the
// pairs closer than a target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "dispersion/search_tuning.hpp"
#include "points/point_set.hpp"

namespace dispersao {

// How long raise_by_targets searches.
struct TargetLimits {
    // Moves in a row that find no better selection before the search gives up.
    int idle_moves = 0;
    // Seed of the search's random choices: the same seed, the same selection.
    std::uint64_t seed = 0;
    // Asked before each move whether to stop; may be empty.
    std::function<bool()> should_stop;
    // Side of the squares barred with a point moved out, in the spacing of p points; > 0.
    double barred_square = tuning::kTargetBarredSquare;
};

// Raises the value of `chosen` in place and returns it: while the limits allow, it looks for p
// points whose pairs are all farther apart than the best value found, moving one point of a
// pair that is too close at a time to where it is too close to the fewest others (by how much),
// points just moved out being barred from coming back for a while. Each selection found with
// no pair at the best value or closer becomes the best. Preconditions: the chosen points are
// distinct, at least two and fewer than the set; limits.idle_moves >= 0 and
// limits.barred_square > 0.
double raise_by_targets(const PointSet& points, std::vector<std::size_t>& chosen,
                        const TargetLimits& limits);

}  // namespace dispersao
