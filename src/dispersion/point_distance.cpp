// Distances between points under each rule, and the working space whose lengths bound them.
#include <algorithm>
#include <cassert>
#include <cmath>
#include <numbers>

#include "dispersion/dispersion.hpp"
#include "dispersion/distance_bounds.hpp"

namespace dispersao {

namespace {

// TSPLIB's own constants for GEO: its value of pi and its earth radius in km.
constexpr double kTsplibPi = 3.141592;
constexpr double kTsplibRadius = 6378.388;
// Earth radius of the great-circle rule, km.
constexpr double kEarthRadius = 6371.0;

// Relative and absolute slack that bounds add to cover rounding in the rules' formulas: the
// planar rules lose a few ulps, TSPLIB's arc cosine up to ~3e-8 radians near zero.
constexpr double kRelativeSlack = 1e-12;
constexpr double kAngleSlack = 1e-7;

// Returns the Euclidean length of (dx, dy) as TSPLIB computes it, sqrt(dx*dx + dy*dy), except
// where squaring would overflow or lose the value, where it takes the safe std::hypot.
[[nodiscard]] double planar_length(double dx, double dy) {
    const double big = std::max(std::fabs(dx), std::fabs(dy));
    constexpr double kSafeLow = 1e-150;
    constexpr double kSafeHigh = 1e150;
    if (big == 0 || (big > kSafeLow && big < kSafeHigh)) {
        return std::sqrt(dx * dx + dy * dy);
    }
    return std::hypot(dx, dy);
}

// Returns TSPLIB's nint: the nearest integer, halves away from zero for the non-negative
// arguments it gets here.
[[nodiscard]] double nint(double value) {
    return std::floor(value + 0.5);
}

// Returns a TSPLIB GEO coordinate (DDD.MM: degrees, then minutes as a fraction) in radians,
// with TSPLIB's truncation of the degrees and its value of pi.
[[nodiscard]] double tsplib_radians(double coordinate) {
    const double degrees = std::trunc(coordinate);
    const double minutes = coordinate - degrees;
    return kTsplibPi * (degrees + 5.0 * minutes / 3.0) / 180.0;
}

// Returns the rule's distance for planar rules from the Euclidean length.
[[nodiscard]] double planar_rule(DistanceRule rule, double length) {
    switch (rule) {
        case DistanceRule::tsplib_euc_2d:
            return nint(length);
        case DistanceRule::tsplib_ceil_2d:
            return std::ceil(length);
        case DistanceRule::tsplib_att: {
            // TSPLIB: r = sqrt((dx^2 + dy^2) / 10), t = nint(r), d = t < r ? t + 1 : t.
            const double r = length / std::sqrt(10.0);
            const double t = nint(r);
            return t < r ? t + 1 : t;
        }
        default:
            return length;
    }
}

// Returns the ATT rule's r for points at Euclidean length `length`, as TSPLIB computes it.
[[nodiscard]] double att_r(double dx, double dy) {
    return std::sqrt((dx * dx + dy * dy) / 10.0);
}

// Returns the angle between unit vectors at chord length `chord`, in radians.
[[nodiscard]] double angle_of_chord(double chord) {
    return 2.0 * std::asin(std::min(1.0, chord / 2.0));
}

// Returns the geographic rule's distance for an angle in radians.
[[nodiscard]] double sphere_rule(DistanceRule rule, double angle) {
    if (rule == DistanceRule::tsplib_geo) {
        return std::floor(kTsplibRadius * angle + 1.0);
    }
    return kEarthRadius * angle;
}

[[nodiscard]] bool on_sphere(DistanceRule rule) {
    return rule == DistanceRule::tsplib_geo || rule == DistanceRule::great_circle_km;
}

}  // namespace

double point_distance(const PointSet& points, std::size_t a, std::size_t b) {
    assert(a < points.size() && b < points.size());
    const double xa = points.x[a];
    const double ya = points.y[a];
    const double xb = points.x[b];
    const double yb = points.y[b];
    switch (points.rule) {
        case DistanceRule::tsplib_geo: {
            const double lat_a = tsplib_radians(xa);
            const double lon_a = tsplib_radians(ya);
            const double lat_b = tsplib_radians(xb);
            const double lon_b = tsplib_radians(yb);
            const double q1 = std::cos(lon_a - lon_b);
            const double q2 = std::cos(lat_a - lat_b);
            const double q3 = std::cos(lat_a + lat_b);
            // Rounding can push the cosine a hair past 1, where acos has no value.
            const double cosine = std::clamp(0.5 * ((1.0 + q1) * q2 - (1.0 - q1) * q3), -1.0, 1.0);
            return std::floor(kTsplibRadius * std::acos(cosine) + 1.0);
        }
        case DistanceRule::great_circle_km: {
            // Vincenty's arc tangent form: accurate from coincident to antipodal points. Its
            // rounding depends on the order of the points, so they are taken in coordinate
            // order: the distance is then the same both ways, and the same from equal places.
            constexpr double kRadians = std::numbers::pi / 180.0;
            const bool swap = xa > xb || (xa == xb && ya > yb);
            const double lat_a = (swap ? xb : xa) * kRadians;
            const double lat_b = (swap ? xa : xb) * kRadians;
            const double dlon = (swap ? ya - yb : yb - ya) * kRadians;
            const double across = std::cos(lat_b) * std::sin(dlon);
            const double along = std::cos(lat_a) * std::sin(lat_b) -
                                 std::sin(lat_a) * std::cos(lat_b) * std::cos(dlon);
            const double facing = std::sin(lat_a) * std::sin(lat_b) +
                                  std::cos(lat_a) * std::cos(lat_b) * std::cos(dlon);
            return kEarthRadius * std::atan2(std::hypot(across, along), facing);
        }
        case DistanceRule::tsplib_att: {
            const double dx = xa - xb;
            const double dy = ya - yb;
            const double big = std::max(std::fabs(dx), std::fabs(dy));
            const double r = (big > 1e-150 && big < 1e150) || big == 0
                                 ? att_r(dx, dy)
                                 : std::hypot(dx, dy) / std::sqrt(10.0);
            const double t = nint(r);
            return t < r ? t + 1 : t;
        }
        default:
            return planar_rule(points.rule, planar_length(xa - xb, ya - yb));
    }
}

WorkingSpace WorkingSpace::of(const PointSet& points) {
    WorkingSpace space;
    space.rule = points.rule;
    if (on_sphere(points.rule)) {
        space.dimensions = 3;
        return space;
    }
    double largest = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        assert(std::isfinite(points.x[i]) && std::isfinite(points.y[i]));
        largest = std::max({largest, std::fabs(points.x[i]), std::fabs(points.y[i])});
    }
    int exponent = 0;
    if (largest > 0) {
        (void)std::frexp(largest, &exponent);
    }
    // Working coordinates lie in [-1, 1]; multiplying by a power of two loses nothing.
    space.unscale = std::ldexp(1.0, exponent);
    return space;
}

std::array<double, 3> WorkingSpace::place(const PointSet& points, std::size_t i) const {
    if (rule == DistanceRule::tsplib_geo || rule == DistanceRule::great_circle_km) {
        const bool tsplib = rule == DistanceRule::tsplib_geo;
        constexpr double kRadians = std::numbers::pi / 180.0;
        const double lat = tsplib ? tsplib_radians(points.x[i]) : points.x[i] * kRadians;
        const double lon = tsplib ? tsplib_radians(points.y[i]) : points.y[i] * kRadians;
        return {std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon), std::sin(lat)};
    }
    return {points.x[i] / unscale, points.y[i] / unscale, 0.0};
}

double WorkingSpace::upper_from_extent(const double* extent) const {
    double largest = 0;
    double sum = 0;
    for (int d = 0; d < dimensions; ++d) {
        largest = std::max(largest, extent[d]);
        sum += extent[d] * extent[d];
    }
    // Squares of tiny extents underflow; sqrt(3) times the largest bounds the length anyway.
    constexpr double kTiny = 1e-140;
    double length = largest < kTiny ? 2.0 * largest : std::sqrt(sum) * (1.0 + kRelativeSlack);
    length += 1e-300;
    if (on_sphere(rule)) {
        return sphere_rule(rule, angle_of_chord(length) * (1.0 + kRelativeSlack) + kAngleSlack);
    }
    length *= unscale;
    if (rule == DistanceRule::euclidean) {
        return length * (1.0 + kRelativeSlack);
    }
    return planar_rule(rule, length * (1.0 + kRelativeSlack));
}

double WorkingSpace::lower_from_gap(double gap) const {
    const double shrunk = gap * (1.0 - 1e-9);
    if (on_sphere(rule)) {
        const double angle = angle_of_chord(shrunk) * (1.0 - kRelativeSlack) - kAngleSlack;
        return angle <= 0 ? 0.0 : sphere_rule(rule, angle);
    }
    return planar_rule(rule, shrunk * unscale);
}

}  // namespace dispersao
