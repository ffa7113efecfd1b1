// The exact search against a brute-force oracle, checked again with the program's own objective.
#include "dispersion/triple_search.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "solution/selection.hpp"
#include "tests/support/brute_force.hpp"
#include "tests/support/test_matrix.hpp"

using namespace dispersao;

namespace {

// The objective of the selection {p, q, r}.
float value_of(const TestMatrix& matrix, int p, int q, int r) {
    std::vector<int> selection(static_cast<std::size_t>(matrix.size()), 0);
    selection[static_cast<std::size_t>(p)] = 1;
    selection[static_cast<std::size_t>(q)] = 1;
    selection[static_cast<std::size_t>(r)] = 1;
    return evaluate_solution(matrix.size(), selection.data(), matrix.cells());
}

// The best value of three positions over every selection, each pair worth its cell to the menu.
double brute_force_optimum(const TestMatrix& matrix) {
    return test_support::brute_force_optimum(static_cast<std::size_t>(matrix.size()), 3,
                                             test_support::menu_worth_in(matrix));
}

// Checks that the search finds the oracle's value with a triple that reaches it, and that the
// program's own objective agrees on that triple.
void expect_exact(const TestMatrix& matrix) {
    const ExactOptimum optimum = find_exact_optimum(matrix.size(), matrix.cells());
    const int* const pos = optimum.positions;
    ASSERT_TRUE(0 <= pos[0] && pos[0] < pos[1] && pos[1] < pos[2] && pos[2] < matrix.size())
        << pos[0] << " " << pos[1] << " " << pos[2];
    EXPECT_EQ(static_cast<double>(optimum.value), brute_force_optimum(matrix));
    EXPECT_EQ(value_of(matrix, pos[0], pos[1], pos[2]), optimum.value);
}

// Fills every cell with an integer drawn uniformly from lo..hi.
TestMatrix random_matrix(int n, int lo, int hi, std::mt19937_64& generator) {
    TestMatrix matrix(n);
    std::uniform_int_distribution<int> draw(lo, hi);
    for (int p = 0; p < n; ++p) {
        for (int q = 0; q < n; ++q) {
            matrix.at(p, q) = static_cast<float>(draw(generator));
        }
    }
    return matrix;
}

TEST(ExactSearch, MatchesOracleOnRandomIntegerMatrices) {
    std::mt19937_64 generator(20240601);
    // Ranges with many ties, values straddling the cap, and values below zero.
    const int ranges[][2] = {{0, 3}, {0, 120}, {60, 140}, {-20, 20}, {-1000, 5}, {95, 105}};
    for (const auto& range : ranges) {
        for (int n = 3; n <= 24; ++n) {
            SCOPED_TRACE(testing::Message()
                         << "n=" << n << " range " << range[0] << ".." << range[1]);
            expect_exact(random_matrix(n, range[0], range[1], generator));
        }
    }
}

TEST(ExactSearch, MatchesOracleOnFractionalAndExtremeCells) {
    std::mt19937_64 generator(7);
    std::uniform_real_distribution<float> draw(-3.0F, 3.0F);
    for (int n = 3; n <= 16; ++n) {
        TestMatrix matrix(n);
        for (int p = 0; p < n; ++p) {
            for (int q = 0; q < n; ++q) {
                matrix.at(p, q) = draw(generator);
            }
        }
        // Truncation toward zero makes -0.5 and 0.5 both worth 0.
        expect_exact(matrix);
    }
    TestMatrix extreme(5, 1.0e30F);
    extreme.at(0, 1) = -2147483648.0F;
    extreme.at(2, 3) = std::numeric_limits<float>::quiet_NaN();
    extreme.at(1, 4) = 99.9F;
    expect_exact(extreme);
}

TEST(ExactSearch, LargerInstanceMatchesOracle) {
    std::mt19937_64 generator(99);
    expect_exact(random_matrix(90, 0, 110, generator));
}

TEST(ExactSearch, AllEqualCellsGiveTheFirstTriple) {
    for (const float cell : {42.0F, 0.0F, -7.0F, 100.0F, 250.0F}) {
        const TestMatrix matrix(9, cell);
        const ExactOptimum optimum = find_exact_optimum(matrix.size(), matrix.cells());
        EXPECT_EQ(optimum.value, std::min(cell, kValueCap));
        EXPECT_EQ(optimum.positions[0], 0);
        EXPECT_EQ(optimum.positions[1], 1);
        EXPECT_EQ(optimum.positions[2], 2);
    }
}

TEST(ExactSearch, TriangleFreeGoodPairsFallBackToNegativeOnes) {
    // Pairs across the halves {0..3} and {4..7} are worth 90, but a triangle needs a pair inside
    // one half, and those are all negative: the best such pair decides the optimum.
    TestMatrix matrix(8, -50.0F);
    for (int p = 0; p < 4; ++p) {
        for (int q = 4; q < 8; ++q) {
            matrix.at(p, q) = 90.0F;
        }
    }
    matrix.at(5, 6) = -3.0F;
    matrix.at(1, 2) = -4.0F;
    const ExactOptimum optimum = find_exact_optimum(matrix.size(), matrix.cells());
    EXPECT_EQ(optimum.value, -3.0F);
    EXPECT_EQ(value_of(matrix, optimum.positions[0], optimum.positions[1], optimum.positions[2]),
              -3.0F);
    expect_exact(matrix);
}

TEST(ExactSearch, ReadsOnlyTheUpperTriangle) {
    TestMatrix matrix(4, 10.0F);
    matrix.at(3, 0) = 100.0F;
    matrix.at(2, 1) = 100.0F;
    matrix.at(3, 1) = 100.0F;
    matrix.at(1, 0) = 100.0F;
    matrix.at(0, 1) = 80.0F;
    matrix.at(0, 3) = 80.0F;
    matrix.at(1, 3) = 80.0F;
    const ExactOptimum optimum = find_exact_optimum(matrix.size(), matrix.cells());
    EXPECT_EQ(optimum.value, 80.0F);
    EXPECT_EQ(optimum.positions[0], 0);
    EXPECT_EQ(optimum.positions[1], 1);
    EXPECT_EQ(optimum.positions[2], 3);
}

}  // namespace
