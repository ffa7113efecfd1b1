// Entry of dispersao-exato: the optimum of a menu instance, or of a point file, for any p.
//
// Run without arguments it reads the instance of the working directory and prints the best
// three positions in the report it has always printed. Given options or an input it follows
// its command line (see kExactProgram): never reading standard input, reporting faults on
// standard error with status 1 (2 for the command line) and status 130 after Ctrl-C.
#include <array>
#include <atomic>
#include <cctype>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <exception>
#include <filesystem>
#include <new>
#include <string>
#include <string_view>
#include <variant>

#include "cli/standard_output.hpp"
#include "dispersion/dispersion.hpp"
#include "dispersion/triple_search.hpp"
#include "exato/bounds_line.hpp"
#include "exato/command_line.hpp"
#include "exato/report.hpp"
#include "instance/city_names.hpp"
#include "instance/matrix_folder.hpp"
#include "map/answer_map.hpp"
#include "menu/console.hpp"
#include "output/interrupt_cleanup.hpp"
#include "output/pending_file.hpp"
#include "points/point_files.hpp"
#include "storage/storage.hpp"

using namespace dispersao;

namespace {

constexpr int kStatusFault = 1;
constexpr int kStatusInterrupted = 130;

// Set by the SIGINT handler; the search polls it.
std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void stop_search_on_interrupt(int /*signal*/) {
    interrupted.store(true);
    // A second Ctrl-C ends the program at once.
    std::signal(SIGINT, SIG_DFL);
}

// The report of the menu instance in the working directory, as the program has always given
// it, with a line naming the chosen cities when the folder has a names file.
int run_without_arguments() {
    int n = 0;
    int* selection = nullptr;
    float** matrix = nullptr;
    // The loader prints why an instance cannot be used; the search needs none of the seeding
    // it also does, which is harmless here. With no menu, nothing is read from the user.
    if (!load_instance(n, selection, matrix, AfterMissingCount::read_nothing)) {
        return finish_standard_output(kStatusFault);
    }
    const CityNames names = read_city_names(kCityNamesFile, n);
    if (names.status == NamesStatus::failed) {
        std::printf("%s", names.message.c_str());
        release_instance(n, selection, matrix);
        return finish_standard_output(kStatusFault);
    }
    const std::clock_t start = std::clock();
    const ExactOptimum optimum = find_exact_optimum(n, matrix);
    const std::clock_t stop = std::clock();
    for (const int position : optimum.positions) {
        selection[position] = 1;
    }
    std::printf("\nSolucao otima (busca exata):\n");
    print_vector(selection, n);
    std::printf("\nMenor dist\xE2ncia = %f \n", static_cast<double>(optimum.value));
    if (names.status == NamesStatus::read) {
        const std::vector<int> chosen(std::begin(optimum.positions), std::end(optimum.positions));
        std::printf("%s", chosen_names_line(chosen, names.names).c_str());
    }
    std::printf("Tempo de CPU = %f segundos\n",
                static_cast<double>(stop - start) / static_cast<double>(CLOCKS_PER_SEC));
    release_instance(n, selection, matrix);
    return finish_standard_output(0);
}

// Prints `message` and the usage on standard error and returns the usage status.
int usage_fault(const std::string& message) {
    return usage_error(kExactProgram, message);
}

// Returns the value as the map writes it: whole numbers as they are, others to one decimal.
std::string map_value_text(const ExactAnswer& answer) {
    if (answer.integer_values) {
        return format_value(answer.value, true);
    }
    std::array<char, 48> text{};  // a finite distance below 10^40 with one decimal fits
    const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), answer.value,
                                            std::chars_format::fixed, 1);
    return error == std::errc{} ? std::string(text.data(), end) : std::string("?");
}

// Draws `points` and the selection of `result` into the SVG file at `path`, all or nothing;
// returns 0, or kStatusFault after saying why the file could not be written.
int write_map(const std::string& path, const PointSet& points, const DispersionResult& result,
              const std::string& value_text) {
    MapAnswer map{result.chosen, result.chosen[0], result.chosen[1], value_text};
    double closest = point_distance(points, map.closest_first, map.closest_second);
    for (std::size_t a = 0; a < result.chosen.size(); ++a) {
        for (std::size_t b = a + 1; b < result.chosen.size(); ++b) {
            const double d = point_distance(points, result.chosen[a], result.chosen[b]);
            if (d < closest) {
                closest = d;
                map.closest_first = result.chosen[a];
                map.closest_second = result.chosen[b];
            }
        }
    }
    const std::string svg = render_answer_map(points, map);
    // From here an interrupt removes the unfinished file instead of stopping a search.
    remove_temporaries_on_interrupt();
    PendingFile file(path);
    if (file.opened()) {
        std::fwrite(svg.data(), 1, svg.size(), file.file());
    }
    std::optional<std::string> failure;
    if (!file.opened() || !file.close()) {
        failure = write_failure(file.temporary_path());
    } else {
        failure = commit_files({&file});
    }
    if (failure) {
        std::fprintf(stderr, "dispersao-exato: %s\n", failure->c_str());
        return kStatusFault;
    }
    return 0;
}

// True when `path` ends in `extension` (".tsp", say), in any case.
bool has_extension(const std::string& path, std::string_view extension) {
    if (path.size() < extension.size()) {
        return false;
    }
    const std::string_view tail = std::string_view(path).substr(path.size() - extension.size());
    for (std::size_t i = 0; i < tail.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(tail[i])) != extension[i]) {
            return false;
        }
    }
    return true;
}

// Runs the search with the options' limits, Ctrl-C and the progress line in place; returns
// the result and the search's wall-clock seconds.
template <typename Search>
DispersionResult timed_search(const ExactOptions& options, bool integer_values, double& seconds,
                              Search search) {
    BoundsLine progress(terminal_stderr(), integer_values);
    SearchLimits limits;
    limits.seconds = options.seconds;
    limits.threads = options.threads;
    limits.interrupted = &interrupted;
    limits.on_progress = [&progress](double lower, double upper) { progress.update(lower, upper); };
    std::signal(SIGINT, stop_search_on_interrupt);
    const auto start = std::chrono::steady_clock::now();
    DispersionResult result = search(limits);
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    progress.clear();
    return result;
}

// Reads the input the options name and searches it; prints the answer and returns the status.
int run_with_options(const ExactOptions& options) {
    ExactAnswer answer;
    double seconds = 0;
    std::error_code ignored;
    const bool is_folder =
        options.input.empty() || std::filesystem::is_directory(options.input, ignored);
    if (is_folder) {
        MatrixInstance instance;
        if (const auto error = load_matrix_folder(options.input, instance)) {
            std::fprintf(stderr, "%s", error->c_str());
            return kStatusFault;
        }
        if (options.p > instance.n) {
            return usage_fault("p = " + std::to_string(options.p) + " passa do numero de " +
                               "posicoes da instancia (" + std::to_string(instance.n) + ")");
        }
        if (!options.svg.empty()) {
            return usage_fault("--svg desenha apenas entradas de pontos (.tsp ou .csv)");
        }
        const CityNames names =
            read_city_names(options.input.empty()
                                ? std::string(kCityNamesFile)
                                : (std::filesystem::path(options.input) / kCityNamesFile).string(),
                            instance.n);
        if (names.status == NamesStatus::failed) {
            std::fprintf(stderr, "%s", names.message.c_str());
            return kStatusFault;
        }
        const DispersionResult result =
            timed_search(options, true, seconds, [&](const SearchLimits& limits) {
                return solve_matrix_dispersion(instance.n, instance.matrix(), options.p, limits);
            });
        answer = matrix_answer(instance.n, options.p, result, seconds, names.names);
    } else {
        PointFormat format = PointFormat::tsplib;
        if (has_extension(options.input, ".csv")) {
            format = PointFormat::csv;
        } else if (!has_extension(options.input, ".tsp")) {
            return usage_fault("ENTRADA \"" + options.input +
                               "\" nao e uma pasta nem um arquivo .tsp ou .csv");
        }
        PointSet points;
        if (const auto error = read_point_file(options.input, format, points)) {
            std::fprintf(stderr, "%s", describe_point_error(*error, options.input).c_str());
            return kStatusFault;
        }
        if (static_cast<std::size_t>(options.p) > points.size()) {
            return usage_fault("p = " + std::to_string(options.p) + " passa do numero de " +
                               "pontos de " + options.input + " (" + std::to_string(points.size()) +
                               ")");
        }
        const DispersionResult result = timed_search(
            options, integer_distances(points.rule), seconds, [&](const SearchLimits& limits) {
                return solve_point_dispersion(points, options.p, limits);
            });
        answer = point_answer(points, options.p, result, seconds);
        if (!options.svg.empty()) {
            const int status = write_map(options.svg, points, result, map_value_text(answer));
            if (status != 0) {
                return status;
            }
        }
    }
    answer.input = options.input.empty() ? "pasta atual" : options.input;
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
        return run_without_arguments();
    }
    try {
        const auto parsed = parse_exact_command_line(argc, argv);
        if (const auto* error = std::get_if<CommandLineError>(&parsed)) {
            return usage_fault(error->message);
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
