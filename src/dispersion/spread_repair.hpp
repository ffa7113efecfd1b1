// Raising the spacing of a large selection by repairing the pairs closer than a target.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "dispersion/point_grid.hpp"
#include "dispersion/selection_grid.hpp"

namespace dispersao {

// Looks for selections of larger smallest spacing than `chosen`'s (working lengths): sets a
// target a little above the spacing and moves chosen points that have neighbours closer than
// it, each to a sampled free point near it where the overlap with its neighbours (the sum of
// target^2 - length^2 over neighbours nearer than the target) is smaller, until no pair is
// closer (a better selection: the target rises) or the attempt's steps run out (the target
// comes down toward the spacing). `taken` marks the grid positions chosen and is kept in step.
// Returns the grid positions of the best selection met, `chosen`'s own if none is better;
// `chosen` itself is left wherever the moves took it. Stops when the targets come within a
// hair of the spacing or `stop` (asked every few dozen moves) says so. Memory: O(p).
// Precondition: `taken` has one entry per grid position, true exactly at chosen's positions.
[[nodiscard]] std::vector<std::size_t> repair_spacing(const PointGrid& grid, SelectionGrid& chosen,
                                                      std::vector<bool>& taken,
                                                      const std::function<bool()>& stop);

}  // namespace dispersao
