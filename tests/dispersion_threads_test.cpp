// The point search on several threads: the same answer as on one, brute-force optima up to
// p = 8, and the time limit and the interrupt obeyed while helper threads run.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <random>
#include <thread>
#include <vector>

#include "dispersion/dispersion.hpp"
#include "dispersion/point_heuristic.hpp"
#include "dispersion/point_search.hpp"
#include "tests/support/point_oracle.hpp"
#include "tests/support/random_point_set.hpp"
#include "tests/support/sanitizer.hpp"

using namespace dispersao;

namespace {

// Returns n points under `rule`: spread over a square, or in `clusters` tight groups (ties and
// near-ties, where the order of decisions matters most) when clusters > 0.
PointSet draw(DistanceRule rule, std::size_t n, int clusters, std::mt19937_64& random) {
    return test_support::random_point_set(rule, n, 10000.0, clusters, 40.0, random);
}

using test_support::first_positions;
using test_support::value_of;

// Returns the best value of p points by trying every subset.
double brute_force(const PointSet& points, int p) {
    return test_support::brute_force_optimum(points, p);
}

// Many seeds, spread and clustered, p = 4..9: every number of threads gives exactly the
// selection, value and bound of one thread, whether from the heuristics or a poor start.
TEST(PointSolverThreads, SeveralThreadsGiveTheAnswerOfOne) {
    int compared = 0;
    for (std::uint64_t seed = 1; seed <= 24; ++seed) {
        std::mt19937_64 random(seed);
        const DistanceRule rule =
            seed % 3 == 0 ? DistanceRule::euclidean : DistanceRule::tsplib_euc_2d;
        const int p = 4 + static_cast<int>(seed % 6);
        const PointSet points =
            draw(rule, 200 + 40 * seed, seed % 2 == 0 ? 0 : p + static_cast<int>(seed % 5), random);
        const bool from_start = seed % 4 < 2;
        SearchLimits one;
        one.threads = 1;
        const DispersionResult alone = solve_point_dispersion_from(
            points, p, from_start ? first_positions(p) : std::vector<std::size_t>{}, one);
        ASSERT_TRUE(alone.proven) << "seed " << seed;
        for (const int threads : {2, 3, 8}) {
            SCOPED_TRACE(testing::Message()
                         << "seed " << seed << " p " << p << " threads " << threads);
            SearchLimits several;
            several.threads = threads;
            const DispersionResult shared = solve_point_dispersion_from(
                points, p, from_start ? first_positions(p) : std::vector<std::size_t>{}, several);
            EXPECT_EQ(shared.chosen, alone.chosen);
            EXPECT_EQ(shared.value, alone.value);
            EXPECT_EQ(shared.upper_bound, alone.upper_bound);
            EXPECT_TRUE(shared.proven);
            ++compared;
        }
    }
    EXPECT_EQ(compared, 72);
}

// From p = 15 the heuristics run several chains of local search: their pick is the same on
// one thread as on several, spread or clustered.
TEST(PointSolverThreads, HeuristicChainsPickTheSameOnAnyThreads) {
    for (std::uint64_t seed = 1; seed <= 4; ++seed) {
        std::mt19937_64 random(seed);
        const PointSet points =
            draw(DistanceRule::tsplib_euc_2d, 20 + 5 * seed, seed % 2 == 0 ? 0 : 6, random);
        const int p = 14 + static_cast<int>(seed);
        const auto never = [] { return false; };
        const std::vector<std::size_t> alone = heuristic_selection(points, p, never, 1);
        EXPECT_EQ(heuristic_selection(points, p, never, 2), alone) << "seed " << seed;
        EXPECT_EQ(alone.size(), static_cast<std::size_t>(p));
    }
}

// Small sets at p = 7 and 8 on four threads, against every subset.
TEST(PointSolverThreads, MatchesBruteForceUpToPEight) {
    std::mt19937_64 random(808);
    SearchLimits four;
    four.threads = 4;
    for (int trial = 0; trial < 12; ++trial) {
        const int p = 7 + trial % 2;
        const PointSet points =
            draw(trial % 3 == 0 ? DistanceRule::tsplib_ceil_2d : DistanceRule::tsplib_euc_2d,
                 18 + static_cast<std::size_t>(trial), trial % 2 * 4, random);
        const double optimum = brute_force(points, p);
        SCOPED_TRACE(testing::Message() << "trial " << trial << " p " << p);
        for (const bool from_start : {false, true}) {
            const DispersionResult result = solve_point_dispersion_from(
                points, p, from_start ? first_positions(p) : std::vector<std::size_t>{}, four);
            ASSERT_EQ(result.chosen.size(), static_cast<std::size_t>(p));
            EXPECT_EQ(result.value, value_of(points, result.chosen));
            EXPECT_TRUE(result.proven);
            EXPECT_EQ(result.value, optimum);
        }
    }
}

// A hard search on several threads stops at the time limit, or soon after an interrupt set
// from another thread, with a valid selection and a bound no smaller than its value.
TEST(PointSolverThreads, TimeLimitAndInterruptStopEveryThread) {
    std::mt19937_64 random(31);
    const PointSet points = draw(DistanceRule::tsplib_euc_2d, 20000, 0, random);
    SearchLimits limited;
    limited.threads = 3;
    limited.seconds = 0.3;
    auto start = std::chrono::steady_clock::now();
    const DispersionResult timed = solve_point_dispersion(points, 25, limited);
    double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(took, 0.3 + 1.0 * test_support::kSlowBuildFactor);
    ASSERT_EQ(timed.chosen.size(), 25U);
    EXPECT_EQ(timed.value, value_of(points, timed.chosen));
    EXPECT_GE(timed.upper_bound, timed.value);
    EXPECT_FALSE(timed.interrupted);

    std::atomic<bool> stop{false};
    SearchLimits interrupted;
    interrupted.threads = 3;
    interrupted.interrupted = &stop;
    std::thread pressing([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        stop.store(true);
    });
    start = std::chrono::steady_clock::now();
    const DispersionResult cut = solve_point_dispersion(points, 25, interrupted);
    took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    pressing.join();
    EXPECT_LT(took, 0.3 + 1.0 * test_support::kSlowBuildFactor);
    ASSERT_EQ(cut.chosen.size(), 25U);
    EXPECT_EQ(cut.value, value_of(points, cut.chosen));
    EXPECT_GE(cut.upper_bound, cut.value);
    EXPECT_TRUE(cut.interrupted || cut.proven);
}

}  // namespace
