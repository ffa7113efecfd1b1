// The search for selections of many points: p in the hundreds or more, up to millions.
#pragma once

#include "dispersion/dispersion.hpp"
#include "dispersion/search_clock.hpp"

namespace dispersao {

// Returns what solve_point_dispersion returns, found without any structure that grows as p^2:
// the farthest-point greedy first (the answer is never worth less than its selection), then
// moves of single chosen points to where they lie farther from the others, while `clock`
// allows. The upper bound is the least of the diameter, twice the greedy's covering radius and
// a packing count of the points' cells (for the planar rules). Memory: about 80 bytes a point.
// Preconditions: 2 <= p <= points.size() <= 2^32 - 1.
[[nodiscard]] DispersionResult solve_spread_selection(const PointSet& points, int p,
                                                      SearchClock& clock);

}  // namespace dispersao
