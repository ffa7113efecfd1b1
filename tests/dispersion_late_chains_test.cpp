// The heuristics' later chains: never worse than the selection they start from, the same on any
// threads, and run beside the exact search only while a time limit runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

#include "dispersion/dispersion.hpp"
#include "dispersion/late_chains.hpp"
#include "dispersion/point_heuristic.hpp"
#include "dispersion/search_clock.hpp"
#include "dispersion/search_tuning.hpp"
#include "tests/support/point_oracle.hpp"
#include "tests/support/random_point_set.hpp"

using namespace dispersao;

namespace {

using test_support::first_positions;
using test_support::value_of;

// Returns whether `chosen` holds p distinct positions of a set of n points.
bool valid(const std::vector<std::size_t>& chosen, int p, std::size_t n) {
    std::vector<std::size_t> sorted = chosen;
    std::sort(sorted.begin(), sorted.end());
    return sorted.size() == static_cast<std::size_t>(p) &&
           std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end() &&
           (sorted.empty() || sorted.back() < n);
}

// Returns whether `late` took the clock before it read `seconds`, looking every 10 ms.
bool took_over_by(const point_internal::LateChains& late, const SearchClock& clock,
                  double seconds) {
    while (!late.took_over() && clock.elapsed() < seconds) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return late.took_over();
}

TEST(LateChains, MoreChainsKeepOrRaiseTheirStartOnAnyThreads) {
    const auto never = [] { return false; };
    for (std::uint64_t seed = 1; seed <= 4; ++seed) {
        std::mt19937_64 random(seed);
        const PointSet points =
            test_support::random_point_set(DistanceRule::tsplib_euc_2d, 60 + 20 * seed, 10000.0,
                                           seed % 2 == 0 ? 0 : 7, 40.0, random);
        const int p = 6 + static_cast<int>(seed);
        SCOPED_TRACE(testing::Message() << "seed " << seed << " p " << p);
        for (const std::vector<std::size_t>& start :
             {first_positions(p), heuristic_selection(points, p, never, 1)}) {
            const std::vector<std::size_t> alone = more_chains(points, p, start, 32, 40, never, 1);
            ASSERT_TRUE(valid(alone, p, points.size()));
            EXPECT_GE(value_of(points, alone), value_of(points, start));
            EXPECT_EQ(more_chains(points, p, start, 32, 40, never, 2), alone);
        }
    }
}

TEST(LateChains, RunOnlyUnderATimeLimitAndStopWhenAsked) {
    std::mt19937_64 random(5);
    const PointSet points =
        test_support::random_point_set(DistanceRule::tsplib_euc_2d, 3000, 10000.0, 0, 40.0, random);
    const int p = 12;
    // No time limit, one thread, or a p too small or large: no chains, and finish() answers at
    // once.
    const SearchLimits unlimited;
    SearchClock endless(unlimited);
    point_internal::LateChains none(points, p, first_positions(p), endless, 2);
    EXPECT_TRUE(none.finish().empty());
    SearchLimits limited;
    limited.seconds = 0.4;
    SearchClock clock(limited);
    point_internal::LateChains lone(points, p, first_positions(p), clock, 1);
    EXPECT_TRUE(lone.finish().empty());
    point_internal::LateChains small(points, 3, first_positions(3), clock, 2);
    EXPECT_TRUE(small.finish().empty());
    point_internal::LateChains large(points, 30, first_positions(30), clock, 2);
    EXPECT_TRUE(large.finish().empty());
    // From half the limit on the chains raise the poor start; finish() stops them.
    point_internal::LateChains late(points, p, first_positions(p), clock, 2);
    std::this_thread::sleep_for(std::chrono::milliseconds(350));
    const auto asked = std::chrono::steady_clock::now();
    const std::vector<std::size_t> found = late.finish();
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count(), 1.0);
    ASSERT_TRUE(valid(found, p, points.size()));
    EXPECT_GT(value_of(points, found), value_of(points, first_positions(p)));
}

// Chains told of no progress take the clock: the exact search is told to stop (without an
// interrupt), the chains run to the limit on every thread and end by it. Told of progress, they
// leave the clock alone and stop when finish() asks.
TEST(LateChains, TakeTheClockOnlyWhereTheSearchMadeNoProgress) {
    std::mt19937_64 random(6);
    const PointSet points =
        test_support::random_point_set(DistanceRule::tsplib_euc_2d, 2000, 10000.0, 0, 40.0, random);
    const int p = 10;
    SearchLimits limited;
    limited.seconds = 0.6;
    {
        SearchClock clock(limited);
        point_internal::LateChains late(points, p, first_positions(p), clock, 2);
        late.note_progress();
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        EXPECT_FALSE(late.took_over());
        EXPECT_FALSE(clock.should_stop());
        const std::vector<std::size_t> found = late.finish();
        ASSERT_TRUE(valid(found, p, points.size()));
    }
    SearchClock clock(limited);
    point_internal::LateChains late(points, p, first_positions(p), clock, 2);
    EXPECT_FALSE(clock.should_stop());
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_TRUE(late.took_over());
    EXPECT_TRUE(clock.should_stop());
    EXPECT_FALSE(clock.over());
    late.await();
    // The chains ran on to the limit, not past it by much.
    EXPECT_GE(clock.elapsed(), 0.6);
    EXPECT_LT(clock.elapsed(), 1.6);
    EXPECT_FALSE(clock.interrupted());
    const std::vector<std::size_t> found = late.finish();
    ASSERT_TRUE(valid(found, p, points.size()));
    EXPECT_GT(value_of(points, found), value_of(points, first_positions(p)));
    // An interrupt ends chains that took the clock at once, and is reported as one.
    std::atomic<bool> interrupt{false};
    limited.seconds = 2;
    limited.interrupted = &interrupt;
    SearchClock long_clock(limited);
    point_internal::LateChains cut(points, p, first_positions(p), long_clock, 2);
    ASSERT_TRUE(took_over_by(cut, long_clock, 1.5));
    EXPECT_FALSE(long_clock.interrupted());
    interrupt.store(true);
    const auto asked = std::chrono::steady_clock::now();
    cut.await();
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count(), 1.0);
    EXPECT_TRUE(long_clock.interrupted());
}

// On a set the heuristics search through a sample, the chains never run: one of them over
// every point would outlast the limit (its layout alone takes seconds at a million points).
TEST(LateChains, LeaveSampledSetsToTheRounds) {
    std::mt19937_64 random(9);
    const std::size_t n = 2 * tuning::kHeuristicSample + 1;
    ASSERT_TRUE(searched_by_sample(n));
    ASSERT_FALSE(searched_by_sample(n - 1));
    const PointSet points =
        test_support::random_point_set(DistanceRule::tsplib_euc_2d, n, 10000.0, 0, 40.0, random);
    const int p = 10;
    SearchLimits limited;
    limited.seconds = 0.4;
    SearchClock clock(limited);
    point_internal::LateChains late(points, p, first_positions(p), clock, 2);
    EXPECT_FALSE(took_over_by(late, clock, 0.3));
    EXPECT_FALSE(clock.should_stop());
    EXPECT_TRUE(late.finish().empty());
}

// Where the rounds rule out no point, the chains take the clock once the rounds have had their
// share of the time left, well before half the limit; a point ruled out before that keeps the
// clock with the rounds.
TEST(LateChains, TakeTheClockOnceTheRoundsHadTheirShare) {
    std::mt19937_64 random(7);
    const PointSet points =
        test_support::random_point_set(DistanceRule::tsplib_euc_2d, 2000, 10000.0, 0, 40.0, random);
    const int p = 10;
    SearchLimits limited;
    limited.seconds = 4;
    const double half = tuning::kLateChainsShare * limited.seconds;
    const double share = tuning::kHandOverShare * limited.seconds;
    ASSERT_LT(share + 0.5, half);
    {
        SearchClock clock(limited);
        point_internal::LateChains late(points, p, first_positions(p), clock, 2);
        EXPECT_TRUE(took_over_by(late, clock, half));
        EXPECT_GE(clock.elapsed(), share);
        EXPECT_LT(clock.elapsed(), half - 0.25);
        EXPECT_TRUE(clock.should_stop());
        EXPECT_FALSE(clock.over());
    }
    SearchClock clock(limited);
    point_internal::LateChains late(points, p, first_positions(p), clock, 2);
    late.note_progress();
    std::this_thread::sleep_for(std::chrono::duration<double>(share + 0.3));
    EXPECT_FALSE(late.took_over());
    EXPECT_FALSE(clock.should_stop());
}

// Chains asked to run to the end go on after generations agree, until told to stop; by
// default they end once three generations in a row agree, sooner on an easy set.
TEST(LateChains, ChainsToTheEndStopOnlyWhenTold) {
    std::mt19937_64 random(3);
    const PointSet points =
        test_support::random_point_set(DistanceRule::tsplib_euc_2d, 200, 10000.0, 0, 40.0, random);
    const int p = 6;
    const std::vector<std::size_t> start = first_positions(p);
    // Each move of a chain asks once: a few hundred thousand asks are some tens of chains.
    constexpr int kAsks = 400000;
    int asked = 0;
    const auto counted = [&asked] { return ++asked > kAsks; };
    const std::vector<std::size_t> agreed = more_chains(points, p, start, 32, 1000, counted, 1);
    const int asked_agreeing = asked;
    asked = 0;
    const std::vector<std::size_t> to_end =
        more_chains(points, p, start, 32, 1000, counted, 1, true);
    EXPECT_LT(asked_agreeing, kAsks);
    EXPECT_GT(asked, kAsks);
    EXPECT_GE(value_of(points, to_end), value_of(points, agreed));
}

}  // namespace
