// A uniform grid of working coordinates, filled by a counting sort.
#include "dispersion/point_grid.hpp"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

namespace dispersao {

namespace {

// Cells a grid may have at most, whatever the number of points: its offsets stay small.
constexpr double kMostCells = 1 << 26;

// Returns the cells along each dimension for cells of side `side` over widths `width`.
[[nodiscard]] std::array<std::size_t, 3> counts_for(const std::array<double, 3>& width,
                                                    std::size_t dims, double side) {
    std::array<std::size_t, 3> count{1, 1, 1};
    for (std::size_t d = 0; d < dims; ++d) {
        count[d] = std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(width[d] / side)));
    }
    return count;
}

// Returns the product of the counts as a real number.
[[nodiscard]] double product(const std::array<std::size_t, 3>& count) {
    return static_cast<double>(count[0]) * static_cast<double>(count[1]) *
           static_cast<double>(count[2]);
}

}  // namespace

PointGrid::PointGrid(const PointSet& points, const WorkingSpace& space, double per_cell)
    : dims_(space.dimensions) {
    const std::size_t n = points.size();
    assert(n >= 1 && per_cell >= 1);
    const auto dims = static_cast<std::size_t>(dims_);
    std::array<std::vector<double>, 3> raw;
    for (std::size_t d = 0; d < dims; ++d) {
        raw[d].resize(n);
    }
    low_ = space.place(points, 0);
    high_ = low_;
    for (std::size_t i = 0; i < n; ++i) {
        const std::array<double, 3> at = space.place(points, i);
        for (std::size_t d = 0; d < dims; ++d) {
            raw[d][i] = at[d];
            low_[d] = std::min(low_[d], at[d]);
            high_[d] = std::max(high_[d], at[d]);
        }
    }
    for (std::size_t d = dims; d < 3; ++d) {
        low_[d] = 0;
        high_[d] = 0;
    }
    // The side starts where the widest dimension alone would give the wanted count and
    // shrinks until the cells of every dimension together reach it.
    const double wanted = std::min(kMostCells, std::max(1.0, static_cast<double>(n) / per_cell));
    std::array<double, 3> width{};
    double widest = 0;
    for (std::size_t d = 0; d < dims; ++d) {
        width[d] = high_[d] - low_[d];
        widest = std::max(widest, width[d]);
    }
    side_ = widest > 0 ? widest / std::pow(wanted, 1.0 / static_cast<double>(dims)) : 1.0;
    if (widest > 0) {
        side_ = std::max(side_, widest / kMostCells);
        while (product(counts_for(width, dims, side_ * 0.9)) <= wanted &&
               side_ * 0.9 > widest / wanted) {
            side_ *= 0.9;
        }
    }
    count_ = counts_for(width, dims, side_);
    const std::size_t cells = count_[0] * count_[1] * count_[2];
    std::vector<std::uint32_t> cell_of(n);
    start_.assign(cells + 1, 0);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t c =
            cell(slot(raw[0][i], 0), slot(raw[1][i], 1), dims == 3 ? slot(raw[2][i], 2) : 0);
        cell_of[i] = static_cast<std::uint32_t>(c);
        ++start_[c + 1];
    }
    for (std::size_t c = 0; c < cells; ++c) {
        start_[c + 1] += start_[c];
    }
    std::vector<std::size_t> next(start_.begin(), start_.end() - 1);
    for (std::size_t d = 0; d < dims; ++d) {
        coords_[d].resize(n);
    }
    index_.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t to = next[cell_of[i]]++;
        for (std::size_t d = 0; d < dims; ++d) {
            coords_[d][to] = raw[d][i];
        }
        index_[to] = static_cast<std::uint32_t>(i);
    }
}

std::size_t PointGrid::slot(double value, std::size_t d) const {
    return clamped_cell((value - low_[d]) / side_, count_[d]);
}

double PointGrid::length2_to_cell(std::size_t i, std::size_t cx, std::size_t cy,
                                  std::size_t cz) const {
    const std::array<std::size_t, 3> at{cx, cy, cz};
    double sum = 0;
    for (std::size_t d = 0; d < static_cast<std::size_t>(dims_); ++d) {
        // The box is widened by a hair, since slot() rounds, and the outer cells reach out.
        const double margin = side_ * 1e-9;
        const double from = low_[d] + static_cast<double>(at[d]) * side_ - margin;
        const double to = at[d] + 1 == count_[d] ? std::numeric_limits<double>::infinity()
                                                 : from + side_ + 2 * margin;
        const double first = at[d] == 0 ? -std::numeric_limits<double>::infinity() : from;
        const double v = coords_[d][i];
        const double gap = v < first ? first - v : (v > to ? v - to : 0.0);
        sum += gap * gap;
    }
    return sum;
}

}  // namespace dispersao
