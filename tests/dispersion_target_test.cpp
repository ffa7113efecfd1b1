// The target search and the heuristics built on it: valid selections whose reported value is
// their own, never worse than where they started, optimal on small sets, deterministic, and
// stopping when asked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <set>
#include <vector>

#include "dispersion/dispersion.hpp"
#include "dispersion/point_heuristic.hpp"
#include "dispersion/search_tuning.hpp"
#include "dispersion/target_search.hpp"
#include "tests/support/every_rule.hpp"
#include "tests/support/point_oracle.hpp"
#include "tests/support/random_point_set.hpp"

using namespace dispersao;

namespace {

// Returns n points under `rule`: uniform over a square, or in five tight clusters (many
// near-ties) when `clustered`. Coordinates stay valid degrees for the geographic rules.
PointSet draw(DistanceRule rule, std::size_t n, bool clustered, std::mt19937_64& random) {
    const bool degrees = rule == DistanceRule::tsplib_geo || rule == DistanceRule::great_circle_km;
    const double side = degrees ? 40.0 : 10000.0;
    return test_support::random_point_set(rule, n, side, clustered ? 5 : 0, side / 200, random);
}

// Checks that `chosen` holds p distinct positions of the set.
void expect_valid(const PointSet& points, const std::vector<std::size_t>& chosen, int p) {
    ASSERT_EQ(chosen.size(), static_cast<std::size_t>(p));
    EXPECT_EQ(std::set<std::size_t>(chosen.begin(), chosen.end()).size(), chosen.size());
    for (const std::size_t c : chosen) {
        EXPECT_LT(c, points.size());
    }
}

// Every rule, spread and clustered, squares barred of either side: the search leaves p distinct
// points, returns their value as the rule measures it, and never ends below the greedy selection it
// started from.
TEST(TargetSearch, RaisesToAValidSelectionWhoseValueIsReported) {
    std::mt19937_64 random(41);
    for (const DistanceRule rule : test_support::kEveryRule) {
        for (const bool clustered : {false, true}) {
            const PointSet points = draw(rule, 300, clustered, random);
            for (const int p : {3, 8, 17}) {
                SCOPED_TRACE(testing::Message() << "rule " << static_cast<int>(rule) << " p " << p
                                                << " clustered " << clustered);
                for (const double barred :
                     {tuning::kTargetBarredSquare, tuning::kTargetBarredSquareWide}) {
                    std::vector<std::size_t> chosen = farthest_point_selection(points, p, 0);
                    const double start = selection_value(points, chosen);
                    const double value = raise_by_targets(points, chosen, {300, 7, {}, barred});
                    expect_valid(points, chosen, p);
                    EXPECT_EQ(value, test_support::value_of(points, chosen));
                    EXPECT_GE(value, start);
                }
            }
        }
    }
}

// Small sets: from the poorest start (the first p points) the search reaches the optimum
// that trying every subset finds, with squares barred of either side.
TEST(TargetSearch, ReachesTheOptimumOfSmallSets) {
    std::mt19937_64 random(5);
    for (int trial = 0; trial < 16; ++trial) {
        const int p = 4 + trial % 5;
        const PointSet points =
            draw(trial % 2 == 0 ? DistanceRule::tsplib_euc_2d : DistanceRule::euclidean,
                 20 + static_cast<std::size_t>(trial), trial % 3 == 0, random);
        std::vector<std::size_t> chosen(static_cast<std::size_t>(p));
        for (std::size_t k = 0; k < chosen.size(); ++k) {
            chosen[k] = k;
        }
        const double barred =
            trial % 4 < 2 ? tuning::kTargetBarredSquare : tuning::kTargetBarredSquareWide;
        const double value = raise_by_targets(points, chosen, {2000, 1, {}, barred});
        EXPECT_EQ(value, test_support::brute_force_optimum(points, p)) << "trial " << trial;
        expect_valid(points, chosen, p);
    }
}

// Sets with coincident points (value 0) and with a single point to spare: the search still
// ends with a valid selection, its value recomputed.
TEST(TargetSearch, CoincidentPointsAndNoRoomToMove) {
    PointSet twins;
    twins.rule = DistanceRule::tsplib_euc_2d;
    for (int i = 0; i < 30; ++i) {
        twins.x.push_back(static_cast<double>(i % 6) * 100.0);
        twins.y.push_back(i % 6 < 3 ? 0.0 : 100.0);
    }
    std::vector<std::size_t> chosen = {0, 6, 12, 18, 24, 1, 7};  // two places only
    ASSERT_EQ(selection_value(twins, chosen), 0.0);
    double value = raise_by_targets(twins, chosen, {500, 3, {}});
    expect_valid(twins, chosen, 7);
    EXPECT_EQ(value, selection_value(twins, chosen));
    EXPECT_EQ(value, 0.0);  // 6 places for 7 points: some pair coincides

    std::mt19937_64 random(8);
    const PointSet tight = draw(DistanceRule::tsplib_euc_2d, 11, false, random);
    chosen = farthest_point_selection(tight, 10, 0);
    value = raise_by_targets(tight, chosen, {500, 3, {}});
    expect_valid(tight, chosen, 10);
    EXPECT_EQ(value, test_support::brute_force_optimum(tight, 10));
}

// The same seed gives the same selection; a stop asked for at once leaves the start as it
// was, and one asked for after a few moves still leaves a valid selection.
TEST(TargetSearch, DeterministicAndStopsWhenAsked) {
    std::mt19937_64 random(17);
    const PointSet points = draw(DistanceRule::tsplib_euc_2d, 2000, true, random);
    const std::vector<std::size_t> start = farthest_point_selection(points, 12, 0);
    std::vector<std::size_t> once = start;
    std::vector<std::size_t> twice = start;
    (void)raise_by_targets(points, once, {400, 99, {}});
    (void)raise_by_targets(points, twice, {400, 99, {}});
    EXPECT_EQ(once, twice);

    std::vector<std::size_t> stopped = start;
    (void)raise_by_targets(points, stopped, {1000000, 99, [] { return true; }});
    EXPECT_EQ(stopped, start);

    int asked = 0;
    std::vector<std::size_t> cut = start;
    const double value =
        raise_by_targets(points, cut, {1000000, 99, [&asked] { return ++asked > 50; }});
    EXPECT_EQ(asked, 51);  // asked before every move, and obeyed at once
    expect_valid(points, cut, 12);
    EXPECT_EQ(value, selection_value(points, cut));
}

// The heuristics on small random sets: never below the farthest-point greedy from any first
// point, the value recomputed, and the same selection on one thread as on three.
TEST(TargetSearch, HeuristicBeatsTheGreedyOnAnyThreads) {
    std::mt19937_64 random(23);
    for (int trial = 0; trial < 4; ++trial) {
        const int p = 6 + 3 * (trial % 3);
        const PointSet points =
            draw(trial % 2 == 0 ? DistanceRule::tsplib_euc_2d : DistanceRule::great_circle_km, 90,
                 trial % 3 == 1, random);
        const auto never = [] { return false; };
        const std::vector<std::size_t> alone = heuristic_selection(points, p, never, 1);
        SCOPED_TRACE(testing::Message() << "trial " << trial << " p " << p);
        expect_valid(points, alone, p);
        double greedy = 0;
        for (std::size_t first = 0; first < points.size(); first += 7) {
            greedy = std::max(greedy,
                              selection_value(points, farthest_point_selection(points, p, first)));
        }
        EXPECT_GE(selection_value(points, alone), greedy);
        EXPECT_EQ(heuristic_selection(points, p, never, 3), alone);
    }
}

}  // namespace
