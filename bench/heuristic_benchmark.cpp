// The heuristics alone (farthest-point starts, exchanges, target search) on published sets: the
// value, a digest of the selection and the time of each run, on one thread and without a limit,
// so that two builds run one after the other compare on the same work.
//
//   dispersao-bench-heuristica PASTA_XZ PASTA_TRABALHO
//
// BENCH_HEURISTIC_PAIRS lists name:p pairs, BENCH_HEURISTIC_RUNS the runs per pair.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.hpp"
#include "dispersion/point_heuristic.hpp"
#include "points/point_files.hpp"

namespace fs = std::filesystem;

namespace {

// Returns a digest of the selection, the same for the same points in the same order.
[[nodiscard]] std::uint64_t digest(const std::vector<std::size_t>& chosen) {
    std::uint64_t hash = 1469598103934665603ULL;
    for (const std::size_t c : chosen) {
        hash = (hash ^ c) * 1099511628211ULL;
    }
    return hash;
}

// Runs the heuristics on the published set `name` at `p` `runs` times and prints one line;
// returns false when the set could not be read or the runs disagree.
bool measure(const fs::path& data, const fs::path& work, const std::string& name, int p, int runs) {
    const fs::path file = work / (name + ".tsp");
    const fs::path packed = data / (name + ".tsp.xz");
    if (!make_file(
            [&](const std::string& to) { return "xz -dc " + shell_quoted(packed) + " > " + to; },
            file)) {
        std::printf("%-18s p = %2d  nao foi possivel descompactar\n", name.c_str(), p);
        return false;
    }
    dispersao::PointSet points;
    if (dispersao::read_point_file(file.string(), dispersao::PointFormat::tsplib, points)) {
        std::printf("%-18s p = %2d  nao foi possivel ler\n", name.c_str(), p);
        return false;
    }
    std::vector<double> seconds;
    std::vector<std::size_t> first;
    bool same = true;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const std::vector<std::size_t> chosen = dispersao::heuristic_selection(
            points, p, [] { return false; }, 1);
        seconds.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (run == 0) {
            first = chosen;
        }
        same = same && chosen == first;
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("%-18s p = %2d  valor %12.0f  selecao %016llx  menor %7.2f s  mediana %7.2f s%s\n",
                name.c_str(), p, dispersao::selection_value(points, first),
                static_cast<unsigned long long>(digest(first)), seconds.front(),
                seconds[seconds.size() / 2], same ? "" : "  SELECOES DIFERENTES");
    std::fflush(stdout);
    return same;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "uso: %s PASTA_XZ PASTA_TRABALHO\n", argv[0]);
        return 2;
    }
    const fs::path data = argv[1];
    const fs::path work = argv[2];
    std::error_code code;
    fs::create_directories(work, code);
    const std::vector<std::string> pairs =
        words_of("BENCH_HEURISTIC_PAIRS", "pr2392:15 rl5934:20 vm22775:20");
    const int runs = std::max(1, std::atoi(words_of("BENCH_HEURISTIC_RUNS", "3").front().c_str()));
    std::printf("Heuristicas sozinhas, uma thread, sem limite; %d execucoes por par\nMaquina: %s\n",
                runs, machine().c_str());
    bool ok = true;
    for (const std::string& pair : pairs) {
        const std::size_t colon = pair.find(':');
        if (colon == std::string::npos) {
            std::fprintf(stderr, "par sem p: %s\n", pair.c_str());
            return 2;
        }
        ok =
            measure(data, work, pair.substr(0, colon), std::atoi(pair.c_str() + colon + 1), runs) &&
            ok;
    }
    return ok ? 0 : 1;
}
