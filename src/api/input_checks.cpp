// One-line English messages for input the solver cannot take.
#include "api/input_checks.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "points/point_set.hpp"

namespace dispersao {

namespace {

// Returns the shortest text that reads back as `value`.
[[nodiscard]] std::string text(double value) {
    std::array<char, 32> buffer{};
    auto* const end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    return {buffer.data(), end};
}

[[noreturn]] void reject(const std::string& message) {
    throw std::invalid_argument(message);
}

// Returns "matrix cell [i][j]".
[[nodiscard]] std::string cell_name(std::size_t i, std::size_t j) {
    return "matrix cell [" + std::to_string(i) + "][" + std::to_string(j) + "]";
}

// Throws unless cell [i][j] (i < j) and its mirror [j][i] are finite, equal and not negative.
void check_cell(std::size_t i, std::size_t j, double cell, double mirror) {
    if (!std::isfinite(cell)) {
        reject(cell_name(i, j) + " is NaN or infinite");
    }
    if (!std::isfinite(mirror)) {
        reject(cell_name(j, i) + " is NaN or infinite");
    }
    if (cell < 0) {
        reject(cell_name(i, j) + " is negative (" + text(cell) + ")");
    }
    if (cell != mirror) {
        reject("the matrix is not symmetric: " + cell_name(i, j) + " = " + text(cell) + " but " +
               cell_name(j, i) + " = " + text(mirror));
    }
}

// Rows and columns of one square tile of the symmetry check, so that both the tile and its
// mirror stay in cache (2 x 64 x 64 doubles = 64 KiB).
constexpr std::size_t kTile = 64;

}  // namespace

void check_request(std::size_t n, int p, const SolveOptions& options) {
    if (p < 2 || static_cast<std::size_t>(p) > n) {
        reject("p = " + std::to_string(p) + " is out of range: it must be at least 2 and at most " +
               "the number of sites, " + std::to_string(n));
    }
    if (std::isnan(options.time_limit) || options.time_limit < 0) {
        reject("time_limit must be a number of seconds >= 0, not " + text(options.time_limit));
    }
    if (options.threads < 0 || options.threads > kMaxThreads) {
        reject("threads must be 0 (every core) to " + std::to_string(kMaxThreads) + ", not " +
               std::to_string(options.threads));
    }
    if (options.fixed.size() > static_cast<std::size_t>(p)) {
        reject(std::to_string(options.fixed.size()) + " fixed sites for p = " + std::to_string(p) +
               ": at most p sites can be fixed");
    }
    std::vector<bool> seen(n, false);
    for (const std::size_t id : options.fixed) {
        if (id >= n) {
            reject("fixed id " + std::to_string(id) + " is out of range: ids run from 0 to " +
                   std::to_string(n - 1));
        }
        if (seen[id]) {
            reject("fixed id " + std::to_string(id) + " is given twice");
        }
        seen[id] = true;
    }
}

void check_points(const PointsView& points, Metric metric) {
    const auto code = static_cast<int>(metric);
    if (code < static_cast<int>(Metric::euclidean) || code > static_cast<int>(Metric::haversine)) {
        reject("metric " + std::to_string(code) + " is not one of the Metric values");
    }
    if (points.n > 0 && (points.x == nullptr || points.y == nullptr)) {
        reject("the points view has no coordinates");
    }
    for (std::size_t i = 0; i < points.n; ++i) {
        const double x = points.x[i * points.stride];
        const double y = points.y[i * points.stride];
        if (!std::isfinite(x) || !std::isfinite(y)) {
            reject("point " + std::to_string(i) + " has a coordinate that is NaN or infinite (" +
                   text(x) + ", " + text(y) + ")");
        }
        if ((metric == Metric::haversine || metric == Metric::geo) && !latitude_in_range(x)) {
            reject("point " + std::to_string(i) + " has latitude " + text(x) +
                   ", outside [-90, 90] (" + (metric == Metric::geo ? "geo" : "haversine") +
                   " takes latitude, longitude in degrees)");
        }
    }
    const bool planar = metric != Metric::geo && metric != Metric::haversine;
    if (planar && !planar_spread_fits(points.x, points.y, points.n, points.stride)) {
        reject(
            "the points spread too far: the distance between the farthest two overflows a "
            "double");
    }
}

void check_matrix(const double* cells, std::size_t n, std::size_t row_stride) {
    if (row_stride < n) {
        reject("row_stride " + std::to_string(row_stride) +
               " is smaller than n = " + std::to_string(n));
    }
    if (n > 0 && cells == nullptr) {
        reject("the matrix has no cells");
    }
    for (std::size_t top = 0; top < n; top += kTile) {
        for (std::size_t left = top; left < n; left += kTile) {
            for (std::size_t i = top; i < std::min(n, top + kTile); ++i) {
                for (std::size_t j = std::max(left, i + 1); j < std::min(n, left + kTile); ++j) {
                    check_cell(i, j, cells[i * row_stride + j], cells[j * row_stride + i]);
                }
            }
        }
    }
}

}  // namespace dispersao
