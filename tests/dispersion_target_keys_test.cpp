// The target search's pair keys and its test of a pair from its key: whatever order the pairs
// come in, every answer is the rule's own (a band that narrowed past a pair's key would let
// a pair too close pass as far enough, or bar a move that was allowed).
#include <gtest/gtest.h>

#include <cstddef>
#include <random>
#include <vector>

#include "dispersion/target_keys.hpp"
#include "tests/support/every_rule.hpp"
#include "tests/support/random_point_set.hpp"

using namespace dispersao;

namespace {

// Every rule, points spread and in tight clusters (rounded rules then tie often): keys grow
// with the rule's distance, and the band of keys only narrows while every answer stays right.
TEST(TargetKeys, KeysFollowTheRuleAndTheBandOnlyNarrowsToRightAnswers) {
    std::mt19937_64 random(67);
    for (const DistanceRule rule : test_support::kEveryRule) {
        for (const bool clustered : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << "rule " << static_cast<int>(rule) << " clustered " << clustered);
            const bool degrees =
                rule == DistanceRule::tsplib_geo || rule == DistanceRule::great_circle_km;
            const double side = degrees ? 40.0 : 1000.0;
            const PointSet points = test_support::random_point_set(
                rule, 60, side, clustered ? 3 : 0, side / 100, random);
            const PairKey key = PairKey::of(points);
            EXPECT_EQ(key.planar, !degrees);
            std::uniform_int_distribution<std::size_t> pick(0, points.size() - 1);
            for (int start = 0; start < 20; ++start) {
                const std::size_t a0 = pick(random);
                const std::size_t b0 =
                    (a0 + 1 + pick(random) % (points.size() - 1)) % points.size();
                const double value = point_distance(points, a0, b0);
                TooClose too_close(points, value, key(a0, b0));
                double closer = too_close.closer();
                double farther = too_close.farther();
                for (int query = 0; query < 300; ++query) {
                    const std::size_t a = pick(random);
                    const std::size_t b = pick(random);
                    if (a == b) {
                        continue;
                    }
                    const double d = point_distance(points, a, b);
                    ASSERT_EQ(too_close(key(a, b), a, b), d <= value) << a << " " << b;
                    // Keys never fall as the distance grows.
                    if (d > value) {
                        EXPECT_GT(key(a, b), key(a0, b0));
                    }
                    ASSERT_GE(too_close.closer(), closer);
                    ASSERT_LE(too_close.farther(), farther);
                    ASSERT_LT(too_close.closer(), too_close.farther());
                    closer = too_close.closer();
                    farther = too_close.farther();
                }
            }
        }
    }
}

}  // namespace
