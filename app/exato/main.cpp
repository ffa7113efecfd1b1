// Entry of dispersao-exato: the optimum of a menu instance, a point file or a distance matrix,
// for any p.
//
// Run without arguments it reads the instance of the working directory and prints the best
// three positions in the report it has always printed. Given options or an input it follows
// its command line (see kExactProgram): reading standard input only when it is named "-",
// reporting faults on
// standard error with status 1 (2 for the command line) and status 130 after Ctrl-C.
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <variant>

#include "cli/standard_output.hpp"
#include "exato/command_line.hpp"
#include "exato/exact_input.hpp"
#include "exato/map_file.hpp"
#include "exato/plain_run.hpp"
#include "exato/report.hpp"
#include "exato/search_run.hpp"
#include "points/point_files.hpp"
#include "storage/storage.hpp"

using namespace dispersao;

namespace {

constexpr int kStatusFault = 1;
constexpr int kStatusInterrupted = 130;

// Reads the input the options name, searches it, draws its map if asked and prints the answer;
// returns the status to end with.
int run_with_options(const ExactOptions& options) {
    // The output files' places are made ready before the input is read and searched.
    if (const auto clash = clashing_outputs(options)) {
        return usage_error(kExactProgram, *clash);
    }
    if (!prepare_answer_files(options)) {
        return kStatusFault;
    }
    ExactInput input;
    if (const auto fault = load_exact_input(options, input)) {
        if (fault->usage) {
            return usage_error(kExactProgram, fault->message);
        }
        std::fprintf(stderr, "%s", fault->message.c_str());
        return kStatusFault;
    }
    double seconds = 0;
    const DispersionResult result =
        run_search(options.seconds, integer_values(input), seconds, [&](SearchLimits limits) {
            limits.threads = options.threads;
            return solve_input(input, options.p, limits);
        });
    ExactAnswer answer = answer_of(input, options.p, result, seconds);
    answer.input = !options.matrix.empty()               ? options.matrix
                   : options.input.empty()               ? "pasta atual"
                   : options.input == kStandardInputName ? "entrada padrao"
                                                         : options.input;
    if (input.kind == InputKind::points &&
        !write_answer_files(options, input.points, result, answer, answer.input)) {
        return kStatusFault;
    }
    const std::string text = options.json ? json_report(answer) : plain_report(answer);
    std::fwrite(text.data(), 1, text.size(), stdout);
    // An answer that does not reach its reader is a failure, not a success.
    return finish_standard_output(answer.interrupted ? kStatusInterrupted : 0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc <= 1) {
        // As in the menu program: running out of memory anywhere gives its message, status 1.
        exit_on_memory_exhaustion();
        return run_plain_report();
    }
    try {
        const auto parsed = parse_exact_command_line(argc, argv);
        if (const auto* error = std::get_if<CommandLineError>(&parsed)) {
            return usage_error(kExactProgram, error->message);
        }
        if (const auto* early = std::get_if<EarlyExit>(&parsed)) {
            return finish_standard_output(early->status);
        }
        return run_with_options(std::get<ExactOptions>(parsed));
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "Falta memoria para a busca.\n");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "dispersao-exato: erro inesperado: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "dispersao-exato: erro inesperado.\n");
    }
    return kStatusFault;
}
