// Exact p-dispersion of points by decremental cell refinement.
//
// The best selection known, worth v, comes first from the heuristics. The points are then
// covered by cells (boxes of a kd-tree grown on demand), each small enough that two points in
// it are at most v apart: a selection worth more than v takes at most one point per cell. Two
// cells are linked when the largest distance between their boxes, bounded conservatively, is
// above v; a selection worth more than v is then a p-clique of linked cells. A cell in no
// p-clique holds no point of such a selection and is dropped for good (v only grows). Every
// cell that survives is split in two and the question asked again, until no cell is left (v is
// optimal) or the cells left are single places, whose links are exact distances, and a clique
// among them is a better selection. Under a time limit, from half of it on, later chains of
// the heuristics run beside the rounds, or instead of them where the rounds have ruled out no
// point (late_chains.hpp); the answer is the better selection, the bound the rounds'. Memory: the
// points once in working order (32 bytes each) and a graph over a number of cells capped at about
// sqrt(1200 n) (search_tuning.hpp).
#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "dispersion/dispersion.hpp"
#include "dispersion/late_chains.hpp"
#include "dispersion/point_heuristic.hpp"
#include "dispersion/point_search.hpp"
#include "dispersion/point_solver.hpp"
#include "dispersion/search_clock.hpp"
#include "dispersion/search_tuning.hpp"
#include "dispersion/spread_search.hpp"

namespace dispersao {

namespace point_internal {

void PointSolver::accept(const std::vector<std::size_t>& chosen, double value) {
    if (value > value_) {
        value_ = value;
        best_ = chosen;
    }
}

// Solves p = n: the selection is every point, its value the closest pair's distance, found by
// a sweep along the first working coordinate.
void PointSolver::closest_pair() {
    const std::size_t n = points_.size();
    std::vector<std::pair<double, std::size_t>> sweep(n);
    for (std::size_t i = 0; i < n; ++i) {
        sweep[i] = {space_.place(points_, i)[0], i};
    }
    std::sort(sweep.begin(), sweep.end());
    double nearest = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = i + 1; j < n; ++j) {
            if (space_.lower_from_gap(sweep[j].first - sweep[i].first) > nearest) {
                break;
            }
            nearest = std::min(nearest, point_distance(points_, sweep[i].second, sweep[j].second));
        }
    }
    best_.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        best_[i] = i;
    }
    value_ = nearest;
    upper_ = nearest;
}

DispersionResult PointSolver::run() {
    const std::size_t n = points_.size();
    if (static_cast<std::size_t>(p_) == n) {
        closest_pair();
    } else {
        if (best_.empty()) {
            best_ = heuristic_selection(
                points_, p_, [this] { return clock_.past_share(tuning::kHeuristicShare); },
                threads_);
        }
        value_ = selection_value(points_, best_);
        place_points();
        // Until a round bounds it better: every pair lies within the bounding box of all.
        Cell all = cells_.front();
        for (const Cell& c : cells_) {
            for (std::size_t d = 0; d < 3; ++d) {
                all.low[d] = std::min(all.low[d], c.low[d]);
                all.high[d] = std::max(all.high[d], c.high[d]);
            }
        }
        all.one_place = false;
        upper_ = std::max(value_, pair_bound(all, all));
        covered_ = covering_bound();
        LateChains late(points_, p_, best_, clock_, threads_);
        while (bound() > value_ && !clock_.should_stop()) {
            const RoundEnd end = round();
            if (ruled_out_some()) {
                late.note_progress();
            }
            if (end == RoundEnd::proven) {
                upper_ = value_;
            }
            if (end == RoundEnd::proven || end == RoundEnd::stopped || end == RoundEnd::stuck) {
                break;
            }
        }
        if (bound() > value_ && late.took_over()) {
            late.await();
        }
        // The bound stands whatever the chains found: it holds for every selection.
        const std::vector<std::size_t> chains = late.finish();
        if (!chains.empty()) {
            accept(chains, selection_value(points_, chains));
        }
    }
    DispersionResult result;
    result.chosen = best_;
    std::sort(result.chosen.begin(), result.chosen.end());
    result.value = value_;
    result.upper_bound = std::max(bound(), value_);
    result.proven = result.upper_bound <= value_;
    result.interrupted = !result.proven && clock_.interrupted();
    return result;
}

}  // namespace point_internal

DispersionResult solve_point_dispersion(const PointSet& points, int p, const SearchLimits& limits) {
    assert(p >= 2 && static_cast<std::size_t>(p) <= points.size());
    // Large selections, short of every point (a closest pair), need no graph of p cells.
    if (p >= tuning::kSpreadMinP && static_cast<std::size_t>(p) < points.size()) {
        SearchClock clock(limits);
        DispersionResult result = solve_spread_selection(points, p, clock);
        // Small sets go on to the exact search from that selection, with the time left: the
        // value can only rise and the bound only fall.
        if (!result.proven && !clock.should_stop() &&
            points.size() <= tuning::kExactAfterSpreadMaxPoints &&
            p <= tuning::kExactAfterSpreadMaxP) {
            SearchLimits rest = limits;
            rest.seconds = limits.seconds - clock.elapsed();
            DispersionResult exact = solve_point_dispersion_from(points, p, result.chosen, rest);
            exact.upper_bound =
                std::max(exact.value, std::min(exact.upper_bound, result.upper_bound));
            exact.proven = exact.upper_bound <= exact.value;
            exact.interrupted = exact.interrupted && !exact.proven;
            return exact;
        }
        result.gave_up = !result.proven && !clock.should_stop();
        if (limits.on_progress) {
            limits.on_progress(result.value, result.upper_bound);
        }
        return result;
    }
    return solve_point_dispersion_from(points, p, {}, limits);
}

DispersionResult solve_point_dispersion_from(const PointSet& points, int p,
                                             std::vector<std::size_t> start,
                                             const SearchLimits& limits) {
    assert(p >= 2 && static_cast<std::size_t>(p) <= points.size());
    assert(points.size() <= std::numeric_limits<std::uint32_t>::max());
    assert(start.empty() || start.size() == static_cast<std::size_t>(p));
    SearchClock clock(limits);
    point_internal::PointSolver solver(points, p, clock, std::move(start), search_threads(limits));
    DispersionResult result = solver.run();
    if (limits.on_progress) {
        limits.on_progress(result.value, result.upper_bound);
    }
    return result;
}

}  // namespace dispersao
