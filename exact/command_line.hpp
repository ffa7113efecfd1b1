// The command line of dispersao-exato: its options, their parsing and the usage text.
#pragma once

#include <limits>
#include <string>
#include <variant>

// What the command line asks for.
struct ExactOptions {
    int p = 3;                                                 // points to choose, >= 2
    double seconds = std::numeric_limits<double>::infinity();  // --limite-tempo, >= 0
    bool json = false;                                         // --json
    bool help = false;                                         // --ajuda or -h
    std::string input;  // ENTRADA: a folder, a .tsp or a .csv file; empty for the working folder
};

// A command line that cannot be followed, with the one line that says why (no newline).
struct CommandLineError {
    std::string message;
};

// Reads argv[1..argc-1]: options "-p P", "--limite-tempo SEGUNDOS", "--json", "--ajuda" (or
// "-h"), each value after a space or after "=", in any order and mixed with at most one
// ENTRADA; "--" ends the options. A repeated option keeps its last value. Precondition: argv
// holds argc strings.
[[nodiscard]] std::variant<ExactOptions, CommandLineError> parse_command_line(
    int argc, const char* const* argv);

// The usage text, several lines, each ending in a newline.
[[nodiscard]] std::string usage_text();
