// Speed of the integer scanner on bytes in memory, path by path.
#include "bench/scanner_benchmark.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <utility>

#include "bench/child_measure.hpp"
#include "instance/integer_scanner.hpp"

using namespace dispersao;

namespace {

constexpr int kRuns = 5;

// Integers taken from a vectorised run at a time.
constexpr std::size_t kRunCapacity = std::size_t{3} * 1024;

// Scans every integer of text[0..length-1] on `path`; returns the count and the sum, or a
// count of -1 if the text holds anything but integers.
std::pair<double, double> scan_all(const std::string& text, ScanPath path) {
    IntegerScanner scanner(memory_source(text.data(), text.size()), std::size_t{1} << 20, path);
    // Integers of the last run, run[0..count-1].
    static std::int64_t run[kRunCapacity];
    std::int64_t count = 0;
    std::int64_t sum = 0;
    for (;;) {
        const std::size_t taken = scanner.next_run(run, kRunCapacity);
        for (std::size_t k = 0; k < taken; ++k) {
            sum += run[k];
        }
        count += static_cast<std::int64_t>(taken);
        if (taken > 0) {
            continue;
        }
        std::int64_t value = 0;
        const ScanResult result = scanner.next(value);
        if (result == ScanResult::end) {
            break;
        }
        if (result != ScanResult::integer) {
            return {-1.0, 0.0};
        }
        sum += value;
        ++count;
    }
    return {static_cast<double>(count), static_cast<double>(sum)};
}

// Child work: for each available path, its best seconds, the count and the sum.
std::vector<double> time_paths(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    std::vector<double> values;
    for (const ScanPath scan_path : available_scan_paths()) {
        double best = 1e30;
        std::pair<double, double> found{0.0, 0.0};
        for (int run = 0; run < kRuns; ++run) {
            // Processor time, which other work on a shared machine does not inflate.
            const std::clock_t start = std::clock();
            found = scan_all(text, scan_path);
            const std::clock_t stop = std::clock();
            best = std::min(best, static_cast<double>(stop - start) / CLOCKS_PER_SEC);
        }
        values.insert(values.end(), {static_cast<double>(scan_path), best,
                                     static_cast<double>(text.size()), found.first, found.second});
    }
    return values;
}

}  // namespace

std::vector<ScannerSpeed> measure_scanner(const std::string& path) {
    const auto child = measure_in_child([&] { return time_paths(path); });
    std::vector<ScannerSpeed> speeds;
    if (!child) {
        return speeds;
    }
    for (std::size_t i = 0; i + 5 <= child->values.size(); i += 5) {
        const double* v = &child->values[i];
        speeds.push_back(
            {static_cast<ScanPath>(static_cast<int>(v[0])), v[1], v[2] / v[1] / 1e9, v[3], v[4]});
    }
    return speeds;
}

void print_scanner_table(const std::vector<ScannerSpeed>& speeds, double file_mb) {
    std::printf(
        "\nScanner alone (the %.1f MB file in memory, every integer; CPU seconds, best of "
        "%d)\n",
        file_mb, kRuns);
    std::printf("| path | CPU s | GB/s | integers | same integers |\n");
    std::printf("|:---|---:|---:|---:|:---:|\n");
    for (const ScannerSpeed& speed : speeds) {
        const bool same = speed.integers == speeds.front().integers &&
                          speed.checksum == speeds.front().checksum && speed.integers >= 0;
        std::printf("| %s | %.4f | %.2f | %.0f | %s |\n", scan_path_name(speed.path), speed.seconds,
                    speed.gb_per_s, speed.integers, same ? "yes" : "NO");
    }
}
