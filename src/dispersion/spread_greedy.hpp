// The farthest-point greedy on a grid of points, in time near n log p.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "dispersion/point_grid.hpp"

namespace dispersao {

// What the greedy picked.
struct GreedyPicks {
    std::vector<std::size_t> chosen;  // grid positions, in the order picked
    // Squared working length between the two closest picks: the last pick's distance from the
    // others when it was picked. 0 when fewer than two were picked.
    double value2 = 0;
    // Squared working length within which some fewer than p of the picks reach every point: no
    // p points are all more than twice its root apart (two of them share a nearest pick).
    double cover2 = 0;
    bool complete = false;  // p points were picked; otherwise `stop` cut the run short
};

// Picks p points of `grid`: the one farthest from the centroid of all, then each time the point
// farthest from those already picked (ties to the lowest grid position), until p are picked
// or `stop` (asked before each pick; may be empty) says to stop. Each pick updates only the
// cells nearer the new point than their farthest point is from the picks. Memory: one double
// a point, two words a cell. Preconditions: 1 <= p <= grid.size().
[[nodiscard]] GreedyPicks farthest_point_greedy(const PointGrid& grid, std::size_t p,
                                                const std::function<bool()>& stop);

}  // namespace dispersao
