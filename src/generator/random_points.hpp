// Random points for generated instances: spread evenly over a square, or in clusters.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace dispersao {

// A generated point.
struct GeneratedPoint {
    double x;
    double y;
};

// How the points of a generated set are spread over the square [0, side)².
enum class Spread {
    uniform,    // evenly over the square
    clustered,  // around 100 centres spread evenly over it, each point a normal draw with a
                // deviation of side / 100 in each coordinate around a centre picked at random
};

// Draws the points of one set, one at a time; the same seed gives the same points on every
// platform, since every draw is made here from the raw 64-bit generator.
class PointDrawer {
  public:
    // Preconditions: side > 0.
    PointDrawer(Spread spread, double side, std::uint64_t seed);

    // Returns the next point of the set.
    [[nodiscard]] GeneratedPoint next();

  private:
    [[nodiscard]] double unit();
    [[nodiscard]] double normal();

    Spread spread_;
    double side_;
    std::mt19937_64 generator_;
    // centres_[2k], centres_[2k + 1]: x and y of cluster centre k, 0-based; empty when uniform.
    std::vector<double> centres_;
};

// Returns `count` points spread evenly over [0, side)², drawn as the menu instances of the
// generator have always been drawn (so a seed keeps giving the same instance).
// Preconditions: side > 0.
[[nodiscard]] std::vector<GeneratedPoint> menu_instance_points(int count, double side,
                                                               std::uint64_t seed);

}  // namespace dispersao
