// The point solver against brute force on many small sets, the distance rules on known
// values, and what a search stopped early still promises.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include "dispersion/dispersion.hpp"
#include "dispersion/point_search.hpp"
#include "tests/support/every_rule.hpp"
#include "tests/support/point_oracle.hpp"
#include "tests/support/progress_check.hpp"

using namespace dispersao;

namespace {

// Returns a point set under `rule` with the given coordinates.
PointSet make_points(DistanceRule rule, const std::vector<std::pair<double, double>>& at) {
    PointSet points;
    points.rule = rule;
    for (const auto& [x, y] : at) {
        points.x.push_back(x);
        points.y.push_back(y);
        points.ids.push_back(static_cast<std::int64_t>(points.ids.size()) + 1);
    }
    return points;
}

double distance(DistanceRule rule, double xa, double ya, double xb, double yb) {
    const PointSet points = make_points(rule, {{xa, ya}, {xb, yb}});
    return point_distance(points, 0, 1);
}

using test_support::value_of;

// Returns the best value of p points by trying every subset.
double brute_force(const PointSet& points, int p) {
    return test_support::brute_force_optimum(points, p);
}

// Checks that `result` is a valid answer for p points of `points`, and that its bounds hold
// the true optimum.
void expect_sound(const PointSet& points, int p, const DispersionResult& result, double optimum) {
    ASSERT_EQ(result.chosen.size(), static_cast<std::size_t>(p));
    EXPECT_TRUE(std::is_sorted(result.chosen.begin(), result.chosen.end()));
    EXPECT_TRUE(std::adjacent_find(result.chosen.begin(), result.chosen.end()) ==
                result.chosen.end());
    EXPECT_LT(result.chosen.back(), points.size());
    EXPECT_EQ(result.value, value_of(points, result.chosen));
    EXPECT_GE(result.upper_bound, optimum);
    EXPECT_LE(result.value, optimum);
    EXPECT_EQ(result.proven, result.value == result.upper_bound);
}

// Returns n points under `rule` of a kind that troubles the search: spread, on a small grid (ties
// and repeats), on one line, all at one place, or in tight clusters; in degrees for the
// geographic rules.
PointSet random_points(DistanceRule rule, int kind, int n, std::mt19937_64& random) {
    const bool geographic =
        rule == DistanceRule::tsplib_geo || rule == DistanceRule::great_circle_km;
    std::uniform_real_distribution<double> uniform(geographic ? -60.0 : -1000.0,
                                                   geographic ? 60.0 : 1000.0);
    std::uniform_int_distribution<int> grid(0, 4);
    std::vector<std::pair<double, double>> at;
    for (int i = 0; i < n; ++i) {
        switch (kind) {
            case 0:
                at.emplace_back(uniform(random), uniform(random));
                break;
            case 1:
                at.emplace_back(grid(random) * 10.0, grid(random) * 10.0);
                break;
            case 2: {
                const double t = uniform(random);
                at.emplace_back(t / 2.0, t / 4.0);
                break;
            }
            case 3:
                at.emplace_back(12.5, -7.25);
                break;
            default: {
                const double centre = grid(random) * (geographic ? 20.0 : 500.0);
                at.emplace_back(centre + uniform(random) / 300.0, centre - uniform(random) / 300.0);
            }
        }
    }
    return make_points(rule, at);
}

TEST(PointDistance, TsplibPlanarRules) {
    EXPECT_EQ(distance(DistanceRule::tsplib_euc_2d, 0, 0, 3, 4), 5);
    EXPECT_EQ(distance(DistanceRule::tsplib_euc_2d, 0, 0, 1, 1), 1);    // 1.414 rounds down
    EXPECT_EQ(distance(DistanceRule::tsplib_euc_2d, 0, 0, 1.5, 0), 2);  // halves round up
    EXPECT_EQ(distance(DistanceRule::tsplib_ceil_2d, 0, 0, 1, 1), 2);
    EXPECT_EQ(distance(DistanceRule::tsplib_ceil_2d, 0, 0, 3, 4), 5);
    EXPECT_EQ(distance(DistanceRule::tsplib_att, 0, 0, 10, 0), 4);    // r = 3.16
    EXPECT_EQ(distance(DistanceRule::tsplib_att, 0, 0, 30, 10), 10);  // r = 10 exactly
    EXPECT_EQ(distance(DistanceRule::tsplib_att, 0, 0, 0, 0), 0);
    EXPECT_DOUBLE_EQ(distance(DistanceRule::euclidean, 1, 1, 4, 5), 5);
    // Tiny and huge coordinates neither vanish nor overflow.
    EXPECT_GT(distance(DistanceRule::euclidean, 0, 0, 1e-200, 1e-200), 0);
    EXPECT_EQ(distance(DistanceRule::tsplib_ceil_2d, 0, 0, 1e-200, 0), 1);
    EXPECT_TRUE(std::isfinite(distance(DistanceRule::euclidean, -1e300, -1e300, 1e300, 1e300)));
}

TEST(PointDistance, GeographicRules) {
    // GEO reads DDD.MM: 1.00 is one degree, 0.30 is thirty minutes; with TSPLIB's pi the
    // degree is 111.32 km, and every distance adds 1 before truncation.
    EXPECT_EQ(distance(DistanceRule::tsplib_geo, 0, 0, 0, 1.00), 112);
    EXPECT_EQ(distance(DistanceRule::tsplib_geo, 0, 0, 0.30, 0), 56);
    EXPECT_EQ(distance(DistanceRule::tsplib_geo, 0, -0.30, 0, 0.30), 112);
    EXPECT_EQ(distance(DistanceRule::tsplib_geo, 40.30, 20.15, 40.30, 20.15), 1);
    const double quarter = 6371.0 * std::numbers::pi / 2.0;
    EXPECT_NEAR(distance(DistanceRule::great_circle_km, 0, 0, 0, 90), quarter, 1e-9);
    EXPECT_NEAR(distance(DistanceRule::great_circle_km, 0, 0, 90, 45), quarter, 1e-9);
    EXPECT_NEAR(distance(DistanceRule::great_circle_km, 10, 0, -10, 180), 2 * quarter, 1e-6);
    EXPECT_EQ(distance(DistanceRule::great_circle_km, 10, 20, 10, 20), 0);
}

// The search relies on two properties of every rule: the distance is the same both ways, and
// points at the same coordinates are at the same distance from any third one.
TEST(PointDistance, SymmetricAndTheSameFromEqualPlaces) {
    std::mt19937_64 random(4);
    std::uniform_real_distribution<double> coordinate(-89.9, 89.9);
    for (const DistanceRule rule : test_support::kEveryRule) {
        for (int trial = 0; trial < 300; ++trial) {
            const double xa = coordinate(random);
            const double ya = coordinate(random);
            const PointSet points =
                make_points(rule, {{xa, ya}, {coordinate(random), coordinate(random)}, {xa, ya}});
            EXPECT_EQ(point_distance(points, 0, 1), point_distance(points, 1, 0));
            EXPECT_EQ(point_distance(points, 0, 1), point_distance(points, 2, 1));
            EXPECT_EQ(point_distance(points, 1, 2), point_distance(points, 2, 1));
            EXPECT_GE(point_distance(points, 0, 1), point_distance(points, 0, 2));
        }
    }
}

// Every rule and kind of point set, n up to 30 and p = 2..6, against brute force.
TEST(PointSolver, MatchesBruteForceOnSmallSets) {
    std::mt19937_64 random(2024);
    int cases = 0;
    for (const DistanceRule rule : test_support::kEveryRule) {
        for (int trial = 0; trial < 60; ++trial) {
            const int kind = trial % 5;
            const int n = 2 + static_cast<int>(random() % 29);
            const int p = std::min(n, 2 + static_cast<int>(random() % 5));
            const PointSet points = random_points(rule, kind, n, random);
            const DispersionResult result = solve_point_dispersion(points, p, {});
            const double optimum = brute_force(points, p);
            SCOPED_TRACE(testing::Message() << "rule " << static_cast<int>(rule) << " kind " << kind
                                            << " n " << n << " p " << p);
            expect_sound(points, p, result, optimum);
            EXPECT_TRUE(result.proven);
            EXPECT_EQ(result.value, optimum);
            // From the first p points instead of the heuristics' choice, the cell search
            // itself must find the better selections.
            std::vector<std::size_t> start;
            for (std::size_t k = 0; k < static_cast<std::size_t>(p); ++k) {
                start.push_back(k);
            }
            const DispersionResult exact = solve_point_dispersion_from(points, p, start, {});
            expect_sound(points, p, exact, optimum);
            EXPECT_TRUE(exact.proven);
            EXPECT_EQ(exact.value, optimum);
            ++cases;
        }
    }
    EXPECT_EQ(cases, 360);
}

// Gaussian clusters under the real-valued rule, each point with its mirror image through the
// centre: many selections tie or nearly tie at the optimum, the case where the bisection over
// levels stops short and the elimination alone must prove. The same answer for any threads.
TEST(PointSolver, MatchesBruteForceOnMirroredClustersWithNearTies) {
    std::mt19937_64 random(31);
    std::uniform_real_distribution<double> place(0.0, 1000.0);
    std::normal_distribution<double> spread(0.0, 15.0);
    for (int trial = 0; trial < 12; ++trial) {
        std::vector<std::pair<double, double>> centres(3 + static_cast<std::size_t>(trial % 4));
        for (auto& [x, y] : centres) {
            x = place(random);
            y = place(random);
        }
        std::vector<std::pair<double, double>> at;
        // Every third set is larger, so that the rounds split cells of many points.
        const int pairs = trial % 3 == 2 ? 45 : 19;
        for (int i = 0; i < pairs; ++i) {
            const auto& [cx, cy] = centres[static_cast<std::size_t>(i) % centres.size()];
            const double x = cx + spread(random);
            const double y = cy + spread(random);
            at.emplace_back(x, y);
            at.emplace_back(1000.0 - x, 1000.0 - y);
        }
        const PointSet points = make_points(DistanceRule::euclidean, at);
        const int p = trial % 3 == 2 ? 4 : 4 + trial % 2;
        const double optimum = brute_force(points, p);
        SCOPED_TRACE(testing::Message() << "trial " << trial << " p " << p);
        SearchLimits one_thread;
        one_thread.threads = 1;
        const DispersionResult single = solve_point_dispersion(points, p, one_thread);
        expect_sound(points, p, single, optimum);
        EXPECT_TRUE(single.proven);
        EXPECT_EQ(single.value, optimum);
        SearchLimits two_threads;
        two_threads.threads = 2;
        const DispersionResult twice = solve_point_dispersion(points, p, two_threads);
        EXPECT_EQ(twice.chosen, single.chosen);
        EXPECT_EQ(twice.upper_bound, single.upper_bound);
    }
}

// Larger sets (brute force for p = 3 over all triples) exercise the cell refinement proper.
TEST(PointSolver, MatchesBruteForceOnHundredsOfPointsAtPThree) {
    std::mt19937_64 random(99);
    for (int kind : {0, 1, 4}) {
        for (const DistanceRule rule : {DistanceRule::tsplib_euc_2d, DistanceRule::tsplib_geo,
                                        DistanceRule::great_circle_km}) {
            const PointSet points = random_points(rule, kind, 200, random);
            const double optimum = brute_force(points, 3);
            const DispersionResult result = solve_point_dispersion(points, 3, {});
            expect_sound(points, 3, result, optimum);
            EXPECT_TRUE(result.proven);
            const DispersionResult exact = solve_point_dispersion_from(points, 3, {0, 1, 2}, {});
            expect_sound(points, 3, exact, optimum);
            EXPECT_TRUE(exact.proven);
        }
    }
}

TEST(PointSolver, StoppedSearchStillBoundsTheOptimum) {
    std::mt19937_64 random(5);
    const PointSet small = random_points(DistanceRule::euclidean, 0, 22, random);
    SearchLimits expired;
    expired.seconds = 0;
    const DispersionResult quick = solve_point_dispersion(small, 5, expired);
    expect_sound(small, 5, quick, brute_force(small, 5));
    EXPECT_FALSE(quick.interrupted);

    // A big set, interrupted before the first round: a valid selection, a finite bound, the
    // interruption reported, and progress told with lower <= upper.
    const PointSet big = random_points(DistanceRule::tsplib_euc_2d, 0, 20000, random);
    const std::atomic<bool> stop{true};
    SearchLimits interrupted;
    interrupted.interrupted = &stop;
    int reports = 0;
    interrupted.on_progress = test_support::counted_progress(reports);
    const DispersionResult cut = solve_point_dispersion(big, 12, interrupted);
    ASSERT_EQ(cut.chosen.size(), 12U);
    EXPECT_EQ(cut.value, value_of(big, cut.chosen));
    EXPECT_TRUE(std::isfinite(cut.upper_bound));
    EXPECT_GE(cut.upper_bound, cut.value);
    EXPECT_TRUE(cut.interrupted || cut.proven);
    EXPECT_GE(reports, 1);
}

// Degenerate sets at sizes where the cells matter: every point chosen (the closest pair
// decides), and thousands of points at a handful of places.
TEST(PointSolver, AllPointsAndRepeatedPlaces) {
    std::mt19937_64 random(23);
    const PointSet scattered = random_points(DistanceRule::tsplib_euc_2d, 1, 400, random);
    const DispersionResult all = solve_point_dispersion(scattered, 400, {});
    EXPECT_TRUE(all.proven);
    EXPECT_EQ(all.value, 0);  // 400 points on a 5 x 5 grid repeat
    const PointSet spread = random_points(DistanceRule::great_circle_km, 0, 300, random);
    std::vector<std::size_t> every(300);
    for (std::size_t i = 0; i < every.size(); ++i) {
        every[i] = i;
    }
    expect_sound(spread, 300, solve_point_dispersion(spread, 300, {}), value_of(spread, every));

    // 5,000 points at three places: three can be chosen apart, a fourth cannot.
    std::vector<std::pair<double, double>> places;
    for (int i = 0; i < 5000; ++i) {
        places.emplace_back(i % 3 * 100.0, i % 3 == 2 ? 50.0 : 0.0);
    }
    const PointSet repeated = make_points(DistanceRule::euclidean, places);
    const DispersionResult three = solve_point_dispersion(repeated, 3, {});
    EXPECT_TRUE(three.proven);
    EXPECT_EQ(three.value, 100);  // (0, 0), (100, 0), (200, 50)
    const DispersionResult four = solve_point_dispersion(repeated, 4, {});
    EXPECT_TRUE(four.proven);
    EXPECT_EQ(four.value, 0);
}

// Planar sets far beyond the usual scales, where whole-valued distances pass 2^53 (and every
// double is whole) or real ones sit near the smallest doubles: the search still ends, proven.
TEST(PointSolver, ProvesOnEveryScale) {
    std::mt19937_64 random(29);
    for (const DistanceRule rule : test_support::kEveryRule) {
        if (rule == DistanceRule::tsplib_geo || rule == DistanceRule::great_circle_km) {
            continue;  // degrees have no such scales
        }
        for (const double scale : {1e-300, 1e13, 1e18, 1e21, 1e290}) {
            for (int trial = 0; trial < 4; ++trial) {
                const int n = 4 + trial * 3;
                const int p = 3 + trial % 3;
                PointSet points = random_points(rule, trial % 2 == 0 ? 0 : 4, n, random);
                for (std::size_t i = 0; i < points.size(); ++i) {
                    points.x[i] *= scale;
                    points.y[i] *= scale;
                }
                SearchLimits limits;
                limits.seconds = 10;  // a safety net: without it a regression would hang
                const DispersionResult result = solve_point_dispersion(points, p, limits);
                SCOPED_TRACE(testing::Message() << "rule " << static_cast<int>(rule) << " scale "
                                                << scale << " n " << n << " p " << p);
                const double optimum = brute_force(points, p);
                expect_sound(points, p, result, optimum);
                EXPECT_TRUE(result.proven);
                EXPECT_EQ(result.value, optimum);
            }
        }
    }
}

// Two tight clusters far apart: a search stopped at once still bounds p = 3 by twice the
// greedy's covering radius (two of any three points share a cluster), not by the diameter.
TEST(PointSolver, StoppedAtOnceStillBoundsByTheGreedyCover) {
    std::mt19937_64 random(31);
    std::uniform_real_distribution<double> near(-0.5, 0.5);
    std::vector<std::pair<double, double>> at;
    for (int i = 0; i < 2000; ++i) {
        at.emplace_back((i % 2) * 1000.0 + near(random), near(random));
    }
    const PointSet points = make_points(DistanceRule::euclidean, at);
    SearchLimits now;
    now.seconds = 0;
    const DispersionResult stopped = solve_point_dispersion(points, 3, now);
    const DispersionResult exact = solve_point_dispersion(points, 3, {});
    ASSERT_TRUE(exact.proven);
    expect_sound(points, 3, stopped, exact.value);
    EXPECT_LE(stopped.upper_bound, 2 * std::sqrt(2.0) + 1e-6);
}

// Stopped at any moment, a search keeps its promises: each limit below stops it somewhere else
// on the way, and its bound must still hold the optimum that the full search proves.
TEST(PointSolver, BoundsHoldWhereverTheLimitStrikes) {
    std::mt19937_64 random(17);
    const PointSet points = random_points(DistanceRule::tsplib_euc_2d, 4, 3000, random);
    const DispersionResult full = solve_point_dispersion(points, 8, {});
    ASSERT_TRUE(full.proven);
    for (const double seconds : {1e-4, 1e-3, 3e-3, 1e-2, 3e-2, 0.1}) {
        SearchLimits limits;
        limits.seconds = seconds;
        const auto start = std::chrono::steady_clock::now();
        const DispersionResult cut =
            solve_point_dispersion_from(points, 8, {0, 1, 2, 3, 4, 5, 6, 7}, limits);
        const double took =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        SCOPED_TRACE(testing::Message() << "limit " << seconds);
        expect_sound(points, 8, cut, full.value);
        EXPECT_LT(took, seconds + 0.5);
    }
}

}  // namespace
