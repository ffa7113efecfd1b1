// Distances of a converted instance, scaled so that the largest is 110.
#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

#include "conversion/conversion.hpp"

namespace dispersao {

namespace {

// The largest scaled distance of an instance.
constexpr double kScale = 110.0;

// A scaled distance this close below a whole number is taken as that number: d x 110 / d itself
// comes out as 109.99999999999999 for some d, and a whole result must not lose a unit to
// rounding noise. Real coordinates never put a true distance this close below a whole number.
constexpr double kSnap = 1e-9;

[[nodiscard]] double euclidean(const Point& a, const Point& b) {
    const double dx = a.x - b.x;
    const double dy = a.y - b.y;
    const double sum = dx * dx + dy * dy;
    // The root of the sum of squares is twice as fast as std::hypot, and as exact while the
    // sum is a normal number; below that the squares have underflowed (differences of 1e-300
    // would come out as 0), above it they have overflowed, and std::hypot gets it right.
    if (sum >= std::numeric_limits<double>::min() && sum <= std::numeric_limits<double>::max()) {
        return std::sqrt(sum);
    }
    return std::hypot(dx, dy);
}

}  // namespace

double largest_distance(const std::vector<Point>& cities) {
    double largest = 0.0;
    for (std::size_t i = 0; i < cities.size(); ++i) {
        for (std::size_t j = i + 1; j < cities.size(); ++j) {
            largest = std::max(largest, euclidean(cities[i], cities[j]));
        }
    }
    return largest;
}

double euclidean_distance(const Point& a, const Point& b) {
    return euclidean(a, b);
}

int scaled_distance(const Point& a, const Point& b, double largest) {
    return scale_distance(euclidean(a, b), largest);
}

int scale_distance(double distance, double largest) {
    assert(largest > 0.0);
    const double scaled = distance * kScale / largest;
    assert(scaled <= kScale * (1.0 + kSnap));
    const double whole = std::floor(scaled + kSnap);
    return static_cast<int>(whole);
}

}  // namespace dispersao
