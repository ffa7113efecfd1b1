// Calibration and annealing, seeded: properties that a fault in the schedule, the acceptance
// tests or the bookkeeping of the best selection would change.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "annealing/annealing.hpp"
#include "instance/instance_files.hpp"
#include "solution/random_draws.hpp"
#include "solution/selection.hpp"
#include "tests/support/test_matrix.hpp"

using namespace dispersao;

namespace {

constexpr float kHeating = kHeatingFactor;
constexpr float kTarget = kTargetAcceptance;
constexpr int kMoves = kMovesPerTemperature;
constexpr float kCooling = kCoolingFactor;
constexpr float kFinal = kFinalTemperature;

// Points on a 100 x 100 grid from a fixed linear congruential sequence; distances truncated.
TestMatrix geometric_instance(int n, unsigned seed) {
    std::vector<double> x(static_cast<std::size_t>(n));
    std::vector<double> y(static_cast<std::size_t>(n));
    unsigned state = seed;
    auto next = [&state] {
        state = state * 1103515245U + 12345U;
        return static_cast<double>((state >> 8) % 10000) / 100.0;
    };
    for (int i = 0; i < n; ++i) {
        x[static_cast<std::size_t>(i)] = next();
        y[static_cast<std::size_t>(i)] = next();
    }
    TestMatrix d(n);
    for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            d.at(i, j) = static_cast<float>(std::floor(
                std::hypot(x[static_cast<std::size_t>(i)] - x[static_cast<std::size_t>(j)],
                           y[static_cast<std::size_t>(i)] - y[static_cast<std::size_t>(j)])));
        }
    }
    return d;
}

// Runs calibration and annealing from a seeded random start, returning the progress output.
struct AnnealedRun {
    std::vector<int> start;
    std::vector<int> selection;
    float temperature;
    float best;
    std::string output;
};

AnnealedRun anneal(TestMatrix& d, std::uint64_t seed, std::vector<int> start = {}) {
    const int n = d.size();
    AnnealedRun run;
    seed_generator(seed);
    if (start.empty()) {
        start.assign(static_cast<std::size_t>(n), 0);
        build_random_start(start.data(), n);
    }
    run.start = start;
    run.selection = start;
    run.temperature =
        calibrate_temperature(n, run.selection.data(), d.cells(), kHeating, kTarget, kMoves);
    EXPECT_EQ(run.selection, run.start) << "calibration changed the selection";
    testing::internal::CaptureStdout();
    run.best = run_annealing(n, run.selection.data(), d.cells(), kCooling, run.temperature, kFinal,
                             kMoves);
    std::fflush(stdout);
    run.output = testing::internal::GetCapturedStdout();
    return run;
}

// Replays the draws of `steps` temperatures of 500 moves on three positions that are all
// selected, where every move is neutral: i, j until it differs, then one uniform draw.
void replay_neutral_moves(int steps) {
    for (int step = 0; step < steps; ++step) {
        for (int k = 0; k < kMoves; ++k) {
            const int i = draw_index(3);
            while (draw_index(3) == i) {
            }
            (void)draw_real(0.0F, 1.0F);
        }
    }
}

}  // namespace

TEST(Calibration, NeedsMoreThan490Of500CountedMoves) {
    EXPECT_FALSE(reaches_acceptance(490, 500, kTarget));
    EXPECT_TRUE(reaches_acceptance(491, 500, kTarget));
    EXPECT_TRUE(reaches_acceptance(500, 500, kTarget));
}

TEST(Calibration, StaysAtTenWhenNoMoveCanRaiseTheValue) {
    // Every distance is 100 or more: every selection is worth 100.
    TestMatrix d(8, 150.0F);
    std::vector<int> selection = {0, 1, 0, 1, 0, 0, 1, 0};
    const std::vector<int> original = selection;
    seed_generator(5);
    EXPECT_EQ(calibrate_temperature(8, selection.data(), d.cells(), kHeating, kTarget, kMoves),
              10.0F);
    EXPECT_EQ(selection, original);
}

TEST(Calibration, HeatsInSinglePrecisionStepsAndRestoresTheSelection) {
    TestMatrix d = geometric_instance(40, 3);
    for (std::uint64_t seed = 1; seed <= 5; ++seed) {
        const AnnealedRun run = anneal(d, seed);
        // The temperature is 10 times a whole power of 1.1f, each product rounded to float.
        float t = 10.0F;
        while (t < run.temperature) {
            t *= kHeating;
        }
        EXPECT_EQ(t, run.temperature) << seed;
    }
}

TEST(Annealing, AtOrBelowTheFinalTemperatureMakesNoMove) {
    TestMatrix d = geometric_instance(20, 9);
    std::vector<int> selection(20, 0);
    selection[2] = selection[5] = selection[11] = 1;
    const std::vector<int> original = selection;
    seed_generator(1);
    const std::int64_t next = draw_long();
    seed_generator(1);
    testing::internal::CaptureStdout();
    const float best =
        run_annealing(20, selection.data(), d.cells(), kCooling, kFinal, kFinal, kMoves);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(best, evaluate_solution(20, original.data(), d.cells()));
    EXPECT_EQ(selection, original);
    EXPECT_EQ(draw_long(), next);
}

TEST(Annealing, VisitsTemperaturesUntilCoolingReachesTheFinalOne) {
    // Three positions, all selected: every move is neutral and draws i, j and u, so the draws
    // consumed tell how many temperatures the run visited.
    TestMatrix d(3, 50.0F);
    const struct {
        float initial;
        int steps;
    } cases[] = {{10.0F, 135}, {11.0F, 137}, {10.0F * kHeating * kHeating, 139}};
    for (const auto& c : cases) {
        std::vector<int> selection = {1, 1, 1};
        seed_generator(42);
        testing::internal::CaptureStdout();
        EXPECT_EQ(
            run_annealing(3, selection.data(), d.cells(), kCooling, c.initial, kFinal, kMoves),
            50.0F);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        const std::int64_t after_run = draw_long();
        seed_generator(42);
        replay_neutral_moves(c.steps);
        EXPECT_EQ(draw_long(), after_run) << c.initial;
    }
}

TEST(Annealing, ReportsRisingBestsAndLeavesTheBestSelection) {
    TestMatrix d = geometric_instance(60, 17);
    for (std::uint64_t seed = 1; seed <= 8; ++seed) {
        const AnnealedRun run = anneal(d, seed);
        const float start_value = evaluate_solution(60, run.start.data(), d.cells());
        EXPECT_EQ(count_selected(run.selection.data(), 60), 3);
        EXPECT_EQ(run.best, evaluate_solution(60, run.selection.data(), d.cells())) << seed;
        EXPECT_GE(run.best, start_value);

        // Each line is exactly the progress format, its Fo_star strictly above the last.
        std::istringstream lines(run.output);
        std::string line;
        float last = start_value;
        float last_best = start_value;
        while (std::getline(lines, line)) {
            float value = 0;
            float temperature = 0;
            ASSERT_EQ(
                std::sscanf(line.c_str(), "Fo_star = %f \t Temperatura = %f", &value, &temperature),
                2)
                << line;
            char expected[80];
            std::snprintf(expected, sizeof expected, "Fo_star = %8.2f \t Temperatura = %8.2f ",
                          static_cast<double>(value), static_cast<double>(temperature));
            EXPECT_EQ(line, expected);
            EXPECT_GT(value, last);
            EXPECT_LE(temperature, run.temperature + 0.005F);  // printed with two decimals
            last = value;
            last_best = value;
        }
        EXPECT_EQ(last_best, run.best) << seed;
    }
}

TEST(Annealing, ASecondRunFromTheBestIsNeverWorse) {
    TestMatrix d = geometric_instance(80, 23);
    for (std::uint64_t seed = 1; seed <= 4; ++seed) {
        const AnnealedRun first = anneal(d, seed);
        const AnnealedRun second = anneal(d, seed + 100, first.selection);
        EXPECT_GE(second.best, first.best) << seed;
    }
}

TEST(Annealing, ReachesTheOptimumOfTheBundledExample) {
    const std::string folder = DISPERSAO_EXAMPLES "/small/";
    std::FILE* count_file = std::fopen((folder + kCityCountFile).c_str(), "r");
    ASSERT_NE(count_file, nullptr);
    const CityCount count = parse_city_count(file_source(count_file));
    std::fclose(count_file);
    const int n = static_cast<int>(count.value + 1);
    TestMatrix d(n);
    std::FILE* distance_file = std::fopen((folder + kDistanceFile).c_str(), "r");
    ASSERT_NE(distance_file, nullptr);
    EXPECT_FALSE(parse_distance_triples(file_source(distance_file), d.rows(), n));
    std::fclose(distance_file);

    const AnnealedRun run = anneal(d, 2026);
    EXPECT_EQ(run.best, 65.0F);
    std::vector<int> optimum(static_cast<std::size_t>(n), 0);
    optimum[7] = optimum[11] = optimum[12] = 1;
    EXPECT_EQ(run.selection, optimum);
}
