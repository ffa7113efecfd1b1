// The exact point search started from a given selection.
#pragma once

#include <cstddef>
#include <vector>

#include "dispersion/dispersion.hpp"

namespace dispersao {

// Returns what solve_point_dispersion returns, but starts the exact search from `start` (p
// distinct positions) instead of the heuristics' selection; an empty `start` means the
// heuristics'. Preconditions: those of solve_point_dispersion; `start` empty or of p distinct
// positions below points.size().
[[nodiscard]] DispersionResult solve_point_dispersion_from(const PointSet& points, int p,
                                                           std::vector<std::size_t> start,
                                                           const SearchLimits& limits);

}  // namespace dispersao
