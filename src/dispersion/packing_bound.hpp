// An upper bound on the p-dispersion of planar points from how many points fit apart in a box.
#pragma once

#include <cstddef>
#include <functional>

#include "dispersion/point_grid.hpp"

namespace dispersao {

// Returns a working length L such that no p points of `grid` are pairwise more than L apart
// (working lengths), from Oler's inequality: points pairwise at least d apart in a convex
// region of area A and perimeter P number at most 2A / (sqrt(3) d^2) + P / (2d) + 1. The
// grid's cells are merged into blocks of 2^k x 2^k cells for every k whose blocks are not
// much smaller than the spacing sought; each block's points lie in their bounding box, which
// holds at most that many of them (nor more than it has). A spacing d is impossible when, in
// some partition, the blocks together hold fewer than p; L is the smallest d shown impossible
// by bisection between `reached` (a spacing some selection reaches) and `cap` (one known
// impossible or never exceeded), or `cap` itself. Returns `cap` for grids not in the plane or
// when `stop` (asked between steps, may be empty) ends it early. Memory: at most a few words
// per grid cell. Preconditions: 2 <= p <= grid.size(), 0 <= reached <= cap.
[[nodiscard]] double packing_bound(const PointGrid& grid, std::size_t p, double reached, double cap,
                                   const std::function<bool()>& stop);

}  // namespace dispersao
