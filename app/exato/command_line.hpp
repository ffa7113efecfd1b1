// The command line of dispersao-exato: its options, their reading and its texts.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <variant>
#include <vector>

#include "cli/command_line.hpp"
#include "dispersao/dispersao.hpp"

namespace dispersao {

// What the command line asks for.
struct ExactOptions {
    int p = 3;                                                 // points to choose, >= 2
    double seconds = std::numeric_limits<double>::infinity();  // --limite-tempo, >= 0
    bool json = false;                                         // --json
    int threads = 0;      // --threads: worker threads of the search; 0 for one per core
    std::string svg;      // --svg: where to draw the answer's map; empty for none
    std::string geojson;  // --geojson: where to write the chosen sites as GeoJSON; empty for none
    std::string csv;      // --csv: where to write the chosen rows as CSV; empty for none
    std::string input;    // ENTRADA: a folder, a point file or "-"; empty for the working folder
    std::string matrix;   // --matriz: a distance matrix file instead of ENTRADA; empty for none
    std::vector<std::int64_t> fixed;  // --fixos: ids already chosen, as the reports show them
};

// The program's name, usage and help, by the convention every companion follows.
extern const ProgramText kExactProgram;

// A command line that cannot be followed, with the one line that says why (no newline).
struct CommandLineError {
    std::string message;
};

// What to do instead of a search: end at once with this status, help or version printed.
struct EarlyExit {
    int status;
};

// Reads argv[1..argc-1]: options "-p P", "--limite-tempo SEGUNDOS", "--threads N" (1 to
// kMaxThreads), "--json", "--svg ARQUIVO", "--geojson ARQUIVO", "--csv ARQUIVO" (no two
// naming the same file), "--matriz ARQUIVO" (never with an ENTRADA), "--fixos ID,ID,...",
// each value after a space or after "=", in any order and mixed with at most one ENTRADA;
// "--" ends the options; -h/--help (or --ajuda) and --version print their text. A repeated
// option keeps its last value. Precondition: argv holds argc strings.
[[nodiscard]] std::variant<ExactOptions, CommandLineError, EarlyExit> parse_exact_command_line(
    int argc, const char* const* argv);

}  // namespace dispersao
