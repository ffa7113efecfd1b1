// Entry of dispersao-tsplib: converts a TSPLIB or CSV point file into the instance files of the
// menu program.
#include <array>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.hpp"
#include "cli/standard_output.hpp"
#include "conversion/conversion.hpp"
#include "dispersion/dispersion.hpp"
#include "instance/city_names.hpp"
#include "instance/instance_files.hpp"
#include "output/interrupt_cleanup.hpp"
#include "output/output_place.hpp"
#include "points/point_files.hpp"
#include "progress/progress_line.hpp"

using namespace dispersao;

namespace {

constexpr ProgramText kProgram{
    "dispersao-tsplib", "Uso: dispersao-tsplib [--pasta PASTA] ARQUIVO\n",
    "\n"
    "Converte um arquivo de pontos nos arquivos numcidades.txt e MatrizDistanciasteste.txt do\n"
    "programa de menu: a distancia de cada par de cidades, na escala em que a maior distancia\n"
    "vale 110, truncada. Aceita TSPLIB .tsp (NODE_COORD_SECTION, EDGE_WEIGHT_TYPE EUC_2D,\n"
    "CEIL_2D, ATT ou GEO), CSV .csv (colunas x,y ou lat,lon e, se quiser, nome; separador\n"
    "virgula, ponto e virgula ou tabulacao) e GeoJSON .geojson (pontos [lon, lat]); outro nome,\n"
    "ou - para a entrada padrao, pelo conteudo. Quando os pontos tem nome, grava tambem\n"
    "nomes.txt (linha k: o nome da cidade k). Os arquivos anteriores so sao substituidos\n"
    "quando os novos estao completos.\n"
    "\n"
    "Opcoes:\n"
    "  --pasta PASTA   grava os arquivos em PASTA, criada se faltar (a pasta atual se omitida)\n"
    "  -h, --help      mostra esta ajuda\n"
    "  --version       mostra a versao\n"
    "\n"
    "Exemplo:\n"
    "  dispersao-tsplib --pasta berlin52 berlin52.tsp\n"};

constexpr std::array<KnownOption, 1> kOptions{{{"pasta", '\0', true}}};

// The file being converted, for the memory message; null while the command line is read.
const char* converted_path = nullptr;

// Removes the temporary files, prints the memory message and ends with status 1.
[[noreturn]] void on_memory_exhaustion() {
    remove_temporaries_now();
    if (converted_path == nullptr) {
        std::fputs("Falta memoria para ler a linha de comando.\n", stderr);
    } else {
        std::fprintf(stderr, "Falta memoria para converter o arquivo %s.\n", converted_path);
    }
    std::exit(1);
}

// Returns the distance of points a and b of `points` that the conversion scales: the Euclidean
// distance of the coordinates for planar rules (TSPLIB's rounding is left to the scaling), and
// the rule's own distance on the sphere.
[[nodiscard]] double conversion_distance(const PointSet& points, std::size_t a, std::size_t b) {
    switch (points.rule) {
        case DistanceRule::tsplib_geo:
        case DistanceRule::great_circle_km:
            return point_distance(points, a, b);
        case DistanceRule::tsplib_euc_2d:
        case DistanceRule::tsplib_ceil_2d:
        case DistanceRule::tsplib_att:
        case DistanceRule::euclidean:
            break;
    }
    return euclidean_distance({points.x[a], points.y[a]}, {points.x[b], points.y[b]});
}

// Prints what went wrong: a fault of the input names the file, a failure to write only the
// output.
void report(const char* path, const ConversionError& error) {
    if (error.writing) {
        std::fprintf(stderr, "dispersao-tsplib: %s\n", error.message.c_str());
    } else if (error.line > 0) {
        std::fprintf(stderr, "Erro no arquivo %s, linha %ld: %s\n", path, error.line,
                     error.message.c_str());
    } else {
        std::fprintf(stderr, "Erro no arquivo %s: %s\n", path, error.message.c_str());
    }
}

// Reads the points of the file at `path` ("-" for standard input), showing the progress line
// while it reads; returns 0, or 1 after printing why it cannot.
int read_points(const char* path, PointSet& points) {
    std::error_code no_size;
    const std::uintmax_t size =
        path == kStandardInputName ? 0 : std::filesystem::file_size(path, no_size);
    ProgressLine progress(stderr, path, no_size ? 0 : size);
    PointReadOptions options;
    options.progress = [&progress](std::size_t bytes) { progress.advance(bytes); };
    const auto error = read_point_file(path, point_format_of_name(path), points, options);
    progress.finish();
    if (error) {
        if (error->failure == PointFailure::no_memory) {
            on_memory_exhaustion();
        }
        std::fprintf(stderr, "%s", describe_point_error(*error, path).c_str());
        return 1;
    }
    return 0;
}

// Converts the file at `path` into the instance files of `folder` ("" for the working folder);
// returns the exit status after printing any message.
int convert(const char* path, const std::string& folder) {
    // The output's place is made ready, or refused, before the file is read; a folder made
    // for it goes again if nothing is written.
    NewFolders made(folder);
    if (const auto failure = prepare_output_folder(folder, {kDistanceFile, kCityCountFile})) {
        std::fprintf(stderr, "dispersao-tsplib: %s\n", failure->c_str());
        return 1;
    }
    PointSet points;
    if (read_points(path, points) != 0) {
        return 1;
    }
    if (points.size() < 3 || points.size() > static_cast<std::size_t>(kMaxTsplibCities)) {
        std::fprintf(stderr, "Erro no arquivo %s: sao necessarias de 3 a %d cidades, e ha %zu.\n",
                     path, kMaxTsplibCities, points.size());
        return 1;
    }
    // City k of the instance is the point whose id is k: TSPLIB ids are 1..n in any order, CSV
    // and GeoJSON ids the rows or features.
    const std::vector<std::size_t> at = positions_by_id(points);
    std::vector<std::string> names;
    for (std::size_t k = 0; k < points.size() && !points.names.empty(); ++k) {
        names.push_back(points.names[at[k]]);
    }
    if (const auto error = write_instance_files(
            folder, points.size(),
            [&](std::size_t a, std::size_t b) { return conversion_distance(points, at[a], at[b]); },
            names)) {
        report(path, *error);
        return 1;
    }
    made.keep();
    const std::string prefix = folder.empty() ? "" : folder + "/";
    if (names.empty()) {
        std::printf("%zu cidades gravadas em %s%s e %s%s.\n", points.size(), prefix.c_str(),
                    kCityCountFile, prefix.c_str(), kDistanceFile);
    } else {
        std::printf("%zu cidades gravadas em %s%s, %s%s e %s%s.\n", points.size(), prefix.c_str(),
                    kCityCountFile, prefix.c_str(), kDistanceFile, prefix.c_str(), kCityNamesFile);
    }
    return 0;
}

// Follows the command line; returns the exit status.
int run(int argc, const char* const* argv) {
    const auto read = read_command_line(argc, argv, kOptions, kProgram);
    if (const auto* status = std::get_if<int>(&read)) {
        return finish_standard_output(*status);
    }
    const CommandLine& line = std::get<CommandLine>(read);
    if (line.operands.size() != 1) {
        return usage_error(kProgram, "e necessario um arquivo, e foram dados " +
                                         std::to_string(line.operands.size()));
    }
    converted_path = line.operands[0].c_str();
    return finish_standard_output(convert(converted_path, line.last("pasta").value_or("")));
}

}  // namespace

int main(int argc, char** argv) {
    remove_temporaries_on_interrupt();
    // Exhaustion ends the program at the failing allocation itself, with no unwinding that could
    // itself need memory; the earlier files are untouched at every point where it can happen.
    std::set_new_handler(on_memory_exhaustion);
    try {
        return run(argc, argv);
    } catch (const std::exception& error) {
        // Nothing the conversion calls is expected to throw; if it does, the temporary files
        // go and the failure is said, not swallowed.
        remove_temporaries_now();
        std::fprintf(stderr, "dispersao-tsplib: erro inesperado: %s\n", error.what());
        return 1;
    }
}
