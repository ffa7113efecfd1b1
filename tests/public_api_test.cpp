// The public library as its users call it: views of their coordinates, the metrics, the
// options, and the messages for input it cannot take.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstddef>
#include <limits>
#include <numbers>
#include <random>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "dispersao/dispersao.hpp"
#include "tests/support/progress_check.hpp"

namespace {

using dispersao::Metric;
using dispersao::PointsView;
using dispersao::SolveOptions;
using dispersao::SolveResult;

// Returns the message of the std::invalid_argument that `call` throws, or "" if none.
template <typename Call>
std::string rejection(const Call& call) {
    try {
        (void)call();
    } catch (const std::invalid_argument& error) {
        return error.what();
    }
    return "";
}

TEST(PublicApi, SolvesThroughEveryViewOfTheSameCoordinates) {
    // A unit square and its centre: four corners at p = 4, worth 1.
    const std::vector<double> xy = {0, 0, 1, 0, 0.5, 0.5, 1, 1, 0, 1};
    const SolveResult interleaved = dispersao::solve(PointsView::interleaved(xy), 4);
    EXPECT_EQ(interleaved.ids, (std::vector<std::size_t>{0, 1, 3, 4}));
    EXPECT_EQ(interleaved.value, 1);
    EXPECT_EQ(interleaved.upper_bound, 1);
    EXPECT_TRUE(interleaved.proven);
    EXPECT_FALSE(interleaved.cancelled);
    EXPECT_GE(interleaved.seconds, 0);

    const std::vector<double> x = {0, 1, 0.5, 1, 0};
    const std::vector<double> y = {0, 0, 0.5, 1, 1};
    EXPECT_EQ(dispersao::solve(PointsView::columns(x, y), 4).ids, interleaved.ids);
    // Rows of three doubles (x, y and something else): a stride of 3.
    const std::vector<double> rows = {0, 0, 9, 1, 0, 9, 0.5, 0.5, 9, 1, 1, 9, 0, 1, 9};
    const PointsView strided{5, rows.data(), rows.data() + 1, 3};
    EXPECT_EQ(dispersao::solve(strided, 4).ids, interleaved.ids);
}

TEST(PublicApi, MetricsMeasureAsDocumented) {
    EXPECT_DOUBLE_EQ(dispersao::distance(Metric::euclidean, 0, 0, 1, 1), std::sqrt(2.0));
    EXPECT_EQ(dispersao::distance(Metric::euc_2d, 0, 0, 1, 1), 1);
    EXPECT_EQ(dispersao::distance(Metric::ceil_2d, 0, 0, 1, 1), 2);
    EXPECT_EQ(dispersao::distance(Metric::att, 0, 0, 10, 0), 4);
    // One degree of longitude on the equator: 6371 * pi / 180 km.
    EXPECT_NEAR(dispersao::distance(Metric::haversine, 0, 0, 0, 1), 6371.0 * std::numbers::pi / 180,
                1e-9);
    // Pole to pole, and a quarter of the equator.
    EXPECT_NEAR(dispersao::distance(Metric::haversine, 90, 0, -90, 0), 6371.0 * std::numbers::pi,
                1e-6);
    EXPECT_NEAR(dispersao::distance(Metric::haversine, 0, -45, 0, 45),
                6371.0 * std::numbers::pi / 2, 1e-6);
    // TSPLIB GEO: DDD.MM coordinates, integer km.
    const double geo = dispersao::distance(Metric::geo, 0, 0, 0, 1);
    EXPECT_EQ(geo, std::floor(geo));
    EXPECT_NEAR(geo, 112, 1);
}

TEST(PublicApi, FixedSitesAreKept) {
    // A line 0..9: with 0 and 1 fixed, nothing beats 1; with 4 fixed alone at p = 3, {0, 4, 9}.
    std::vector<double> xy;
    for (int i = 0; i < 10; ++i) {
        xy.push_back(i);
        xy.push_back(0);
    }
    SolveOptions options;
    options.fixed = {1, 0};
    SolveResult result =
        dispersao::solve(PointsView::interleaved(xy), 3, Metric::euclidean, options);
    EXPECT_EQ(result.value, 1);
    EXPECT_TRUE(result.proven);
    EXPECT_EQ(result.ids.size(), 3U);
    EXPECT_EQ(result.ids[0], 0U);
    EXPECT_EQ(result.ids[1], 1U);
    options.fixed = {4};
    result = dispersao::solve(PointsView::interleaved(xy), 3, Metric::euclidean, options);
    EXPECT_EQ(result.ids, (std::vector<std::size_t>{0, 4, 9}));
    EXPECT_EQ(result.value, 4);
}

TEST(PublicApi, CancelTimeLimitAndProgress) {
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> coordinate(0, 1000);
    std::vector<double> xy(40000);  // 20,000 points
    for (double& c : xy) {
        c = coordinate(random);
    }
    const std::atomic<bool> cancel{true};
    SolveOptions options;
    options.cancel = &cancel;
    int reports = 0;
    options.on_progress = test_support::counted_progress(reports);
    SolveResult result =
        dispersao::solve(PointsView::interleaved(xy), 12, Metric::euclidean, options);
    EXPECT_EQ(result.ids.size(), 12U);
    EXPECT_TRUE(result.cancelled || result.proven);
    EXPECT_GE(result.upper_bound, result.value);
    EXPECT_LT(result.seconds, 5);
    EXPECT_GE(reports, 1);

    SolveOptions hurried;
    hurried.time_limit = 0;
    result = dispersao::solve(PointsView::interleaved(xy), 12, Metric::euclidean, hurried);
    EXPECT_EQ(result.ids.size(), 12U);
    EXPECT_FALSE(result.cancelled);
    EXPECT_GT(result.value, 0);
}

TEST(PublicApi, RejectsWhatItCannotTake) {
    const std::vector<double> xy = {0, 0, 1, 0, 2, 0};
    const PointsView three = PointsView::interleaved(xy);
    EXPECT_EQ(rejection([&] { return dispersao::solve(three, 4); }),
              "p = 4 is out of range: it must be at least 2 and at most the number of sites, 3");
    EXPECT_NE(rejection([&] { return dispersao::solve(three, 1); }), "");
    // Why solving for two of `three` under `options` is refused ("" when it is not).
    const auto rejected = [&three](const SolveOptions& options) {
        return rejection([&] { return dispersao::solve(three, 2, Metric::euclidean, options); });
    };
    SolveOptions options;
    options.fixed = {3};
    EXPECT_EQ(rejected(options), "fixed id 3 is out of range: ids run from 0 to 2");
    options.fixed = {1, 1};
    EXPECT_EQ(rejected(options), "fixed id 1 is given twice");
    options.fixed = {0, 1, 2};
    EXPECT_EQ(rejected(options), "3 fixed sites for p = 2: at most p sites can be fixed");
    options = {};
    options.time_limit = -1;
    EXPECT_EQ(rejected(options), "time_limit must be a number of seconds >= 0, not -1");
    options.time_limit = std::numeric_limits<double>::quiet_NaN();
    EXPECT_NE(rejected(options), "");
    options = {};
    options.threads = -1;
    EXPECT_NE(rejected(options), "");
    options.threads = dispersao::kMaxThreads + 1;
    EXPECT_EQ(rejected(options), "threads must be 0 (every core) to 1024, not 1025");
    EXPECT_EQ(rejection([&] { return dispersao::solve(three, 2, static_cast<Metric>(99)); }),
              "metric 99 is not one of the Metric values");

    const std::vector<double> odd = {0, 0, 1};
    EXPECT_EQ(rejection([&] { return dispersao::solve(PointsView::interleaved(odd), 2); }),
              "interleaved coordinates come in pairs; got 3 values");
    EXPECT_EQ(rejection([&] {
                  return dispersao::solve(PointsView::columns(odd, std::span(odd).first(2)), 2);
              }),
              "the columns differ in length: 3 x values, 2 y values");
    const std::vector<double> bad = {0, 0, 1, std::numeric_limits<double>::infinity(), 2, 0};
    EXPECT_EQ(rejection([&] { return dispersao::solve(PointsView::interleaved(bad), 2); }),
              "point 1 has a coordinate that is NaN or infinite (1, inf)");
    // Each coordinate finite, their distance not: no value a double can report.
    const std::vector<double> far = {-1.7e308, 0, 1.7e308, 0, 0, 0};
    EXPECT_EQ(rejection([&] { return dispersao::solve(PointsView::interleaved(far), 2); }),
              "the points spread too far: the distance between the farthest two overflows a "
              "double");
    const std::vector<double> pole = {0, 0, 91, 0, 2, 0};
    EXPECT_EQ(rejection([&] {
                  return dispersao::solve(PointsView::interleaved(pole), 2, Metric::haversine);
              }),
              "point 1 has latitude 91, outside [-90, 90] (haversine takes latitude, longitude "
              "in degrees)");
    EXPECT_EQ(
        rejection([&] { return dispersao::solve(PointsView::interleaved(pole), 2, Metric::geo); }),
        "point 1 has latitude 91, outside [-90, 90] (geo takes latitude, longitude in degrees)");
    // The same latitude is fine for a planar metric.
    EXPECT_EQ(rejection([&] { return dispersao::solve(PointsView::interleaved(pole), 2); }), "");
}

TEST(PublicApi, RejectsMatricesItCannotTake) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> three = {0, 1, 2, 1, 0, 3, 2, 3, 0};
    EXPECT_EQ(rejection([&] { return dispersao::solve_matrix(three, 2, 2); }),
              "the matrix holds 9 cells, not n * n = 2 * 2");
    EXPECT_EQ(rejection([&] { return dispersao::solve_matrix(three.data(), 3, 2, 2); }),
              "row_stride 2 is smaller than n = 3");
    // Cells of `three` changed (index, value), and the message that names the fault.
    const struct {
        std::vector<std::pair<std::size_t, double>> changes;
        std::string message;
    } cases[] = {
        {{{5, nan}}, "matrix cell [1][2] is NaN or infinite"},
        {{{7, nan}}, "matrix cell [2][1] is NaN or infinite"},
        {{{2, -2}, {6, -2}}, "matrix cell [0][2] is negative (-2)"},
        {{{3, 1.5}},
         "the matrix is not symmetric: matrix cell [0][1] = 1 but matrix cell [1][0] = 1.5"},
    };
    for (const auto& c : cases) {
        std::vector<double> cells = three;
        for (const auto& [index, value] : c.changes) {
            cells[index] = value;
        }
        EXPECT_EQ(rejection([&] { return dispersao::solve_matrix(cells, 3, 2); }), c.message);
    }
    // The diagonal is never read.
    std::vector<double> cells = three;
    cells[4] = nan;
    EXPECT_EQ(rejection([&] { return dispersao::solve_matrix(cells, 3, 4); }),
              "p = 4 is out of range: it must be at least 2 and at most the number of sites, 3");
}

}  // namespace
