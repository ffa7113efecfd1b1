// The state of the exact point search, shared by its phases: cells (point_cells.cpp), links
// and bounds (point_bounds.cpp), elimination rounds (point_rounds.cpp) and the driver
// (point_search.cpp). Internal to the library: solve_point_dispersion is the way in.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "dispersion/clique_search.hpp"
#include "dispersion/dispersion.hpp"
#include "dispersion/distance_bounds.hpp"
#include "dispersion/search_clock.hpp"

namespace dispersao::point_internal {

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

// Returns whether bit i of the bitset `bits` is set. Precondition: i below 64 * bits.size().
[[nodiscard]] inline bool has(const std::vector<Word>& bits, std::size_t i) {
    return (bits[i / kWordBits] >> (i % kWordBits) & 1U) != 0;
}

// Returns the degree of each vertex of `graph`.
[[nodiscard]] std::vector<int> degrees(const BitGraph& graph);

// Returns the most cells the search may hold at once for a set of n points.
[[nodiscard]] std::size_t cell_cap(std::size_t n);

// One exact search of p points of a set. Value v and upper bound only tighten.
class PointSolver {
  public:
    // Prepares a search of `points` from the selection `start` (p distinct positions, or empty
    // for the heuristics') on `threads` >= 1 threads. `points` and `clock` must outlive the
    // solver.
    PointSolver(const PointSet& points, int p, SearchClock& clock, std::vector<std::size_t> start,
                int threads)
        : points_(points),
          p_(p),
          threads_(threads),
          clock_(clock),
          space_(WorkingSpace::of(points)),
          max_cells_(cell_cap(points.size())),
          best_(std::move(start)) {}

    // Returns the answer, searching from the selection given at construction, or from the
    // heuristics' if that was empty.
    DispersionResult run();

  private:
    // Cells (point_cells.cpp).
    void place_points();
    [[nodiscard]] Cell make_cell(std::size_t lo, std::size_t hi) const;
    void split(const Cell& cell, std::vector<Cell>& out);
    [[nodiscard]] double pair_bound(const Cell& a, const Cell& b) const;
    [[nodiscard]] bool solid(const Cell& cell) const;
    [[nodiscard]] bool make_solid();
    [[nodiscard]] bool ruled_out_some() const;

    // Links and bounds (point_bounds.cpp).
    [[nodiscard]] BitGraph link_cells();
    [[nodiscard]] std::vector<Word> peel(const BitGraph& graph, std::vector<int>& degree) const;
    void sort_by_degree(const std::vector<int>& degree);
    [[nodiscard]] int relaxed_clique(double level, std::vector<std::size_t>& clique);
    void probe();
    [[nodiscard]] double covering_bound();
    // Returns the least upper bound known of every selection's value.
    [[nodiscard]] double bound() const { return std::min(upper_, covered_); }

    // Elimination rounds (point_rounds.cpp, point_elimination.cpp).
    [[nodiscard]] RoundEnd round();
    [[nodiscard]] RoundEnd eliminate(const BitGraph& graph, std::vector<Word>& alive,
                                     std::vector<Word>& unsettled);
    [[nodiscard]] bool take_clique(const std::vector<std::size_t>& clique, int& polish_tries);
    [[nodiscard]] bool uncertain_link(const Cell& a, const Cell& b) const;
    [[nodiscard]] std::vector<Word> worth_splitting(const BitGraph& graph,
                                                    const std::vector<Word>& alive) const;
    [[nodiscard]] bool refine(const std::vector<Word>& alive, const std::vector<Word>& worth);
    void keep(const std::vector<Word>& alive);
    [[nodiscard]] bool drill(std::vector<Cell>& tuple, double level, int& budget);

    // Driver (point_search.cpp).
    void closest_pair();
    void accept(const std::vector<std::size_t>& chosen, double value);

    const PointSet& points_;
    int p_;
    int threads_;  // threads the search may use, >= 1
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
    // Twice the greedy's covering radius (covering_bound): a bound beside the cells' own, which
    // on large sets is the better one until the first rounds end.
    double covered_ = std::numeric_limits<double>::infinity();
};

}  // namespace dispersao::point_internal
