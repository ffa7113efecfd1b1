// A grid of chosen points, searched in growing rings around a place.
#include "dispersion/selection_grid.hpp"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace dispersao {

namespace {

// Cells the grid may have for each slot it holds: more would be mostly empty.
constexpr double kCellsPerSlot = 4.0;

}  // namespace

SelectionGrid::SelectionGrid(const PointGrid& grid, const std::vector<std::size_t>& chosen,
                             double side)
    : grid_(grid), dims_(static_cast<std::size_t>(grid.dimensions())), at_(chosen) {
    assert(chosen.size() >= 2 && side > 0);
    const double most = kCellsPerSlot * static_cast<double>(chosen.size()) + 64.0;
    // Counted in reals from a side that gives no dimension more than `most` cells: a tiny
    // side (a selection whose closest points coincide) would overflow any integer count.
    double widest = 0;
    for (std::size_t d = 0; d < dims_; ++d) {
        widest = std::max(widest, grid.high()[d] - grid.low()[d]);
    }
    side_ = std::max(side, widest / most);
    for (;;) {
        std::array<double, 3> along{1, 1, 1};
        double cells = 1;
        for (std::size_t d = 0; d < dims_; ++d) {
            const double width = grid.high()[d] - grid.low()[d];
            along[d] = std::max(1.0, std::ceil(width / side_));
            cells *= along[d];
        }
        if (cells <= most) {
            for (std::size_t d = 0; d < dims_; ++d) {
                count_[d] = static_cast<std::size_t>(along[d]);
            }
            break;
        }
        // Widening by the excess reaches the cap at once; the 1.25 keeps each step a step.
        side_ *= std::max(1.25, std::pow(cells / most, 1.0 / static_cast<double>(dims_)));
    }
    head_.assign(count_[0] * count_[1] * count_[2], kEnd);
    next_.assign(at_.size(), kEnd);
    for (std::size_t k = 0; k < at_.size(); ++k) {
        file(k);
    }
}

std::size_t SelectionGrid::slot(double value, std::size_t d) const {
    return clamped_cell((value - grid_.low()[d]) / side_, count_[d]);
}

std::size_t SelectionGrid::cell_of(std::size_t x) const {
    return cell(slot(grid_.at(x, 0), 0), dims_ > 1 ? slot(grid_.at(x, 1), 1) : 0,
                dims_ > 2 ? slot(grid_.at(x, 2), 2) : 0);
}

void SelectionGrid::file(std::size_t k) {
    const std::size_t c = cell_of(at_[k]);
    next_[k] = head_[c];
    head_[c] = static_cast<std::uint32_t>(k);
}

void SelectionGrid::unfile(std::size_t k) {
    std::uint32_t* link = &head_[cell_of(at_[k])];
    while (*link != k) {
        assert(*link != kEnd);
        link = &next_[*link];
    }
    *link = next_[k];
}

void SelectionGrid::move(std::size_t k, std::size_t x) {
    unfile(k);
    at_[k] = x;
    file(k);
}

double SelectionGrid::nearest2(std::size_t x, std::size_t skip, double enough2, double far2,
                               std::size_t& who) const {
    std::array<long, 3> centre{0, 0, 0};
    std::array<long, 3> count{1, 1, 1};
    long widest = 1;
    for (std::size_t d = 0; d < dims_; ++d) {
        centre[d] = static_cast<long>(slot(grid_.at(x, d), d));
        count[d] = static_cast<long>(count_[d]);
        widest = std::max(widest, count[d]);
    }
    double best = std::numeric_limits<double>::infinity();
    who = kNobody;
    const auto look = [&](long cx, long cy, long cz) {
        if (cx < 0 || cy < 0 || cz < 0 || cx >= count[0] || cy >= count[1] || cz >= count[2]) {
            return;
        }
        const std::size_t c = cell(static_cast<std::size_t>(cx), static_cast<std::size_t>(cy),
                                   static_cast<std::size_t>(cz));
        for (std::uint32_t j = head_[c]; j != kEnd; j = next_[j]) {
            if (j != skip) {
                const double length2 = grid_.length2(x, at_[j]);
                if (length2 < best) {
                    best = length2;
                    who = j;
                }
            }
        }
    };
    for (long r = 0; r <= widest; ++r) {
        const long rz = dims_ > 2 ? r : 0;
        for (long dz = -rz; dz <= rz; ++dz) {
            for (long dy = -r; dy <= r; ++dy) {
                const bool face = std::labs(dz) == r || std::labs(dy) == r;
                for (long dx = -r; dx <= r; dx += face ? 1 : 2 * std::max(r, 1L)) {
                    look(centre[0] + dx, centre[1] + dy, centre[2] + dz);
                }
            }
        }
        if (best <= enough2) {
            return best;
        }
        // Slots outside the rings searched are at least r cells' sides away.
        const double reach = static_cast<double>(r) * side_ * (1.0 - 1e-9);
        if (best <= reach * reach || reach * reach >= far2) {
            return best;
        }
    }
    return best;
}

double SelectionGrid::closest2() const {
    double best = std::numeric_limits<double>::infinity();
    std::size_t who = kNobody;
    // Each search stops at the closest length known so far: the rings stay few.
    each_by_cell(
        [&](std::size_t k) { best = std::min(best, nearest2(at_[k], k, -1.0, best, who)); });
    return best;
}

}  // namespace dispersao
