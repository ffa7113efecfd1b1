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
// among them is a better selection. Memory: the points once in working order (32 bytes each)
// and a graph over a number of cells capped at about sqrt(1200 n).
#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "dispersion/clique_search.hpp"
#include "dispersion/dispersion.hpp"
#include "dispersion/distance_bounds.hpp"
#include "dispersion/point_heuristic.hpp"
#include "dispersion/point_search.hpp"
#include "dispersion/search_clock.hpp"

namespace dispersao {

namespace {

// A point in working coordinates and its position in the input.
struct WorkPoint {
    std::array<double, 3> at;
    std::uint32_t index;
};

// A box of points: work[lo, hi) with their tight bounding box.
struct Cell {
    std::size_t lo = 0;
    std::size_t hi = 0;
    std::array<double, 3> low{};
    std::array<double, 3> high{};
    bool one_place = false;  // all its points have the same coordinates
};

// How a round of the refinement ended.
enum class RoundEnd { proven, improved, refined, stopped, stuck };

// Points of the cells of a clique tried for a better selection at most, and tries per round.
constexpr std::size_t kPolishPoints = 20000;
constexpr int kPolishTries = 32;
// Colouring-bound checks (each 1024 search nodes) a probe's clique search may take.
constexpr int kProbeChecks = 20;
// Steps a search for a selection inside one relaxed clique may take.
constexpr int kDrillNodes = 4000;

// Returns whether bit i of the bitset `bits` is set.
[[nodiscard]] bool has(const std::vector<Word>& bits, std::size_t i) {
    return (bits[i / kWordBits] >> (i % kWordBits) & 1U) != 0;
}

class PointSolver {
  public:
    PointSolver(const PointSet& points, int p, SearchClock& clock, std::vector<std::size_t> start)
        : points_(points),
          p_(p),
          clock_(clock),
          space_(WorkingSpace::of(points)),
          max_cells_(std::max<std::size_t>(
              4096,
              static_cast<std::size_t>(std::sqrt(1200.0 * static_cast<double>(points.size()))))),
          best_(std::move(start)) {}

    // Returns the answer, searching from the selection given at construction, or from the
    // heuristics' if that was empty.
    DispersionResult run();

  private:
    void place_points();
    [[nodiscard]] Cell make_cell(std::size_t lo, std::size_t hi) const;
    void split(const Cell& cell, std::vector<Cell>& out);
    [[nodiscard]] double pair_bound(const Cell& a, const Cell& b) const;
    [[nodiscard]] bool solid(const Cell& cell) const;
    [[nodiscard]] bool make_solid();
    [[nodiscard]] RoundEnd round();
    [[nodiscard]] RoundEnd eliminate(const BitGraph& graph, std::vector<Word>& alive);
    [[nodiscard]] BitGraph link_cells();
    [[nodiscard]] std::vector<Word> peel(const BitGraph& graph, std::vector<int>& degree) const;
    [[nodiscard]] bool take_clique(const std::vector<std::size_t>& clique, int& polish_tries);
    [[nodiscard]] bool refine(const std::vector<Word>& alive);
    [[nodiscard]] int relaxed_clique(double level, std::vector<std::size_t>& clique);
    void probe();
    void sort_by_degree(const std::vector<int>& degree);
    [[nodiscard]] bool drill(std::vector<Cell>& tuple, double level, int& budget);
    void keep(const std::vector<Word>& alive);
    void closest_pair();
    void accept(const std::vector<std::size_t>& chosen, double value);

    const PointSet& points_;
    int p_;
    SearchClock& clock_;
    WorkingSpace space_;
    std::size_t max_cells_;
    std::vector<WorkPoint> work_;  // the points in working order, one per input point
    std::vector<Cell> cells_;      // the cells that may still hold a better selection
    // reach_[c]: the (p - 1)-th largest bound from cell c to the others, as last linked.
    std::vector<double> reach_;
    std::vector<std::size_t> best_;
    double value_ = -std::numeric_limits<double>::infinity();
    double upper_ = std::numeric_limits<double>::infinity();
};

void PointSolver::accept(const std::vector<std::size_t>& chosen, double value) {
    if (value > value_) {
        value_ = value;
        best_ = chosen;
    }
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
    std::size_t side = dims == 2
                           ? std::clamp<std::size_t>(4 * static_cast<std::size_t>(root_p), 8, 64)
                           : std::clamp<std::size_t>(2 * static_cast<std::size_t>(root_p), 4, 12);
    while (side > 1 && std::pow(static_cast<double>(side), static_cast<double>(dims)) >
                           static_cast<double>(n) / 4.0) {
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
    const std::size_t mid = cell.lo + (cell.hi - cell.lo) / 2;
    // Points at one working place but different coordinates split by position alone.
    if (cell.high[widest] > cell.low[widest]) {
        const auto first = work_.begin() + static_cast<std::ptrdiff_t>(cell.lo);
        std::nth_element(first, work_.begin() + static_cast<std::ptrdiff_t>(mid),
                         work_.begin() + static_cast<std::ptrdiff_t>(cell.hi),
                         [widest](const WorkPoint& a, const WorkPoint& b) {
                             return a.at[widest] < b.at[widest];
                         });
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

// Links the cells whose bound exceeds the value, and lowers the upper bound: a point of a
// selection worth more than v has its p - 1 partners in other cells, so its cell's
// (p - 1)-th largest bound is at least the selection's worth.
BitGraph PointSolver::link_cells() {
    const std::size_t m = cells_.size();
    const auto keep = static_cast<std::size_t>(p_ - 1);
    BitGraph graph(m);
    // top[a * keep ..]: the largest `keep` bounds of cell a, in falling order; filled[a] of them.
    std::vector<double> top(m * keep, -std::numeric_limits<double>::infinity());
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
    reach_.assign(m, -std::numeric_limits<double>::infinity());
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

// Takes a clique of cells: single places make a better selection outright; otherwise the best
// selection with one point in each of its cells is sought by exchanges, if they are small
// enough. Returns whether the value rose.
bool PointSolver::take_clique(const std::vector<std::size_t>& clique, int& polish_tries) {
    std::vector<std::size_t> chosen;
    std::size_t total = 0;
    bool exact = true;
    for (const std::size_t c : clique) {
        chosen.push_back(work_[cells_[c].lo].index);
        total += cells_[c].hi - cells_[c].lo;
        exact = exact && cells_[c].one_place;
    }
    if (exact) {
        const double value = selection_value(points_, chosen);
        assert(value > value_);
        accept(chosen, value);
        return true;
    }
    if (total > kPolishPoints || polish_tries <= 0) {
        return false;
    }
    --polish_tries;
    const CandidateLists inside{
        [&](std::size_t k) { return cells_[clique[k]].hi - cells_[clique[k]].lo; },
        [&](std::size_t k, std::size_t j) {
            return std::size_t{work_[cells_[clique[k]].lo + j].index};
        },
        [this] { return clock_.should_stop(); }};
    const double value = improve_selection(points_, chosen, inside, 4 * p_ + 8);
    if (value > value_) {
        accept(chosen, value);
        return true;
    }
    return false;
}

// Drops the cells not in `alive`.
void PointSolver::keep(const std::vector<Word>& alive) {
    std::size_t kept = 0;
    for (std::size_t a = 0; a < cells_.size(); ++a) {
        if (has(alive, a)) {
            cells_[kept++] = cells_[a];
        }
    }
    cells_.resize(kept);
}

// Keeps the cells in `alive`, splitting each in two as far as the cap allows; returns whether
// any was split.
bool PointSolver::refine(const std::vector<Word>& alive) {
    keep(alive);
    std::vector<Cell> kept;
    kept.swap(cells_);
    // Widest cells first, so that a cap on the count leaves the finest ones whole.
    const auto width = [](const Cell& c) {
        double w = 0;
        for (std::size_t d = 0; d < 3; ++d) {
            w = std::max(w, c.high[d] - c.low[d]);
        }
        return w;
    };
    std::sort(kept.begin(), kept.end(),
              [&](const Cell& a, const Cell& b) { return width(a) > width(b); });
    cells_.clear();
    bool any = false;
    for (std::size_t k = 0; k < kept.size(); ++k) {
        const bool room = cells_.size() + (kept.size() - k) + 1 <= max_cells_;
        if (!kept[k].one_place && room) {
            split(kept[k], cells_);
            any = true;
        } else {
            cells_.push_back(kept[k]);
        }
    }
    return any;
}

// Looks for p cells pairwise bounded by at least `level`, among those whose reach allows it;
// returns 1 and the cells in `clique` when found, 0 when there are none, -1 when the search
// gave up (time, or a budget of search nodes).
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
    CliqueSearcher searcher(
        graph, [this, &checks] { return ++checks > kProbeChecks || clock_.should_stop(); });
    const CliqueOutcome outcome = searcher.find(everyone, p_, clique);
    for (std::size_t& c : clique) {
        c = eligible[c];
    }
    if (outcome == CliqueOutcome::found) {
        return 1;
    }
    return outcome == CliqueOutcome::absent ? 0 : -1;
}

// Bisects for the relaxed optimum of the cells (the best p-clique's smallest bound), which
// bounds every selection from above; the cliques met on the way are tried for better
// selections.
void PointSolver::probe() {
    const bool whole =
        space_.rule != DistanceRule::euclidean && space_.rule != DistanceRule::great_circle_km;
    // Levels up to `low` are settled: a clique reaches them, or the search gave up on them.
    double low = value_;
    int polish_tries = kPolishTries;
    std::vector<std::size_t> clique;
    while (upper_ > low) {
        // Levels stay above the value: the cells hold every selection worth more than it, and
        // only of those does a missing clique prove anything.
        low = std::max(low, value_);
        if (upper_ <= low) {
            break;
        }
        // Whole-valued rules bisect over integers; real ones stop at a relative width of 1e-9.
        if (!whole && upper_ - low <= 1e-9 * std::fabs(upper_)) {
            break;
        }
        const double level =
            whole ? std::floor(low + (upper_ - low) / 2.0) + 1.0 : low + (upper_ - low) / 2.0;
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
            upper_ = whole ? level - 1.0 : level;
            continue;
        }
        double worst = std::numeric_limits<double>::infinity();
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
            int budget = kDrillNodes;
            (void)drill(tuple, level, budget);
        }
    }
}

// Looks for a selection worth at least `level` with one point in each of `tuple`'s cells,
// every pair of which is bounded by at least `level`: splits the widest cell and goes on with
// each half that keeps the bounds, depth first, within `budget` steps. Returns whether one
// was found (and taken).
bool PointSolver::drill(std::vector<Cell>& tuple, double level, int& budget) {
    if (--budget < 0 || clock_.should_stop()) {
        return false;
    }
    std::size_t widest = tuple.size();
    double width = -1;
    for (std::size_t k = 0; k < tuple.size(); ++k) {
        if (!tuple[k].one_place) {
            double w = 0;
            for (std::size_t d = 0; d < 3; ++d) {
                w = std::max(w, tuple[k].high[d] - tuple[k].low[d]);
            }
            if (w > width) {
                width = w;
                widest = k;
            }
        }
    }
    if (widest == tuple.size()) {
        std::vector<std::size_t> chosen;
        chosen.reserve(tuple.size());
        for (const Cell& c : tuple) {
            chosen.push_back(work_[c.lo].index);
        }
        accept(chosen, selection_value(points_, chosen));
        return true;
    }
    const Cell whole = tuple[widest];
    std::vector<Cell> halves;
    split(whole, halves);
    for (const Cell& half : halves) {
        bool fits = true;
        for (std::size_t k = 0; k < tuple.size() && fits; ++k) {
            fits = k == widest || pair_bound(half, tuple[k]) >= level;
        }
        if (fits) {
            tuple[widest] = half;
            if (drill(tuple, level, budget)) {
                return true;
            }
        }
    }
    tuple[widest] = whole;
    return false;
}

RoundEnd PointSolver::round() {
    if (!make_solid()) {
        return RoundEnd::stuck;
    }
    // Numbering the cells by falling degree makes the greedy colourings much tighter. One
    // graph over the cells lives at a time: memory stays within the cap's budget.
    std::vector<int> degree;
    {
        const BitGraph first = link_cells();
        if (clock_.should_stop()) {
            return RoundEnd::stopped;
        }
        degree = degrees(first);
    }
    probe();
    sort_by_degree(degree);
    const BitGraph graph = link_cells();
    if (clock_.should_stop()) {
        return RoundEnd::stopped;
    }
    clock_.report(value_, upper_);
    if (upper_ <= value_) {
        return RoundEnd::proven;
    }
    std::vector<Word> alive;
    const RoundEnd end = eliminate(graph, alive);
    if (end == RoundEnd::improved) {
        keep(alive);
    }
    if (end != RoundEnd::refined) {
        return end;
    }
    if (std::all_of(alive.begin(), alive.end(), [](Word w) { return w == 0; })) {
        return RoundEnd::proven;
    }
    std::size_t kept = 0;
    for (const Word w : alive) {
        kept += static_cast<std::size_t>(std::popcount(w));
    }
    // Progress is a cell dropped or split; without either the next round would be this one.
    const bool dropped = kept < graph.vertices();
    return refine(alive) || dropped ? RoundEnd::refined : RoundEnd::stuck;
}

// Drops every cell of `graph` in no p-clique, leaving the others in `alive` (a bitset over the
// cells). A cell in a clique found on the way is kept without a search of its own; a clique of
// single places, or one whose cells yield a better selection, ends the round as `improved`.
// Returns `refined` when every cell was decided, `stopped` if the limits struck first.
RoundEnd PointSolver::eliminate(const BitGraph& graph, std::vector<Word>& alive) {
    std::vector<int> degree;
    alive = peel(graph, degree);
    std::vector<std::size_t> order;
    for (std::size_t a = 0; a < graph.vertices(); ++a) {
        if (has(alive, a)) {
            order.push_back(a);
        }
    }
    // Cells of few links first: they are the likeliest to go, and each one gone makes the
    // searches after it smaller.
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return degree[a] < degree[b]; });
    std::vector<bool> witnessed(graph.vertices(), false);
    CliqueSearcher searcher(graph, [this] { return clock_.should_stop(); });
    std::vector<Word> candidates(graph.words());
    std::vector<std::size_t> clique;
    int polish_tries = kPolishTries;
    for (const std::size_t a : order) {
        if (witnessed[a] || !has(alive, a)) {
            continue;
        }
        if (clock_.should_stop()) {
            return RoundEnd::stopped;
        }
        clock_.report(value_, upper_);
        const Word* const row = graph.row(a);
        for (std::size_t w = 0; w < graph.words(); ++w) {
            candidates[w] = row[w] & alive[w];
        }
        const CliqueOutcome outcome = searcher.find(candidates, p_ - 1, clique);
        if (outcome == CliqueOutcome::stopped) {
            return RoundEnd::stopped;
        }
        if (outcome == CliqueOutcome::absent) {
            alive[a / kWordBits] &= ~(Word{1} << (a % kWordBits));
            continue;
        }
        clique.push_back(a);
        for (const std::size_t c : clique) {
            witnessed[c] = true;
        }
        if (take_clique(clique, polish_tries)) {
            return RoundEnd::improved;
        }
    }
    return RoundEnd::refined;
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
            best_ = heuristic_selection(points_, p_, [this] { return clock_.should_stop(); });
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
        while (upper_ > value_ && !clock_.should_stop()) {
            const RoundEnd end = round();
            if (end == RoundEnd::proven) {
                upper_ = value_;
            }
            if (end == RoundEnd::proven || end == RoundEnd::stopped || end == RoundEnd::stuck) {
                break;
            }
        }
    }
    DispersionResult result;
    result.chosen = best_;
    std::sort(result.chosen.begin(), result.chosen.end());
    result.value = value_;
    result.upper_bound = std::max(upper_, value_);
    result.proven = result.upper_bound <= value_;
    result.interrupted = !result.proven && clock_.interrupted();
    return result;
}

}  // namespace

DispersionResult solve_point_dispersion(const PointSet& points, int p, const SearchLimits& limits) {
    return solve_point_dispersion_from(points, p, {}, limits);
}

DispersionResult solve_point_dispersion_from(const PointSet& points, int p,
                                             std::vector<std::size_t> start,
                                             const SearchLimits& limits) {
    assert(p >= 2 && static_cast<std::size_t>(p) <= points.size());
    assert(points.size() <= std::numeric_limits<std::uint32_t>::max());
    assert(start.empty() || start.size() == static_cast<std::size_t>(p));
    SearchClock clock(limits);
    PointSolver solver(points, p, clock, std::move(start));
    DispersionResult result = solver.run();
    if (limits.on_progress) {
        limits.on_progress(result.value, result.upper_bound);
    }
    return result;
}

}  // namespace dispersao
