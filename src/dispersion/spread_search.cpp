// Large selections: the farthest-point greedy, then single-point moves into nearby gaps.
//
// The greedy's selection is worth at least half the optimum, but leaves its points at
// uneven spacing. Each move takes one chosen point, closest ones first, to the point of the set
// near it that lies farthest from the other chosen points, when that is farther than the point
// was: every pair then changed is longer than the pair given up, so the selection's value never
// falls and its closest pairs thin out until the value rises. Chosen points are found through
// a grid of the selection, so a move costs about the points within the spacing of the chosen
// one, and nothing grows with p^2.
#include "dispersion/spread_search.hpp"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <numeric>
#include <vector>

#include "dispersion/distance_bounds.hpp"
#include "dispersion/packing_bound.hpp"
#include "dispersion/point_grid.hpp"
#include "dispersion/search_tuning.hpp"
#include "dispersion/selection_grid.hpp"
#include "dispersion/spread_greedy.hpp"
#include "dispersion/spread_repair.hpp"

namespace dispersao {

namespace {

class SpreadSearch {
  public:
    SpreadSearch(const PointSet& points, int p, SearchClock& clock)
        : points_(points),
          p_(static_cast<std::size_t>(p)),
          clock_(clock),
          space_(WorkingSpace::of(points)),
          grid_(points, space_, tuning::kSpreadPointsPerCell),
          taken_(points.size(), false),
          reserve_(tuning::kSpreadFinishSecondsPerPoint * static_cast<double>(p)) {}

    // Returns the answer.
    DispersionResult run();

  private:
    // Returns whether the search must stop, or has only the time left that the last look at
    // its selection takes (it cannot stop): every step but that last look asks this.
    [[nodiscard]] bool out_of_time() { return clock_.within(reserve_); }

    [[nodiscard]] std::vector<std::size_t> greedy_start(double& covering, double& spacing);
    [[nodiscard]] double rule_value(const SelectionGrid& chosen) const;
    [[nodiscard]] bool move_slot(SelectionGrid& chosen, std::size_t k, double spacing,
                                 double binding2);
    void improve(SelectionGrid& chosen, double bound);
    [[nodiscard]] double upper_bound(double covering, double reached);

    const PointSet& points_;
    std::size_t p_;
    SearchClock& clock_;
    WorkingSpace space_;
    PointGrid grid_;
    std::vector<bool> taken_;  // grid positions held by the selection
    double reserve_;           // seconds kept back from the limit for the last look
};

// Returns the greedy's p grid positions, filled up with untaken ones spread over the set when
// the clock cut it short; sets `covering` to the working length of its covering radius and
// `spacing` to that of its closest pair (0 when cut short).
std::vector<std::size_t> SpreadSearch::greedy_start(double& covering, double& spacing) {
    GreedyPicks picks = farthest_point_greedy(grid_, p_, [this] { return out_of_time(); });
    covering = std::sqrt(picks.cover2);
    spacing = picks.complete ? std::sqrt(picks.value2) : 0.0;
    for (const std::size_t i : picks.chosen) {
        taken_[i] = true;
    }
    // Grid positions run cell by cell: the rest are taken at even steps along them, so that
    // they spread over the whole set rather than fill its first cells.
    const std::size_t missing = p_ - picks.chosen.size();
    for (std::size_t j = 0; j < missing; ++j) {
        auto i = static_cast<std::size_t>((static_cast<double>(j) + 0.5) *
                                          static_cast<double>(grid_.size()) /
                                          static_cast<double>(missing));
        while (taken_[i]) {
            i = (i + 1) % grid_.size();
        }
        taken_[i] = true;
        picks.chosen.push_back(i);
    }
    return std::move(picks.chosen);
}

// Returns the selection's value under the rule: the least rule distance of the pairs within a
// hair of the closest working length (the rule grows with it, up to its rounding).
double SpreadSearch::rule_value(const SelectionGrid& chosen) const {
    const double limit = std::sqrt(chosen.closest2()) * (1.0 + 1e-6) + 1e-7;
    double value = std::numeric_limits<double>::infinity();
    chosen.each_by_cell([&](std::size_t k) {
        const std::size_t a = chosen.at(k);
        chosen.around(a, limit, [&](std::size_t j) {
            const std::size_t b = chosen.at(j);
            if (j > k && grid_.length2(a, b) <= limit * limit) {
                value = std::min(value, point_distance(points_, grid_.input(a), grid_.input(b)));
            }
        });
    });
    return value;
}

// Moves slot k to the untaken point within `spacing` (or its own nearest-slot length, if
// larger) of it farthest from the other slots, if that is farther than slot k is now; returns
// whether it moved. Slots at least sqrt(binding2) from the others, and places as far, count as
// that far: such slots bind nothing.
bool SpreadSearch::move_slot(SelectionGrid& chosen, std::size_t k, double spacing,
                             double binding2) {
    const std::size_t from = chosen.at(k);
    std::size_t blocker = SelectionGrid::kNobody;
    double best = chosen.nearest2(from, k, -1.0, binding2, blocker);
    if (best >= binding2) {
        return false;
    }
    const double radius = std::max(spacing, std::sqrt(best)) * tuning::kSpreadMoveReach;
    std::size_t target = from;
    const auto dims = static_cast<std::size_t>(grid_.dimensions());
    std::array<std::size_t, 3> low{0, 0, 0};
    std::array<std::size_t, 3> high{0, 0, 0};
    for (std::size_t d = 0; d < dims; ++d) {
        low[d] = grid_.slot(grid_.at(from, d) - radius, d);
        high[d] = grid_.slot(grid_.at(from, d) + radius, d);
    }
    for (std::size_t cz = low[2]; cz <= high[2]; ++cz) {
        for (std::size_t cy = low[1]; cy <= high[1]; ++cy) {
            for (std::size_t cx = low[0]; cx <= high[0]; ++cx) {
                const std::size_t c = grid_.cell(cx, cy, cz);
                for (std::size_t x = grid_.first(c); x < grid_.first(c + 1); ++x) {
                    if (taken_[x]) {
                        continue;
                    }
                    // The slot that ruled out the last candidate usually rules out this one.
                    if (blocker != SelectionGrid::kNobody &&
                        grid_.length2(x, chosen.at(blocker)) <= best) {
                        continue;
                    }
                    std::size_t who = SelectionGrid::kNobody;
                    const double length2 =
                        std::min(chosen.nearest2(x, k, best, binding2, who), binding2);
                    if (length2 > best) {
                        best = length2;
                        target = x;
                    } else {
                        blocker = who;
                    }
                }
            }
        }
    }
    if (target == from) {
        return false;
    }
    taken_[from] = false;
    taken_[target] = true;
    chosen.move(k, target);
    return true;
}

// Moves slots, closest ones first, in rounds until a round moves none or the clock stops it;
// `bound` is the upper bound reported with the progress.
void SpreadSearch::improve(SelectionGrid& chosen, double bound) {
    std::vector<double> nearest(chosen.size());
    std::vector<std::uint32_t> order(chosen.size());
    std::size_t steps = 0;
    while (!out_of_time()) {
        const double spacing = std::sqrt(chosen.closest2());
        const double binding = spacing * tuning::kSpreadBinding;
        std::size_t who = SelectionGrid::kNobody;
        for (std::size_t k = 0; k < chosen.size(); ++k) {
            if (k % tuning::kSpreadSlotsPerClockCheck == 0 && out_of_time()) {
                return;
            }
            nearest[k] = chosen.nearest2(chosen.at(k), k, -1.0, binding * binding, who);
        }
        if (clock_.report_due()) {
            clock_.report(rule_value(chosen), bound);
        }
        std::iota(order.begin(), order.end(), 0U);
        std::sort(order.begin(), order.end(),
                  [&](std::uint32_t a, std::uint32_t b) { return nearest[a] < nearest[b]; });
        std::size_t moved = 0;
        for (const std::uint32_t k : order) {
            if (++steps % tuning::kSpreadMovesPerClockCheck == 0 && out_of_time()) {
                return;
            }
            moved += move_slot(chosen, k, spacing, binding * binding) ? 1 : 0;
        }
        if (moved == 0) {
            return;
        }
    }
}

// Returns the least of the upper bounds, in the rule's units: the set's diameter, twice the
// covering radius `covering` (working) and the packing count's, bisected from `reached`.
double SpreadSearch::upper_bound(double covering, double reached) {
    std::array<double, 3> extent{};
    double diagonal2 = 0;
    for (std::size_t d = 0; d < 3; ++d) {
        extent[d] = grid_.high()[d] - grid_.low()[d];
        diagonal2 += extent[d] * extent[d];
    }
    // p - 1 picks at the places of all the points: any p points repeat a place (a plane's
    // working place is its coordinates), and the optimum is 0.
    if (covering == 0 && grid_.dimensions() == 2) {
        return 0;
    }
    double bound = space_.upper_from_extent(extent.data());
    double length = std::sqrt(diagonal2) * (1.0 + 1e-9);
    if (std::isfinite(covering)) {
        bound = std::min(bound, space_.upper_from_length(2.0 * covering));
        length = std::min(length, 2.0 * covering * (1.0 + 1e-9));
    }
    const double packed = packing_bound(grid_, p_, std::min(reached, length), length,
                                        [this] { return out_of_time(); });
    return std::min(bound, space_.upper_from_length(packed));
}

DispersionResult SpreadSearch::run() {
    double covering = std::numeric_limits<double>::infinity();
    double spacing = 0;
    const std::vector<std::size_t> start = greedy_start(covering, spacing);
    // Cells about the spacing of the selection a side; the grid widens them if that is tiny.
    SelectionGrid chosen(grid_, start, std::max(spacing, 1e-300));
    DispersionResult result;
    result.value = rule_value(chosen);
    const double bound = std::max(result.value, upper_bound(covering, spacing));
    improve(chosen, bound);
    const std::vector<std::size_t> repaired =
        repair_spacing(grid_, chosen, taken_, [this] { return out_of_time(); });
    // Each look at a selection costs O(p): one stopped early looks at nothing it left alone.
    const std::vector<std::size_t>* best = &start;
    if (repaired != start) {
        const double value = rule_value(SelectionGrid(grid_, repaired, std::max(spacing, 1e-300)));
        if (value > result.value) {
            result.value = value;
            best = &repaired;
        }
    }
    for (const std::size_t i : *best) {
        result.chosen.push_back(grid_.input(i));
    }
    std::sort(result.chosen.begin(), result.chosen.end());
    result.upper_bound = std::max(bound, result.value);
    result.proven = result.upper_bound <= result.value;
    result.interrupted = !result.proven && clock_.interrupted();
    return result;
}

}  // namespace

DispersionResult solve_spread_selection(const PointSet& points, int p, SearchClock& clock) {
    assert(p >= 2 && static_cast<std::size_t>(p) <= points.size());
    assert(points.size() <= std::numeric_limits<std::uint32_t>::max());
    SpreadSearch search(points, p, clock);
    return search.run();
}

}  // namespace dispersao
