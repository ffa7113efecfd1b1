// Entry of dispersao-qualidade: how close the annealing comes to the exact optimum.
//
// For every public instance of the data folder and for random points in a square, prints the
// exact optimum and the annealing's results over a number of seeds: how often it reaches the
// optimum, its mean and worst gap, and the mean time of a run. Each run draws its random start
// and its moves from seed_generator(seed) and uses the menu program's search parameters
// (those of annealing/annealing.hpp).
//
// Usage: dispersao-qualidade [DATA_DIR [SEEDS]]
//        dispersao-qualidade --tsplib N SEED   (prints the generated N-city instance as TSPLIB)
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "annealing/annealing.hpp"
#include "bench/instances.hpp"
#include "dispersion/triple_search.hpp"
#include "solution/random_draws.hpp"
#include "solution/selection.hpp"
#include "storage/storage.hpp"

using namespace dispersao;

namespace {

// The public files, in the order of the table, with where they come from.
struct PublicFile {
    const char* file;
    const char* source;
};
constexpr PublicFile kPublicFiles[] = {
    {"eil51.tsp", "TSPLIB"},
    {"berlin52.tsp", "TSPLIB"},
    {"kroA100.tsp", "TSPLIB"},
    {"ch130.tsp", "TSPLIB"},
    {"qa194.tsp", "National TSP"},
    {"lin318.tsp", "TSPLIB"},
    {"GKD-c_1_n500_m50.txt", "MDPLIB"},
    {"att532.tsp", "TSPLIB"},
    {"uy734.tsp", "National TSP"},
};

// Generated instances: city count and point seed.
struct SquareInstance {
    int cities;
    std::uint64_t seed;
};
constexpr SquareInstance kSquares[] = {{100, 1}, {1000, 2}, {4000, 3}};

// Standard output sent to /dev/null while alive: the annealing prints a line per new best.
class SilencedOutput {
  public:
    SilencedOutput() {
        std::fflush(stdout);
        saved_ = dup(STDOUT_FILENO);
        const int null_fd = open("/dev/null", O_WRONLY);
        if (saved_ >= 0 && null_fd >= 0) {
            dup2(null_fd, STDOUT_FILENO);
        }
        if (null_fd >= 0) {
            close(null_fd);
        }
    }
    SilencedOutput(const SilencedOutput&) = delete;
    SilencedOutput& operator=(const SilencedOutput&) = delete;
    ~SilencedOutput() {
        std::fflush(stdout);
        if (saved_ >= 0) {
            dup2(saved_, STDOUT_FILENO);
            close(saved_);
        }
    }

  private:
    int saved_;
};

[[nodiscard]] double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs the annealing from a fresh random start drawn after seed_generator(seed); returns the
// best value it reports.
float anneal(const BenchInstance& instance, std::uint64_t seed) {
    int* selection = alloc_vector(instance.n);
    zero_vector(selection, instance.n);
    seed_generator(seed);
    build_random_start(selection, instance.n);
    float best = 0.0F;
    {
        const SilencedOutput silenced;
        const float initial_temperature =
            calibrate_temperature(instance.n, selection, instance.matrix, kHeatingFactor,
                                  kTargetAcceptance, kMovesPerTemperature);
        best = run_annealing(instance.n, selection, instance.matrix, kCoolingFactor,
                             initial_temperature, kFinalTemperature, kMovesPerTemperature);
    }
    free_vector(selection);
    return best;
}

// Prints one row of the table for `instance` with `seeds` annealing runs (seeds 1..seeds).
void report(const BenchInstance& instance, int seeds) {
    const auto exact_start = std::chrono::steady_clock::now();
    const ExactOptimum optimum = find_exact_optimum(instance.n, instance.matrix);
    const double exact_seconds = seconds_since(exact_start);

    int reached = 0;
    double gap_sum = 0.0;
    double worst_gap = 0.0;
    const auto runs_start = std::chrono::steady_clock::now();
    for (int seed = 1; seed <= seeds; ++seed) {
        const float value = anneal(instance, static_cast<std::uint64_t>(seed));
        const double gap = static_cast<double>(optimum.value) - static_cast<double>(value);
        reached += gap == 0.0 ? 1 : 0;
        gap_sum += gap;
        worst_gap = std::max(worst_gap, gap);
    }
    const double run_seconds = seconds_since(runs_start) / seeds;
    std::printf("| %s | %s | %d | %.0f | %.4f | %d/%d | %.2f | %.0f | %.4f |\n",
                instance.name.c_str(), instance.source.c_str(), instance.cities,
                static_cast<double>(optimum.value), exact_seconds, reached, seeds, gap_sum / seeds,
                worst_gap, run_seconds);
    std::fflush(stdout);
}

// Prints the generated instance of `cities` points from `seed` as a TSPLIB file.
void print_tsplib(int cities, std::uint64_t seed) {
    std::printf("NAME: square%d\nTYPE: TSP\n", cities);
    std::printf("COMMENT: %d random points in a 10000 x 10000 square, seed %llu\n", cities,
                static_cast<unsigned long long>(seed));
    std::printf("DIMENSION: %d\nEDGE_WEIGHT_TYPE: EUC_2D\nNODE_COORD_SECTION\n", cities);
    const std::vector<Point> points = square_points(cities, seed);
    for (std::size_t i = 0; i < points.size(); ++i) {
        std::printf("%zu %.0f %.0f\n", i + 1, points[i].x, points[i].y);
    }
    std::printf("EOF\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--tsplib") {
        const int cities = std::atoi(argv[2]);
        if (cities < 3) {
            std::fprintf(stderr, "N deve ser pelo menos 3.\n");
            return 2;
        }
        print_tsplib(cities, std::strtoull(argv[3], nullptr, 10));
        return 0;
    }
    const std::string data = argc > 1 ? argv[1] : "bench/data";
    const int seeds = argc > 2 ? std::atoi(argv[2]) : 20;
    if (argc > 3 || seeds < 1) {
        std::fprintf(stderr,
                     "Uso: dispersao-qualidade [PASTA_DE_DADOS [SEMENTES]]\n"
                     "     dispersao-qualidade --tsplib N SEMENTE\n");
        return 2;
    }

    std::printf(
        "| instance | source | cities | optimum | exact s | annealing at optimum "
        "| mean gap | worst gap | s per run |\n");
    std::printf("|---|---|---:|---:|---:|---:|---:|---:|---:|\n");
    std::fflush(stdout);
    for (const PublicFile& file : kPublicFiles) {
        BenchInstance instance;
        if (!load_public_instance(data + "/" + file.file, instance)) {
            return 1;
        }
        const std::string name = file.file;
        instance.name = name.substr(0, name.find('.'));
        instance.source = file.source;
        report(instance, seeds);
    }
    for (const SquareInstance& square : kSquares) {
        BenchInstance instance = instance_from_points(square_points(square.cities, square.seed));
        instance.name = "square" + std::to_string(square.cities);
        instance.source = "generated, seed " + std::to_string(square.seed);
        report(instance, seeds);
    }
    return 0;
}
