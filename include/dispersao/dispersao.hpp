// The dispersao library: exact p-dispersion, the choice of p sites, among n given, whose smallest
// pairwise distance is as large as possible, proven optimal unless a limit stops the search
// (from p = 30 on, sets of over 10,000 points, or any set at p above 1,000, get a selection at
// least as good as the farthest-point greedy's with an upper bound, and no proof).
//
//     #include <dispersao/dispersao.hpp>
//     std::vector<double> xy = {0, 0, 3, 4, 6, 0, 1, 1};  // x0, y0, x1, y1, ...
//     dispersao::SolveResult r = dispersao::solve(dispersao::PointsView::interleaved(xy), 3);
//     // r.ids == {0, 1, 2}, r.value == 5, r.proven
//
// Every function here is safe to call from several threads at once on different or the same
// (unchanging) input. Bad input throws std::invalid_argument with a one-line English message;
// nothing else is thrown but std::bad_alloc.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <limits>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace dispersao {

// How the distance between two points is measured.
enum class Metric {
    euclidean,  // sqrt(dx^2 + dy^2) as a real number
    euc_2d,     // TSPLIB EUC_2D: the Euclidean distance rounded to the nearest integer
    ceil_2d,    // TSPLIB CEIL_2D: the Euclidean distance rounded up
    att,        // TSPLIB ATT: the pseudo-Euclidean rule of att48 and att532
    geo,        // TSPLIB GEO: integer km from x = latitude, y = longitude in TSPLIB's DDD.MM form
                // (latitude within [-90, 90])
    haversine   // great-circle km on a sphere of radius 6371.0 from x = latitude, y = longitude
                // in decimal degrees (latitude within [-90, 90])
};

// n points held by the caller, never copied by the view: point i is (x[i * stride],
// y[i * stride]). The caller keeps the coordinates alive and unchanged during a solve.
struct PointsView {
    std::size_t n = 0;
    const double* x = nullptr;
    const double* y = nullptr;
    std::size_t stride = 1;  // doubles from one point's x (or y) to the next point's

    // Returns a view of interleaved coordinates x0, y0, x1, y1, ...; throws
    // std::invalid_argument unless xy.size() is even.
    [[nodiscard]] static PointsView interleaved(std::span<const double> xy) {
        if (xy.size() % 2 != 0) {
            throw std::invalid_argument("interleaved coordinates come in pairs; got " +
                                        std::to_string(xy.size()) + " values");
        }
        return {xy.size() / 2, xy.data(), xy.data() + 1, 2};
    }
    // Returns a view of two columns; throws std::invalid_argument unless they are equally long.
    [[nodiscard]] static PointsView columns(std::span<const double> x, std::span<const double> y) {
        if (x.size() != y.size()) {
            throw std::invalid_argument(
                "the columns differ in length: " + std::to_string(x.size()) + " x values, " +
                std::to_string(y.size()) + " y values");
        }
        return {x.size(), x.data(), y.data(), 1};
    }
};

// The most worker threads a solve accepts: more than any machine it runs on has cores.
inline constexpr int kMaxThreads = 1024;

// The limits and companions of one solve. The defaults: no time limit, every core, no fixed site.
struct SolveOptions {
    // Wall-clock seconds the search may take (>= 0); infinity for no limit. When it runs out the
    // best selection found is returned with proven == false.
    double time_limit = std::numeric_limits<double>::infinity();
    // Worker threads the search may use, 0 to kMaxThreads; 0 means one per core.
    int threads = 0;
    // 0-based positions of sites already chosen: distinct, below n, at most p of them. The
    // answer holds them all and is optimal among the selections that do.
    std::vector<std::size_t> fixed;
    // Set to true from any thread (or a signal handler) to stop the search within a fraction
    // of a second; the best selection found is then returned with cancelled == true. May be
    // null; must outlive the solve.
    const std::atomic<bool>* cancel = nullptr;
    // Called on the solving thread now and then (a few times a second at most) with the best
    // value found so far and the smallest upper bound proven so far; may be empty.
    std::function<void(double value, double upper_bound)> on_progress;
};

// What a solve found. Whatever stopped it, `ids` is a valid selection of p sites and `value`
// its worth; upper_bound >= value bounds the worth of every selection (holding the fixed
// sites); proven says they are equal.
struct SolveResult {
    std::vector<std::size_t> ids;  // 0-based positions of the p chosen sites, ascending
    double value = 0;              // smallest distance between two chosen sites
    double upper_bound = 0;        // no allowed selection has a larger smallest distance
    bool proven = false;           // value == upper_bound: the selection is optimal
    bool cancelled = false;        // stopped by SolveOptions::cancel
    double seconds = 0;            // wall-clock time the solve took
};

// Returns p of the points whose smallest pairwise distance under `metric` is as large as
// possible. Memory grows linearly with n (the coordinates are copied once into the search's
// own order; no n x n table is built). Throws std::invalid_argument unless 2 <= p <= n,
// `metric` is one of Metric's values, every coordinate is finite (and, for haversine and geo,
// every latitude within [-90, 90]), and the options are valid.
[[nodiscard]] SolveResult solve(const PointsView& points, int p, Metric metric = Metric::euclidean,
                                const SolveOptions& options = {});

// Returns p of the n rows of a distance matrix whose smallest pairwise distance is as large as
// possible. Cell [i][j] is cells[i * row_stride + j] (row_stride >= n); it is read in place,
// never copied, and must stay alive and unchanged during the solve. Off the diagonal every
// cell must be finite, >= 0 and equal to its mirror [j][i]; the diagonal is not read. Memory
// beyond the matrix: a bit per pair of rows (n^2 / 8 bytes) and O(n p) more. Throws
// std::invalid_argument unless those hold and 2 <= p <= n.
[[nodiscard]] SolveResult solve_matrix(const double* cells, std::size_t n, std::size_t row_stride,
                                       int p, const SolveOptions& options = {});

// The same for a dense row-major n x n matrix: cells.size() must be n * n.
[[nodiscard]] SolveResult solve_matrix(std::span<const double> cells, std::size_t n, int p,
                                       const SolveOptions& options = {});

// Returns the library's version, "major.minor.patch" (the project's, as CMake knows it).
[[nodiscard]] const char* version() noexcept;

// Returns the distance between (xa, ya) and (xb, yb) under `metric`, exactly as the solver
// measures it (integer-valued for the TSPLIB metrics).
[[nodiscard]] double distance(Metric metric, double xa, double ya, double xb, double yb);

}  // namespace dispersao
