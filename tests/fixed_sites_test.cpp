// Fixed sites against brute force over the selections that hold them, for points and for
// distance matrices, and what a search stopped early still promises.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <functional>
#include <limits>
#include <random>
#include <vector>

#include "dispersion/dispersion.hpp"
#include "dispersion/fixed_sites.hpp"
#include "dispersion/matrix_view.hpp"
#include "tests/support/brute_force.hpp"

using namespace dispersao;

namespace {

using Distance = std::function<double(std::size_t, std::size_t)>;

// Returns the best smallest pairwise distance of p of n sites that hold `fixed`, by trying
// every such selection.
double brute_force(std::size_t n, int p, const std::vector<std::size_t>& fixed,
                   const Distance& distance) {
    double best = -std::numeric_limits<double>::infinity();
    std::vector<std::size_t> chosen = fixed;
    const auto extend = [&](const auto& self, std::size_t from) -> void {
        if (chosen.size() == static_cast<std::size_t>(p)) {
            std::vector<std::size_t> sorted = chosen;
            std::sort(sorted.begin(), sorted.end());
            best = std::max(best, test_support::value_of(sorted, distance));
            return;
        }
        for (std::size_t i = from; i < n; ++i) {
            if (std::find(fixed.begin(), fixed.end(), i) == fixed.end()) {
                chosen.push_back(i);
                self(self, i + 1);
                chosen.pop_back();
            }
        }
    };
    extend(extend, 0);
    return best;
}

// Checks that `result` holds p distinct sites, every fixed one among them, that `value` is
// their worth, and that its bounds hold `optimum`.
void expect_sound(std::size_t n, int p, const std::vector<std::size_t>& fixed,
                  const Distance& distance, const DispersionResult& result, double optimum) {
    ASSERT_EQ(result.chosen.size(), static_cast<std::size_t>(p));
    EXPECT_TRUE(std::is_sorted(result.chosen.begin(), result.chosen.end()));
    EXPECT_TRUE(std::adjacent_find(result.chosen.begin(), result.chosen.end()) ==
                result.chosen.end());
    EXPECT_LT(result.chosen.back(), n);
    for (const std::size_t f : fixed) {
        EXPECT_TRUE(std::binary_search(result.chosen.begin(), result.chosen.end(), f)) << f;
    }
    EXPECT_EQ(result.value, test_support::value_of(result.chosen, distance));
    EXPECT_LE(result.value, optimum);
    EXPECT_GE(result.upper_bound, optimum);
    EXPECT_EQ(result.proven, result.value == result.upper_bound);
}

// Checks that `result`, the answer of trial `trial` for p of n sites holding `fixed`, is sound
// and proves the brute-force optimum.
void expect_optimal(std::size_t n, int p, const std::vector<std::size_t>& fixed,
                    const Distance& distance, const DispersionResult& result, int trial) {
    const double optimum = brute_force(n, p, fixed, distance);
    SCOPED_TRACE(testing::Message()
                 << "trial " << trial << " n " << n << " p " << p << " k " << fixed.size());
    expect_sound(n, p, fixed, distance, result, optimum);
    EXPECT_TRUE(result.proven);
    EXPECT_EQ(result.value, optimum);
}

// Returns k distinct positions below n drawn at random.
std::vector<std::size_t> draw_fixed(std::size_t n, int k, std::mt19937_64& random) {
    std::vector<std::size_t> all(n);
    for (std::size_t i = 0; i < n; ++i) {
        all[i] = i;
    }
    std::shuffle(all.begin(), all.end(), random);
    all.resize(static_cast<std::size_t>(k));
    return all;
}

// Returns n points drawn spread out or on a small grid (ties and repeated places) under `rule`.
PointSet draw_points(DistanceRule rule, std::size_t n, bool grid, std::mt19937_64& random) {
    std::uniform_real_distribution<double> spread(-100.0, 100.0);
    std::uniform_int_distribution<int> cell(0, 3);
    PointSet points;
    points.rule = rule;
    for (std::size_t i = 0; i < n; ++i) {
        points.x.push_back(grid ? cell(random) * 10.0 : spread(random));
        points.y.push_back(grid ? cell(random) * 10.0 : spread(random));
        points.ids.push_back(static_cast<std::int64_t>(i) + 1);
    }
    return points;
}

TEST(FixedSites, PointsMatchBruteForce) {
    std::mt19937_64 random(20);
    const DistanceRule rules[] = {DistanceRule::euclidean, DistanceRule::tsplib_euc_2d,
                                  DistanceRule::great_circle_km};
    for (int trial = 0; trial < 300; ++trial) {
        const DistanceRule rule = rules[trial % 3];
        const auto n = static_cast<std::size_t>(std::uniform_int_distribution<int>(2, 11)(random));
        const PointSet points = draw_points(rule, n, trial % 4 == 1, random);
        const int p = std::uniform_int_distribution<int>(
            2, static_cast<int>(std::min<std::size_t>(n, 5)))(random);
        const int k = std::uniform_int_distribution<int>(0, p)(random);
        const std::vector<std::size_t> fixed = draw_fixed(n, k, random);
        const Distance distance = [&](std::size_t a, std::size_t b) {
            return point_distance(points, a, b);
        };
        const DispersionResult result = solve_point_dispersion_fixed(points, p, fixed, {});
        expect_optimal(n, p, fixed, distance, result, trial);
    }
}

TEST(FixedSites, FixedPairCapsTheValue) {
    // Two fixed points 1 apart: nothing can be worth more, however far the others lie.
    PointSet points;
    points.x = {0, 1, 100, -100, 0};
    points.y = {0, 0, 0, 0, 100};
    points.ids = {1, 2, 3, 4, 5};
    const DispersionResult result = solve_point_dispersion_fixed(points, 4, {0, 1}, {});
    EXPECT_EQ(result.value, 1);
    EXPECT_TRUE(result.proven);
    EXPECT_EQ(result.chosen.size(), 4U);
    // Every site fixed: the answer is the fixed set.
    const DispersionResult all = solve_point_dispersion_fixed(points, 3, {4, 2, 3}, {});
    EXPECT_EQ(all.chosen, (std::vector<std::size_t>{2, 3, 4}));
    EXPECT_TRUE(all.proven);
}

TEST(FixedSites, BestAmongCandidatesMayLieTooNearTheFixedSite) {
    // With (0, 0) fixed at p = 3, the farthest pair of the others first includes a point near
    // (0, 0); the search must exclude it and ask again, twice, before the answer is proven.
    PointSet points;
    points.x = {0, 1, 5, 0, 8, 7, 9};
    points.y = {0, 8, 7, 8, 1, 7, 0};
    points.ids = {1, 2, 3, 4, 5, 6, 7};
    const DispersionResult result = solve_point_dispersion_fixed(points, 3, {0}, {});
    const Distance distance = [&](std::size_t a, std::size_t b) {
        return point_distance(points, a, b);
    };
    const double optimum = brute_force(points.size(), 3, {0}, distance);
    expect_sound(points.size(), 3, {0}, distance, result, optimum);
    EXPECT_EQ(result.value, optimum);
    EXPECT_TRUE(result.proven);
}

TEST(FixedSites, StoppedSearchKeepsItsPromises) {
    std::mt19937_64 random(7);
    const PointSet points = draw_points(DistanceRule::euclidean, 3000, false, random);
    const std::atomic<bool> stop{true};
    SearchLimits limits;
    limits.interrupted = &stop;
    const DispersionResult result = solve_point_dispersion_fixed(points, 8, {5, 17}, limits);
    ASSERT_EQ(result.chosen.size(), 8U);
    EXPECT_TRUE(std::binary_search(result.chosen.begin(), result.chosen.end(), 5U));
    EXPECT_TRUE(std::binary_search(result.chosen.begin(), result.chosen.end(), 17U));
    EXPECT_GE(result.upper_bound, result.value);
    EXPECT_LE(result.upper_bound, point_distance(points, 5, 17));
    EXPECT_TRUE(result.proven || result.interrupted);
    SearchLimits no_time;
    no_time.seconds = 0;
    const DispersionResult hurried = solve_point_dispersion_fixed(points, 8, {5}, no_time);
    ASSERT_EQ(hurried.chosen.size(), 8U);
    EXPECT_GE(hurried.upper_bound, hurried.value);
    EXPECT_TRUE(std::isfinite(hurried.upper_bound));
}

TEST(FixedSites, MatrixMatchesBruteForce) {
    std::mt19937_64 random(21);
    for (int trial = 0; trial < 200; ++trial) {
        const auto n = static_cast<std::size_t>(std::uniform_int_distribution<int>(2, 10)(random));
        // Small integer distances give many ties; the lower triangle is left unread garbage.
        std::uniform_int_distribution<int> cell(0, trial % 2 == 0 ? 4 : 1000);
        std::vector<double> cells(n * (n + 1), -1.0);
        for (std::size_t a = 0; a < n; ++a) {
            for (std::size_t b = a + 1; b < n; ++b) {
                cells[a * (n + 1) + b] = cell(random);
            }
        }
        const MatrixView matrix{n, cells.data(), n + 1};
        const int p = std::uniform_int_distribution<int>(
            2, static_cast<int>(std::min<std::size_t>(n, 5)))(random);
        const int k = std::uniform_int_distribution<int>(0, p)(random);
        const std::vector<std::size_t> fixed = draw_fixed(n, k, random);
        const Distance distance = [&](std::size_t a, std::size_t b) { return matrix.at(a, b); };
        const DispersionResult result = solve_distance_matrix_fixed(matrix, p, fixed, {});
        expect_optimal(n, p, fixed, distance, result, trial);
    }
}

TEST(FixedSites, MenuInstancesUnderTheMenuObjective) {
    // Cells with fractions and above the cap: the objective truncates them and caps them at 100.
    // Every third trial has negative cells too, which the menu's files allow.
    std::mt19937_64 random(22);
    std::uniform_real_distribution<float> cell(0.0F, 140.0F);
    std::uniform_real_distribution<float> signed_cell(-140.0F, 140.0F);
    for (int trial = 0; trial < 100; ++trial) {
        const int n = std::uniform_int_distribution<int>(2, 9)(random);
        const auto size = static_cast<std::size_t>(n);
        std::vector<float> cells(size * size, 0.0F);
        std::vector<float*> rows(size);
        for (std::size_t a = 0; a < size; ++a) {
            rows[a] = &cells[a * size];
            for (std::size_t b = a + 1; b < size; ++b) {
                cells[a * size + b] = trial % 3 == 0   ? std::floor(cell(random) / 30.0F)
                                      : trial % 3 == 1 ? signed_cell(random)
                                                       : cell(random);
            }
        }
        const int p = std::uniform_int_distribution<int>(2, std::min(n, 5))(random);
        const int k = std::uniform_int_distribution<int>(0, p)(random);
        const std::vector<std::size_t> fixed = draw_fixed(size, k, random);
        const Distance distance = [&](std::size_t a, std::size_t b) {
            return test_support::menu_worth(a < b ? cells[a * size + b] : cells[b * size + a]);
        };
        const DispersionResult result = solve_menu_dispersion_fixed(n, rows.data(), p, fixed, {});
        expect_optimal(size, p, fixed, distance, result, trial);
    }
}

}  // namespace
