// Exact p-dispersion: p points whose smallest pairwise distance is as large as possible.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

#include "dispersion/matrix_view.hpp"
#include "points/point_set.hpp"

namespace dispersao {

// When a search must stop early, and whom it tells how it is going.
struct SearchLimits {
    // Wall-clock seconds the search may take; infinity for no limit.
    double seconds = std::numeric_limits<double>::infinity();
    // Set from elsewhere (a signal handler, say) to stop the search as soon as it looks; may be
    // null.
    const std::atomic<bool>* interrupted = nullptr;
    // Called now and then (at most a few times a second) with the best value found so far and
    // the smallest upper bound proven so far; may be empty.
    std::function<void(double lower, double upper)> on_progress;
    // Worker threads the search may use; 0 means one per core the machine has.
    int threads = 0;
};

// What a search found. Whatever stopped it, `chosen` is a valid selection and `value` its worth.
struct DispersionResult {
    std::vector<std::size_t> chosen;  // 0-based positions of the p chosen points, ascending
    double value = 0;                 // smallest distance between two chosen points
    double upper_bound = 0;           // no selection of p points has a larger smallest distance
    bool proven = false;              // value == upper_bound: the selection is optimal
    bool interrupted = false;         // stopped by `interrupted` rather than by time or proof
    bool gave_up = false;             // ended by itself, before any limit, without a proof
};

// Returns p points of `points` whose smallest pairwise distance (under `points.rule`) is as
// large as possible, proven optimal unless the limits stop the search first. Memory grows
// linearly with the number of points: no n x n table is ever built. Preconditions:
// 2 <= p <= points.size().
[[nodiscard]] DispersionResult solve_point_dispersion(const PointSet& points, int p,
                                                      const SearchLimits& limits);

// The same for an instance of the menu program: n positions, the distance of positions a < b
// read from cell [a][b] of `matrix` (n row pointers to n floats, 0-based), the objective that of
// the menu program (each distance truncated toward zero, capped at 100). Preconditions:
// 2 <= p <= n.
[[nodiscard]] DispersionResult solve_matrix_dispersion(int n, const float* const* matrix, int p,
                                                       const SearchLimits& limits);

// The same for any distance matrix: real values, used as they are (no truncation, no cap).
// Memory beyond the matrix grows linearly with n. Preconditions: 2 <= p <= matrix.n, every
// cell read finite and >= 0.
[[nodiscard]] DispersionResult solve_distance_matrix(const MatrixView& matrix, int p,
                                                     const SearchLimits& limits);

// The distance between points a and b of `points` under its rule, exactly as the rule defines
// it (integer-valued for the TSPLIB rules). Preconditions: a, b < points.size().
[[nodiscard]] double point_distance(const PointSet& points, std::size_t a, std::size_t b);

}  // namespace dispersao
