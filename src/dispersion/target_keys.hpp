// Keys of pairs for the target search, and the test of a pair against the value from its key.
#pragma once

#include <cstddef>
#include <limits>

#include "dispersion/dispersion.hpp"

namespace dispersao {

// Keys of pairs that grow with the rule's distance: the squared Euclidean distance for the
// planar rules (cheap, no root), the rule's distance itself on the sphere. One type for both,
// so that the search is compiled once.
struct PairKey {
    const PointSet* points;
    bool planar;

    // Returns the keys of `points` under their rule: planar for every rule but the sphere's.
    // The set must outlive the keys.
    [[nodiscard]] static PairKey of(const PointSet& points) {
        return {&points, points.rule != DistanceRule::tsplib_geo &&
                             points.rule != DistanceRule::great_circle_km};
    }

    // Returns the key of points a and b.
    [[nodiscard]] double operator()(std::size_t a, std::size_t b) const {
        if (!planar) {
            return point_distance(*points, a, b);
        }
        const double dx = points->x[a] - points->x[b];
        const double dy = points->y[a] - points->y[b];
        return dx * dx + dy * dy;
    }
};

// Says whether a pair lies at most `value` apart under the rule, from its key: keys up to
// `closer` do, keys from `farther` on do not, and a key between is decided by the rule, which
// narrows that band. Invariant: the band only narrows, and every answer is the rule's.
class TooClose {
  public:
    // Starts with a pair known to lie at `value` (its key `at_value`). Precondition: the pair's
    // distance is `value`.
    TooClose(const PointSet& points, double value, double at_value)
        : points_(&points), value_(value), closer_(at_value) {}

    // Returns whether points a and b, whose key is `key`, lie at most the value apart.
    [[nodiscard]] bool operator()(double key, std::size_t a, std::size_t b) {
        if (key <= closer_) {
            return true;
        }
        if (key >= farther_) {
            return false;
        }
        if (point_distance(*points_, a, b) <= value_) {
            closer_ = key;
            return true;
        }
        farther_ = key;
        return false;
    }

    // Returns the key of the pair it started from, or the largest seen too close since.
    [[nodiscard]] double closer() const { return closer_; }

    // Returns the least key seen not too close (infinity before any): it only falls.
    [[nodiscard]] double farther() const { return farther_; }

  private:
    const PointSet* points_;
    double value_;
    double closer_;
    double farther_ = std::numeric_limits<double>::infinity();
};

}  // namespace dispersao
