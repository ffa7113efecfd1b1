// dispersao-bench-pontos: dispersao-exato on the 40 point sets with published optima and on
// random point sets, one child process per run.
//
// Usage: dispersao-bench-pontos EXATO GERADOR DADOS PASTA [GERADOR_MENU]
// EXATO is dispersao-exato, GERADOR dispersao-gerar, DADOS the folder of the packed
// instances and published.csv, PASTA a scratch folder where instances are unpacked and random
// sets written; GERADOR_MENU, dispersao-gerar again, adds menu program instances solved at p = 5.
// Prints, per instance and p: n, the value, "otimo" or both bounds, the search's seconds, the whole
// run's seconds and peak resident memory, beside the published value and seconds. The environment
// picks a subset:
//   BENCH_POINTS_INSTANCES  names of instances (default: all 40; "" or "-" for none)
//   BENCH_POINTS_P          values of p for them (default "3 5 10")
//   BENCH_POINTS_RANDOM     sizes of the random sets, solved at p = 3 (default
//                           "100000 1000000 10000000"; "" or "-" for none)
//   BENCH_POINTS_MENU       cities of the menu program instances (default "1000")
//   BENCH_POINTS_LIMIT      seconds per run (default 300 for p >= 10, 600 below)
//   BENCH_POINTS_THREADS    --threads of every run (default: dispersao-exato's, one per core)
// Beside a published pair, "marca" says: "=" the published value reached (proven, when the
// paper proved it), "abaixo" a value below it, "novo" an open pair closed or its bound lowered.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_support.hpp"

namespace {

namespace fs = std::filesystem;

// One published result: the paper's value (an upper bound when not proven) and CPU seconds.
struct Published {
    std::string value;
    bool proven = false;
    std::string seconds;
};

// Reads published.csv: instance,p,value,proven,cpu_s.
std::map<std::pair<std::string, int>, Published> read_published(const fs::path& path,
                                                                std::vector<std::string>& names) {
    std::map<std::pair<std::string, int>, Published> table;
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);  // the header
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string name;
        std::string p;
        Published published;
        std::string proven;
        std::getline(fields, name, ',');
        std::getline(fields, p, ',');
        std::getline(fields, published.value, ',');
        std::getline(fields, proven, ',');
        std::getline(fields, published.seconds, ',');
        published.proven = proven == "yes";
        if (names.empty() || names.back() != name) {
            names.push_back(name);
        }
        table[{name, std::atoi(p.c_str())}] = published;
    }
    return table;
}

// Totals of one value of p.
struct Tally {
    int runs = 0;
    int proven = 0;
    int as_published = 0;
    int with_published = 0;
    int reached = 0;    // value at least the published optimum
    int newer = 0;      // open pairs closed or with a lower bound than published
    double search = 0;  // search seconds, summed
    double slowest = 0;
};

// The runs of one benchmark, their lines and their totals.
class PointBench {
  public:
    PointBench(std::string exato, fs::path work,
               std::map<std::pair<std::string, int>, Published> published)
        : exato_(std::move(exato)), work_(std::move(work)), published_(std::move(published)) {}

    // Runs dispersao-exato on `input` at `p` and prints its line; `label` names it.
    void measure(const std::string& label, const fs::path& input, int p) {
        const std::string limit = words_of("BENCH_POINTS_LIMIT", p >= 10 ? "300" : "600").at(0);
        std::vector<std::string> args{"--json", "-p", std::to_string(p), "--limite-tempo", limit};
        for (const std::string& threads : words_of("BENCH_POINTS_THREADS", "-")) {
            args.insert(args.end(), {"--threads", threads});
        }
        args.push_back(input.string());
        const fs::path errors = work_ / "erros.txt";
        const Measured m = run_child(exato_, args, errors);
        if (!m.ok) {
            std::printf("%-22s falhou; veja %s\n", label.c_str(), errors.c_str());
            all_ran_ = false;
            return;
        }
        const std::string value = json_field(m.json, "valor");
        const bool proven = json_field(m.json, "otimo") == "true";
        const std::string proof =
            proven ? "otimo" : "[" + value + ", " + json_field(m.json, "limite_superior") + "]";
        const double search = std::atof(json_field(m.json, "segundos").c_str());
        std::string paper_value = "-";
        std::string paper_seconds = "-";
        std::string mark = "-";
        Tally& tally = tallies_[p];
        tally.search += search;
        ++tally.runs;
        tally.proven += proven ? 1 : 0;
        tally.slowest = std::max(tally.slowest, m.wall_seconds);
        const auto found = published_.find({label, p});
        if (found != published_.end()) {
            paper_value = (found->second.proven ? "" : "<=") + found->second.value;
            paper_seconds = found->second.proven ? found->second.seconds : "aberto";
            ++tally.with_published;
            tally.as_published +=
                (proven && found->second.proven && value == found->second.value) ? 1 : 0;
            const double paper = std::atof(found->second.value.c_str());
            const double upper = std::atof(json_field(m.json, "limite_superior").c_str());
            if (!found->second.proven) {
                mark = proven || upper < paper ? "novo" : "-";
            } else {
                mark = std::atof(value.c_str()) >= paper ? "=" : "abaixo";
            }
            tally.reached += mark == "=" ? 1 : 0;
            tally.newer += mark == "novo" ? 1 : 0;
        }
        std::printf("%-22s %9s %3d %20s %-28s %9.3f %9.3f %8.1f %10s %10s %6s\n", label.c_str(),
                    json_field(m.json, "n").c_str(), p, value.c_str(), proof.c_str(), search,
                    m.wall_seconds, m.peak_mib, paper_value.c_str(), paper_seconds.c_str(),
                    mark.c_str());
        std::fflush(stdout);
    }

    // Records an input that could not be prepared.
    void missing(const std::string& label, const char* why) {
        std::printf("%-22s %s\n", label.c_str(), why);
        all_ran_ = false;
    }

    // Prints the totals of each p; returns true when every run went through.
    bool summary() const {
        for (const auto& [p, tally] : tallies_) {
            std::printf(
                "p = %d: %d de %d provados otimos; %d de %d com o valor publicado provado; "
                "%d com o valor publicado alcancado; %d novos; busca %.1f s ao todo; "
                "execucao mais longa %.3f s\n",
                p, tally.proven, tally.runs, tally.as_published, tally.with_published,
                tally.reached, tally.newer, tally.search, tally.slowest);
        }
        return all_ran_;
    }

  private:
    std::string exato_;
    fs::path work_;
    std::map<std::pair<std::string, int>, Published> published_;
    std::map<int, Tally> tallies_;
    bool all_ran_ = true;
};

// The published instances named by `names`, unpacked into `work`, at each p of `ps`.
void run_published(PointBench& bench, const fs::path& data, const fs::path& work,
                   const std::vector<std::string>& names, const std::vector<std::string>& ps) {
    for (const std::string& name : names) {
        const fs::path file = work / (name + ".tsp");
        const fs::path packed = data / (name + ".tsp.xz");
        const auto unpack = [&](const std::string& to) {
            return "xz -dc " + shell_quoted(packed) + " > " + to;
        };
        if (!make_file(unpack, file)) {
            bench.missing(name, "nao foi possivel descompactar");
            continue;
        }
        for (const std::string& p : ps) {
            bench.measure(name, file, std::atoi(p.c_str()));
        }
    }
}

// Uniform and clustered random sets of each size in `sizes`, made by `generator`, at p = 3.
void run_random(PointBench& bench, const std::string& generator, const fs::path& work,
                const std::vector<std::string>& sizes) {
    for (const std::string& size : sizes) {
        for (const std::string kind : {"uniforme", "agrupado"}) {
            std::string label = kind;
            label += "-";
            label += size;
            const fs::path file = work / (label + ".csv");
            const auto generate = [&](const std::string& to) {
                std::string command = shell_quoted(generator);
                for (const std::string& word :
                     {std::string("--pontos"), kind, std::string("--semente 1"), size, to}) {
                    command += " ";
                    command += word;
                }
                return command + " > /dev/null";
            };
            if (!make_file(generate, file)) {
                bench.missing(label, "nao foi possivel gerar");
                continue;
            }
            bench.measure(label, file, 3);
        }
    }
}

// Menu program instances of each number of cities in `sizes`, made by `generator`, at p = 5.
void run_menu(PointBench& bench, const std::string& generator, const fs::path& work,
              const std::vector<std::string>& sizes) {
    for (const std::string& cities : sizes) {
        const fs::path folder = work / ("menu-" + cities);
        std::string command = shell_quoted(generator);
        command += " --semente 1 " + cities + " " + shell_quoted(folder) + " > /dev/null";
        fs::create_directories(folder);
        if (!fs::exists(folder / "MatrizDistanciasteste.txt") &&
            std::system(command.c_str()) != 0) {
            bench.missing(folder.filename().string(), "nao foi possivel gerar");
            continue;
        }
        bench.measure(folder.filename().string(), folder, 5);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "uso: %s EXATO GERADOR DADOS PASTA [GERADOR_MENU]\n", argv[0]);
        return 2;
    }
    const fs::path data = argv[3];
    const fs::path work = argv[4];
    fs::create_directories(work);
    std::vector<std::string> all_names;
    auto published = read_published(data / "published.csv", all_names);
    std::string all_list;
    for (const std::string& name : all_names) {
        all_list += name;
        all_list += " ";
    }
    std::printf("Maquina %s\n", machine().c_str());
    std::printf("%-22s %9s %3s %20s %-28s %9s %9s %8s %10s %10s %6s\n", "instancia", "n", "p",
                "valor", "prova", "busca_s", "total_s", "pico_MiB", "publicado", "public_s",
                "marca");
    PointBench bench(fs::absolute(argv[1]).string(), work, std::move(published));
    run_published(bench, data, work, words_of("BENCH_POINTS_INSTANCES", all_list),
                  words_of("BENCH_POINTS_P", "3 5 10"));
    run_random(bench, fs::absolute(argv[2]).string(), work,
               words_of("BENCH_POINTS_RANDOM", "100000 1000000 10000000"));
    if (argc == 6) {
        run_menu(bench, fs::absolute(argv[5]).string(), work,
                 words_of("BENCH_POINTS_MENU", "1000"));
    }
    return bench.summary() ? 0 : 1;
}
