// Random points for generated instances.
#include "generator/random_points.hpp"

#include <cassert>
#include <cmath>
#include <numbers>

namespace dispersao {

namespace {

constexpr int kClusters = 100;

}  // namespace

PointDrawer::PointDrawer(Spread spread, double side, std::uint64_t seed)
    : spread_(spread), side_(side), generator_(seed) {
    assert(side > 0);
    if (spread_ == Spread::clustered) {
        centres_.resize(std::size_t{2} * kClusters);
        for (double& c : centres_) {
            c = unit() * side_;
        }
    }
}

GeneratedPoint PointDrawer::next() {
    if (spread_ == Spread::uniform) {
        const double x = unit() * side_;
        return {x, unit() * side_};
    }
    const auto k = static_cast<std::size_t>(generator_() % kClusters);
    const double deviation = side_ / kClusters;
    const double x = centres_[2 * k] + deviation * normal();
    return {x, centres_[2 * k + 1] + deviation * normal()};
}

// A uniform draw in [0, 1) from the top 53 bits of the generator.
double PointDrawer::unit() {
    return static_cast<double>(generator_() >> 11U) * 0x1.0p-53;
}

// A standard normal draw (Box-Muller, one of the pair).
double PointDrawer::normal() {
    const double u = 1.0 - unit();  // in (0, 1], so the logarithm is finite
    const double v = unit();
    return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * std::numbers::pi * v);
}

std::vector<GeneratedPoint> menu_instance_points(int count, double side, std::uint64_t seed) {
    assert(side > 0 && count >= 0);
    std::mt19937_64 engine(seed);
    std::uniform_real_distribution<double> coordinate(0.0, side);
    std::vector<GeneratedPoint> points(static_cast<std::size_t>(count));
    for (GeneratedPoint& point : points) {
        point.x = coordinate(engine);
        point.y = coordinate(engine);
    }
    return points;
}

}  // namespace dispersao
