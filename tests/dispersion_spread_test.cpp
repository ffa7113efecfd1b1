// The search for large selections: never below the plain farthest-point greedy, a valid
// selection and a sound upper bound on sets of every shape, and the grid greedy picking what
// the plain greedy picks.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include "dispersion/dispersion.hpp"
#include "dispersion/packing_bound.hpp"
#include "dispersion/point_grid.hpp"
#include "dispersion/point_heuristic.hpp"
#include "dispersion/selection_grid.hpp"
#include "dispersion/spread_greedy.hpp"

using namespace dispersao;

namespace {

// How the points of a test set are spread over [0, 1000)^2 (or the globe).
enum class Shape { uniform, clustered, lattice_with_copies, globe };

// Returns `n` points of `shape`, drawn from `seed`.
PointSet make_set(Shape shape, std::size_t n, unsigned seed) {
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::normal_distribution<double> normal(0.0, 1.0);
    PointSet points;
    points.rule = shape == Shape::globe ? DistanceRule::great_circle_km : DistanceRule::euclidean;
    std::vector<std::pair<double, double>> centres;
    for (int c = 0; c < 12; ++c) {
        centres.emplace_back(1000 * unit(random), 1000 * unit(random));
    }
    for (std::size_t i = 0; i < n; ++i) {
        double x = 0;
        double y = 0;
        if (shape == Shape::uniform) {
            x = 1000 * unit(random);
            y = 1000 * unit(random);
        } else if (shape == Shape::clustered) {
            const auto& [cx, cy] = centres[random() % centres.size()];
            x = cx + 15 * normal(random);
            y = cy + 15 * normal(random);
        } else if (shape == Shape::lattice_with_copies) {
            // A 30 x 30 lattice of spacing 10, every place held several times.
            x = 10.0 * static_cast<double>(random() % 30);
            y = 10.0 * static_cast<double>(random() % 30);
        } else {
            x = 180 * unit(random) - 90;
            y = 360 * unit(random) - 180;
        }
        points.x.push_back(x);
        points.y.push_back(y);
        points.ids.push_back(static_cast<std::int64_t>(i) + 1);
    }
    return points;
}

// Returns the plain greedy's selection: the point farthest from the centroid of the input
// coordinates, then each time the point farthest from those picked.
std::vector<std::size_t> plain_greedy(const PointSet& points, int p) {
    double cx = 0;
    double cy = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        cx += points.x[i];
        cy += points.y[i];
    }
    cx /= static_cast<double>(points.size());
    cy /= static_cast<double>(points.size());
    std::size_t first = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (std::hypot(points.x[i] - cx, points.y[i] - cy) >
            std::hypot(points.x[first] - cx, points.y[first] - cy)) {
            first = i;
        }
    }
    return farthest_point_selection(points, p, first);
}

// Limits of the searches: the greedy ends in milliseconds on these sets, even sanitized; the
// repairs after it would take most of a second each without a limit.
SearchLimits quarter_second() {
    SearchLimits limits;
    limits.seconds = 0.25;
    return limits;
}

}  // namespace

TEST(SpreadSearch, NeverBelowThePlainGreedyWithAValidSelectionAndBound) {
    const SearchLimits limits = quarter_second();
    for (const Shape shape : {Shape::uniform, Shape::clustered, Shape::lattice_with_copies}) {
        for (unsigned seed = 1; seed <= 3; ++seed) {
            const std::size_t n = 800 + 300 * seed;
            const PointSet points = make_set(shape, n, seed);
            for (const int p : {50, 137, static_cast<int>(n / 2)}) {
                SCOPED_TRACE(::testing::Message() << "shape " << static_cast<int>(shape) << " seed "
                                                  << seed << " p " << p);
                const DispersionResult result = solve_point_dispersion(points, p, limits);
                ASSERT_EQ(result.chosen.size(), static_cast<std::size_t>(p));
                EXPECT_TRUE(std::is_sorted(result.chosen.begin(), result.chosen.end()));
                EXPECT_EQ(std::adjacent_find(result.chosen.begin(), result.chosen.end()),
                          result.chosen.end());
                EXPECT_EQ(result.value, selection_value(points, result.chosen));
                const double greedy = selection_value(points, plain_greedy(points, p));
                EXPECT_GE(result.value, greedy);
                EXPECT_GE(result.upper_bound, result.value);
                // The greedy's covering radius alone bounds the optimum by twice its value.
                EXPECT_LE(result.upper_bound, 2 * greedy * (1 + 1e-6));
            }
        }
    }
}

TEST(SpreadSearch, GeographicPointsAndCopiesOfOnePlace) {
    const PointSet globe = make_set(Shape::globe, 3000, 7);
    const DispersionResult spread = solve_point_dispersion(globe, 200, quarter_second());
    EXPECT_EQ(spread.value, selection_value(globe, spread.chosen));
    EXPECT_GE(spread.value, selection_value(globe, plain_greedy(globe, 200)));
    EXPECT_GE(spread.upper_bound, spread.value);
    EXPECT_LE(spread.upper_bound, std::numbers::pi * 6371.0 * (1 + 1e-9));

    // Every point at one place: the value is 0, and the bound (the diameter) proves it.
    PointSet one_place = make_set(Shape::uniform, 300, 3);
    std::fill(one_place.x.begin(), one_place.x.end(), 5.0);
    std::fill(one_place.y.begin(), one_place.y.end(), -2.0);
    const DispersionResult same = solve_point_dispersion(one_place, 100, SearchLimits{});
    EXPECT_EQ(same.value, 0.0);
    EXPECT_TRUE(same.proven);
    EXPECT_EQ(same.chosen.size(), 100U);
}

TEST(SpreadSearch, PackingBoundHoldsOnLatticesWhoseOptimumIsKnown) {
    // A 40 x 40 square lattice of spacing 1: the 20 x 20 sublattice of spacing 2 is a
    // selection of 400 points worth 2, and of 100 points (spacing 4) worth 4, so no sound
    // bound is below those; and Oler's count puts them below twice as much.
    PointSet lattice;
    for (int i = 0; i < 40; ++i) {
        for (int j = 0; j < 40; ++j) {
            lattice.x.push_back(i);
            lattice.y.push_back(j);
            lattice.ids.push_back(static_cast<std::int64_t>(lattice.ids.size()) + 1);
        }
    }
    const WorkingSpace space = WorkingSpace::of(lattice);
    const PointGrid grid(lattice, space, 4.0);
    for (const auto& [p, reached] : {std::pair{400, 2.0}, std::pair{100, 4.0}}) {
        const double bound =
            packing_bound(grid, static_cast<std::size_t>(p), 0.0, 1e9, {}) * space.unscale;
        EXPECT_GE(bound, reached);
        EXPECT_LT(bound, 2 * reached);
    }
}

TEST(SpreadSearch, GridGreedyPicksAsThePlainGreedyDoes) {
    for (const Shape shape : {Shape::uniform, Shape::clustered, Shape::globe}) {
        const PointSet points = make_set(shape, 2000, 11);
        const WorkingSpace space = WorkingSpace::of(points);
        const PointGrid grid(points, space, 4.0);
        const GreedyPicks picks = farthest_point_greedy(grid, 300, {});
        ASSERT_TRUE(picks.complete);
        std::vector<std::size_t> chosen;
        for (const std::size_t i : picks.chosen) {
            chosen.push_back(grid.input(i));
        }
        // Ties aside (none in random reals), the plain greedy from the same start agrees.
        EXPECT_EQ(chosen, farthest_point_selection(points, 300, chosen.front()));
        EXPECT_NEAR(std::sqrt(picks.value2), std::sqrt(picks.cover2), 0.0);
    }
}

TEST(SpreadSearch, StopsAtOnceWhenInterruptedAndStillAnswersWithPPoints) {
    const PointSet points = make_set(Shape::clustered, 20000, 5);
    std::atomic<bool> interrupted{true};
    SearchLimits limits;
    limits.interrupted = &interrupted;
    const DispersionResult result = solve_point_dispersion(points, 5000, limits);
    EXPECT_EQ(result.chosen.size(), 5000U);
    EXPECT_EQ(std::adjacent_find(result.chosen.begin(), result.chosen.end()), result.chosen.end());
    EXPECT_TRUE(result.interrupted);
    EXPECT_GE(result.upper_bound, result.value);
}

TEST(SpreadSearch, SmallSetsGoOnToTheExactSearchAndAreProven) {
    for (unsigned seed = 1; seed <= 4; ++seed) {
        for (const Shape shape : {Shape::uniform, Shape::clustered}) {
            const PointSet points = make_set(shape, 70, seed);
            const DispersionResult result = solve_point_dispersion(points, 30, SearchLimits{});
            EXPECT_TRUE(result.proven) << "seed " << seed;
            EXPECT_FALSE(result.gave_up);
            EXPECT_EQ(result.value, selection_value(points, result.chosen));
            EXPECT_GE(result.value, selection_value(points, plain_greedy(points, 30)));
        }
    }
}

TEST(SpreadSearch, GridsClampFarPlacesAndFileATinySideInManyCells) {
    EXPECT_EQ(clamped_cell(std::numeric_limits<double>::quiet_NaN(), 7), 0U);
    EXPECT_EQ(clamped_cell(-1e300, 7), 0U);
    EXPECT_EQ(clamped_cell(3.5, 7), 3U);
    EXPECT_EQ(clamped_cell(1e300, 7), 6U);
    EXPECT_EQ(clamped_cell(std::numeric_limits<double>::infinity(), 7), 6U);

    // A selection whose spacing is 0 (two copies of one place) asks for cells of a tiny
    // side: the grid still spreads its slots over many cells, and finds the closest pair.
    PointSet points = make_set(Shape::uniform, 4000, 9);
    points.x[1] = points.x[0];
    points.y[1] = points.y[0];
    const WorkingSpace space = WorkingSpace::of(points);
    const PointGrid grid(points, space, 4.0);
    std::vector<std::size_t> chosen;
    for (std::size_t i = 0; i < grid.size(); i += 2) {
        chosen.push_back(i);
    }
    std::size_t copy = grid.size();
    for (std::size_t i = 0; i < grid.size(); ++i) {
        if (grid.input(i) <= 1 && std::find(chosen.begin(), chosen.end(), i) == chosen.end()) {
            copy = i;
        }
    }
    ASSERT_LT(copy, grid.size());
    chosen.push_back(copy);
    const SelectionGrid files(grid, chosen, 1e-300);
    EXPECT_EQ(files.closest2(), 0.0);
    std::size_t most = 0;
    for (std::size_t k = 0; k < files.size(); ++k) {
        std::size_t near = 0;
        files.around(files.at(k), 0.0, [&](std::size_t) { ++near; });
        most = std::max(most, near);
    }
    EXPECT_LT(most, 50U);
}
