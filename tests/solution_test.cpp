// Random draws, the objective and the random start.
#include <gtest/gtest.h>

#include <vector>

#include "solution/random_draws.hpp"
#include "solution/selection.hpp"
#include "tests/support/test_matrix.hpp"

using namespace dispersao;

namespace {

std::vector<int> selecting(int n, std::initializer_list<int> positions) {
    std::vector<int> selection(static_cast<std::size_t>(n), 0);
    for (const int p : positions) {
        selection[static_cast<std::size_t>(p)] = 1;
    }
    return selection;
}

}  // namespace

TEST(Draws, StayInRangeAndRealsNeverReachTheUpperEnd) {
    seed_generator(7);
    EXPECT_EQ(draw_index(0), 0);
    bool saw_zero = false;
    double largest = 0.0;
    for (int k = 0; k < 200000; ++k) {
        EXPECT_EQ(draw_index(1), 0);
        const int index = draw_index(7);
        ASSERT_GE(index, 0);
        ASSERT_LT(index, 7);
        const double u = draw_real(0.0F, 1.0F);
        ASSERT_GE(u, 0.0);
        ASSERT_LT(u, 1.0);
        saw_zero = saw_zero || u == 0.0;
        largest = std::max(largest, u);
    }
    EXPECT_TRUE(saw_zero);
    EXPECT_DOUBLE_EQ(largest, 0.9999);
    EXPECT_EQ(draw_real(0.5F, 0.5F), 0.5);
}

TEST(Draws, EqualEndsAndZeroRangeConsumeNoDraw) {
    seed_generator(11);
    const std::int64_t expected = draw_long();
    seed_generator(11);
    (void)draw_real(0.5F, 0.5F);
    (void)draw_index(0);
    EXPECT_EQ(draw_long(), expected);
}

TEST(Objective, IsTheSmallestTruncatedUpperCellCappedAt100) {
    TestMatrix d(6);
    d.at(1, 2) = 30;
    d.at(1, 4) = 12;
    d.at(2, 4) = 55;
    EXPECT_EQ(evaluate_solution(6, selecting(6, {1, 2, 4}).data(), d.cells()), 12.0F);

    d.at(1, 4) = 120;
    d.at(1, 2) = 150;
    d.at(2, 4) = 101;
    EXPECT_EQ(evaluate_solution(6, selecting(6, {1, 2, 4}).data(), d.cells()), 100.0F);

    // Cells below the diagonal never count: D[4][1] = 5 is ignored.
    d.at(4, 1) = 5;
    d.at(2, 1) = 5;
    d.at(1, 2) = 40;
    EXPECT_EQ(evaluate_solution(6, selecting(6, {1, 2, 4}).data(), d.cells()), 40.0F);

    // A pair the file never named is 0; negative distances count as they are.
    EXPECT_EQ(evaluate_solution(6, selecting(6, {0, 3, 5}).data(), d.cells()), 0.0F);
    d.at(0, 3) = -7;
    EXPECT_EQ(evaluate_solution(6, selecting(6, {0, 3, 5}).data(), d.cells()), -7.0F);
}

TEST(Objective, TruncatesTowardZero) {
    TestMatrix d(3, 100.0F);
    d.at(0, 1) = 12.9F;
    EXPECT_EQ(evaluate_solution(3, selecting(3, {0, 1, 2}).data(), d.cells()), 12.0F);
    d.at(1, 2) = -3.7F;
    EXPECT_EQ(evaluate_solution(3, selecting(3, {0, 1, 2}).data(), d.cells()), -3.0F);
    d.at(1, 2) = 99.99F;
    d.at(0, 1) = 100.5F;
    EXPECT_EQ(evaluate_solution(3, selecting(3, {0, 1, 2}).data(), d.cells()), 99.0F);
}

TEST(RandomStart, SelectsThePositionsOfTheFirstThreeOneBits) {
    for (const std::uint64_t seed : {1U, 2U, 3U, 4U, 5U}) {
        constexpr int n = 25;
        seed_generator(seed);
        std::vector<int> bits(n);
        for (int& bit : bits) {
            bit = draw_index(2);
        }
        const std::int64_t after = draw_long();

        std::vector<int> expected(n, 0);
        int ones = 0;
        for (int i = 0; i < n && ones < 3; ++i) {
            expected[static_cast<std::size_t>(i)] = bits[static_cast<std::size_t>(i)];
            ones += bits[static_cast<std::size_t>(i)];
        }
        seed_generator(seed);
        std::vector<int> selection(n, 0);
        build_random_solution(selection.data(), n);
        EXPECT_EQ(selection, expected) << seed;
        // One bit is drawn for every position, also after the third 1.
        EXPECT_EQ(draw_long(), after) << seed;
    }
}

TEST(RandomStart, AlwaysEndsWithExactlyThreeSelected) {
    // With three positions only one draw in eight selects all of them.
    for (const int n : {3, 4, 6, 10}) {
        for (std::uint64_t seed = 0; seed < 200; ++seed) {
            seed_generator(seed);
            std::vector<int> selection(static_cast<std::size_t>(n), 0);
            build_random_start(selection.data(), n);
            ASSERT_EQ(count_selected(selection.data(), n), 3) << n << " " << seed;
            for (const int entry : selection) {
                ASSERT_TRUE(entry == 0 || entry == 1);
            }
        }
    }
}

TEST(ExchangeMove, DrawsTwoDistinctPositionsAndUndoesItself) {
    seed_generator(3);
    std::vector<int> selection = selecting(4, {0, 1, 2});
    const std::vector<int> original = selection;
    for (int k = 0; k < 1000; ++k) {
        const ExchangeMove move = draw_exchange_move(4);
        ASSERT_NE(move.i, move.j);
        ASSERT_TRUE(move.i >= 0 && move.i < 4 && move.j >= 0 && move.j < 4);
        apply_exchange(selection.data(), move);
        EXPECT_EQ(count_selected(selection.data(), 4), 3);
        apply_exchange(selection.data(), move);
        ASSERT_EQ(selection, original);
    }
}
