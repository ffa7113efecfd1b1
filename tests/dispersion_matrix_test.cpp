// The menu-instance solver against brute force on small matrices.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "dispersion/dispersion.hpp"
#include "dispersion/matrix_search.hpp"
#include "dispersion/triple_search.hpp"
#include "tests/support/brute_force.hpp"
#include "tests/support/test_matrix.hpp"

using namespace dispersao;

namespace {

// Cells below the diagonal hold a poison the objective never reads.
constexpr float kPoison = -5e8F;

// The smallest worth to the menu among the chosen positions' pairs.
double value_of(const TestMatrix& matrix, const std::vector<std::size_t>& chosen) {
    return test_support::value_of(chosen, test_support::menu_worth_in(matrix));
}

// Values in a narrow band (many ties), spread past the cap, or down to -2^31.
float draw_cell(int kind, std::mt19937_64& random) {
    switch (kind) {
        case 0:
            return static_cast<float>(random() % 6) + 0.5F;
        case 1:
            return static_cast<float>(random() % 250000) / 1000.0F;
        default:
            return random() % 3 == 0 ? -2147483648.0F + static_cast<float>(random() % 1000) * 256.0F
                                     : static_cast<float>(random() % 40) - 20.5F;
    }
}

TEST(MatrixSolver, MatchesBruteForce) {
    std::mt19937_64 random(77);
    for (int trial = 0; trial < 150; ++trial) {
        const int n = 2 + static_cast<int>(random() % 13);
        const int p = std::min(n, 2 + static_cast<int>(random() % 4));
        TestMatrix matrix(n, kPoison);
        for (int a = 0; a < n; ++a) {
            for (int b = a + 1; b < n; ++b) {
                matrix.at(a, b) = draw_cell(trial % 3, random);
            }
        }
        const DispersionResult result = solve_matrix_dispersion(n, matrix.cells(), p, {});
        SCOPED_TRACE(testing::Message() << "trial " << trial << " n " << n << " p " << p);
        ASSERT_EQ(result.chosen.size(), static_cast<std::size_t>(p));
        EXPECT_TRUE(std::is_sorted(result.chosen.begin(), result.chosen.end()));
        EXPECT_EQ(result.value, value_of(matrix, result.chosen));
        const test_support::BestSelection oracle = test_support::brute_force_first_completed(
            static_cast<std::size_t>(n), p, test_support::menu_worth_in(matrix));
        EXPECT_EQ(result.value, oracle.value);
        EXPECT_EQ(result.chosen, oracle.chosen);
        EXPECT_TRUE(result.proven);
        EXPECT_EQ(result.upper_bound, result.value);
    }
}

TEST(MatrixSolver, ThousandPositionsAtFiveAndAnExpiredLimit) {
    std::mt19937_64 random(3);
    TestMatrix matrix(1000, kPoison);
    for (int a = 0; a < 1000; ++a) {
        for (int b = a + 1; b < 1000; ++b) {
            matrix.at(a, b) = static_cast<float>(random() % 100000) / 1000.0F;
        }
    }
    const DispersionResult full = solve_matrix_dispersion(1000, matrix.cells(), 5, {});
    EXPECT_TRUE(full.proven);
    EXPECT_EQ(full.value, value_of(matrix, full.chosen));

    SearchLimits expired;
    expired.seconds = 0;
    const DispersionResult quick = solve_matrix_dispersion(1000, matrix.cells(), 5, expired);
    ASSERT_EQ(quick.chosen.size(), 5U);
    EXPECT_EQ(quick.value, value_of(matrix, quick.chosen));
    EXPECT_GE(quick.upper_bound, full.value);
    EXPECT_LE(quick.value, full.value);
}

// The p = 3 fast path stopped at any moment (an expired limit, an interrupt, a stop asked after
// some rows or pairs) still answers with a valid triple under a bound the optimum respects.
// Position 0 has no distances, as in the menu's row table: the greedy must not start there.
TEST(MatrixSolver, StoppedTriangleSearchLeavesTheGreedyUnderItsBound) {
    constexpr int kN = 600;
    std::mt19937_64 random(41);
    TestMatrix matrix(kN, kPoison);
    for (int b = 1; b < kN; ++b) {
        matrix.at(0, b) = 0.0F;
        for (int a = 1; a < b; ++a) {
            matrix.at(a, b) = static_cast<float>(random() % 12000) / 100.0F;
        }
    }
    const ExactOptimum full = find_exact_optimum(kN, matrix.cells());

    for (const int asks : {1, 50, 800, 2000}) {
        int asked = 0;
        const StoppableOptimum cut =
            find_exact_optimum(kN, matrix.cells(), [&] { return ++asked > asks; });
        SCOPED_TRACE(testing::Message() << "stopped after " << asks << " looks");
        if (cut.optimum) {
            EXPECT_EQ(cut.optimum->value, full.value);
        } else {
            EXPECT_GE(cut.upper, full.value);
        }
    }

    const std::atomic<bool> interrupt{true};
    for (const bool by_interrupt : {false, true}) {
        SearchLimits limits;
        limits.seconds = by_interrupt ? 100.0 : 0.0;
        limits.interrupted = by_interrupt ? &interrupt : nullptr;
        const DispersionResult quick = solve_matrix_dispersion(kN, matrix.cells(), 3, limits);
        SCOPED_TRACE(by_interrupt ? "interrupt" : "expired limit");
        ASSERT_EQ(quick.chosen.size(), 3U);
        EXPECT_EQ(quick.value, value_of(matrix, quick.chosen));
        EXPECT_GT(quick.value, 0.0);
        EXPECT_LE(quick.value, full.value);
        EXPECT_GE(quick.upper_bound, full.value);
        EXPECT_LE(quick.upper_bound, 100.0);
        EXPECT_EQ(quick.interrupted, by_interrupt && !quick.proven);
    }
}

// The triangle search, the p = 3 fast path, and the general search pick the same triple, ties
// included: narrow bands of values, cells past the cap, negative and NaN cells.
TEST(MatrixSolver, FastPathAndGeneralSearchPickTheSameTriple) {
    std::mt19937_64 random(2026);
    for (int trial = 0; trial < 600; ++trial) {
        const int n = 3 + static_cast<int>(random() % 38);
        TestMatrix matrix(n, kPoison);
        for (int a = 0; a < n; ++a) {
            for (int b = a + 1; b < n; ++b) {
                matrix.at(a, b) = random() % 50 == 0 ? std::nanf("") : draw_cell(trial % 3, random);
            }
        }
        SCOPED_TRACE(testing::Message() << "trial " << trial << " n " << n);
        const ExactOptimum fast = find_exact_optimum(n, matrix.cells());
        const DispersionResult general = search_matrix(
            MenuObjective{static_cast<std::size_t>(n), matrix.cells()}, 3, SearchLimits{});
        ASSERT_TRUE(general.proven);
        EXPECT_EQ(general.value, static_cast<double>(fast.value));
        const std::vector<std::size_t> triple(std::begin(fast.positions), std::end(fast.positions));
        EXPECT_EQ(general.chosen, triple);
        EXPECT_EQ(solve_matrix_dispersion(n, matrix.cells(), 3, {}).chosen, triple);
    }
}

// At any p, among optimal selections, the one whose pairs (taken in falling order of value, ties
// by position) complete first, its other positions the smallest.
TEST(MatrixSolver, TiesGiveTheSelectionThePairsCompleteFirst) {
    // Every pair worth 7: the first p positions.
    TestMatrix flat(9, kPoison);
    for (int a = 0; a < 9; ++a) {
        for (int b = a + 1; b < 9; ++b) {
            flat.at(a, b) = 7.5F;
        }
    }
    for (int p = 2; p <= 9; ++p) {
        const DispersionResult result = solve_matrix_dispersion(9, flat.cells(), p, {});
        std::vector<std::size_t> first(static_cast<std::size_t>(p));
        for (std::size_t i = 0; i < first.size(); ++i) {
            first[i] = i;
        }
        EXPECT_EQ(result.chosen, first) << p;
        EXPECT_EQ(result.value, 7.0);
    }
    // Positions 5..8 pairwise 9, everything else 3: at p = 4 the block; at p = 5 the pairs of
    // value 3 come in from (0, 1) on, and (0, 8) is the first to close five positions.
    TestMatrix block(9, kPoison);
    for (int a = 0; a < 9; ++a) {
        for (int b = a + 1; b < 9; ++b) {
            block.at(a, b) = a >= 5 ? 9.0F : 3.0F;
        }
    }
    EXPECT_EQ(solve_matrix_dispersion(9, block.cells(), 4, {}).chosen,
              (std::vector<std::size_t>{5, 6, 7, 8}));
    EXPECT_EQ(solve_matrix_dispersion(9, block.cells(), 5, {}).chosen,
              (std::vector<std::size_t>{0, 5, 6, 7, 8}));
}

// A real distance matrix of n rows held with a wider stride, its lower triangle and the padding
// poisoned with NaN, which the engine must never read.
struct RealMatrix {
    RealMatrix(std::size_t size, std::size_t padding)
        : n(size),
          stride(size + padding),
          cells(size * (size + padding), std::numeric_limits<double>::quiet_NaN()) {}
    double& at(std::size_t a, std::size_t b) { return cells[a * stride + b]; }
    [[nodiscard]] double distance(std::size_t a, std::size_t b) const {
        return cells[std::min(a, b) * stride + std::max(a, b)];
    }
    [[nodiscard]] MatrixView view() const { return {n, cells.data(), stride}; }

    std::size_t n;
    std::size_t stride;
    std::vector<double> cells;
};

// Distances with many ties (a few whole values), zeros, one value repeated, or spread reals.
double draw_distance(int kind, std::mt19937_64& random) {
    switch (kind) {
        case 0:
            return static_cast<double>(random() % 4);
        case 1:
            return random() % 3 == 0 ? 0.0 : static_cast<double>(random() % 1000) / 7.0;
        case 2:
            return random() % 5 == 0 ? 2.5 : 2.5 + static_cast<double>(random() % 3) * 1e-9;
        default:
            return static_cast<double>(random() % (1U << 30U)) * 1e-5;
    }
}

// Checks the engine against the oracle on `matrix` at p.
void expect_oracle(const RealMatrix& matrix, int p) {
    const test_support::BestSelection oracle = test_support::brute_force_first_completed(
        matrix.n, p, [&](std::size_t a, std::size_t b) { return matrix.distance(a, b); });
    const DispersionResult result = solve_distance_matrix(matrix.view(), p, {});
    EXPECT_TRUE(result.proven);
    EXPECT_EQ(result.value, oracle.value);
    EXPECT_EQ(result.upper_bound, oracle.value);
    EXPECT_EQ(result.chosen, oracle.chosen);
}

TEST(DistanceMatrixSolver, MatchesBruteForceWithTiesZerosAndRepeatedValues) {
    std::mt19937_64 random(5);
    for (int trial = 0; trial < 240; ++trial) {
        const std::size_t n = 2 + random() % 12;
        const int p = static_cast<int>(std::min<std::size_t>(n, 2 + random() % 5));
        RealMatrix matrix(n, random() % 3);
        for (std::size_t a = 0; a < n; ++a) {
            for (std::size_t b = a + 1; b < n; ++b) {
                matrix.at(a, b) = draw_distance(trial % 4, random);
            }
        }
        SCOPED_TRACE(testing::Message() << "trial " << trial << " n " << n << " p " << p);
        expect_oracle(matrix, p);
    }
    // Every distance zero: the first p rows.
    RealMatrix zeros(6, 0);
    for (std::size_t a = 0; a < 6; ++a) {
        for (std::size_t b = a + 1; b < 6; ++b) {
            zeros.at(a, b) = 0;
        }
    }
    EXPECT_EQ(solve_distance_matrix(zeros.view(), 4, {}).chosen,
              (std::vector<std::size_t>{0, 1, 2, 3}));
    expect_oracle(zeros, 4);
}

TEST(DistanceMatrixSolver, FortyRowsAtFourAndFiveMatchBruteForce) {
    std::mt19937_64 random(40);
    for (int trial = 0; trial < 3; ++trial) {
        RealMatrix matrix(40, 1);
        for (std::size_t a = 0; a < 40; ++a) {
            for (std::size_t b = a + 1; b < 40; ++b) {
                matrix.at(a, b) = draw_distance(trial == 2 ? 0 : 3, random);
            }
        }
        for (const int p : {4, 5}) {
            SCOPED_TRACE(testing::Message() << "trial " << trial << " p " << p);
            expect_oracle(matrix, p);
        }
    }
}

TEST(DistanceMatrixSolver, StoppedSearchesGiveAValidSelectionAndBound) {
    std::mt19937_64 random(9);
    RealMatrix matrix(300, 0);
    for (std::size_t a = 0; a < 300; ++a) {
        for (std::size_t b = a + 1; b < 300; ++b) {
            matrix.at(a, b) = draw_distance(3, random);
        }
    }
    const DispersionResult full = solve_distance_matrix(matrix.view(), 4, {});
    ASSERT_TRUE(full.proven);
    SearchLimits expired;
    expired.seconds = 0;
    const std::atomic<bool> interrupt{true};
    SearchLimits interrupted;
    interrupted.interrupted = &interrupt;
    for (const SearchLimits* limits : {&expired, &interrupted}) {
        const DispersionResult quick = solve_distance_matrix(matrix.view(), 4, *limits);
        ASSERT_EQ(quick.chosen.size(), 4U);
        EXPECT_EQ(quick.value,
                  test_support::value_of(quick.chosen, [&](std::size_t a, std::size_t b) {
                      return matrix.distance(a, b);
                  }));
        EXPECT_LE(quick.value, full.value);
        EXPECT_GE(quick.upper_bound, full.value);
        EXPECT_EQ(quick.interrupted, limits == &interrupted && !quick.proven);
    }
}

}  // namespace
