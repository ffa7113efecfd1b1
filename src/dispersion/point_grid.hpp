// The points of a set in working coordinates, sorted into a grid of equal square cells.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "dispersion/distance_bounds.hpp"
#include "points/point_set.hpp"

namespace dispersao {

// Returns the cell, of `count` >= 1 along a dimension, that holds the place `t` cell sides
// past the grid's low end: 0 below the grid (or for NaN), count - 1 beyond it. Safe for any t,
// however far out.
[[nodiscard]] inline std::size_t clamped_cell(double t, std::size_t count) {
    if (!(t > 0)) {
        return 0;
    }
    const double last = static_cast<double>(count - 1);
    return t >= last ? count - 1 : static_cast<std::size_t>(t);
}

// A uniform grid over the bounding box of a point set's working coordinates (see
// WorkingSpace), each point filed under the one cell that holds it. Lengths are working
// lengths; memory is about 40 bytes a point plus 8 bytes a cell.
class PointGrid {
  public:
    // Files the points of `points` in a grid of about points.size() / per_cell cells.
    // Preconditions: points.size() >= 1, per_cell >= 1, every coordinate finite.
    PointGrid(const PointSet& points, const WorkingSpace& space, double per_cell);

    [[nodiscard]] int dimensions() const { return dims_; }
    [[nodiscard]] std::size_t size() const { return index_.size(); }
    [[nodiscard]] std::size_t cells() const { return start_.size() - 1; }
    // The side of a cell.
    [[nodiscard]] double cell_side() const { return side_; }
    // Cells along dimension d (1 for an unused dimension).
    [[nodiscard]] std::size_t cells_along(std::size_t d) const { return count_[d]; }
    // Low and high corner of the bounding box of all points.
    [[nodiscard]] const std::array<double, 3>& low() const { return low_; }
    [[nodiscard]] const std::array<double, 3>& high() const { return high_; }

    // Points of cell c are the grid positions [first(c), first(c + 1)).
    [[nodiscard]] std::size_t first(std::size_t c) const { return start_[c]; }
    // The working coordinate d of the point at grid position i.
    [[nodiscard]] double at(std::size_t i, std::size_t d) const { return coords_[d][i]; }
    // The input position of the point at grid position i.
    [[nodiscard]] std::size_t input(std::size_t i) const { return index_[i]; }

    // Returns the cell of cell coordinates (cx, cy, cz). Precondition: each below cells_along.
    [[nodiscard]] std::size_t cell(std::size_t cx, std::size_t cy, std::size_t cz) const {
        return (cz * count_[1] + cy) * count_[0] + cx;
    }
    // Returns the cell coordinate along d of working coordinate `value`, clamped to the grid.
    [[nodiscard]] std::size_t slot(double value, std::size_t d) const;

    // Returns the squared working length between grid positions i and j.
    [[nodiscard]] double length2(std::size_t i, std::size_t j) const {
        double sum = 0;
        for (std::size_t d = 0; d < static_cast<std::size_t>(dims_); ++d) {
            const double gap = coords_[d][i] - coords_[d][j];
            sum += gap * gap;
        }
        return sum;
    }

    // Returns the squared working length from grid position i to the nearest place of the
    // box of cell coordinates (cx, cy, cz); 0 when i lies in it.
    [[nodiscard]] double length2_to_cell(std::size_t i, std::size_t cx, std::size_t cy,
                                         std::size_t cz) const;

  private:
    int dims_;
    std::array<double, 3> low_{};
    std::array<double, 3> high_{};
    double side_ = 1;
    std::array<std::size_t, 3> count_{1, 1, 1};
    std::vector<std::size_t> start_;             // one more than the cells
    std::array<std::vector<double>, 3> coords_;  // coords_[d][i]; empty past dimensions()
    std::vector<std::uint32_t> index_;           // input position of grid position i
};

}  // namespace dispersao
