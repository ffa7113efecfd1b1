// Entry of dispersao-gerar: writes a random instance, either the two files of the menu program
// (points in a square, rounded Euclidean distances) or a point file for dispersao-exato.
#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "cli/command_line.hpp"
#include "cli/standard_output.hpp"
#include "generator/random_points.hpp"
#include "instance/city_names.hpp"
#include "instance/instance_files.hpp"
#include "output/interrupt_cleanup.hpp"
#include "output/output_place.hpp"
#include "output/pending_file.hpp"

using namespace dispersao;

namespace {

constexpr ProgramText kProgram{
    "dispersao-gerar",
    "Uso: dispersao-gerar [--semente S] [--lado L] CIDADES PASTA\n"
    "     dispersao-gerar --pontos uniforme|agrupado [--semente S] [--lado L] PONTOS ARQUIVO.csv\n",
    "\n"
    "Gera uma instancia aleatoria.\n"
    "\n"
    "Na primeira forma, grava em PASTA (criada se faltar) os arquivos numcidades.txt e\n"
    "MatrizDistanciasteste.txt do programa de menu (e retira um nomes.txt antigo): CIDADES\n"
    "(2 a 46340) pontos sorteados num quadrado de lado L (100 se omitido), numerados de 1 a\n"
    "CIDADES, com a distancia euclidiana arredondada de cada par.\n"
    "\n"
    "Na segunda, grava em ARQUIVO.csv (colunas x,y) PONTOS pontos para o dispersao-exato,\n"
    "espalhados por igual num quadrado de lado L (1000000 se omitido) ou em 100 grupos.\n"
    "\n"
    "Opcoes:\n"
    "  --pontos TIPO   gera um arquivo de pontos: uniforme ou agrupado\n"
    "  --semente S     semente do sorteio (1 se omitida); a mesma semente da a mesma instancia\n"
    "  --lado L        lado do quadrado\n"
    "  -h, --help      mostra esta ajuda\n"
    "  --version       mostra a versao\n"
    "\n"
    "Exemplos:\n"
    "  dispersao-gerar --semente 7 500 minha-instancia\n"
    "  dispersao-gerar --pontos agrupado 1000000 pontos.csv\n"};

constexpr std::array<KnownOption, 3> kOptions{{
    {"pontos", '\0', true},
    {"semente", '\0', true},
    {"lado", '\0', true},
}};

// Largest number of cities of a menu instance: its triples would not fit the positions'
// 32-bit pair count beyond it.
constexpr long long kMostCities = 46340;
// Largest number of points of a point file, 10^9: far beyond what the solver is built for.
constexpr long long kMostPoints = 1000000000;

// Output is assembled in blocks of this size and written with one fwrite each.
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
// Sides of the square accepted: from a millionth (coordinates of nine decimals keep its points
// apart) to 10^15 (a coordinate still fits a double with its decimals).
constexpr double kLeastSide = 1e-6;
constexpr double kLargestSide = 1e15;
// Largest side of a menu instance: its distances, up to the side times sqrt 2, rounded, must
// fit the 32 bits its readers take (2^31 - 1 over sqrt 2 is about 1.518e9).
constexpr double kLargestMenuSide = 1.5e9;

[[noreturn]] void on_memory_exhaustion() {
    remove_temporaries_now();
    std::fputs("Falta memoria para gerar a instancia.\n", stderr);
    std::exit(1);
}

// Appends `value` to `out`, with `decimals` digits after the point when decimals >= 0.
template <typename T>
void append_number(std::string& out, T value, int decimals = -1) {
    std::array<char, 48> text{};  // room for any 64-bit integer or fixed three-decimal double
    std::to_chars_result result{};
    if constexpr (std::is_floating_point_v<T>) {
        result = std::to_chars(text.data(), text.data() + text.size(), value,
                               std::chars_format::fixed, decimals);
    } else {
        result = std::to_chars(text.data(), text.data() + text.size(), value);
    }
    out.append(text.data(), result.ptr);
}

// Writes `block` to `file` and empties it once it holds a block's worth, or always when `last`.
void flush_block(std::string& block, std::FILE* file, bool last) {
    if (last || block.size() >= kBlockBytes) {
        std::fwrite(block.data(), 1, block.size(), file);
        block.clear();
    }
}

// Reports a file that could not be written and returns the status 1.
int report_write_failure(const std::string& message) {
    std::fprintf(stderr, "dispersao-gerar: %s\n", message.c_str());
    return 1;
}

// Writes the two files of a menu instance of `cities` cities into `folder`; returns the status.
int write_menu_instance(long long cities, const std::string& folder, double side,
                        std::uint64_t seed) {
    // The folder is made ready, or refused, before the long work of writing the distances; a
    // folder made for it goes again if nothing is written.
    NewFolders made(folder);
    if (const auto failure = prepare_output_folder(folder, {kDistanceFile, kCityCountFile})) {
        return report_write_failure(*failure);
    }
    const std::vector<GeneratedPoint> points =
        menu_instance_points(static_cast<int>(cities), side, seed);
    const std::string prefix = folder.empty() ? "" : folder + "/";
    PendingFile distances(prefix + kDistanceFile);
    if (!distances.opened()) {
        return report_write_failure(write_failure(distances.temporary_path()));
    }
    std::string block;
    for (long long a = 1; a <= cities; ++a) {
        const GeneratedPoint& p = points[static_cast<std::size_t>(a - 1)];
        for (long long b = a + 1; b <= cities; ++b) {
            const GeneratedPoint& q = points[static_cast<std::size_t>(b - 1)];
            append_number(block, a);
            block += ' ';
            append_number(block, b);
            block += ' ';
            append_number(block, std::llround(std::hypot(p.x - q.x, p.y - q.y)));
            block += '\n';
            flush_block(block, distances.file(), false);
        }
    }
    flush_block(block, distances.file(), true);
    const long long bytes = std::ftell(distances.file());
    if (!distances.close()) {
        return report_write_failure(write_failure(distances.temporary_path()));
    }
    PendingFile count(prefix + kCityCountFile);
    if (!count.opened()) {
        return report_write_failure(write_failure(count.temporary_path()));
    }
    std::fprintf(count.file(), "%lld\n", cities);
    if (!count.close()) {
        return report_write_failure(write_failure(count.temporary_path()));
    }
    // A names file left from an earlier instance would name these random cities: it goes, in
    // the same step that puts the new files in place.
    if (const auto failure = commit_files({&distances, &count}, {prefix + kCityNamesFile})) {
        return report_write_failure(*failure);
    }
    made.keep();
    std::printf("%lld cidades, %lld triplas, %lld bytes (%.1f MB) em %s\n", cities,
                cities * (cities - 1) / 2, bytes, static_cast<double>(bytes) / 1e6,
                (prefix + kDistanceFile).c_str());
    return 0;
}

// Returns the decimals of a point file's coordinates for a square of side `side`: three, and
// one more for each power of ten the side falls below 1 (0.5: four; 0.01: five), so that the
// points of a small square stay as apart as those of a large one. Precondition: side >=
// kLeastSide.
[[nodiscard]] int coordinate_decimals(double side) {
    assert(side >= kLeastSide);
    return side >= 1 ? 3 : 3 + static_cast<int>(std::ceil(-std::log10(side)));
}

// Writes a point file of `count` points spread as `spread` says; returns the status.
int write_point_file(Spread spread, long long count, const std::string& path, double side,
                     std::uint64_t seed) {
    NewFolders made(std::filesystem::path(path).parent_path().string());
    if (const auto failure = prepare_output_file(path)) {
        return report_write_failure(*failure);
    }
    PendingFile file(path);
    if (!file.opened()) {
        return report_write_failure(write_failure(file.temporary_path()));
    }
    PointDrawer drawer(spread, side, seed);
    const int decimals = coordinate_decimals(side);
    std::string block = "x,y\n";
    for (long long k = 0; k < count; ++k) {
        const GeneratedPoint point = drawer.next();
        append_number(block, point.x, decimals);
        block += ',';
        append_number(block, point.y, decimals);
        block += '\n';
        flush_block(block, file.file(), false);
    }
    flush_block(block, file.file(), true);
    if (!file.close()) {
        return report_write_failure(write_failure(file.temporary_path()));
    }
    if (const auto failure = commit_files({&file})) {
        return report_write_failure(*failure);
    }
    made.keep();
    std::printf("%lld pontos em %s\n", count, path.c_str());
    return 0;
}

// Follows the command line; returns the exit status.
int run(int argc, const char* const* argv) {
    const auto read = read_command_line(argc, argv, kOptions, kProgram);
    if (const auto* status = std::get_if<int>(&read)) {
        return *status;
    }
    const CommandLine& line = std::get<CommandLine>(read);
    const std::optional<std::string> kind = line.last("pontos");
    if (line.operands.size() != 2) {
        return usage_error(kProgram, "sao necessarios dois argumentos, e foram dados " +
                                         std::to_string(line.operands.size()));
    }
    std::uint64_t seed = 1;
    if (const auto text = line.last("semente")) {
        const auto value = whole_number_in(*text, 0, std::numeric_limits<long long>::max());
        if (!value) {
            return usage_error(kProgram, "semente invalida: " + *text);
        }
        seed = static_cast<std::uint64_t>(*value);
    }
    double side = kind ? 1e6 : 100.0;
    if (const auto text = line.last("lado")) {
        const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), side);
        if (error != std::errc{} || end != text->data() + text->size() || !(side > 0) ||
            !std::isfinite(side) || side > kLargestSide || side < kLeastSide) {
            return usage_error(kProgram, "lado invalido: " + *text);
        }
        if (!kind && side > kLargestMenuSide) {
            return usage_error(kProgram, "lado invalido: " + *text +
                                             " (as distancias passariam de 32 bits; no maximo "
                                             "1500000000)");
        }
    }
    if (!kind) {
        const auto cities = whole_number_in(line.operands[0], 2, kMostCities);
        if (!cities) {
            return usage_error(kProgram,
                               "CIDADES deve ser um inteiro de 2 a 46340: " + line.operands[0]);
        }
        return write_menu_instance(*cities, line.operands[1], side, seed);
    }
    if (*kind != "uniforme" && *kind != "agrupado") {
        return usage_error(kProgram, "tipo de pontos desconhecido: " + *kind);
    }
    const auto count = whole_number_in(line.operands[0], 1, kMostPoints);
    if (!count) {
        return usage_error(kProgram,
                           "PONTOS deve ser um inteiro de 1 a 1000000000: " + line.operands[0]);
    }
    return write_point_file(*kind == "uniforme" ? Spread::uniform : Spread::clustered, *count,
                            line.operands[1], side, seed);
}

}  // namespace

int main(int argc, char** argv) {
    remove_temporaries_on_interrupt();
    std::set_new_handler(on_memory_exhaustion);
    return finish_standard_output(run(argc, argv));
}
