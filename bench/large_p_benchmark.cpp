// dispersao-bench-p-grande: dispersao-exato at large p beside the plain farthest-point greedy,
// and on clustered random points at small p; one child process per run.
//
// Usage: dispersao-bench-p-grande EXATO GERADOR GULOSO PASTA
// EXATO is dispersao-exato, GERADOR dispersao-gerar, GULOSO dispersao-guloso (the plain greedy,
// bench/plain_greedy.cpp), PASTA a scratch folder for the generated sets. The environment picks
// the runs:
//   BENCH_P_GRANDE  runs at large p, each TIPO:N:SEMENTE:P:LIMITE (default: 10^6 uniform points
//                   of seed 11 at p = 1,000 in 10 s and p = 4,096 in 2 s, 10^6 clustered ones at
//                   p = 1,000 in 10 s)
//   BENCH_AGRUPADO  runs on clustered sets, each N:SEMENTE:P, limit 120 s (default: 10^6 points
//                   of seeds 1 and 11 at p = 3 and 5, 10^7 of seed 1 at p = 3)
// "-" alone runs none of a kind.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_support.hpp"

namespace {

namespace fs = std::filesystem;

// Returns the fields of `entry` separated by ':'.
std::vector<std::string> fields_of(const std::string& entry) {
    std::vector<std::string> fields;
    std::istringstream text(entry);
    std::string field;
    while (std::getline(text, field, ':')) {
        fields.push_back(field);
    }
    return fields;
}

// Returns the CSV file of `count` points of `kind` ("uniforme" or "agrupado") drawn from `seed`
// by `generator` in `work`, made on first use; empty when it could not be made.
fs::path generated(const std::string& generator, const fs::path& work, const std::string& kind,
                   const std::string& count, const std::string& seed) {
    const fs::path file = work / (kind + "-" + count + "-s" + seed + ".csv");
    const auto command = [&](const std::string& to) {
        return shell_quoted(generator) + " --pontos " + kind + " --semente " + seed + " " + count +
               " " + to + " > /dev/null";
    };
    return make_file(command, file) ? file : fs::path();
}

// Runs the large-p table; returns whether every run went through.
bool large_p_table(const std::string& exato, const std::string& generator,
                   const std::string& greedy, const fs::path& work) {
    std::printf("\nP grande: dispersao-exato (valor, limite superior) contra o guloso simples\n");
    std::printf("%-26s %5s %6s %14s %14s %7s %8s %8s %14s %9s %7s\n", "pontos", "p", "limite",
                "valor", "limite_sup", "folga%", "total_s", "pico_MiB", "guloso", "guloso_s",
                "razao");
    bool all = true;
    const std::string fallback =
        "uniforme:1000000:11:1000:10 uniforme:1000000:11:4096:2 agrupado:1000000:11:1000:10";
    for (const std::string& entry : words_of("BENCH_P_GRANDE", fallback)) {
        const std::vector<std::string> f = fields_of(entry);
        if (f.size() != 5) {
            std::printf("%-26s entrada invalida (TIPO:N:SEMENTE:P:LIMITE)\n", entry.c_str());
            all = false;
            continue;
        }
        const std::string label = f[0] + "-" + f[1] + "-s" + f[2];
        const fs::path input = generated(generator, work, f[0], f[1], f[2]);
        const fs::path errors = work / "erros.txt";
        const Measured run =
            input.empty()
                ? Measured{}
                : run_child(exato, {"--json", "-p", f[3], "--limite-tempo", f[4], input.string()},
                            errors);
        const Measured base =
            input.empty() ? Measured{} : run_child(greedy, {f[3], input.string()}, errors);
        if (!run.ok || !base.ok) {
            std::printf("%-26s falhou; veja %s\n", label.c_str(), errors.c_str());
            all = false;
            continue;
        }
        const double value = std::atof(json_field(run.json, "valor").c_str());
        const double bound = std::atof(json_field(run.json, "limite_superior").c_str());
        const double plain = std::atof(json_field(base.json, "valor").c_str());
        std::printf("%-26s %5s %6s %14.1f %14.1f %7.1f %8.2f %8.1f %14.1f %9.2f %7.4f\n",
                    label.c_str(), f[3].c_str(), f[4].c_str(), value, bound,
                    100.0 * (bound - value) / bound, run.wall_seconds, run.peak_mib, plain,
                    std::atof(json_field(base.json, "segundos").c_str()), value / plain);
        std::fflush(stdout);
    }
    return all;
}

// Runs the clustered table; returns whether every run went through.
bool clustered_table(const std::string& exato, const std::string& generator, const fs::path& work) {
    std::printf("\nAgrupados: dispersao-exato em pontos agrupados (limite 120 s)\n");
    std::printf("%-26s %3s %18s %-28s %9s %9s %8s\n", "pontos", "p", "valor", "prova", "busca_s",
                "total_s", "pico_MiB");
    bool all = true;
    const std::string fallback = "1000000:1:3 1000000:1:5 1000000:11:3 1000000:11:5 10000000:1:3";
    for (const std::string& entry : words_of("BENCH_AGRUPADO", fallback)) {
        const std::vector<std::string> f = fields_of(entry);
        if (f.size() != 3) {
            std::printf("%-26s entrada invalida (N:SEMENTE:P)\n", entry.c_str());
            all = false;
            continue;
        }
        const std::string label = "agrupado-" + f[0] + "-s" + f[1];
        const fs::path input = generated(generator, work, "agrupado", f[0], f[1]);
        const fs::path errors = work / "erros.txt";
        const Measured run =
            input.empty()
                ? Measured{}
                : run_child(exato, {"--json", "-p", f[2], "--limite-tempo", "120", input.string()},
                            errors);
        if (!run.ok) {
            std::printf("%-26s falhou; veja %s\n", label.c_str(), errors.c_str());
            all = false;
            continue;
        }
        const std::string value = json_field(run.json, "valor");
        const bool proven = json_field(run.json, "otimo") == "true";
        const std::string proof =
            proven ? "otimo" : "[" + value + ", " + json_field(run.json, "limite_superior") + "]";
        std::printf("%-26s %3s %18s %-28s %9.3f %9.3f %8.1f\n", label.c_str(), f[2].c_str(),
                    value.c_str(), proof.c_str(),
                    std::atof(json_field(run.json, "segundos").c_str()), run.wall_seconds,
                    run.peak_mib);
        std::fflush(stdout);
    }
    return all;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "uso: %s EXATO GERADOR GULOSO PASTA\n", argv[0]);
        return 2;
    }
    const fs::path work = argv[4];
    fs::create_directories(work);
    std::printf("Maquina %s\n", machine().c_str());
    const std::string exato = fs::absolute(argv[1]).string();
    const std::string generator = fs::absolute(argv[2]).string();
    const bool large = large_p_table(exato, generator, fs::absolute(argv[3]).string(), work);
    const bool clustered = clustered_table(exato, generator, work);
    return large && clustered ? 0 : 1;
}
