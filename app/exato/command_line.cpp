// Reading of dispersao-exato's command line.
#include "exato/command_line.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>
#include <utility>

#include "exato/fixed_ids.hpp"

namespace dispersao {

const ProgramText kExactProgram{
    "dispersao-exato",
    "Uso: dispersao-exato [opcoes] [ENTRADA]\n"
    "     dispersao-exato [opcoes] --matriz ARQUIVO\n",
    "\n"
    "Escolhe P pontos cuja menor distancia entre dois deles seja a maior possivel, e prova\n"
    "que nenhuma escolha faz melhor (com P de 30 ou mais e mais de 10000 pontos, da a\n"
    "escolha com um limite superior, sem prova).\n"
    "\n"
    "ENTRADA: uma pasta com numcidades.txt e MatrizDistanciasteste.txt (e, se houver,\n"
    "nomes.txt); sem ENTRADA, a pasta atual. Ou um arquivo de pontos: TSPLIB .tsp (EUC_2D,\n"
    "CEIL_2D, ATT, GEO), CSV .csv (colunas x,y ou lat,lon e, se quiser, nome e id; separador\n"
    "virgula, ponto e virgula ou tabulacao) ou GeoJSON .geojson (pontos [lon, lat]); outro\n"
    "nome, ou - para a entrada padrao, pelo conteudo.\n"
    "\n"
    "--matriz ARQUIVO: uma matriz de distancias quadrada, simetrica, de numeros reais >= 0,\n"
    "usados como estao: CSV (separado por virgula, ponto e virgula, tabulacao ou espacos;\n"
    "com ponto e virgula, virgula decimal; uma primeira linha de nomes, se quiser) ou o\n"
    "formato MDPLIB (\"n m\", depois linhas \"i j d\" com posicoes de 0 a n-1). A diagonal e\n"
    "ignorada; os ids da resposta sao as linhas, de 1 a n.\n"
    "\n"
    "Opcoes:\n"
    "  -p P                      escolhe P pontos (2 ou mais; padrao 3)\n"
    "  --limite-tempo SEGUNDOS   para a busca apos SEGUNDOS, com os limites encontrados\n"
    "  --threads N               usa N linhas de execucao (padrao: uma por nucleo)\n"
    "  --json                    escreve o resultado como um objeto JSON\n"
    "  --svg ARQUIVO             desenha os pontos e a escolha em ARQUIVO (entradas de pontos)\n"
    "  --geojson ARQUIVO         grava os pontos escolhidos em GeoJSON (entradas lat, lon)\n"
    "  --csv ARQUIVO             grava o cabecalho e as linhas escolhidas (entradas de pontos)\n"
    "  --matriz ARQUIVO          le a matriz de distancias de ARQUIVO em vez de uma ENTRADA\n"
    "  --fixos ID,ID,...         inclui estes pontos (ids do relatorio) e escolhe os demais\n"
    "  -h, --help                mostra esta ajuda\n"
    "  --version                 mostra a versao\n"
    "\n"
    "Pastas que faltem no caminho de ARQUIVO sao criadas; um ARQUIVO que exista e nao seja um\n"
    "arquivo comum (pasta, dispositivo, FIFO) e recusado antes da busca.\n"
    "Sem argumentos, escreve o relatorio de sempre da instancia da pasta atual (P = 3).\n"
    "Ctrl-C para a busca e mostra a melhor escolha achada com o seu limite (status 130).\n"
    "\n"
    "Exemplos:\n"
    "  dispersao-exato -p 5 --svg mapa.svg pontos.csv\n"
    "  dispersao-exato --json --limite-tempo 60 -p 10 pr2392.tsp\n"
    "  dispersao-exato -p 4 --geojson escolhidos.geojson --csv escolhidos.csv lojas.csv\n"
    "  dispersao-exato -p 5 --matriz distancias.csv\n"};

namespace {

constexpr std::array<KnownOption, 10> kOptions{{
    {"p", 'p', true},
    {"limite-tempo", '\0', true},
    {"threads", '\0', true},
    {"json", '\0', false},
    {"svg", '\0', true},
    {"geojson", '\0', true},
    {"csv", '\0', true},
    {"matriz", '\0', true},
    {"ajuda", '\0', false},
    {"fixos", '\0', true},
}};

// Parses all of `text` as a finite number of seconds >= 0 into `seconds`; false otherwise.
[[nodiscard]] bool parse_seconds(std::string_view text, double& seconds) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    return error == std::errc{} && end == text.data() + text.size() && !text.empty() &&
           std::isfinite(seconds) && seconds >= 0;
}

}  // namespace

std::variant<ExactOptions, CommandLineError, EarlyExit> parse_exact_command_line(
    int argc, const char* const* argv) {
    const auto parsed = parse_command_line(argc, argv, kOptions);
    if (const auto* problem = std::get_if<std::string>(&parsed)) {
        return CommandLineError{*problem};
    }
    CommandLine line = std::get<CommandLine>(parsed);
    if (line.has("ajuda")) {
        line.options.push_back({"help", {}});
    }
    if (const auto status = answer_help_or_version(line, kExactProgram)) {
        return EarlyExit{*status};
    }
    ExactOptions options;
    if (line.operands.size() > 1) {
        return CommandLineError{"mais de uma ENTRADA: \"" + line.operands[0] + "\" e \"" +
                                line.operands[1] + "\""};
    }
    if (!line.operands.empty()) {
        options.input = line.operands[0];
    }
    if (const auto text = line.last("p")) {
        const auto p = whole_number_in(*text, 2, std::numeric_limits<int>::max());
        if (!p) {
            return CommandLineError{"-p quer um numero inteiro de pontos, pelo menos 2, nao \"" +
                                    *text + "\""};
        }
        options.p = static_cast<int>(*p);
    }
    if (const auto text = line.last("limite-tempo");
        text && !parse_seconds(*text, options.seconds)) {
        return CommandLineError{"--limite-tempo quer um numero de segundos, 0 ou mais, nao \"" +
                                *text + "\""};
    }
    if (const auto text = line.last("threads")) {
        const auto threads = whole_number_in(*text, 1, kMaxThreads);
        if (!threads) {
            return CommandLineError{"--threads quer um numero inteiro de 1 a " +
                                    std::to_string(kMaxThreads) + ", nao \"" + *text + "\""};
        }
        options.threads = static_cast<int>(*threads);
    }
    options.json = line.has("json");
    for (const auto& [name, field] :
         {std::pair{"svg", &options.svg}, std::pair{"geojson", &options.geojson},
          std::pair{"csv", &options.csv}}) {
        *field = line.last(name).value_or("");
        if (line.has(name) && field->empty()) {
            return CommandLineError{"--" + std::string(name) + " quer o nome de um arquivo"};
        }
    }
    options.matrix = line.last("matriz").value_or("");
    if (line.has("matriz") && options.matrix.empty()) {
        return CommandLineError{"--matriz quer o nome de um arquivo"};
    }
    if (!options.matrix.empty() && !options.input.empty()) {
        return CommandLineError{"--matriz \"" + options.matrix + "\" e ENTRADA \"" + options.input +
                                "\" juntas: escolha uma"};
    }
    if (const auto text = line.last("fixos")) {
        const auto ids = parse_fixed_ids(*text);
        if (!ids) {
            return CommandLineError{"--fixos quer ids separados por virgulas, nao \"" + *text +
                                    "\""};
        }
        options.fixed = *ids;
    }
    return options;
}

}  // namespace dispersao
