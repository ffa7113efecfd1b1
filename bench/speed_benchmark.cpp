// Load and annealing measurements of the fast code beside the literal baseline, in one run.
#include "bench/speed_benchmark.hpp"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <optional>

#include "annealing/annealing.hpp"
#include "bench/child_measure.hpp"
#include "bench/scanner_benchmark.hpp"
#include "instance/instance_files.hpp"
#include "instance/scan_paths.hpp"
#include "solution/random_draws.hpp"
#include "solution/selection.hpp"
#include "storage/storage.hpp"
#include "tests/literal_baseline.hpp"

using namespace dispersao;

namespace {

// Fixed seeds, so that both searches start from the same selection and take the same draws.
constexpr std::uint64_t kInstanceSeed = 2024;
constexpr std::uint64_t kStartSeed = 7;
constexpr std::uint64_t kSearchSeed = 11;

// Each load is measured this many times, each search this many times per child; the median
// is reported.
constexpr int kLoadRuns = 5;

// Targets: load speed-up on the largest instance, annealing speed-up at 4,000 cities, the
// fast annealing's slowest allowed ratio on the smallest instance, the memory allowance
// beyond the matrix, and the scanner's own speed on bytes in memory.
constexpr double kLoadTarget = 8.0;
constexpr double kAnnealTarget = 50.0;
constexpr int kAnnealTargetCities = 4000;
constexpr double kSmallSlowdownLimit = 2.0;
constexpr double kMemoryAllowanceMib = 16.0;
constexpr double kScannerTargetGbPerS = 1.5;

// How a load reads the distance file.
enum class LoadMode {
    fast,      // the program's reader on the fastest scanner path
    portable,  // the program's reader held to the portable scanner
    literal,   // the fscanf loop
};

struct Instance {
    int n = 0;
    int* selection = nullptr;
    float** matrix = nullptr;
};

// Loads the instance of `folder` the way choice 1 does; exits the child when it cannot.
Instance load_fast(const std::string& folder) {
    const std::string count_path = folder + "/" + kCityCountFile;
    const std::string triples_path = folder + "/" + kDistanceFile;
    const CityCount count = read_city_count(count_path.c_str());
    if (count.status != CountStatus::read || count.value < 2) {
        std::_Exit(5);
    }
    Instance instance;
    instance.n = static_cast<int>(count.value) + 1;
    instance.selection = alloc_vector(instance.n);
    zero_vector(instance.selection, instance.n);
    instance.matrix = alloc_matrix(instance.n, instance.n);
    zero_matrix(instance.matrix, instance.n, instance.n);
    if (!read_distance_matrix(triples_path.c_str(), instance.matrix, instance.n)) {
        std::_Exit(6);
    }
    return instance;
}

// Loads the instance of `folder` with the fscanf loop and the cell-by-cell clear.
Instance load_literal(const std::string& folder) {
    const std::string count_path = folder + "/" + kCityCountFile;
    const std::string triples_path = folder + "/" + kDistanceFile;
    const int count = literal_read_city_count(count_path.c_str());
    if (count < 2) {
        std::_Exit(5);
    }
    Instance instance;
    instance.n = count + 1;
    instance.selection = alloc_vector(instance.n);
    zero_vector(instance.selection, instance.n);
    instance.matrix = alloc_matrix(instance.n, instance.n);
    literal_zero_matrix(instance.matrix, instance.n, instance.n);
    if (!literal_read_distance_matrix(triples_path.c_str(), instance.matrix, instance.n)) {
        std::_Exit(6);
    }
    return instance;
}

// FNV-1a over the bits of every cell, so that two loaders can be compared cell for cell.
[[nodiscard]] double matrix_checksum(const Instance& instance) {
    std::uint64_t hash = 1469598103934665603ULL;
    for (int i = 0; i < instance.n; ++i) {
        for (int j = 0; j < instance.n; ++j) {
            std::uint32_t bits = 0;
            std::memcpy(&bits, &instance.matrix[i][j], sizeof bits);
            hash = (hash ^ bits) * 1099511628211ULL;
        }
    }
    // 52 bits survive the trip as a double exactly.
    return static_cast<double>(hash >> 12);
}

// Child work: one load, returning its wall-clock seconds and the matrix checksum.
std::vector<double> time_load(const std::string& folder, LoadMode mode) {
    if (mode == LoadMode::portable) {
        set_scan_path(ScanPath::portable);
    }
    const auto start = std::chrono::steady_clock::now();
    const Instance instance = mode == LoadMode::literal ? load_literal(folder) : load_fast(folder);
    const auto stop = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(stop - start).count();
    return {seconds, matrix_checksum(instance)};
}

[[nodiscard]] double cpu_seconds(std::clock_t start, std::clock_t stop) {
    return static_cast<double>(stop - start) / static_cast<double>(CLOCKS_PER_SEC);
}

[[nodiscard]] double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Child work: `runs` times, from one random start and one seed, calibrate and anneal as choice
// 2 does. Returns the median CPU seconds of the annealing and of the calibration, then the
// start temperature, the best value and a hash of the best selection of the last run.
std::vector<double> time_search(const std::string& folder, bool fast, int runs) {
    const Instance instance = load_fast(folder);
    const int n = instance.n;
    seed_generator(kStartSeed);
    build_random_start(instance.selection, n);
    int* start = alloc_vector(n);
    copy_vector(start, instance.selection, n);

    std::vector<double> anneal_times;
    std::vector<double> calibrate_times;
    float temperature = 0.0F;
    float best = 0.0F;
    for (int run = 0; run < runs; ++run) {
        copy_vector(instance.selection, start, n);
        seed_generator(kSearchSeed);
        const std::clock_t c0 = std::clock();
        temperature =
            fast ? calibrate_temperature(n, instance.selection, instance.matrix, kHeatingFactor,
                                         kTargetAcceptance, kMovesPerTemperature)
                 : literal_calibrate_temperature(n, instance.selection, instance.matrix,
                                                 kHeatingFactor, kTargetAcceptance,
                                                 kMovesPerTemperature);
        const std::clock_t c1 = std::clock();
        best = fast ? run_annealing(n, instance.selection, instance.matrix, kCoolingFactor,
                                    temperature, kFinalTemperature, kMovesPerTemperature)
                    : literal_run_annealing(n, instance.selection, instance.matrix, kCoolingFactor,
                                            temperature, kFinalTemperature, kMovesPerTemperature);
        const std::clock_t c2 = std::clock();
        calibrate_times.push_back(cpu_seconds(c0, c1));
        anneal_times.push_back(cpu_seconds(c1, c2));
    }
    double selection_hash = 0;
    for (int position = 0; position < n; ++position) {
        if (instance.selection[position] == 1) {
            selection_hash = selection_hash * 8192.0 + position;
        }
    }
    return {median(anneal_times), median(calibrate_times), temperature, best, selection_hash};
}

// One size's figures.
struct SizeResult {
    int cities = 0;
    double file_mb = 0;
    double matrix_mib = 0;
    double load_fast = 0;
    double load_portable = 0;
    double load_literal = 0;
    double peak_fast = 0;
    double peak_literal = 0;
    bool same_matrix = false;
    double anneal_fast = 0;
    double anneal_literal = 0;
    double calibrate_fast = 0;
    double calibrate_literal = 0;
    double best = 0;
    bool same_search = false;
};

// Median over kLoadRuns children of a load; the peak is the largest seen. Empty on failure.
std::optional<ChildMeasurement> measure_load(const std::string& folder, LoadMode mode) {
    std::vector<double> seconds;
    ChildMeasurement summary{{0.0, 0.0}, 0.0};
    for (int run = 0; run < kLoadRuns; ++run) {
        const auto child = measure_in_child([&] { return time_load(folder, mode); });
        if (!child || child->values.size() != 2) {
            return std::nullopt;
        }
        seconds.push_back(child->values[0]);
        summary.values[1] = child->values[1];
        summary.peak_mib = std::max(summary.peak_mib, child->peak_mib);
    }
    summary.values[0] = median(seconds);
    return summary;
}

// Search runs per child: enough that the fast search's time is not lost in clock granularity.
[[nodiscard]] int search_runs(int cities, bool fast) {
    if (fast) {
        return 15;
    }
    return cities <= 1000 ? 7 : 3;
}

// Reads the file at `path` once through a small buffer, so that every measured load finds it
// in the page cache and none pays for writing back what the generator has just written.
void warm_file(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) {
        return;
    }
    static char block[1 << 16];
    while (std::fread(block, 1, sizeof block, file) > 0) {
    }
    std::fclose(file);
}

std::optional<SizeResult> measure_size(const SpeedSettings& settings, int cities) {
    SizeResult result;
    result.cities = cities;
    const std::string folder = settings.folder + "/" + std::to_string(cities);
    std::filesystem::create_directories(folder);
    const std::string command = "'" + settings.generator + "' --semente " +
                                std::to_string(kInstanceSeed) + " " + std::to_string(cities) +
                                " '" + folder + "'";
    if (std::system(command.c_str()) != 0) {
        std::printf("could not generate the instance of %d cities\n", cities);
        return std::nullopt;
    }
    result.file_mb =
        static_cast<double>(std::filesystem::file_size(folder + "/" + kDistanceFile)) / 1e6;
    const double n = cities + 1.0;
    result.matrix_mib = (n * n * sizeof(float) + n * sizeof(float*)) / (1024.0 * 1024.0);

    warm_file(folder + "/" + kDistanceFile);
    // Side by side: each kind of load in turn, five times over.
    const auto fast_load = measure_load(folder, LoadMode::fast);
    const auto portable_load = measure_load(folder, LoadMode::portable);
    const auto literal_load = measure_load(folder, LoadMode::literal);
    const auto fast_search =
        measure_in_child([&] { return time_search(folder, true, search_runs(cities, true)); });
    const auto literal_search =
        measure_in_child([&] { return time_search(folder, false, search_runs(cities, false)); });
    if (!fast_load || !portable_load || !literal_load || !fast_search || !literal_search) {
        std::printf("a measurement of %d cities failed\n", cities);
        return std::nullopt;
    }
    result.load_fast = fast_load->values[0];
    result.load_portable = portable_load->values[0];
    result.load_literal = literal_load->values[0];
    result.peak_fast = fast_load->peak_mib;
    result.peak_literal = literal_load->peak_mib;
    result.same_matrix = fast_load->values[1] == literal_load->values[1] &&
                         portable_load->values[1] == literal_load->values[1];
    result.anneal_fast = fast_search->values[0];
    result.anneal_literal = literal_search->values[0];
    result.calibrate_fast = fast_search->values[1];
    result.calibrate_literal = literal_search->values[1];
    result.best = fast_search->values[3];
    result.same_search = std::equal(fast_search->values.begin() + 2, fast_search->values.end(),
                                    literal_search->values.begin() + 2);
    return result;
}

void print_tables(const std::vector<SizeResult>& results) {
    std::printf(
        "\nLoading (choice 1: count, allocation, clearing, distance file; median of %d; "
        "fast: %s scanner)\n",
        kLoadRuns, scan_path_name(scan_path()));
    std::printf(
        "| cities | file MB | fast s | portable s | literal s | speed-up | fast MB/s "
        "| literal MB/s | matrix MiB | peak fast MiB | peak literal MiB | same matrix |\n");
    std::printf("|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|:---:|\n");
    for (const SizeResult& r : results) {
        std::printf(
            "| %d | %.1f | %.4f | %.4f | %.4f | %.1fx | %.0f | %.0f | %.1f | %.1f | %.1f | %s |\n",
            r.cities, r.file_mb, r.load_fast, r.load_portable, r.load_literal,
            r.load_literal / r.load_fast, r.file_mb / r.load_fast, r.file_mb / r.load_literal,
            r.matrix_mib, r.peak_fast, r.peak_literal, r.same_matrix ? "yes" : "NO");
    }
    std::printf("\nAnnealing (choice 2, CPU seconds, median of the runs)\n");
    std::printf(
        "| cities | anneal fast s | anneal literal s | speed-up | calibrate fast s "
        "| calibrate literal s | best value | same search |\n");
    std::printf("|---:|---:|---:|---:|---:|---:|---:|:---:|\n");
    for (const SizeResult& r : results) {
        std::printf("| %d | %.6f | %.6f | %.1fx | %.6f | %.6f | %.0f | %s |\n", r.cities,
                    r.anneal_fast, r.anneal_literal, r.anneal_literal / r.anneal_fast,
                    r.calibrate_fast, r.calibrate_literal, r.best, r.same_search ? "yes" : "NO");
    }
}

// Prints one verdict line and returns whether it held.
bool verdict(bool held, const char* what) {
    std::printf("  [%s] %s\n", held ? "ok" : "MISSED", what);
    return held;
}

void print_verdicts(const std::vector<SizeResult>& results,
                    const std::vector<ScannerSpeed>& scanner) {
    std::printf("\nTargets\n");
    const SizeResult& largest = results.back();
    const SizeResult& smallest = results.front();
    verdict(largest.load_literal / largest.load_fast >= kLoadTarget,
            "loading the largest instance at least 8 times faster than the fscanf loop");
    verdict(!scanner.empty() && scanner.back().gb_per_s >= kScannerTargetGbPerS,
            "the scanner alone at least 1.5 GB/s on bytes in memory");
    bool memory_held = true;
    bool same = true;
    for (const SizeResult& r : results) {
        memory_held = memory_held && r.peak_fast <= r.matrix_mib + kMemoryAllowanceMib;
        same = same && r.same_matrix && r.same_search;
        if (r.cities == kAnnealTargetCities) {
            verdict(r.anneal_literal / r.anneal_fast >= kAnnealTarget,
                    "annealing at 4,000 cities at least 50 times below the literal loop");
        }
    }
    verdict(smallest.anneal_fast <= kSmallSlowdownLimit * smallest.anneal_literal,
            "annealing on the smallest instance within twice the literal loop's time");
    verdict(memory_held, "peak memory of the fast load at most the matrix plus 16 MiB");
    verdict(same, "fast and literal code give the same matrix and the same search");
}

}  // namespace

bool run_speed_benchmark(const SpeedSettings& settings) {
    std::vector<SizeResult> results;
    for (const int cities : settings.cities) {
        const std::optional<SizeResult> result = measure_size(settings, cities);
        if (!result) {
            return false;
        }
        results.push_back(*result);
    }
    if (results.empty()) {
        return true;
    }
    print_tables(results);
    const std::string largest_file =
        settings.folder + "/" + std::to_string(results.back().cities) + "/" + kDistanceFile;
    const std::vector<ScannerSpeed> scanner = measure_scanner(largest_file);
    print_scanner_table(scanner, results.back().file_mb);
    print_verdicts(results, scanner);
    return true;
}
