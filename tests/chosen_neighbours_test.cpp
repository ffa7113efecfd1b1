// Each chosen point's nearest chosen neighbour and the closest pair, against every pair looked
// at in order, on sets with many ties, repeated places and every distance rule.
#include <gtest/gtest.h>

#include <cstddef>
#include <limits>
#include <random>
#include <vector>

#include "dispersion/chosen_neighbours.hpp"
#include "dispersion/dispersion.hpp"

using namespace dispersao;

namespace {

// The neighbourhood as the pairs (0,1), (0,2), ..., (1,2), ... give it, the first met winning.
ChosenNeighbours every_pair(const PointSet& points, const std::vector<std::size_t>& chosen) {
    const std::size_t p = chosen.size();
    ChosenNeighbours expected;
    expected.nearest.assign(p, 0);
    expected.distance.assign(p, std::numeric_limits<double>::infinity());
    double closest = std::numeric_limits<double>::infinity();
    for (std::size_t a = 0; a < p; ++a) {
        for (std::size_t b = a + 1; b < p; ++b) {
            const double d = point_distance(points, chosen[a], chosen[b]);
            if (d < expected.distance[a]) {
                expected.distance[a] = d;
                expected.nearest[a] = b;
            }
            if (d < expected.distance[b]) {
                expected.distance[b] = d;
                expected.nearest[b] = a;
            }
            if (d < closest) {
                closest = d;
                expected.closest_first = a;
                expected.closest_second = b;
            }
        }
    }
    return expected;
}

TEST(ChosenNeighbours, SweepFindsWhatEveryPairFindsTiesIncluded) {
    const DistanceRule rules[] = {DistanceRule::euclidean, DistanceRule::tsplib_euc_2d,
                                  DistanceRule::tsplib_att, DistanceRule::tsplib_geo,
                                  DistanceRule::great_circle_km};
    std::mt19937_64 random(20261208);
    for (int trial = 0; trial < 300; ++trial) {
        PointSet points;
        points.rule = rules[trial % 5];
        // Small integer grids make many equal distances and repeated places.
        const int side = trial % 3 == 0 ? 4 : 60;
        std::uniform_int_distribution<int> coordinate(-side, side);
        const std::size_t n = 2 + static_cast<std::size_t>(trial % 40);
        for (std::size_t i = 0; i < n; ++i) {
            points.x.push_back(coordinate(random));
            points.y.push_back(coordinate(random));
            points.ids.push_back(static_cast<std::int64_t>(i + 1));
        }
        std::vector<std::size_t> chosen(n);
        for (std::size_t i = 0; i < n; ++i) {
            chosen[i] = n - 1 - i;  // not in the order of the points
        }
        const ChosenNeighbours expected = every_pair(points, chosen);
        const ChosenNeighbours got = chosen_neighbours(points, chosen);
        ASSERT_EQ(got.distance, expected.distance) << "trial " << trial;
        ASSERT_EQ(got.nearest, expected.nearest) << "trial " << trial;
        ASSERT_EQ(got.closest_first, expected.closest_first) << "trial " << trial;
        ASSERT_EQ(got.closest_second, expected.closest_second) << "trial " << trial;
    }
}

}  // namespace
