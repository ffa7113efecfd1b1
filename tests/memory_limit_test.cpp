// Memory exhaustion for real: the programs under a lowered virtual-memory limit. First a count
// whose matrix fits in the machine but not under the limit; then each program under every
// address-space limit between "cannot start" and "enough": whichever allocation runs out, the
// run either finishes its work or prints the program's memory message and ends with status 1.
// No signal, no half-written file, no truncated input taken as whole.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/files.hpp"
#include "tests/support/sanitizer.hpp"
#include "tests/support/session.hpp"

TEST(MemoryLimit, MatrixBeyondTheLimitEndsWithTheExhaustionMessage) {
#ifdef DISPERSAO_UNDER_ASAN
    GTEST_SKIP() << "a sanitized build cannot start under a virtual-memory limit";
#else
    const SessionFolder folder;
    // 20 001 rows of 80 KB: 1.6 GB of matrix against a 256 MiB limit. The check made before
    // allocating looks at physical memory, which has room, so the allocator is what fails;
    // on a machine with less memory the check refuses first, with the row-table message.
    folder.write("numcidades.txt", "20000\n");
    folder.write("MatrizDistanciasteste.txt", "1 2 17\n");
    const SessionResult result = folder.run("1\n0\n", DISPERSAO_BINARY, "ulimit -v 262144;");
    EXPECT_TRUE(result.output == kMenu + "Falta memoria para alocar a matriz de ponteiros.\n" ||
                result.output == kMenu + "Falta memoria para alocar a matriz de ponteiros\n")
        << result.output;
    EXPECT_EQ(result.status, 1);

    // The same session without the limit gets past the allocation, which shows that the limit
    // is what ran out.
    const SessionResult unlimited = folder.run("1\n0\n");
    EXPECT_EQ(unlimited.status, 0) << unlimited.output;
#endif
}

namespace {

#ifdef DISPERSAO_UNDER_ASAN
constexpr bool kUnderAddressSanitizer = true;
#else
constexpr bool kUnderAddressSanitizer = false;
#endif

namespace fs = std::filesystem;

using test_support::read_file;

struct LimitedRun {
    int status;  // the exit status, or 128 + the signal that ended the run
    std::string output;
    std::string errors;
};

// Runs `argv` (program first) in `folder` with its file ".input" as standard input, under an
// address-space limit of `limit` bytes, capturing both output streams.
LimitedRun run_limited(const fs::path& folder, const std::vector<std::string>& argv, rlim_t limit) {
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    const std::string where = folder.string();
    const pid_t child = ::fork();
    if (child == 0) {
        // Only calls that are safe between fork and exec; 127 says the program never ran.
        if (::chdir(where.c_str()) != 0) {
            ::_exit(127);
        }
        const int input = ::open(".input", O_RDONLY);
        const int output = ::open(".output", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int errors = ::open(".errors", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (input < 0 || output < 0 || errors < 0 || ::dup2(input, 0) < 0 ||
            ::dup2(output, 1) < 0 || ::dup2(errors, 2) < 0) {
            ::_exit(127);
        }
        const rlimit address_space{limit, limit};
        ::setrlimit(RLIMIT_AS, &address_space);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    int raw = 0;
    if (child < 0 || ::waitpid(child, &raw, 0) != child) {
        return {-1, "", "could not run the program"};
    }
    const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return {status, read_file(folder / ".output"), read_file(folder / ".errors")};
}

enum class Outcome {
    not_started,    // the dynamic loader could not map the program
    finished,       // the whole work done, exactly as without a limit
    out_of_memory,  // the memory message and status 1, nothing else changed
    wrong,          // anything else: a signal, another message, a half-done result
};

// Sweeps the limit across the range where a program starts but cannot finish, in about
// kSteps even steps of whole pages, after finding both ends by bisection; `prepare` resets the
// folder before each run and `judge` names its outcome. Returns how many runs were made.
int sweep(const fs::path& folder, const std::vector<std::string>& argv,
          const std::function<void()>& prepare,
          const std::function<Outcome(const LimitedRun&)>& judge) {
    constexpr rlim_t kPage = 4096;
    constexpr rlim_t kSteps = 250;
    int runs = 0;
    const auto outcome_at = [&](rlim_t limit) {
        prepare();
        ++runs;
        const LimitedRun run = run_limited(folder, argv, limit);
        const Outcome outcome = judge(run);
        EXPECT_NE(outcome, Outcome::wrong)
            << "limit " << limit << ": status " << run.status << "\nstdout tail: "
            << run.output.substr(run.output.size() - std::min<std::size_t>(run.output.size(), 200))
            << "\nstderr: " << run.errors;
        return outcome;
    };
    // Bisection for the smallest whole-page limit at which `reached` holds, `high` holding.
    const auto smallest = [&](rlim_t low, rlim_t high,
                              const std::function<bool(Outcome)>& reached) {
        while (high - low > kPage) {
            const rlim_t middle = (low + (high - low) / 2) / kPage * kPage;
            (reached(outcome_at(middle)) ? high : low) = middle;
        }
        return high;
    };
    const rlim_t floor = rlim_t{1} << 20;
    const rlim_t ample = rlim_t{1} << 30;
    {
        // Under the floor the dynamic loader cannot map the program: it says so (127) or, with
        // some layouts of the binary, dies of SIGSEGV itself; the program never runs.
        prepare();
        ++runs;
        const LimitedRun run = run_limited(folder, argv, floor);
        EXPECT_TRUE(run.output.empty() && (run.status == 127 || run.status == 128 + SIGSEGV))
            << "status " << run.status << "\nstdout: " << run.output;
    }
    EXPECT_EQ(outcome_at(ample), Outcome::finished);
    const rlim_t starts =
        smallest(floor, ample, [](Outcome outcome) { return outcome != Outcome::not_started; });
    const rlim_t finishes = smallest(starts - kPage, ample,
                                     [](Outcome outcome) { return outcome == Outcome::finished; });
    const rlim_t step = std::max(kPage, (finishes - starts) / kSteps / kPage * kPage);
    int exhausted = 0;
    for (rlim_t limit = starts; limit <= finishes; limit += step) {
        const Outcome outcome = outcome_at(limit);
        EXPECT_TRUE(outcome == Outcome::finished || outcome == Outcome::out_of_memory)
            << "limit " << limit;
        exhausted += outcome == Outcome::out_of_memory ? 1 : 0;
    }
    // The range held allocations that failed, or the sweep proved nothing.
    EXPECT_GT(exhausted, kSteps / 2) << "from " << starts << " to " << finishes;
    return runs;
}

bool ends_with(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The storage messages that the menu program and dispersao-exato end with when memory runs out.
bool ends_with_memory_message(const std::string& output) {
    return ends_with(output, "Falta memoria para alocar o vetor de ponteiros") ||
           ends_with(output, "Falta memoria para alocar a matriz de ponteiros\n") ||
           ends_with(output, "Falta memoria para alocar a matriz de ponteiros.\n");
}

Outcome judge_storage_program(const LimitedRun& run, const std::string& finished_text) {
    if (run.status == 127 && run.output.empty()) {
        return Outcome::not_started;
    }
    if (!run.errors.empty()) {
        return Outcome::wrong;
    }
    if (run.status == 0 && run.output.find(finished_text) != std::string::npos) {
        return Outcome::finished;
    }
    if (run.status == 1 && ends_with_memory_message(run.output)) {
        return Outcome::out_of_memory;
    }
    return Outcome::wrong;
}

// Sweeps `program` (the menu program or dispersao-exato) with `input` over instance files of
// `count` cities holding the 12-town example, whose optimum stays 65; a finished run prints
// `finished_text`. A count of 1,000 makes a 4 MB matrix, room enough for every allocation of
// the program to fall inside the sweep.
void sweep_storage_program(int count, const std::string& input, const std::string& program,
                           const std::string& finished_text) {
    const SessionFolder folder;
    folder.copy_example("small");
    folder.write("numcidades.txt", std::to_string(count) + "\n");
    folder.write(".input", input);
    const int runs = sweep(
        folder.path(), {program}, [] {},
        [&](const LimitedRun& run) { return judge_storage_program(run, finished_text); });
    testing::Test::RecordProperty("runs", runs);
}

}  // namespace

TEST(AddressSpaceSweep, MenuProgram) {
    if (kUnderAddressSanitizer) {
        GTEST_SKIP() << "a sanitized build cannot start under an address-space limit";
    }
    sweep_storage_program(1000, "1\n2\n0\n", DISPERSAO_BINARY, " segundos\n" + kMenu);
}

TEST(AddressSpaceSweep, ExactCompanion) {
    if (kUnderAddressSanitizer) {
        GTEST_SKIP() << "a sanitized build cannot start under an address-space limit";
    }
    // 1,200 positions: a 5.8 MB matrix, and as much again for the search's pairs.
    sweep_storage_program(1200, "", DISPERSAO_EXACT_BINARY,
                          "Menor dist\xE2ncia = 65.000000 \nTempo de CPU = ");
}

TEST(AddressSpaceSweep, TsplibConverter) {
    if (kUnderAddressSanitizer) {
        GTEST_SKIP() << "a sanitized build cannot start under an address-space limit";
    }
    // 400 cities: 80,000 triples. Each run starts beside the files of an earlier conversion,
    // which a run that runs out of memory must leave exactly as they were.
    const SessionFolder folder;
    std::string text = "DIMENSION: 400\nEDGE_WEIGHT_TYPE: EUC_2D\nNODE_COORD_SECTION\n";
    for (int city = 1; city <= 400; ++city) {
        text += std::to_string(city) + " " + std::to_string(city * 37 % 1000) + " " +
                std::to_string(city * city % 997) + ".5\n";
    }
    folder.write("in.tsp", text);
    folder.write(".input", "");
    const auto prepare = [&] {
        for (const char* name : {"MatrizDistanciasteste.txt.parcial", "numcidades.txt.parcial",
                                 "MatrizDistanciasteste.txt.anterior"}) {
            fs::remove(folder.path() / name);
        }
        folder.write("numcidades.txt", "4\n");
        folder.write("MatrizDistanciasteste.txt", "1 2 3\n");
    };
    // The files as a conversion without a limit writes them.
    prepare();
    const LimitedRun reference =
        run_limited(folder.path(), {DISPERSAO_TSPLIB_BINARY, "in.tsp"}, RLIM_INFINITY);
    ASSERT_EQ(reference.status, 0) << reference.errors;
    const std::string count = read_file(folder.path() / "numcidades.txt");
    const std::string distances = read_file(folder.path() / "MatrizDistanciasteste.txt");
    ASSERT_EQ(count, "400\n");
    const auto only_the_instance_files = [&] {
        return std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()) == 6;
    };
    RecordProperty(
        "runs", sweep(folder.path(), {DISPERSAO_TSPLIB_BINARY, "in.tsp"}, prepare,
                      [&](const LimitedRun& run) {
                          if (run.status == 127 && run.output.empty()) {
                              return Outcome::not_started;
                          }
                          const std::string now_count = read_file(folder.path() / "numcidades.txt");
                          const std::string now_distances =
                              read_file(folder.path() / "MatrizDistanciasteste.txt");
                          if (run.status == 0 && run.output == reference.output &&
                              run.errors.empty() && now_count == count &&
                              now_distances == distances && only_the_instance_files()) {
                              return Outcome::finished;
                          }
                          if (run.status == 1 && run.output.empty() &&
                              (run.errors == "Falta memoria para converter o arquivo in.tsp.\n" ||
                               run.errors == "Falta memoria para ler a linha de comando.\n") &&
                              now_count == "4\n" && now_distances == "1 2 3\n" &&
                              only_the_instance_files()) {
                              return Outcome::out_of_memory;
                          }
                          return Outcome::wrong;
                      }));
}
