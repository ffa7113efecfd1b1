// Good selections found fast: farthest-point greedy and exchange improvement.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "dispersion/search_tuning.hpp"
#include "points/point_set.hpp"

namespace dispersao {

// Returns the smallest distance between two points of `chosen` (positions in `points`).
// Precondition: chosen.size() >= 2.
[[nodiscard]] double selection_value(const PointSet& points,
                                     const std::vector<std::size_t>& chosen);

// Returns p points picked greedily: `first`, then each time the point farthest from those
// already picked (a selection worth at least half the optimum). Preconditions:
// 2 <= p <= points.size(), first < points.size().
[[nodiscard]] std::vector<std::size_t> farthest_point_selection(const PointSet& points, int p,
                                                                std::size_t first);

// The points that may replace chosen point k in improve_selection: `count(k)` of them, the j-th
// being `candidate(k, j)`, or point j itself when `candidate` is empty.
struct CandidateLists {
    std::function<std::size_t(std::size_t k)> count;
    std::function<std::size_t(std::size_t k, std::size_t j)> candidate;
    // Asked before each chosen point's turn whether to stop; may be empty.
    std::function<bool()> should_stop;
};

// Improves `chosen` in place by exchanges: a point of a closest pair is replaced by the
// candidate farthest from the others while that raises the value, or keeps it and leaves fewer
// closest pairs; at most `rounds` exchanges. Returns the final value. Precondition: the chosen
// points are distinct and at least two.
double improve_selection(const PointSet& points, std::vector<std::size_t>& chosen,
                         const CandidateLists& candidates, int rounds);

// Returns whether the chains search a set of n points through an evenly spread sample of
// tuning::kHeuristicSample of them: on bigger sets a chain's steps over every point (the
// target search's layout, an exchange round) each take longer than a short time limit allows.
[[nodiscard]] inline bool searched_by_sample(std::size_t n) {
    return n > 2 * tuning::kHeuristicSample;
}

// Returns a good selection of p points: the best of tuning::kHeuristicChains chains of local
// search (from p = tuning::kTargetFromP; one chain below), each the farthest-point greedy from
// its own first point improved by exchanges with every point as a candidate, then raised by
// raise_by_targets while `should_stop` allows; on big sets, from an evenly spread sample, then
// improved with every point. The chains run on up to `threads` threads; the selection does not
// depend on how many, and `should_stop` is asked by the calling thread alone. Preconditions:
// 2 <= p <= points.size(), threads >= 1.
[[nodiscard]] std::vector<std::size_t> heuristic_selection(const PointSet& points, int p,
                                                           const std::function<bool()>& should_stop,
                                                           int threads = 1);

// Returns the best of `elite` and of the chains numbered `first` to `last` - 1 of local search
// (as heuristic_selection's, every other one from the best selection so far), run until
// tuning::kLateAgreeingGenerations generations in a row agree (never, when `to_the_end`) or
// `should_stop`, asked by the calling thread alone, says so. Preconditions: `elite` holds p
// distinct points, first <= last, threads >= 1.
[[nodiscard]] std::vector<std::size_t> more_chains(const PointSet& points, int p,
                                                   std::vector<std::size_t> elite,
                                                   std::size_t first, std::size_t last,
                                                   const std::function<bool()>& should_stop,
                                                   int threads, bool to_the_end = false);

}  // namespace dispersao
