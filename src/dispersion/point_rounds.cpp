// The elimination rounds of the point search: each round links the solid cells, drops every
// cell in no p-clique (point_elimination.cpp), tries the cliques met for better selections, and
// splits what is left.
#include <algorithm>
#include <bit>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include "dispersion/clique_search.hpp"
#include "dispersion/point_heuristic.hpp"
#include "dispersion/point_solver.hpp"
#include "dispersion/search_tuning.hpp"

namespace dispersao::point_internal {

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
    if (total > tuning::kPolishPoints || polish_tries <= 0) {
        return false;
    }
    --polish_tries;
    const CandidateLists inside{
        [&](std::size_t k) { return cells_[clique[k]].hi - cells_[clique[k]].lo; },
        [&](std::size_t k, std::size_t j) {
            return std::size_t{work_[cells_[clique[k]].lo + j].index};
        },
        [this] { return clock_.should_stop(); }};
    const double value = improve_selection(
        points_, chosen, inside, tuning::kPolishRoundsPerPoint * p_ + tuning::kPolishRoundsBase);
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

// Returns whether the link of cells `a` and `b` may be false: the least distance between their
// boxes, bounded conservatively, is not above the value.
bool PointSolver::uncertain_link(const Cell& a, const Cell& b) const {
    double sum = 0;
    for (std::size_t d = 0; d < 3; ++d) {
        const double gap = std::max({0.0, a.low[d] - b.high[d], b.low[d] - a.high[d]});
        sum += gap * gap;
    }
    return space_.lower_from_gap(std::sqrt(sum)) <= value_;
}

// Marks the cells of `alive` with a link in `graph` (to another cell of `alive`) that may be
// false. A cell whose links are all certain loses none by a split: its points are alike to the
// elimination, and splitting it only multiplies the cells (on clustered sets, the many cells
// of a point free of the closest pairs). Precondition: `graph` links the current cells.
std::vector<Word> PointSolver::worth_splitting(const BitGraph& graph,
                                               const std::vector<Word>& alive) const {
    assert(graph.vertices() == cells_.size());
    std::vector<Word> worth(alive.size(), 0);
    for (std::size_t a = 0; a < cells_.size(); ++a) {
        if (!has(alive, a) || cells_[a].one_place) {
            continue;
        }
        const Word* const row = graph.row(a);
        bool found = false;
        for (std::size_t w = 0; w < graph.words() && !found; ++w) {
            for (Word bits = row[w] & alive[w]; bits != 0 && !found; bits &= bits - 1) {
                const std::size_t b =
                    w * kWordBits + static_cast<std::size_t>(std::countr_zero(bits));
                found = uncertain_link(cells_[a], cells_[b]);
            }
        }
        if (found) {
            worth[a / kWordBits] |= Word{1} << (a % kWordBits);
        }
    }
    return worth;
}

// Keeps the cells in `alive`, splitting in two, as far as the cap allows, those in `worth`
// (every one when `worth` holds none of them); returns whether any was split.
// Precondition: `alive` and `worth` are bitsets over the current cells.
bool PointSolver::refine(const std::vector<Word>& alive, const std::vector<Word>& worth) {
    assert(alive.size() == worth.size());
    bool any_worth = false;
    std::vector<char> split_it(cells_.size(), 0);
    for (std::size_t a = 0; a < cells_.size(); ++a) {
        split_it[a] = static_cast<char>(has(alive, a) && has(worth, a));
        any_worth = any_worth || split_it[a] != 0;
    }
    std::vector<std::pair<Cell, bool>> kept;
    for (std::size_t a = 0; a < cells_.size(); ++a) {
        if (has(alive, a)) {
            kept.emplace_back(cells_[a], !any_worth || split_it[a] != 0);
        }
    }
    // Widest cells first, so that a cap on the count leaves the finest ones whole.
    const auto width = [](const Cell& c) {
        double w = 0;
        for (std::size_t d = 0; d < 3; ++d) {
            w = std::max(w, c.high[d] - c.low[d]);
        }
        return w;
    };
    std::stable_sort(kept.begin(), kept.end(),
                     [&](const auto& a, const auto& b) { return width(a.first) > width(b.first); });
    cells_.clear();
    bool any = false;
    for (std::size_t k = 0; k < kept.size(); ++k) {
        const bool room = cells_.size() + (kept.size() - k) + 1 <= max_cells_;
        if (kept[k].second && !kept[k].first.one_place && room) {
            split(kept[k].first, cells_);
            any = true;
        } else {
            cells_.push_back(kept[k].first);
        }
    }
    return any;
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
    clock_.report(value_, bound());
    if (bound() <= value_) {
        return RoundEnd::proven;
    }
    std::vector<Word> alive;
    std::vector<Word> unsettled;
    const RoundEnd end = eliminate(graph, alive, unsettled);
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
    // Cells left undecided are split whatever their links now: their halves settle them.
    std::vector<Word> worth = worth_splitting(graph, alive);
    for (std::size_t a = 0; a < cells_.size(); ++a) {
        if (has(unsettled, a) && has(alive, a) && !cells_[a].one_place) {
            worth[a / kWordBits] |= Word{1} << (a % kWordBits);
        }
    }
    return refine(alive, worth) || dropped ? RoundEnd::refined : RoundEnd::stuck;
}

}  // namespace dispersao::point_internal
