// Differential test: the calibration and annealing run against the literal loops that evaluate
// the whole vector around every move, from the same seed on many kinds of instance.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "annealing/annealing.hpp"
#include "solution/random_draws.hpp"
#include "solution/selection.hpp"
#include "tests/literal_baseline.hpp"
#include "tests/support/test_matrix.hpp"

using namespace dispersao;

namespace {

// Search parameters of choice 2, and a second set that samples fewer moves per temperature
// with an easier target, so that the calibration heats in other steps.
struct SearchParameters {
    float heating_factor;
    float target_acceptance;
    int moves_per_temperature;
    float cooling_factor;
    float final_temperature;
};
constexpr SearchParameters kOptionParameters{
    kHeatingFactor, kTargetAcceptance, kMovesPerTemperature, kCoolingFactor, kFinalTemperature};
constexpr SearchParameters kShortParameters{1.5F, 0.7F, 37, 0.8F, 0.5F};

// An instance whose n - 1 cities are numbered from `base` (0 or 1), filled by a distance rule.
class Instance {
  public:
    // Stores distance(a, b) into cell [a][b] for every pair of cities a < b, plus a different
    // value below the diagonal, which the search must never read.
    Instance(int n, int base, const std::function<float(int, int)>& distance) : matrix_(n) {
        const int first = base;
        const int last = base + n - 2;
        for (int a = first; a <= last; ++a) {
            for (int b = a + 1; b <= last; ++b) {
                matrix_.at(a, b) = distance(a, b);
                matrix_.at(b, a) = 1000.0F - distance(a, b);
            }
        }
    }

    [[nodiscard]] int n() const { return matrix_.size(); }
    [[nodiscard]] const float* const* matrix() const { return matrix_.cells(); }

  private:
    TestMatrix matrix_;
};

// Everything a search leaves behind that can be observed.
struct SearchTrace {
    std::vector<float> temperatures;
    std::vector<float> results;
    // The value of the selection each run left behind, which its result must equal.
    std::vector<float> values;
    std::vector<int> selection;
    std::string output;
    std::int64_t next_draw;
};

using Calibrate = float (*)(int, int*, const float* const*, float, float, int);
using Anneal = float (*)(int, int*, const float* const*, float, float, float, int);

// Runs calibration and annealing twice in a row, as two choices 2 would, from `start` (n ints)
// with the generator seeded by `seed`, capturing what they print.
SearchTrace trace_search(const Instance& instance, const std::vector<int>& start,
                         std::uint64_t seed, const SearchParameters& p, Calibrate calibrate,
                         Anneal anneal) {
    SearchTrace trace;
    trace.selection = start;
    seed_generator(seed);
    testing::internal::CaptureStdout();
    for (int run = 0; run < 2; ++run) {
        const float temperature =
            calibrate(instance.n(), trace.selection.data(), instance.matrix(), p.heating_factor,
                      p.target_acceptance, p.moves_per_temperature);
        trace.temperatures.push_back(temperature);
        trace.results.push_back(anneal(instance.n(), trace.selection.data(), instance.matrix(),
                                       p.cooling_factor, temperature, p.final_temperature,
                                       p.moves_per_temperature));
        trace.values.push_back(
            evaluate_solution(instance.n(), trace.selection.data(), instance.matrix()));
    }
    trace.output = testing::internal::GetCapturedStdout();
    trace.next_draw = draw_long();
    return trace;
}

// A random start of exactly three positions, drawn the way choice 1 draws it.
std::vector<int> random_start(int n, std::uint64_t seed) {
    seed_generator(seed);
    std::vector<int> selection(static_cast<std::size_t>(n), 0);
    build_random_start(selection.data(), n);
    return selection;
}

// Checks that the fast and the literal search leave identical traces for several seeds, and
// that the searches did reach their moves (the literal output is the reference).
void expect_same_search(const Instance& instance, const SearchParameters& p = kOptionParameters) {
    for (const std::uint64_t seed : {1U, 2U, 77U, 1234567U}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const std::vector<int> start = random_start(instance.n(), seed);
        const SearchTrace literal =
            trace_search(instance, start, seed * 31 + 7, p, literal_calibrate_temperature,
                         literal_run_annealing);
        const SearchTrace fast =
            trace_search(instance, start, seed * 31 + 7, p, calibrate_temperature, run_annealing);
        EXPECT_EQ(fast.output, literal.output);
        EXPECT_EQ(fast.temperatures, literal.temperatures);
        EXPECT_EQ(fast.results, literal.results);
        EXPECT_EQ(fast.selection, literal.selection);
        EXPECT_EQ(fast.next_draw, literal.next_draw);
        // Both report the value of the selection they leave, however large the distances.
        EXPECT_EQ(literal.results, literal.values);
        EXPECT_EQ(fast.results, fast.values);
    }
}

// Uniform random distances in [low, high] from a generator of their own.
std::function<float(int, int)> uniform_distances(int low, int high, std::uint32_t seed) {
    auto engine = std::make_shared<std::mt19937>(seed);
    return [engine, low, high](int, int) {
        return static_cast<float>(std::uniform_int_distribution<int>(low, high)(*engine));
    };
}

// Rounded Euclidean distances between random points in a square of side `side`.
std::function<float(int, int)> geometric_distances(int n, double side, std::uint32_t seed) {
    std::mt19937 engine(seed);
    std::uniform_real_distribution<double> coordinate(0.0, side);
    auto points = std::make_shared<std::vector<std::pair<double, double>>>();
    for (int i = 0; i < n; ++i) {
        const double x = coordinate(engine);
        points->emplace_back(x, coordinate(engine));
    }
    return [points](int a, int b) {
        const auto [ax, ay] = (*points)[static_cast<std::size_t>(a)];
        const auto [bx, by] = (*points)[static_cast<std::size_t>(b)];
        return static_cast<float>(std::lround(std::hypot(ax - bx, ay - by)));
    };
}

TEST(AnnealingDifferential, ThreePositionsOnly) {
    // Every position is selected, so every exchange swaps two 1 entries.
    for (const int base : {0, 1}) {
        SCOPED_TRACE("base " + std::to_string(base));
        expect_same_search(Instance(3, base, [](int, int) { return 42.0F; }));
    }
}

TEST(AnnealingDifferential, FlatInstances) {
    // Values that no move changes: all at the cap, or all unset.
    expect_same_search(Instance(25, 1, uniform_distances(100, 5000, 3)));
    expect_same_search(Instance(25, 0, [](int, int) { return 0.0F; }));
}

TEST(AnnealingDifferential, NegativeAndHugeDistances) {
    expect_same_search(Instance(30, 1, uniform_distances(-60, 40, 4)));
    // Values far beyond 2^24, where differences of values round in single precision.
    expect_same_search(Instance(30, 0, uniform_distances(-2'000'000'000, 2'000'000'000, 5)));
}

// Distances drawn from `choices` with a generator of their own.
std::function<float(int, int)> distances_among(std::vector<float> choices, std::uint32_t seed) {
    auto engine = std::make_shared<std::mt19937>(seed);
    return [engine, choices = std::move(choices)](int, int) {
        return choices[std::uniform_int_distribution<std::size_t>(0, choices.size() - 1)(*engine)];
    };
}

TEST(AnnealingDifferential, HugeNegativeAndPositiveDistances) {
    // Pairs forbidden with a huge negative distance around a few ordinary ones: the values of
    // selections then differ by far more than 2^24, and no sum of their rounded differences
    // may stand in for a value.
    expect_same_search(
        Instance(11, 0, [](int a, int b) { return a >= 8 && b >= 8 ? 99.0F : -1'000'000'000.0F; }));
    expect_same_search(Instance(30, 1, distances_among({-1e9F, -2147483648.0F, 99.0F, 40.0F}, 12)));
    expect_same_search(Instance(30, 0, distances_among({-2e9F, 2147483520.0F, 7.0F, 1e9F}, 13)));
    expect_same_search(Instance(40, 1, distances_among({-16777217.0F, -1e9F, 0.0F, 100.0F}, 14)),
                       kShortParameters);
}

TEST(AnnealingDifferential, FewDistinctDistances) {
    // Many ties: moves that leave the value unchanged take the other acceptance path.
    expect_same_search(Instance(40, 1, uniform_distances(0, 3, 6)));
}

TEST(AnnealingDifferential, GeometricInstances) {
    for (const int base : {0, 1}) {
        SCOPED_TRACE("base " + std::to_string(base));
        expect_same_search(Instance(12, base, geometric_distances(13, 100.0, 7)));
        expect_same_search(Instance(150, base, geometric_distances(151, 100.0, 8)));
    }
}

TEST(AnnealingDifferential, OtherSearchParameters) {
    expect_same_search(Instance(60, 1, geometric_distances(61, 140.0, 9)), kShortParameters);
    expect_same_search(Instance(60, 0, uniform_distances(-100, 150, 10)), kShortParameters);
}

TEST(AnnealingDifferential, SearchesReallyMove) {
    // Guards the comparison itself: on a geometric instance the runs print progress lines and
    // end elsewhere than they started.
    const Instance instance(80, 1, geometric_distances(81, 100.0, 11));
    const std::vector<int> start = random_start(instance.n(), 5);
    const SearchTrace fast =
        trace_search(instance, start, 5, kOptionParameters, calibrate_temperature, run_annealing);
    EXPECT_NE(fast.output.find("Fo_star = "), std::string::npos);
    EXPECT_NE(fast.selection, start);
    EXPECT_GT(fast.results[0], evaluate_solution(instance.n(), start.data(), instance.matrix()));
}

}  // namespace
