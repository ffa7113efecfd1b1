// The menu-instance solver against brute force on small matrices.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <random>
#include <utility>
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

// The smallest `distance` between two of `chosen`.
template <typename Distance>
double value_of(const Distance& distance, const std::vector<std::size_t>& chosen) {
    double worst = std::numeric_limits<double>::infinity();
    for (std::size_t a = 0; a < chosen.size(); ++a) {
        for (std::size_t b = a + 1; b < chosen.size(); ++b) {
            worst = std::min(worst, distance(chosen[a], chosen[b]));
        }
    }
    return worst;
}

double value_of(const Matrix& matrix, const std::vector<std::size_t>& chosen) {
    return value_of([&](std::size_t a, std::size_t b) { return worth(matrix, a, b); }, chosen);
}

// The best selection of p of n positions over every subset, under `distance`, and among the
// optimal ones the one the engine promises: pairs ranked by falling distance, ties by (a, b);
// the selection whose worst-ranked pair comes first, then the one whose other positions are
// lexicographically smallest.
struct Oracle {
    double value = -std::numeric_limits<double>::infinity();
    std::vector<std::size_t> chosen;
};

template <typename Distance>
Oracle brute_force(const Distance& distance, std::size_t n, int p) {
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    for (std::size_t a = 0; a < n; ++a) {
        for (std::size_t b = a + 1; b < n; ++b) {
            pairs.emplace_back(a, b);
        }
    }
    std::stable_sort(pairs.begin(), pairs.end(), [&](const auto& x, const auto& y) {
        return distance(x.first, x.second) > distance(y.first, y.second);
    });
    std::vector<std::size_t> rank(n * n, 0);
    for (std::size_t r = 0; r < pairs.size(); ++r) {
        rank[pairs[r].first * n + pairs[r].second] = r;
    }
    Oracle best;
    std::size_t best_rank = 0;
    std::vector<std::size_t> best_rest;
    std::vector<std::size_t> chosen;
    const auto consider = [&] {
        const double value = value_of(distance, chosen);
        std::size_t closing = 0;
        std::size_t first = 0;
        std::size_t second = 0;
        for (std::size_t i = 0; i < chosen.size(); ++i) {
            for (std::size_t j = i + 1; j < chosen.size(); ++j) {
                if (rank[chosen[i] * n + chosen[j]] >= closing) {
                    closing = rank[chosen[i] * n + chosen[j]];
                    first = chosen[i];
                    second = chosen[j];
                }
            }
        }
        std::vector<std::size_t> rest;
        for (const std::size_t v : chosen) {
            if (v != first && v != second) {
                rest.push_back(v);
            }
        }
        if (best.chosen.empty() || value > best.value ||
            (value == best.value &&
             (closing < best_rank || (closing == best_rank && rest < best_rest)))) {
            best = {value, chosen};
            best_rank = closing;
            best_rest = rest;
        }
    };
    const auto extend = [&](const auto& self, std::size_t from) -> void {
        if (chosen.size() == static_cast<std::size_t>(p)) {
            consider();
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
        const Oracle oracle =
            brute_force([&](std::size_t a, std::size_t b) { return worth(matrix, a, b); },
                        static_cast<std::size_t>(n), p);
        EXPECT_EQ(result.value, oracle.value);
        EXPECT_EQ(result.chosen, oracle.chosen);
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
    const Oracle oracle = brute_force(
        [&](std::size_t a, std::size_t b) { return matrix.distance(a, b); }, matrix.n, p);
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
                  value_of([&](std::size_t a, std::size_t b) { return matrix.distance(a, b); },
                           quick.chosen));
        EXPECT_LE(quick.value, full.value);
        EXPECT_GE(quick.upper_bound, full.value);
        EXPECT_EQ(quick.interrupted, limits == &interrupted && !quick.proven);
    }
}

}  // namespace
