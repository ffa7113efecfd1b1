// The cells of the point search: the points sorted into a grid in working order, boxes split
// in two at the median of their widest side, the conservative bound on the distance between
// two boxes, and the splitting of cells until each is solid (no two of its points farther
// apart than the value).
#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "dispersion/dispersion.hpp"
#include "dispersion/point_solver.hpp"
#include "dispersion/search_tuning.hpp"

namespace dispersao::point_internal {

std::size_t cell_cap(std::size_t n) {
    return std::max<std::size_t>(
        tuning::kMinCells,
        static_cast<std::size_t>(std::sqrt(tuning::kCellCapPerPoint * static_cast<double>(n))));
}

Cell PointSolver::make_cell(std::size_t lo, std::size_t hi) const {
    assert(lo < hi);
    Cell cell{lo, hi, work_[lo].at, work_[lo].at, false};
    for (std::size_t i = lo + 1; i < hi; ++i) {
        for (std::size_t d = 0; d < 3; ++d) {
            cell.low[d] = std::min(cell.low[d], work_[i].at[d]);
            cell.high[d] = std::max(cell.high[d], work_[i].at[d]);
        }
    }
    cell.one_place = cell.low == cell.high;
    for (std::size_t i = lo + 1; i < hi && cell.one_place; ++i) {
        cell.one_place = same_place(points_, work_[lo].index, work_[i].index);
    }
    return cell;
}

// Sorts the points into a grid of cells in working order, in time linear in their number.
void PointSolver::place_points() {
    const std::size_t n = points_.size();
    work_.resize(n);
    std::array<double, 3> low{};
    std::array<double, 3> high{};
    for (std::size_t i = 0; i < n; ++i) {
        work_[i] = {space_.place(points_, i), static_cast<std::uint32_t>(i)};
        for (std::size_t d = 0; d < 3; ++d) {
            low[d] = i == 0 ? work_[i].at[d] : std::min(low[d], work_[i].at[d]);
            high[d] = i == 0 ? work_[i].at[d] : std::max(high[d], work_[i].at[d]);
        }
    }
    const double root_p = std::ceil(std::sqrt(static_cast<double>(p_)));
    const auto dims = static_cast<std::size_t>(space_.dimensions);
    std::size_t side = (dims == 2 ? tuning::kPlaneSide : tuning::kSphereSide)
                           .for_root_p(static_cast<std::size_t>(root_p));
    while (side > 1 && std::pow(static_cast<double>(side), static_cast<double>(dims)) >
                           static_cast<double>(n) / tuning::kPointsPerSlot) {
        --side;
    }
    std::size_t slots = 1;
    for (std::size_t d = 0; d < dims; ++d) {
        slots *= side;
    }
    // slot_of[i]: the grid slot of work_[i]; start[s]: first place of slot s in sorted order.
    std::vector<std::uint32_t> slot_of(n);
    std::vector<std::size_t> start(slots + 1, 0);
    for (std::size_t i = 0; i < n; ++i) {
        std::size_t slot = 0;
        for (std::size_t d = 0; d < dims; ++d) {
            const double width = high[d] - low[d];
            const double t = width > 0 ? (work_[i].at[d] - low[d]) / width : 0.0;
            const auto k =
                std::min(side - 1, static_cast<std::size_t>(t * static_cast<double>(side)));
            slot = slot * side + k;
        }
        slot_of[i] = static_cast<std::uint32_t>(slot);
        ++start[slot + 1];
    }
    for (std::size_t s = 0; s < slots; ++s) {
        start[s + 1] += start[s];
    }
    std::vector<std::size_t> next(start.begin(), start.end() - 1);
    std::vector<WorkPoint> sorted(n);
    for (std::size_t i = 0; i < n; ++i) {
        sorted[next[slot_of[i]]++] = work_[i];
    }
    work_ = std::move(sorted);
    for (std::size_t s = 0; s < slots; ++s) {
        if (start[s] < start[s + 1]) {
            cells_.push_back(make_cell(start[s], start[s + 1]));
        }
    }
}

void PointSolver::split(const Cell& cell, std::vector<Cell>& out) {
    assert(cell.hi - cell.lo >= 2);
    std::size_t widest = 0;
    for (std::size_t d = 1; d < 3; ++d) {
        if (cell.high[d] - cell.low[d] > cell.high[widest] - cell.low[widest]) {
            widest = d;
        }
    }
    // Halves of the box rather than of the points: on clustered points a split at the median
    // leaves the sparse outskirts, where a spread selection lies, in wide cells for many rounds.
    std::size_t mid = cell.lo + (cell.hi - cell.lo) / 2;
    // Points at one working place but different coordinates split by position alone.
    if (cell.high[widest] > cell.low[widest]) {
        const auto first = work_.begin() + static_cast<std::ptrdiff_t>(cell.lo);
        const auto last = work_.begin() + static_cast<std::ptrdiff_t>(cell.hi);
        const double cut = cell.low[widest] + (cell.high[widest] - cell.low[widest]) / 2;
        const auto below = std::partition(
            first, last, [widest, cut](const WorkPoint& a) { return a.at[widest] <= cut; });
        mid = static_cast<std::size_t>(below - work_.begin());
        // The box is tight, so both halves hold a point unless rounding put the cut at an end.
        if (mid == cell.lo || mid == cell.hi) {
            mid = cell.lo + (cell.hi - cell.lo) / 2;
            std::nth_element(first, work_.begin() + static_cast<std::ptrdiff_t>(mid), last,
                             [widest](const WorkPoint& a, const WorkPoint& b) {
                                 return a.at[widest] < b.at[widest];
                             });
        }
    }
    out.push_back(make_cell(cell.lo, mid));
    out.push_back(make_cell(mid, cell.hi));
}

double PointSolver::pair_bound(const Cell& a, const Cell& b) const {
    if (a.one_place && b.one_place) {
        return point_distance(points_, work_[a.lo].index, work_[b.lo].index);
    }
    std::array<double, 3> extent{};
    for (std::size_t d = 0; d < 3; ++d) {
        extent[d] = std::max(a.high[d] - b.low[d], b.high[d] - a.low[d]);
    }
    return space_.upper_from_extent(extent.data());
}

bool PointSolver::solid(const Cell& cell) const {
    if (cell.one_place) {
        return true;
    }
    std::array<double, 3> extent{};
    for (std::size_t d = 0; d < 3; ++d) {
        extent[d] = cell.high[d] - cell.low[d];
    }
    return space_.upper_from_extent(extent.data()) <= value_;
}

// Splits cells until every one is solid; returns false if that needs more cells than allowed.
bool PointSolver::make_solid() {
    std::vector<Cell> pending;
    pending.swap(cells_);
    while (!pending.empty()) {
        const Cell cell = pending.back();
        pending.pop_back();
        if (solid(cell)) {
            cells_.push_back(cell);
        } else {
            split(cell, pending);
        }
        if (cells_.size() + pending.size() > max_cells_) {
            cells_.insert(cells_.end(), pending.begin(), pending.end());
            return false;
        }
    }
    return true;
}

// Returns whether the cells have lost a point: some point lies in no selection better than the
// value.
bool PointSolver::ruled_out_some() const {
    std::size_t held = 0;
    for (const Cell& c : cells_) {
        held += c.hi - c.lo;
    }
    return held < work_.size();
}

}  // namespace dispersao::point_internal
