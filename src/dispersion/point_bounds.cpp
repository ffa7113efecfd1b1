// Links and bounds of the point search: the graph of cells whose boxes may be farther apart
// than the value, the upper bound read from it, the (p - 1)-core, and the bisection over
// relaxed cliques that brings the bound down between rounds.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <limits>
#include <utility>
#include <vector>

#include "dispersion/clique_search.hpp"
#include "dispersion/point_solver.hpp"
#include "dispersion/search_tuning.hpp"

namespace dispersao::point_internal {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Returns the least whole number above `x`: past 2^53, where every double is whole, the next
// double. Precondition: x is finite.
[[nodiscard]] double whole_above(double x) {
    const double next = std::floor(x) + 1.0;
    return next > x ? next : std::nextafter(x, kInfinity);
}

// Returns the greatest whole number below `x`, as whole_above does above it.
[[nodiscard]] double whole_below(double x) {
    const double next = std::ceil(x) - 1.0;
    return next < x ? next : std::nextafter(x, -kInfinity);
}

}  // namespace

// Links the cells whose bound exceeds the value, and lowers the upper bound: a point of a
// selection worth more than v has its p - 1 partners in other cells, so its cell's
// (p - 1)-th largest bound is at least the selection's worth.
BitGraph PointSolver::link_cells() {
    const std::size_t m = cells_.size();
    const auto keep = static_cast<std::size_t>(p_ - 1);
    BitGraph graph(m);
    // top[a * keep ..]: the largest `keep` bounds of cell a, in falling order; filled[a] of them.
    std::vector<double> top(m * keep, -kInfinity);
    std::vector<std::size_t> filled(m, 0);
    const auto offer = [&](std::size_t a, double bound) {
        double* const list = top.data() + a * keep;
        if (bound <= list[keep - 1]) {
            return;
        }
        std::size_t k = keep - 1;
        while (k > 0 && list[k - 1] < bound) {
            list[k] = list[k - 1];
            --k;
        }
        list[k] = bound;
        filled[a] = std::min(keep, filled[a] + 1);
    };
    for (std::size_t a = 0; a < m; ++a) {
        // A graph left half built is never used: the caller sees should_stop first.
        if (clock_.should_stop()) {
            return graph;
        }
        for (std::size_t b = a + 1; b < m; ++b) {
            const double bound = pair_bound(cells_[a], cells_[b]);
            if (bound > value_) {
                graph.add_edge(a, b);
                offer(a, bound);
                offer(b, bound);
            }
        }
    }
    double bound = value_;
    reach_.assign(m, -kInfinity);
    for (std::size_t a = 0; a < m; ++a) {
        if (filled[a] == keep) {
            reach_[a] = top[a * keep + keep - 1];
            bound = std::max(bound, reach_[a]);
        }
    }
    upper_ = std::min(upper_, bound);
    return graph;
}

// Returns the degree of each vertex of `graph`.
[[nodiscard]] std::vector<int> degrees(const BitGraph& graph) {
    std::vector<int> degree(graph.vertices(), 0);
    for (std::size_t a = 0; a < graph.vertices(); ++a) {
        for (std::size_t w = 0; w < graph.words(); ++w) {
            degree[a] += std::popcount(graph.row(a)[w]);
        }
    }
    return degree;
}

// Renumbers the cells in falling order of `degree` (one entry per cell).
void PointSolver::sort_by_degree(const std::vector<int>& degree) {
    std::vector<std::pair<int, std::size_t>> order;
    order.reserve(degree.size());
    for (std::size_t a = 0; a < degree.size(); ++a) {
        order.emplace_back(-degree[a], a);
    }
    std::sort(order.begin(), order.end());
    std::vector<Cell> sorted;
    sorted.reserve(order.size());
    for (const auto& entry : order) {
        sorted.push_back(cells_[entry.second]);
    }
    cells_ = std::move(sorted);
}

// Returns the cells that can be in a p-clique by degree alone (the (p-1)-core), as a bitset,
// and their degrees within it in `degree`.
std::vector<Word> PointSolver::peel(const BitGraph& graph, std::vector<int>& degree) const {
    const std::size_t m = graph.vertices();
    std::vector<Word> alive(graph.words(), 0);
    for (std::size_t a = 0; a < m; ++a) {
        alive[a / kWordBits] |= Word{1} << (a % kWordBits);
    }
    degree.assign(m, 0);
    std::vector<std::size_t> doomed;
    for (std::size_t a = 0; a < m; ++a) {
        const Word* const row = graph.row(a);
        for (std::size_t w = 0; w < graph.words(); ++w) {
            degree[a] += std::popcount(row[w]);
        }
        if (degree[a] < p_ - 1) {
            doomed.push_back(a);
            alive[a / kWordBits] &= ~(Word{1} << (a % kWordBits));
        }
    }
    while (!doomed.empty()) {
        const std::size_t a = doomed.back();
        doomed.pop_back();
        const Word* const row = graph.row(a);
        for (std::size_t w = 0; w < graph.words(); ++w) {
            for (Word bits = row[w] & alive[w]; bits != 0; bits &= bits - 1) {
                const std::size_t b =
                    w * kWordBits + static_cast<std::size_t>(std::countr_zero(bits));
                if (--degree[b] < p_ - 1) {
                    doomed.push_back(b);
                    alive[b / kWordBits] &= ~(Word{1} << (b % kWordBits));
                }
            }
        }
    }
    return alive;
}

// Looks for p cells pairwise bounded by at least `level`, among those whose reach allows it;
// returns 1 and the cells in `clique` when found, 0 when there are none, -1 when the search
// gave up (time, or its budget of clock checks).
int PointSolver::relaxed_clique(double level, std::vector<std::size_t>& clique) {
    std::vector<std::size_t> eligible;
    for (std::size_t c = 0; c < cells_.size(); ++c) {
        if (reach_[c] >= level) {
            eligible.push_back(c);
        }
    }
    BitGraph graph(eligible.size());
    for (std::size_t a = 0; a < eligible.size(); ++a) {
        if (clock_.should_stop()) {
            return -1;
        }
        for (std::size_t b = a + 1; b < eligible.size(); ++b) {
            if (pair_bound(cells_[eligible[a]], cells_[eligible[b]]) >= level) {
                graph.add_edge(a, b);
            }
        }
    }
    std::vector<Word> everyone(graph.words(), 0);
    for (std::size_t a = 0; a < eligible.size(); ++a) {
        everyone[a / kWordBits] |= Word{1} << (a % kWordBits);
    }
    int checks = 0;
    CliqueSearcher searcher(graph, [this, &checks] {
        return ++checks > tuning::kCellProbeChecks || clock_.should_stop();
    });
    const CliqueOutcome outcome = searcher.find(everyone, p_, clique);
    for (std::size_t& c : clique) {
        c = eligible[c];
    }
    if (outcome == CliqueOutcome::found) {
        return 1;
    }
    return outcome == CliqueOutcome::absent ? 0 : -1;
}

// Returns twice the covering radius of the farthest-point greedy's first p - 1 picks, in the
// rule's units: every point lies within that radius of a pick, so two of any p points share a
// nearest pick and lie within twice it of each other. O(n p) time, as one of the heuristics'
// greedy starts, and a double a point; a search stopped at once still reports it. Precondition:
// place_points() has run.
double PointSolver::covering_bound() {
    const std::size_t n = work_.size();
    // nearest2[i]: squared working length from work_[i] to the nearest pick.
    std::vector<double> nearest2(n, kInfinity);
    std::size_t pick = 0;
    double radius2 = kInfinity;
    for (int picked = 1; picked < p_; ++picked) {
        const std::array<double, 3> at = work_[pick].at;
        radius2 = 0;
        for (std::size_t i = 0; i < n; ++i) {
            double length2 = 0;
            for (std::size_t d = 0; d < 3; ++d) {
                const double gap = work_[i].at[d] - at[d];
                length2 += gap * gap;
            }
            nearest2[i] = std::min(nearest2[i], length2);
            if (nearest2[i] > radius2) {
                radius2 = nearest2[i];
                pick = i;
            }
        }
    }
    return space_.upper_from_length(2.0 * std::sqrt(radius2));
}

// Bisects for the relaxed optimum of the cells (the best p-clique's smallest bound), which
// bounds every selection from above; the cliques met on the way are tried for better
// selections.
void PointSolver::probe() {
    const bool whole =
        space_.rule != DistanceRule::euclidean && space_.rule != DistanceRule::great_circle_km;
    // Levels up to `low` are settled: a clique reaches them, or the search gave up on them.
    double low = value_;
    int polish_tries = tuning::kPolishTries;
    std::vector<std::size_t> clique;
    while (upper_ > low) {
        // Levels stay above the value: the cells hold every selection worth more than it, and
        // only of those does a missing clique prove anything.
        low = std::max(low, value_);
        if (upper_ <= low) {
            break;
        }
        // Whole-valued rules bisect over integers; real ones stop at a small relative width.
        if (!whole && upper_ - low <= tuning::kProbeRelativeWidth * std::fabs(upper_)) {
            break;
        }
        // Every step moves `low` up or the bound down, so the bisection ends on any scale.
        const double middle = low + (upper_ - low) / 2.0;
        const double level = whole ? std::min(upper_, whole_above(middle)) : middle;
        if (level <= low) {
            break;  // real levels a double apart: nothing lies between them
        }
        const int found = relaxed_clique(level, clique);
        if (found < 0) {
            // Undecided within the budget: higher levels are quicker to refute.
            if (clock_.should_stop()) {
                break;
            }
            low = level;
            continue;
        }
        if (found == 0) {
            upper_ = whole ? whole_below(level) : level;
            continue;
        }
        double worst = kInfinity;
        for (std::size_t a = 0; a < clique.size(); ++a) {
            for (std::size_t b = a + 1; b < clique.size(); ++b) {
                worst = std::min(worst, pair_bound(cells_[clique[a]], cells_[clique[b]]));
            }
        }
        low = std::max(level, worst);
        (void)take_clique(clique, polish_tries);
        if (value_ < level) {
            std::vector<Cell> tuple;
            tuple.reserve(clique.size());
            for (const std::size_t c : clique) {
                tuple.push_back(cells_[c]);
            }
            int budget = tuning::kDrillNodes;
            (void)drill(tuple, level, budget);
        }
    }
}

}  // namespace dispersao::point_internal
