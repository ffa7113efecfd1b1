// The public entry for points: checks them, copies them into the engine's order, solves.
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "api/bridge.hpp"
#include "api/input_checks.hpp"
#include "dispersao/dispersao.hpp"
#include "dispersion/dispersion.hpp"
#include "dispersion/fixed_sites.hpp"
#include "points/point_set.hpp"

namespace dispersao {

namespace {

// Returns the engine's rule for a public metric.
[[nodiscard]] DistanceRule rule_of(Metric metric) {
    switch (metric) {
        case Metric::euc_2d:
            return DistanceRule::tsplib_euc_2d;
        case Metric::ceil_2d:
            return DistanceRule::tsplib_ceil_2d;
        case Metric::att:
            return DistanceRule::tsplib_att;
        case Metric::geo:
            return DistanceRule::tsplib_geo;
        case Metric::haversine:
            return DistanceRule::great_circle_km;
        case Metric::euclidean:
            break;
    }
    return DistanceRule::euclidean;
}

}  // namespace

SolveResult solve(const PointsView& points, int p, Metric metric, const SolveOptions& options) {
    const auto started = std::chrono::steady_clock::now();
    check_request(points.n, p, options);
    check_points(points, metric);
    if (points.n > UINT32_MAX) {
        throw std::invalid_argument("at most 4294967295 points can be solved, not " +
                                    std::to_string(points.n));
    }
    PointSet set;
    set.rule = rule_of(metric);
    set.x.resize(points.n);
    set.y.resize(points.n);
    set.ids.resize(points.n);
    for (std::size_t i = 0; i < points.n; ++i) {
        set.x[i] = points.x[i * points.stride];
        set.y[i] = points.y[i * points.stride];
        set.ids[i] = static_cast<std::int64_t>(i);
    }
    return result_of(solve_point_dispersion_fixed(set, p, options.fixed, limits_of(options)),
                     started);
}

double distance(Metric metric, double xa, double ya, double xb, double yb) {
    PointSet pair;
    pair.rule = rule_of(metric);
    pair.x = {xa, xb};
    pair.y = {ya, yb};
    pair.ids = {0, 1};
    return point_distance(pair, 0, 1);
}

}  // namespace dispersao
