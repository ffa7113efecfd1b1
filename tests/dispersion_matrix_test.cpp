// The menu-instance solver against brute force on small matrices.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "dispersion/dispersion.hpp"
#include "dispersion/matrix_search.hpp"
#include "dispersion/triple_search.hpp"

using namespace dispersao;

namespace {

// An n x n matrix whose cells below the diagonal hold a poison the objective never reads.
struct Matrix {
    explicit Matrix(int size)
        : n(size), cells(static_cast<std::size_t>(size) * static_cast<std::size_t>(size), -5e8F) {
        for (int a = 0; a < n; ++a) {
            rows.push_back(cells.data() +
                           static_cast<std::size_t>(a) * static_cast<std::size_t>(n));
        }
    }
    float& at(int a, int b) { return rows[static_cast<std::size_t>(a)][b]; }

    int n;
    std::vector<float> cells;  // n * n floats, row-major
    std::vector<float*> rows;  // n row pointers into cells
};

// The menu program's worth of the pair a < b: truncated toward zero, capped at 100.
double worth(const Matrix& matrix, std::size_t a, std::size_t b) {
    const float cell = matrix.rows[std::min(a, b)][std::max(a, b)];
    return std::min(100.0, std::trunc(static_cast<double>(cell)));
}

double value_of(const Matrix& matrix, const std::vector<std::size_t>& chosen) {
    double worst = std::numeric_limits<double>::infinity();
    for (std::size_t a = 0; a < chosen.size(); ++a) {
        for (std::size_t b = a + 1; b < chosen.size(); ++b) {
            worst = std::min(worst, worth(matrix, chosen[a], chosen[b]));
        }
    }
    return worst;
}

// The best value of p positions over every subset.
double brute_force(const Matrix& matrix, int p) {
    const auto n = static_cast<std::size_t>(matrix.n);
    std::vector<std::size_t> chosen;
    double best = -std::numeric_limits<double>::infinity();
    const auto extend = [&](const auto& self, std::size_t from) -> void {
        if (chosen.size() == static_cast<std::size_t>(p)) {
            best = std::max(best, value_of(matrix, chosen));
            return;
        }
        for (std::size_t i = from; i < n; ++i) {
            chosen.push_back(i);
            self(self, i + 1);
            chosen.pop_back();
        }
    };
    extend(extend, 0);
    return best;
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
        Matrix matrix(n);
        for (int a = 0; a < n; ++a) {
            for (int b = a + 1; b < n; ++b) {
                matrix.at(a, b) = draw_cell(trial % 3, random);
            }
        }
        const DispersionResult result = solve_matrix_dispersion(n, matrix.rows.data(), p, {});
        SCOPED_TRACE(testing::Message() << "trial " << trial << " n " << n << " p " << p);
        ASSERT_EQ(result.chosen.size(), static_cast<std::size_t>(p));
        EXPECT_TRUE(std::is_sorted(result.chosen.begin(), result.chosen.end()));
        EXPECT_EQ(result.value, value_of(matrix, result.chosen));
        EXPECT_EQ(result.value, brute_force(matrix, p));
        EXPECT_TRUE(result.proven);
        EXPECT_EQ(result.upper_bound, result.value);
    }
}

TEST(MatrixSolver, ThousandPositionsAtFiveAndAnExpiredLimit) {
    std::mt19937_64 random(3);
    Matrix matrix(1000);
    for (int a = 0; a < 1000; ++a) {
        for (int b = a + 1; b < 1000; ++b) {
            matrix.at(a, b) = static_cast<float>(random() % 100000) / 1000.0F;
        }
    }
    const DispersionResult full = solve_matrix_dispersion(1000, matrix.rows.data(), 5, {});
    EXPECT_TRUE(full.proven);
    EXPECT_EQ(full.value, value_of(matrix, full.chosen));

    SearchLimits expired;
    expired.seconds = 0;
    const DispersionResult quick = solve_matrix_dispersion(1000, matrix.rows.data(), 5, expired);
    ASSERT_EQ(quick.chosen.size(), 5U);
    EXPECT_EQ(quick.value, value_of(matrix, quick.chosen));
    EXPECT_GE(quick.upper_bound, full.value);
    EXPECT_LE(quick.value, full.value);
}

// The triangle search, the p = 3 fast path, and the general search pick the same triple, ties
// included: narrow bands of values, cells past the cap, negative and NaN cells.
TEST(MatrixSolver, FastPathAndGeneralSearchPickTheSameTriple) {
    std::mt19937_64 random(2026);
    for (int trial = 0; trial < 600; ++trial) {
        const int n = 3 + static_cast<int>(random() % 38);
        Matrix matrix(n);
        for (int a = 0; a < n; ++a) {
            for (int b = a + 1; b < n; ++b) {
                matrix.at(a, b) = random() % 50 == 0 ? std::nanf("") : draw_cell(trial % 3, random);
            }
        }
        SCOPED_TRACE(testing::Message() << "trial " << trial << " n " << n);
        const ExactOptimum fast = find_exact_optimum(n, matrix.rows.data());
        const DispersionResult general = search_matrix(
            MenuObjective{static_cast<std::size_t>(n), matrix.rows.data()}, 3, SearchLimits{});
        ASSERT_TRUE(general.proven);
        EXPECT_EQ(general.value, static_cast<double>(fast.value));
        const std::vector<std::size_t> triple(std::begin(fast.positions), std::end(fast.positions));
        EXPECT_EQ(general.chosen, triple);
        EXPECT_EQ(solve_matrix_dispersion(n, matrix.rows.data(), 3, {}).chosen, triple);
    }
}

// At any p, among optimal selections, the one whose pairs (taken in falling order of value, ties
// by position) complete first, its other positions the smallest.
TEST(MatrixSolver, TiesGiveTheSelectionThePairsCompleteFirst) {
    // Every pair worth 7: the first p positions.
    Matrix flat(9);
    for (int a = 0; a < 9; ++a) {
        for (int b = a + 1; b < 9; ++b) {
            flat.at(a, b) = 7.5F;
        }
    }
    for (int p = 2; p <= 9; ++p) {
        const DispersionResult result = solve_matrix_dispersion(9, flat.rows.data(), p, {});
        std::vector<std::size_t> first(static_cast<std::size_t>(p));
        for (std::size_t i = 0; i < first.size(); ++i) {
            first[i] = i;
        }
        EXPECT_EQ(result.chosen, first) << p;
        EXPECT_EQ(result.value, 7.0);
    }
    // Positions 5..8 pairwise 9, everything else 3: at p = 4 the block; at p = 5 the pairs of
    // value 3 come in from (0, 1) on, and (0, 8) is the first to close five positions.
    Matrix block(9);
    for (int a = 0; a < 9; ++a) {
        for (int b = a + 1; b < 9; ++b) {
            block.at(a, b) = a >= 5 ? 9.0F : 3.0F;
        }
    }
    EXPECT_EQ(solve_matrix_dispersion(9, block.rows.data(), 4, {}).chosen,
              (std::vector<std::size_t>{5, 6, 7, 8}));
    EXPECT_EQ(solve_matrix_dispersion(9, block.rows.data(), 5, {}).chosen,
              (std::vector<std::size_t>{0, 5, 6, 7, 8}));
}

}  // namespace
