// The target search's layout: its order holds every point once, its blocks and groups cut it
// without gaps or overlaps, and every box holds what it stands for (a box that missed a point
// would let the search skip the best candidate).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <random>
#include <vector>

#include "dispersion/target_layout.hpp"
#include "tests/support/random_point_set.hpp"

using namespace dispersao;

namespace {

// Checks that `box` holds the point at (x, y).
void expect_inside(const target_layout::Block& box, double x, double y) {
    EXPECT_LE(box.low_x, x);
    EXPECT_GE(box.high_x, x);
    EXPECT_LE(box.low_y, y);
    EXPECT_GE(box.high_y, y);
}

TEST(TargetLayout, BlocksAndGroupsCoverTheOrderAndHoldTheirPoints) {
    std::mt19937_64 random(61);
    for (const std::size_t n : {1, 15, 16, 17, 300, 4097}) {
        for (const bool clustered : {false, true}) {
            SCOPED_TRACE(testing::Message() << "n " << n << " clustered " << clustered);
            const PointSet points = test_support::random_point_set(
                DistanceRule::euclidean, n, 1000.0, clustered ? 4 : 0, 5.0, random);
            const std::vector<std::size_t> order = target_layout::strip_order(points, 7);
            std::vector<std::size_t> sorted = order;
            std::sort(sorted.begin(), sorted.end());
            for (std::size_t i = 0; i < n; ++i) {
                ASSERT_EQ(sorted[i], i);
            }
            const std::vector<target_layout::Block> blocks =
                target_layout::blocks_of(points, order);
            std::size_t next = 0;
            for (const target_layout::Block& block : blocks) {
                ASSERT_EQ(block.begin, next);
                ASSERT_LT(block.begin, block.end);
                for (std::size_t i = block.begin; i < block.end; ++i) {
                    expect_inside(block, points.x[order[i]], points.y[order[i]]);
                }
                next = block.end;
            }
            EXPECT_EQ(next, n);
            const std::vector<target_layout::Block> groups = target_layout::groups_of(blocks);
            next = 0;
            for (const target_layout::Block& group : groups) {
                ASSERT_EQ(group.begin, next);
                ASSERT_LT(group.begin, group.end);
                for (std::size_t b = group.begin; b < group.end; ++b) {
                    expect_inside(group, blocks[b].low_x, blocks[b].low_y);
                    expect_inside(group, blocks[b].high_x, blocks[b].high_y);
                }
                next = group.end;
            }
            EXPECT_EQ(next, blocks.size());
        }
    }
}

}  // namespace
