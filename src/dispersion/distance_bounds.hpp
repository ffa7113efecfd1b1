// Points placed in a working space where every distance rule grows with straight-line length,
// and conservative bounds of a rule's value from such lengths.
#pragma once

#include <array>
#include <cstddef>

#include "points/point_set.hpp"

namespace dispersao {

// The working space of one point set: the plane (coordinates scaled by a power of two, so that
// lengths never overflow) for the planar rules, the unit sphere in three dimensions for the
// geographic ones. Each rule's distance is a non-decreasing function of the length between two
// points' working coordinates.
struct WorkingSpace {
    DistanceRule rule = DistanceRule::euclidean;
    int dimensions = 2;  // 2 for the planar rules, 3 for tsplib_geo and great_circle_km
    double unscale = 1;  // a working length times this is a length in the input's units

    // Returns the working space of `points`. Precondition: every coordinate is finite.
    [[nodiscard]] static WorkingSpace of(const PointSet& points);

    // Returns the working coordinates of point i (the third is 0 in the plane).
    [[nodiscard]] std::array<double, 3> place(const PointSet& points, std::size_t i) const;

    // Returns a value no smaller than the rule's distance between any two points whose working
    // coordinates differ by at most `extent` in each dimension (`extent` holds `dimensions`
    // non-negative entries), rounding errors of the rule's own formula included.
    [[nodiscard]] double upper_from_extent(const double* extent) const;

    // Returns a value no smaller than the rule's distance between any two points at most
    // `length` apart in working coordinates, with room for that length's own rounding.
    [[nodiscard]] double upper_from_length(double length) const {
        const std::array<double, 3> extent{length * (1.0 + 1e-9), 0.0, 0.0};
        return upper_from_extent(extent.data());
    }

    // Returns a value no larger than the rule's distance between any two points whose working
    // coordinates differ by at least `gap` >= 0 in some dimension.
    [[nodiscard]] double lower_from_gap(double gap) const;
};

// Returns whether points a and b of `points` have the same coordinates, so that every distance
// to a third point is the same from either.
[[nodiscard]] inline bool same_place(const PointSet& points, std::size_t a, std::size_t b) {
    return points.x[a] == points.x[b] && points.y[a] == points.y[b];
}

}  // namespace dispersao
