// dispersao-bench-matriz: the matrix engine against brute force on random 40 x 40 matrices, and
// dispersao-exato --matriz on MDPLIB's GKD-c instance and on a larger random CSV matrix, each run
// in a child process, beside the farthest-first greedy every user already has.
//
// Usage: dispersao-bench-matriz EXATO DADOS PASTA
// EXATO is dispersao-exato, DADOS the folder holding GKD-c_1_n500_m50.txt, PASTA a scratch
// folder for the random CSV matrix. Prints the machine and its load, then one line per run.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_support.hpp"
#include "dispersion/dispersion.hpp"
#include "matrix/matrix_file.hpp"

using namespace dispersao;

namespace {

namespace fs = std::filesystem;

using Clock = std::chrono::steady_clock;

[[nodiscard]] double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The load averages of the machine, as /proc/loadavg gives them.
[[nodiscard]] std::string load() {
    std::ifstream loadavg("/proc/loadavg");
    std::string one;
    std::string five;
    std::string fifteen;
    loadavg >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

// The smallest distance among `chosen` in `matrix`.
[[nodiscard]] double value_of(const MatrixView& matrix, const std::vector<std::size_t>& chosen) {
    double worst = std::numeric_limits<double>::infinity();
    for (std::size_t a = 0; a < chosen.size(); ++a) {
        for (std::size_t b = a + 1; b < chosen.size(); ++b) {
            worst = std::min(worst, matrix.at(chosen[a], chosen[b]));
        }
    }
    return worst;
}

// The best value over every selection of p rows, pruned only by the best so far.
[[nodiscard]] double brute_force(const MatrixView& matrix, int p) {
    std::vector<std::size_t> chosen;
    double best = -std::numeric_limits<double>::infinity();
    const auto extend = [&](const auto& self, std::size_t from, double worst) -> void {
        if (chosen.size() == static_cast<std::size_t>(p)) {
            best = std::max(best, worst);
            return;
        }
        for (std::size_t i = from; i < matrix.n; ++i) {
            double with = worst;
            for (const std::size_t c : chosen) {
                with = std::min(with, matrix.at(c, i));
            }
            if (with > best) {
                chosen.push_back(i);
                self(self, i + 1, with);
                chosen.pop_back();
            }
        }
    };
    extend(extend, 0, std::numeric_limits<double>::infinity());
    return best;
}

// The farthest-first greedy from row 0: each next row the one farthest from those chosen.
[[nodiscard]] double greedy(const MatrixView& matrix, int p) {
    std::vector<double> nearest(matrix.n, std::numeric_limits<double>::infinity());
    std::vector<std::size_t> chosen{0};
    while (chosen.size() < static_cast<std::size_t>(p)) {
        std::size_t farthest = matrix.n;
        for (std::size_t i = 0; i < matrix.n; ++i) {
            if (std::find(chosen.begin(), chosen.end(), i) == chosen.end()) {
                nearest[i] = std::min(nearest[i], matrix.at(i, chosen.back()));
                if (farthest == matrix.n || nearest[i] > nearest[farthest]) {
                    farthest = i;
                }
            }
        }
        chosen.push_back(farthest);
    }
    return value_of(matrix, chosen);
}

// Runs dispersao-exato on the matrix file at `path` at p (with `limit` seconds when positive)
// and prints its line beside the greedy's value on `matrix`.
void program_line(const std::string& exato, const std::string& label, const std::string& path,
                  const MatrixView& matrix, int p, double limit, const fs::path& errors) {
    std::vector<std::string> args{"--json", "-p", std::to_string(p), "--matriz", path};
    if (limit > 0) {
        args.insert(args.begin(), {"--limite-tempo", std::to_string(limit)});
    }
    const Measured run = run_child(exato, args, errors);
    if (!run.ok) {
        std::printf("%-22s %4d  falhou\n", label.c_str(), p);
        return;
    }
    const bool proven = json_field(run.json, "otimo") == "true";
    std::printf("%-22s %4d %9s %9s  %-6s %9.2f %9.1f %9.4g\n", label.c_str(), p,
                json_field(run.json, "valor").c_str(),
                json_field(run.json, "limite_superior").c_str(), proven ? "sim" : "nao",
                run.wall_seconds, run.peak_mib, greedy(matrix, p));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "Uso: dispersao-bench-matriz EXATO DADOS PASTA\n");
        return 2;
    }
    const std::string exato = argv[1];
    const fs::path data = argv[2];
    const fs::path scratch = argv[3];
    fs::create_directories(scratch);
    std::printf("Maquina: %s; carga %s\n\n", machine().c_str(), load().c_str());
    const fs::path errors = scratch / "erros.txt";

    std::printf("Matrizes aleatorias 40 x 40 (reais uniformes), motor contra forca bruta:\n");
    std::printf("%4s %6s %12s %12s %8s\n", "p", "matriz", "motor (s)", "forca (s)", "iguais");
    std::mt19937_64 random(2026);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    for (const int p : {4, 5}) {
        for (int trial = 0; trial < 5; ++trial) {
            constexpr std::size_t kRows = 40;
            std::vector<double> cells(kRows * kRows, 0.0);
            for (std::size_t a = 0; a < kRows; ++a) {
                for (std::size_t b = a + 1; b < kRows; ++b) {
                    cells[a * kRows + b] = cells[b * kRows + a] = uniform(random);
                }
            }
            const MatrixView matrix{kRows, cells.data(), kRows};
            auto start = Clock::now();
            const DispersionResult result = solve_distance_matrix(matrix, p, {});
            const double engine = seconds_since(start);
            start = Clock::now();
            const double best = brute_force(matrix, p);
            const double brute = seconds_since(start);
            std::printf("%4d %6d %12.6f %12.6f %8s\n", p, trial, engine, brute,
                        result.proven && result.value == best ? "sim" : "NAO");
        }
    }

    std::printf(
        "\ndispersao-exato --matriz (leitura incluida), ao lado do guloso mais-distante:\n");
    std::printf("%-22s %4s %9s %9s  %-6s %9s %9s %9s\n", "entrada", "p", "valor", "limite", "otimo",
                "parede(s)", "pico MiB", "guloso");
    const fs::path gkd = data / "GKD-c_1_n500_m50.txt";
    DistanceMatrix published;
    if (const auto error = read_matrix_file(gkd.string(), published)) {
        std::fprintf(stderr, "%s", describe_matrix_error(*error, gkd.string()).c_str());
        return 1;
    }
    for (const int p : {3, 5, 10, 20}) {
        program_line(exato, "GKD-c_1_n500", gkd.string(), published.view(), p, 0, errors);
    }
    program_line(exato, "GKD-c_1_n500 (10 s)", gkd.string(), published.view(), 50, 10, errors);

    // A random CSV matrix of 2,000 rows: 32 MB of doubles, to show the memory beyond the matrix.
    const std::size_t n = 2000;
    const fs::path csv = scratch / "aleatoria_2000.csv";
    std::vector<double> cells(n * n, 0.0);
    for (std::size_t a = 0; a < n; ++a) {
        for (std::size_t b = a + 1; b < n; ++b) {
            cells[a * n + b] = cells[b * n + a] = std::round(uniform(random) * 1e6) / 1e3;
        }
    }
    {
        std::ofstream out(csv);
        for (std::size_t a = 0; a < n; ++a) {
            for (std::size_t b = 0; b < n; ++b) {
                out << cells[a * n + b] << (b + 1 < n ? ',' : '\n');
            }
        }
    }
    const MatrixView random_matrix{n, cells.data(), n};
    for (const int p : {3, 5, 10}) {
        program_line(exato, "aleatoria n=2000 csv", csv.string(), random_matrix, p, 60, errors);
    }
    std::printf("\nMatriz de 2000 x 2000 em doubles: %.1f MiB.\n",
                static_cast<double>(n * n * sizeof(double)) / (1 << 20));
    return 0;
}
