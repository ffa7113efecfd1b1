// dispersao-exato run as a user runs it: its command line, reports, statuses, Ctrl-C, the
// menu instances at any p against brute force, and published optima of TSPLIB point sets.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/brute_force.hpp"
#include "tests/support/sanitizer.hpp"
#include "tests/support/temp_folder.hpp"
#include "tests/support/test_matrix.hpp"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    std::string out;
    std::string err;
    int status = -1;  // exit status, or -1 when the program did not exit normally
};

// A temporary folder for the runs, removed with its contents.
class Folder : public test_support::TempFolder {
  public:
    Folder() : TempFolder("dispersao-exato") {}

    // Runs dispersao-exato with `args` in the folder, standard input closed off; sends SIGINT
    // after `interrupt_after` when that is positive, and again 50 ms later, as `timeout` passes
    // one Ctrl-C on to the program and to its process group: one press, not two. `out_path`
    // replaces the captured output; a positive `address_limit` caps the program's virtual memory at
    // that many bytes.
    [[nodiscard]] Outcome run(const std::vector<std::string>& args,
                              std::chrono::milliseconds interrupt_after = {},
                              const std::string& out_path = "", rlim_t address_limit = 0) const {
        const fs::path out = out_path.empty() ? path() / ".out" : fs::path(out_path);
        const fs::path err = path() / ".err";
        const std::string where = path().string();
        const pid_t pid = ::fork();
        if (pid == 0) {
            std::vector<char*> argv{const_cast<char*>(DISPERSAO_EXATO)};
            for (const std::string& arg : args) {
                argv.push_back(const_cast<char*>(arg.c_str()));
            }
            argv.push_back(nullptr);
            const int in = ::open("/dev/null", O_RDONLY);
            const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const rlimit limit{address_limit, address_limit};
            if (address_limit > 0 && ::setrlimit(RLIMIT_AS, &limit) != 0) {
                ::_exit(97);
            }
            if (::chdir(where.c_str()) != 0 || in < 0 || o < 0 || e < 0 || ::dup2(in, 0) < 0 ||
                ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0) {
                ::_exit(99);
            }
            ::execv(DISPERSAO_EXATO, argv.data());
            ::_exit(98);
        }
        if (interrupt_after.count() > 0) {
            std::this_thread::sleep_for(interrupt_after);
            ::kill(pid, SIGINT);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            ::kill(pid, SIGINT);
        }
        int raw = 0;
        ::waitpid(pid, &raw, 0);
        Outcome result;
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = out_path.empty() ? test_support::read_file(out) : "";
        result.err = test_support::read_file(err);
        return result;
    }
};

// `count` points spread uniformly over a square, pinned seed, as CSV.
std::string random_csv(int count) {
    std::mt19937_64 generator(12);
    std::uniform_real_distribution<double> coordinate(0, 1e6);
    std::string text = "x,y\n";
    for (int i = 0; i < count; ++i) {
        text += std::to_string(coordinate(generator)) + "," +
                std::to_string(coordinate(generator)) + "\n";
    }
    return text;
}

// The value of "key" in a one-line JSON object, as written.
std::string json_field(const std::string& json, const std::string& key) {
    const std::regex pattern("\"" + key + "\":(\\[[^\\]]*\\]|[^,}]*)");
    std::smatch match;
    return std::regex_search(json, match, pattern) ? match[1].str() : "<none>";
}

// The ids of a JSON answer.
std::vector<std::size_t> json_ids(const std::string& out) {
    std::istringstream ids(json_field(out, "ids").substr(1));
    std::vector<std::size_t> positions;
    std::size_t id = 0;
    while (ids >> id) {
        positions.push_back(id);
        ids.ignore(1);
    }
    return positions;
}

// Runs `dispersao-exato --json -p P INPUT...` on a search too long to finish twice: stopped by
// Ctrl-C after `interrupt_after`, then by `--limite-tempo 1`. Each run must end within
// `max_seconds` with status 130 or 0 and P points, not proven, its value below its bound.
void expect_stopped_runs(const Folder& folder, const std::vector<std::string>& input, int p,
                         std::chrono::milliseconds interrupt_after, double max_seconds) {
    for (const bool interrupt : {true, false}) {
        std::vector<std::string> args{"--json", "-p", std::to_string(p)};
        if (!interrupt) {
            args.insert(args.end(), {"--limite-tempo", "1"});
        }
        args.insert(args.end(), input.begin(), input.end());
        const auto start = std::chrono::steady_clock::now();
        const Outcome run =
            folder.run(args, interrupt ? interrupt_after : std::chrono::milliseconds{});
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(run.status, interrupt ? 130 : 0) << run.err;
        EXPECT_LT(seconds, max_seconds);
        EXPECT_EQ(json_field(run.out, "otimo"), "false");
        EXPECT_LT(std::stod(json_field(run.out, "valor")),
                  std::stod(json_field(run.out, "limite_superior")));
        const std::string ids = json_field(run.out, "ids");
        EXPECT_EQ(std::count(ids.begin(), ids.end(), ','), p - 1) << run.out;
    }
}

const std::string kSeconds = "[0-9]+\\.[0-9]{6}";

}  // namespace

TEST(ExatoCommandLine, JsonHasEveryKeyIdsAscendingAndEscapedNames) {
    const Folder folder;
    folder.write("linha.csv",
                 "x,nome,y\n3,\"a, \"\"b\"\"\",0\n0,c\\d,0\n10,\"\ttab\",0\n1,\xC3\xA9\xFF,0\n");
    Outcome run = folder.run({"--json", "-p=2", "linha.csv"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::regex_match(
        run.out, std::regex("\\{\"n\":4,\"p\":2,\"valor\":10,\"otimo\":true,\"limite_superior\":"
                            "10,\"ids\":\\[2,3\\],\"nomes\":\\[\"c\\\\\\\\d\",\"\\\\ttab\"\\],"
                            "\"segundos\":" +
                            kSeconds + "\\}\n")))
        << run.out;
    // The plain report shows names with control bytes as '?'.
    run = folder.run({"-p", "2", "linha.csv"});
    EXPECT_NE(run.out.find("\n  2  c\\d\n  3  ?tab\n"), std::string::npos) << run.out;
    // A point without a code or a name shows none.
    folder.write("meio.csv", "x,y,id,nome\n0,0,,a\n10,0,K,\n");
    run = folder.run({"-p", "2", "meio.csv"});
    EXPECT_NE(run.out.find(":\n  1  a\n  2  [K]\n"), std::string::npos) << run.out;
    // Real distances keep every digit; names that are not UTF-8 are mended.
    folder.write("dois.csv", "lat,lon,nome\n0,0,\xC3\xA9\xFF\n1,1,x\n");
    run = folder.run({"dois.csv", "--json", "-p", "2"});
    EXPECT_EQ(json_field(run.out, "valor"), json_field(run.out, "limite_superior"));
    EXPECT_EQ(json_field(run.out, "nomes"), "[\"\xC3\xA9\\ufffd\",\"x\"]");
    const double valor = std::stod(json_field(run.out, "valor"));
    EXPECT_NEAR(valor, 157.249, 0.001);
    EXPECT_EQ(std::to_string(valor).size() < json_field(run.out, "valor").size(), true);
    // Whole distances past 2^53 keep all their digits; a negative zero is written as zero.
    folder.write("longe.tsp",
                 "DIMENSION: 3\nEDGE_WEIGHT_TYPE: EUC_2D\nNODE_COORD_SECTION\n"
                 "1 0 0\n2 1e20 0\n3 3e20 0\n");
    run = folder.run({"longe.tsp", "--json", "-p", "3"});
    EXPECT_EQ(json_field(run.out, "valor"), "100000000000000000000") << run.out;
    folder.write("zero.csv", "0,-0\n-0,0\n");
    run = folder.run({"--matriz", "zero.csv", "--json", "-p", "2"});
    EXPECT_EQ(json_field(run.out, "valor"), "0") << run.out;
}

TEST(ExatoCommandLine, PlainReportOfATsplibFile) {
    const Folder folder;
    folder.write("q.tsp",
                 "NAME: q\nDIMENSION: 4\nEDGE_WEIGHT_TYPE: CEIL_2D\nNODE_COORD_SECTION\n"
                 "4 0 0\n2 0 2.5\n3 9 0\n1 9 2.5\nEOF\n");
    const Outcome run = folder.run({"q.tsp", "-p", "3"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(std::regex_match(
        run.out, std::regex("Entrada: q\\.tsp \\(4 pontos; distancia CEIL_2D \\(TSPLIB\\)\\)\n"
                            "Pontos escolhidos \\(p = 3\\): (1 2 3|1 2 4|1 3 4|2 3 4)\n"
                            "Menor distancia: 3\nOtimo provado\\.\n"
                            "Tempo da busca: [0-9]+\\.[0-9]{3} segundos\n")))
        << run.out;
    EXPECT_EQ(run.err, "");
}

TEST(ExatoCommandLine, StatusesAndTheirOneLineMessages) {
    const Folder folder;
    folder.write("quatro.csv", "x,y\n0,0\n1,0\n2,0\n3,0\n");
    folder.write("ruim.csv", "x,y\n0,0\n1,um\n");
    folder.write("m.csv", "0 1 2\n1 0 3\n2 3 0\n");
    folder.write("assim.csv", "0 1 2\n1 0 3\n2 4 0\n");
    fs::create_directory(folder.path() / "vazia");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string first_line;
    } cases[] = {
        {{"-p", "1", "quatro.csv"},
         2,
         "dispersao-exato: -p quer um numero inteiro de pontos, pelo menos 2, nao \"1\""},
        {{"quatro.csv", "-p"}, 2, "dispersao-exato: falta o valor da opcao -p"},
        {{"--tempo", "3"}, 2, "dispersao-exato: opcao desconhecida: --tempo"},
        {{"--json=sim"}, 2, "dispersao-exato: a opcao --json nao leva valor"},
        {{"--limite-tempo=-1"},
         2,
         "dispersao-exato: --limite-tempo quer um numero de segundos, 0 ou mais, nao \"-1\""},
        {{"--threads", "0", "quatro.csv"},
         2,
         "dispersao-exato: --threads quer um numero inteiro de 1 a 1024, nao \"0\""},
        {{"--threads=muitas"},
         2,
         "dispersao-exato: --threads quer um numero inteiro de 1 a 1024, nao \"muitas\""},
        {{"a.csv", "b.csv"}, 2, "dispersao-exato: mais de uma ENTRADA: \"a.csv\" e \"b.csv\""},
        // A name of no known format is read by its content, so a missing one cannot be opened.
        {{"dados.txt"},
         1,
         "O arquivo dados.txt nao pode ser aberto: arquivo ou pasta inexistente."},
        // One file however it is spelled: outputs that would replace each other, or the input.
        {{"--svg", "m.svg", "--csv", "vazia/../m.svg", "a.csv"},
         2,
         "dispersao-exato: duas saidas no mesmo arquivo: --svg \"m.svg\" e --csv "
         "\"vazia/../m.svg\""},
        {{"--csv", "./quatro.csv", "quatro.csv"},
         2,
         "dispersao-exato: --csv \"./quatro.csv\" e o proprio arquivo de entrada"},
        {{"-p", "5", "quatro.csv"},
         2,
         "dispersao-exato: p = 5 passa do numero de pontos de quatro.csv (4)"},
        {{"falta.CSV"},
         1,
         "O arquivo falta.CSV nao pode ser aberto: arquivo ou pasta inexistente."},
        {{"ruim.csv"}, 1, "Erro no arquivo ruim.csv, linha 3: \"um\" nao e um numero."},
        {{"vazia"}, 1, "O arquivo vazia/numcidades.txt nao pode ser aberto."},
        {{"--json"}, 1, "O arquivo numcidades.txt nao pode ser aberto."},
        {{"--matriz", "assim.csv"},
         1,
         "Erro no arquivo assim.csv, linha 3: a distancia \"4\" de 3 a 2 difere da de 2 a 3 (3)."},
        {{"--matriz=falta.csv"}, 1, "O arquivo falta.csv nao pode ser lido."},
        {{"--matriz", "m.csv", "quatro.csv"},
         2,
         "dispersao-exato: --matriz \"m.csv\" e ENTRADA \"quatro.csv\" juntas: escolha uma"},
        {{"--svg", "m.svg", "--matriz", "m.csv"},
         2,
         "dispersao-exato: --svg vale apenas para entradas de pontos (.tsp, .csv ou .geojson)"},
        {{"-p", "4", "--matriz", "m.csv"},
         2,
         "dispersao-exato: p = 4 passa do numero de linhas de m.csv (3)"},
    };
    for (const auto& c : cases) {
        const Outcome run = folder.run(c.args);
        EXPECT_EQ(run.status, c.status) << c.first_line;
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')), c.first_line);
        EXPECT_EQ(run.out, "") << c.first_line;
        if (c.status == 2) {
            EXPECT_NE(run.err.find("\nUso: dispersao-exato [opcoes] [ENTRADA]\n"),
                      std::string::npos);
        } else {
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        }
    }
    const Outcome help = folder.run({"--ajuda"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.substr(0, 25), "Uso: dispersao-exato [opc");
    // An answer that cannot be written is not a success.
    const Outcome full = folder.run({"quatro.csv"}, {}, "/dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "Erro ao escrever na saida padrao.\n");
}

TEST(ExatoCommandLine, MemoryExhaustionIsReportedNotACrash) {
#ifdef DISPERSAO_UNDER_ASAN
    GTEST_SKIP() << "a sanitized build cannot start under a virtual-memory limit";
#else
    const Folder folder;
    // The id 10^9 makes the reader keep a table of 10^9 bits: 125 MB against a 96 MiB limit.
    folder.write("ids.tsp",
                 "DIMENSION: 1000000000\nEDGE_WEIGHT_TYPE: EUC_2D\nNODE_COORD_SECTION\n"
                 "1000000000 0 0\n");
    const Outcome limited = folder.run({"ids.tsp"}, {}, "", rlim_t{96} << 20U);
    EXPECT_EQ(limited.status, 1);
    EXPECT_EQ(limited.err, "Falta memoria para ler os pontos do arquivo ids.tsp.\n");
    // Without the limit the file reads as far as its missing points.
    const Outcome unlimited = folder.run({"ids.tsp"});
    EXPECT_EQ(unlimited.err,
              "Erro no arquivo ids.tsp, linha 4: o arquivo tem 1 pontos, mas DIMENSION indica "
              "1000000000.\n");
#endif
}

TEST(ExatoCommandLine, CtrlCAndTimeLimitGiveTheBestFoundWithItsBound) {
    const Folder folder;
    folder.write("grande.csv", random_csv(40000));
    expect_stopped_runs(folder, {"grande.csv"}, 20, std::chrono::seconds(2), 10);
}

TEST(ExatoCommandLine, LargePKeepsTheTimeLimitAndAnswersCtrlC) {
#ifdef DISPERSAO_UNDER_ASAN
    // A sanitized debug build is tens of times slower in the phases between two looks at the
    // clock; the margins below are those of the shipped build.
    GTEST_SKIP() << "timing margins hold for the shipped build only";
#endif
    // 120,000 points in 40 tight clusters, p = 30,000: every phase of the large-selection
    // search has work to stop, and an unlimited run lasts well past the Ctrl-C.
    const Folder folder;
    std::mt19937_64 generator(3);
    std::uniform_real_distribution<double> place(0, 1e6);
    std::normal_distribution<double> spread(0, 3000);
    std::vector<std::pair<double, double>> centres(40);
    for (auto& [x, y] : centres) {
        x = place(generator);
        y = place(generator);
    }
    std::string text = "x,y\n";
    for (int i = 0; i < 120000; ++i) {
        const auto& [x, y] = centres[static_cast<std::size_t>(i) % centres.size()];
        text += std::to_string(x + spread(generator)) + "," +
                std::to_string(y + spread(generator)) + "\n";
    }
    folder.write("grupos.csv", text);
    for (const bool interrupt : {true, false}) {
        const auto start = std::chrono::steady_clock::now();
        const Outcome run =
            interrupt ? folder.run({"--json", "-p", "30000", "grupos.csv"},
                                   std::chrono::milliseconds(1500))
                      : folder.run({"--json", "-p", "30000", "--limite-tempo", "1", "grupos.csv"});
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(run.status, interrupt ? 130 : 0) << run.err;
        // Generous margins: the limit is 1 s, the Ctrl-C comes at 1.5 s.
        EXPECT_LT(seconds, 6) << (interrupt ? "Ctrl-C" : "--limite-tempo 1");
        EXPECT_EQ(json_field(run.out, "otimo"), "false");
        EXPECT_LE(std::stod(json_field(run.out, "valor")),
                  std::stod(json_field(run.out, "limite_superior")));
        // std::regex recurses per character: the 30,000 ids are counted by hand.
        const std::size_t ids = run.out.find("\"ids\":[");
        ASSERT_NE(ids, std::string::npos) << run.out.substr(0, 200);
        const std::size_t end = run.out.find(']', ids);
        EXPECT_EQ(std::count(run.out.begin() + static_cast<std::ptrdiff_t>(ids),
                             run.out.begin() + static_cast<std::ptrdiff_t>(end), ','),
                  29999);
    }
}

// A distance matrix file: names from its header, ids its rows from 1, values real; the
// published MDPLIB instance proven at p = 3, and stopped by a limit or Ctrl-C at p = 50.
TEST(ExatoCommandLine, DistanceMatrixFilesEndToEnd) {
    const Folder folder;
    folder.write("m.csv", "A;B;C;D\n0;1,5;2;3\n1,5;0;4;2,5\n2;4;0;1\n3;2,5;1;0\n");
    const Outcome pair = folder.run({"--json", "-p", "2", "--matriz", "m.csv"});
    ASSERT_EQ(pair.status, 0) << pair.err;
    EXPECT_EQ(json_field(pair.out, "valor"), "4");
    EXPECT_EQ(json_field(pair.out, "ids"), "[2,3]");
    EXPECT_EQ(json_field(pair.out, "nomes"), "[\"B\",\"C\"]");
    const Outcome plain = folder.run({"--matriz", "m.csv"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.out.substr(0, plain.out.find("Tempo")),
              "Entrada: m.csv (4 pontos; distancia a da matriz, real)\n"
              "Pontos escolhidos (p = 3):\n  1  A\n  2  B\n  3  C\n"
              "Menor distancia: 1.5\nOtimo provado.\n");
    // --fixos names rows as the report does, from 1.
    const Outcome fixed = folder.run({"--json", "--fixos", "1,4", "--matriz", "m.csv"});
    ASSERT_EQ(fixed.status, 0) << fixed.err;
    EXPECT_EQ(json_field(fixed.out, "ids"), "[1,2,4]");
    EXPECT_EQ(json_field(fixed.out, "valor"), "1.5");

    const std::string gkd = DISPERSAO_BENCH_DATA "/GKD-c_1_n500_m50.txt";
    const Outcome three = folder.run({"--json", "--matriz", gkd});
    ASSERT_EQ(three.status, 0) << three.err;
    EXPECT_EQ(json_field(three.out, "valor"), "19.84465");
    EXPECT_EQ(json_field(three.out, "otimo"), "true");
    EXPECT_EQ(json_field(three.out, "ids"), "[109,128,326]");
    // The Ctrl-C must come after the matrix is read, when the search listens for it.
    expect_stopped_runs(folder, {"--matriz", gkd}, 50,
                        std::chrono::seconds(test_support::kSlowBuildFactor),
                        6.0 * test_support::kSlowBuildFactor);
}

namespace {}  // namespace

TEST(ExatoCommandLine, MenuInstancesAtAnyPMatchBruteForce) {
    const Folder folder;
    for (const std::string name : {"small", "berlin52"}) {
        const TestMatrix instance = read_menu_instance(fs::path(DISPERSAO_EXAMPLES) / name);
        const auto worth = test_support::menu_worth_in(instance);
        for (const int p : {2, 3, 4, 5}) {
            const auto expected = static_cast<int>(test_support::brute_force_optimum(
                static_cast<std::size_t>(instance.size()), p, worth));
            const Outcome run = folder.run({"--json", "-p", std::to_string(p),
                                            (fs::path(DISPERSAO_EXAMPLES) / name).string()});
            ASSERT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(json_field(run.out, "valor"), std::to_string(expected)) << name << p;
            EXPECT_EQ(json_field(run.out, "otimo"), "true");
            EXPECT_EQ(json_field(run.out, "n"), std::to_string(instance.size()));
            // The printed positions reach the printed value.
            const std::vector<std::size_t> positions = json_ids(run.out);
            ASSERT_EQ(static_cast<int>(positions.size()), p);
            EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()) &&
                        std::adjacent_find(positions.begin(), positions.end()) == positions.end());
            EXPECT_EQ(test_support::value_of(positions, worth), expected);
        }
    }
}

// The chosen positions of a plain report without arguments: the 1s of its selection vector.
std::vector<std::size_t> plain_report_positions(const std::string& out) {
    std::istringstream lines(out);
    std::string line;
    std::getline(lines, line);
    std::getline(lines, line);
    std::getline(lines, line);
    std::istringstream cells(line);
    std::vector<std::size_t> positions;
    int cell = 0;
    for (std::size_t position = 0; cells >> cell; ++position) {
        if (cell == 1) {
            positions.push_back(position);
        }
    }
    return positions;
}

// Run in the folder without arguments, or naming it, the program picks the same three positions,
// ties included: on the world example and on random folders whose distances repeat a lot.
TEST(ExatoCommandLine, BothWaysOfNamingAFolderPickTheSameSelection) {
    const Folder world;
    for (const char* name : {"numcidades.txt", "MatrizDistanciasteste.txt"}) {
        world.write(name, test_support::read_file(fs::path(DISPERSAO_EXAMPLES) / "world" / name));
    }
    std::vector<const Folder*> folders{&world};
    std::vector<std::unique_ptr<Folder>> random_folders;
    std::mt19937_64 random(31);
    for (int trial = 0; trial < 12; ++trial) {
        const int count = 5 + static_cast<int>(random() % 60);
        std::string triples;
        for (int a = 1; a <= count; ++a) {
            for (int b = a + 1; b <= count; ++b) {
                triples +=
                    std::to_string(a) + " " + std::to_string(b) + " " +
                    std::to_string(90 + static_cast<int>(random() % (trial % 2 == 0 ? 4 : 30))) +
                    "\n";
            }
        }
        random_folders.push_back(std::make_unique<Folder>());
        random_folders.back()->write("numcidades.txt", std::to_string(count) + "\n");
        random_folders.back()->write("MatrizDistanciasteste.txt", triples);
        folders.push_back(random_folders.back().get());
    }
    for (const Folder* folder : folders) {
        const Outcome plain = folder->run({});
        ASSERT_EQ(plain.status, 0) << plain.err;
        const Outcome named = folder->run({"--json", folder->path().string()});
        ASSERT_EQ(named.status, 0) << named.err;
        EXPECT_EQ(plain_report_positions(plain.out), json_ids(named.out)) << folder->path();
        EXPECT_EQ(plain_report_positions(plain.out).size(), 3U);
    }
}

// The published optima of the smaller sets: all nine at p = 5, and at p = 10 the five that
// take well under a second; the p = 10 runs on one thread and on two must agree.
TEST(ExatoCommandLine, PublishedOptimaOfTheSmallerPointSetsAtFiveAndTen) {
    const Folder folder;
    std::ifstream published(fs::path(DISPERSAO_POINTS) / "published.csv");
    std::string line;
    int checked = 0;
    while (std::getline(published, line)) {
        std::istringstream fields(line);
        std::string name;
        std::string p;
        std::string value;
        std::getline(fields, name, ',');
        std::getline(fields, p, ',');
        std::getline(fields, value, ',');
        const bool quick = name == "rw1621" || name == "u1817" || name == "rl1889" ||
                           name == "mu1979" || name == "nu3496";
        const bool small = quick || name == "pr2392" || name == "d15112-modif-2500" ||
                           name == "pcb3038" || name == "ca4663";
        if (!(p == "5" && small) && !(p == "10" && quick)) {
            continue;
        }
        const fs::path packed = fs::path(DISPERSAO_POINTS) / (name + ".tsp.xz");
        const fs::path file = folder.path() / (name + ".tsp");
        ASSERT_EQ(
            std::system(("xz -dc '" + packed.string() + "' > '" + file.string() + "'").c_str()), 0);
        for (const char* threads : {"1", "2"}) {
            if (p == "5" && threads[0] == '2') {
                continue;
            }
            const Outcome run = folder.run(
                {"--json", "-p", p, "--threads", threads, "--limite-tempo", "60", file.string()});
            EXPECT_EQ(run.status, 0) << name << run.err;
            EXPECT_EQ(json_field(run.out, "valor"), value) << name << " p " << p;
            EXPECT_EQ(json_field(run.out, "otimo"), "true") << name << " p " << p;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 9 + 5 * 2);
}
