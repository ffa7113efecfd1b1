// Entry of dispersao-tsplib: converts a TSPLIB or CSV point file into the instance files of the
// menu program.
#include <array>
#include <cerrno>
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
#include "points/point_files.hpp"
#include "progress/progress_line.hpp"

using namespace dispersao;

namespace {

constexpr ProgramText kProgram{
    "dispersao-tsplib", "Uso: dispersao-tsplib [--pasta PASTA] ARQUIVO.tsp\n",
    "\n"
    "Converte um arquivo de pontos nos arquivos numcidades.txt e MatrizDistanciasteste.txt do\n"
    "programa de menu: a distancia de cada par de cidades, na escala em que a maior distancia\n"
    "vale 110, truncada. Aceita TSPLIB (NODE_COORD_SECTION, EDGE_WEIGHT_TYPE EUC_2D, CEIL_2D,\n"
    "ATT ou GEO) e CSV (colunas x,y ou lat,lon e, se quiser, nome). Quando os pontos tem nome,\n"
    "grava tambem nomes.txt (linha k: o nome da cidade k). Os arquivos anteriores so sao\n"
    "substituidos quando os novos estao completos.\n"
    "\n"
    "Opcoes:\n"
    "  --pasta PASTA   grava os arquivos em PASTA (a pasta atual se omitida)\n"
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

void report(const char* path, const ConversionError& error) {
    if (error.line > 0) {
        std::fprintf(stderr, "Erro no arquivo %s, linha %ld: %s\n", path, error.line,
                     error.message.c_str());
    } else {
        std::fprintf(stderr, "Erro no arquivo %s: %s\n", path, error.message.c_str());
    }
}

// Reads the whole file at `path` into `text`; returns 0, or 1 after printing why it cannot.
// A folder given as the file opens but cannot be read, and is reported as unreadable.
int read_whole_file(const char* path, std::string& text) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        if (errno == ENOMEM) {
            on_memory_exhaustion();
        }
        std::fprintf(stderr, "O arquivo %s nao pode ser aberto.\n", path);
        return 1;
    }
    // Bytes read by one call; 64 KiB keeps the calls few.
    char block[1 << 16];
    std::size_t got = 0;
    std::error_code no_size;
    const std::uintmax_t size = std::filesystem::file_size(path, no_size);
    ProgressLine progress(stderr, path, no_size ? 0 : size);
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
        text.append(block, got);
        progress.advance(got);
    }
    progress.finish();
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        std::fprintf(stderr, "Erro ao ler o arquivo %s.\n", path);
        return 1;
    }
    return 0;
}

// Converts the file at `path` into the instance files of `folder` ("" for the working folder);
// returns the exit status after printing any message.
int convert(const char* path, const std::string& folder) {
    std::string text;
    if (read_whole_file(path, text) != 0) {
        return 1;
    }
    const std::string_view name(path);
    const bool is_csv = name.size() >= 4 && (name.substr(name.size() - 4) == ".csv" ||
                                             name.substr(name.size() - 4) == ".CSV");
    PointSet points;
    const ByteSource source = memory_source(text.data(), text.size());
    if (const auto error = is_csv ? parse_csv_points(source, points, text.size())
                                  : parse_tsplib_points(source, points)) {
        if (error->failure == PointFailure::no_memory) {
            on_memory_exhaustion();
        }
        std::fprintf(stderr, "%s", describe_point_error(*error, path).c_str());
        return 1;
    }
    std::string().swap(text);
    if (points.size() < 3 || points.size() > static_cast<std::size_t>(kMaxTsplibCities)) {
        std::fprintf(stderr, "Erro no arquivo %s: sao necessarias de 3 a %d cidades, e ha %zu.\n",
                     path, kMaxTsplibCities, points.size());
        return 1;
    }
    // City k of the instance is the point whose id is k: TSPLIB ids are 1..n in any order, CSV
    // ids the data rows. at[k - 1] is that point's position in the file.
    std::vector<std::size_t> at(points.size());
    for (std::size_t position = 0; position < points.size(); ++position) {
        at[static_cast<std::size_t>(points.ids[position] - 1)] = position;
    }
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
