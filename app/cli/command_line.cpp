// The command-line convention shared by the companion programs.
#include "cli/command_line.hpp"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cstdio>

#include "dispersao/dispersao.hpp"

namespace dispersao {

namespace {

// The options every program knows, besides its own.
constexpr KnownOption kHelp{"help", 'h', false};
constexpr KnownOption kVersion{"version", '\0', false};

// Returns the option named by `word` (without its dashes), long or short, or null.
[[nodiscard]] const KnownOption* find_known(std::span<const KnownOption> known,
                                            std::string_view word, bool is_long) {
    const auto matches = [&](const KnownOption& option) {
        return is_long ? option.name == word : word.size() == 1 && option.short_name == word[0];
    };
    for (const KnownOption* option : {&kHelp, &kVersion}) {
        if (matches(*option)) {
            return option;
        }
    }
    const auto found = std::find_if(known.begin(), known.end(), matches);
    return found == known.end() ? nullptr : &*found;
}

}  // namespace

std::optional<std::string> CommandLine::last(std::string_view name) const {
    for (auto option = options.rbegin(); option != options.rend(); ++option) {
        if (option->name == name) {
            return option->value;
        }
    }
    return std::nullopt;
}

std::variant<CommandLine, std::string> parse_command_line(int argc, const char* const* argv,
                                                          std::span<const KnownOption> known) {
    assert(argc >= 0);
    CommandLine line;
    bool options_ended = false;
    for (int k = 1; k < argc; ++k) {
        const std::string_view argument = argv[k];
        if (options_ended || argument.size() < 2 || argument[0] != '-') {
            line.operands.emplace_back(argument);
            continue;
        }
        if (argument == "--") {
            options_ended = true;
            continue;
        }
        const bool is_long = argument[1] == '-';
        const std::string_view body = argument.substr(is_long ? 2 : 1);
        const std::size_t equals = body.find('=');
        const std::string_view word = body.substr(0, equals);
        const KnownOption* option = find_known(known, word, is_long);
        if (option == nullptr) {
            return "opcao desconhecida: " + std::string(argument);
        }
        GivenOption given{option->name, {}};
        if (option->takes_value) {
            if (equals != std::string_view::npos) {
                given.value = body.substr(equals + 1);
            } else if (k + 1 < argc) {
                given.value = argv[++k];
            } else {
                return "falta o valor da opcao " + std::string(argument);
            }
        } else if (equals != std::string_view::npos) {
            return "a opcao " + std::string(argument.substr(0, argument.find('='))) +
                   " nao leva valor";
        }
        line.options.push_back(std::move(given));
    }
    return line;
}

std::string version_text(std::string_view name) {
    return std::string(name) + " " + version() + "\n";
}

std::optional<int> answer_help_or_version(const CommandLine& line, const ProgramText& program) {
    std::string text;
    if (line.has(kHelp.name)) {
        text = std::string(program.usage) + std::string(program.help);
    } else if (line.has(kVersion.name)) {
        text = version_text(program.name);
    } else {
        return std::nullopt;
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

std::variant<CommandLine, int> read_command_line(int argc, const char* const* argv,
                                                 std::span<const KnownOption> known,
                                                 const ProgramText& program) {
    auto parsed = parse_command_line(argc, argv, known);
    if (const auto* problem = std::get_if<std::string>(&parsed)) {
        return usage_error(program, *problem);
    }
    CommandLine& line = std::get<CommandLine>(parsed);
    if (const auto status = answer_help_or_version(line, program)) {
        return *status;
    }
    return std::move(line);
}

int usage_error(const ProgramText& program, std::string_view problem) {
    std::fprintf(stderr, "%.*s: %.*s\n%.*s", static_cast<int>(program.name.size()),
                 program.name.data(), static_cast<int>(problem.size()), problem.data(),
                 static_cast<int>(program.usage.size()), program.usage.data());
    return 2;
}

std::optional<long long> whole_number_in(std::string_view text, long long low, long long high) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || text.empty() || value < low ||
        value > high) {
        return std::nullopt;
    }
    return value;
}

}  // namespace dispersao
