// The command-line convention shared by the companion programs: long options written with
// "--", values after a space or "=", -h/--help and --version in every program, and one line
// plus the usage, with status 2, for a command line that cannot be followed.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace dispersao {

// One option a program takes.
struct KnownOption {
    std::string_view name;     // long name without the leading "--", e.g. "limite-tempo"
    char short_name = '\0';    // one-letter name used with a single "-", '\0' when there is none
    bool takes_value = false;  // whether a value follows the option
};

// An option as the command line gives it.
struct GivenOption {
    std::string_view name;  // its long name, as in its KnownOption
    std::string value;      // its value; empty for an option that takes none
};

// A command line split into its options, in the order given, and its other arguments.
struct CommandLine {
    std::vector<GivenOption> options;
    std::vector<std::string> operands;

    // Returns the value of the last `name` given, or nothing when it was not given.
    [[nodiscard]] std::optional<std::string> last(std::string_view name) const;
    // Returns whether `name` was given at all.
    [[nodiscard]] bool has(std::string_view name) const { return last(name).has_value(); }
};

// Splits argv[1..argc-1] by `known`: "--name value", "--name=value", "-n value" and "-n=value"
// for options that take a value; "--name" and "-n" for the others; "--" ends the options and
// "-" alone is an operand. -h/--help and --version are always known. Returns the split, or
// the one line (no newline) that says what is wrong. Precondition: argv holds argc strings.
[[nodiscard]] std::variant<CommandLine, std::string> parse_command_line(
    int argc, const char* const* argv, std::span<const KnownOption> known);

// The texts a program shows about itself.
struct ProgramText {
    std::string_view name;   // e.g. "dispersao-tsplib"
    std::string_view usage;  // the usage lines, each ending in a newline
    std::string_view help;   // what follows the usage in --help: options, an example
};

// Returns "<name> <version>\n", the --version text.
[[nodiscard]] std::string version_text(std::string_view name);

// Handles -h/--help and --version when `line` holds one of them: prints the usage and help, or
// the version, on standard output and returns 0, the status to end with. Returns nothing when
// neither was given.
[[nodiscard]] std::optional<int> answer_help_or_version(const CommandLine& line,
                                                        const ProgramText& program);

// Splits argv as parse_command_line does and answers what needs nothing more: a command line
// that cannot be followed (usage_error, status 2), help or version (answer_help_or_version,
// status 0). Returns the command line to follow, or the status to end with.
[[nodiscard]] std::variant<CommandLine, int> read_command_line(int argc, const char* const* argv,
                                                               std::span<const KnownOption> known,
                                                               const ProgramText& program);

// Prints "<name>: <problem>" and the usage on standard error and returns 2, the status of a
// command line that cannot be followed.
int usage_error(const ProgramText& program, std::string_view problem);

// Returns `text` read as a whole decimal integer in [low, high], or nothing.
[[nodiscard]] std::optional<long long> whole_number_in(std::string_view text, long long low,
                                                       long long high);

}  // namespace dispersao
