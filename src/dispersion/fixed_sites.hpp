// Exact p-dispersion with some sites chosen beforehand: the best selection among those that
// hold them.
#pragma once

#include <cstddef>
#include <vector>

#include "dispersion/dispersion.hpp"
#include "dispersion/matrix_view.hpp"
#include "points/point_set.hpp"

namespace dispersao {

// Returns p points of `points` that include every position in `fixed` and whose smallest
// pairwise distance is as large as possible among the selections that do, proven unless the
// limits stop the search first. The value never exceeds the smallest distance between two
// fixed points. Memory grows linearly with the number of points. Preconditions:
// 2 <= p <= points.size(); `fixed` holds at most p distinct positions below points.size().
[[nodiscard]] DispersionResult solve_point_dispersion_fixed(const PointSet& points, int p,
                                                            const std::vector<std::size_t>& fixed,
                                                            const SearchLimits& limits);

// The same for a distance matrix (as solve_distance_matrix reads it), read in place.
// Preconditions: those of solve_distance_matrix, and `fixed` as above.
[[nodiscard]] DispersionResult solve_distance_matrix_fixed(const MatrixView& matrix, int p,
                                                           const std::vector<std::size_t>& fixed,
                                                           const SearchLimits& limits);

// The same for an instance of the menu program, under its objective (solve_matrix_dispersion's:
// cells truncated toward zero, capped at 100). Preconditions: those of solve_matrix_dispersion,
// and `fixed` as above.
[[nodiscard]] DispersionResult solve_menu_dispersion_fixed(int n, const float* const* matrix, int p,
                                                           const std::vector<std::size_t>& fixed,
                                                           const SearchLimits& limits);

}  // namespace dispersao
