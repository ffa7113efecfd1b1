// Parsing of dispersao-exato's command line.
#include "exact/command_line.hpp"

#include <charconv>
#include <cmath>
#include <string_view>

namespace {

// Parses all of `text` as an integer in 2..2^31-1 into `p`; false otherwise.
[[nodiscard]] bool parse_p(std::string_view text, int& p) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), p);
    return error == std::errc{} && end == text.data() + text.size() && !text.empty() && p >= 2;
}

// Parses all of `text` as a finite number of seconds >= 0 into `seconds`; false otherwise.
[[nodiscard]] bool parse_seconds(std::string_view text, double& seconds) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    return error == std::errc{} && end == text.data() + text.size() && !text.empty() &&
           std::isfinite(seconds) && seconds >= 0;
}

}  // namespace

std::variant<ExactOptions, CommandLineError> parse_command_line(int argc, const char* const* argv) {
    ExactOptions options;
    bool have_input = false;
    bool options_ended = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const bool is_option = !options_ended && argument.size() > 1 && argument[0] == '-';
        if (!is_option) {
            if (have_input) {
                return CommandLineError{"mais de uma ENTRADA: \"" + options.input + "\" e \"" +
                                        std::string(argument) + "\""};
            }
            options.input = argument;
            have_input = true;
            continue;
        }
        if (argument == "--") {
            options_ended = true;
            continue;
        }
        // The name, and the value when it is glued on with '='.
        const std::size_t equals = argument.find('=');
        const std::string_view name = argument.substr(0, equals);
        const bool takes_value = name == "-p" || name == "--limite-tempo";
        if (!takes_value) {
            if (equals != std::string_view::npos) {
                return CommandLineError{"a opcao " + std::string(name) + " nao leva valor"};
            }
            if (name == "--json") {
                options.json = true;
            } else if (name == "--ajuda" || name == "-h") {
                options.help = true;
            } else {
                return CommandLineError{"opcao desconhecida: " + std::string(argument)};
            }
            continue;
        }
        std::string_view value;
        if (equals != std::string_view::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            return CommandLineError{"falta o valor da opcao " + std::string(name)};
        }
        if (name == "-p" && !parse_p(value, options.p)) {
            return CommandLineError{"-p quer um numero inteiro de pontos, pelo menos 2, nao \"" +
                                    std::string(value) + "\""};
        }
        if (name == "--limite-tempo" && !parse_seconds(value, options.seconds)) {
            return CommandLineError{"--limite-tempo quer um numero de segundos, 0 ou mais, nao \"" +
                                    std::string(value) + "\""};
        }
    }
    return options;
}

std::string usage_text() {
    return "Uso: dispersao-exato [opcoes] [ENTRADA]\n"
           "  ENTRADA: uma pasta com numcidades.txt e MatrizDistanciasteste.txt (sem ENTRADA,\n"
           "           a pasta atual), um arquivo TSPLIB .tsp ou um arquivo .csv\n"
           "  -p P                    escolhe P pontos (2 ou mais; padrao 3)\n"
           "  --limite-tempo SEGUNDOS para a busca apos SEGUNDOS com os limites encontrados\n"
           "  --json                  escreve o resultado como um objeto JSON\n"
           "  --ajuda, -h             mostra este texto\n";
}
