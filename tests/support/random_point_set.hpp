// Random point sets for the search tests: spread over a square, or in tight clusters where
// near-ties abound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "dispersion/dispersion.hpp"

namespace test_support {

// Returns n points under `rule`, ids 1 to n: uniform over the square [0, side)^2, or, when
// `clusters` > 0, each within `spread` (on each axis) of one of `clusters` centres drawn
// uniformly in that square. Preconditions: side > 0, spread >= 0, clusters >= 0.
[[nodiscard]] inline dispersao::PointSet random_point_set(dispersao::DistanceRule rule,
                                                          std::size_t n, double side, int clusters,
                                                          double spread, std::mt19937_64& random) {
    std::uniform_real_distribution<double> uniform(0.0, side);
    std::uniform_real_distribution<double> near(-spread, spread);
    std::vector<std::pair<double, double>> centres;
    for (int c = 0; c < clusters; ++c) {
        const double x = uniform(random);
        centres.emplace_back(x, uniform(random));
    }
    dispersao::PointSet points;
    points.rule = rule;
    for (std::size_t i = 0; i < n; ++i) {
        if (clusters > 0) {
            const auto& [x, y] = centres[random() % centres.size()];
            points.x.push_back(x + near(random));
            points.y.push_back(y + near(random));
        } else {
            points.x.push_back(uniform(random));
            points.y.push_back(uniform(random));
        }
        points.ids.push_back(static_cast<std::int64_t>(i) + 1);
    }
    return points;
}

}  // namespace test_support
