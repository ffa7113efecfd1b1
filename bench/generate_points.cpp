// dispersao-gerar-pontos: writes a random point set as a CSV file "x,y" for dispersao-exato.
//
// Usage: dispersao-gerar-pontos uniforme|agrupado PONTOS ARQUIVO [SEMENTE]
// uniforme: points spread evenly over the square [0, 10^6)^2. agrupado: 100 centres spread
// evenly over it, each point a normal draw (deviation 10^4 in each coordinate) around a centre
// picked at random. Coordinates have three decimals; the same seed gives the same file on
// every platform, since every draw is made here from the raw 64-bit generator.
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Output is assembled in blocks of this size and written with one fwrite each.
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
constexpr double kSide = 1e6;
constexpr int kClusters = 100;
constexpr double kClusterDeviation = 1e4;

// A uniform draw in [0, 1) from the top 53 bits of the generator.
[[nodiscard]] double unit(std::mt19937_64& generator) {
    return static_cast<double>(generator() >> 11U) * 0x1.0p-53;
}

// A standard normal draw (Box-Muller, one of the pair).
[[nodiscard]] double normal(std::mt19937_64& generator) {
    const double u = 1.0 - unit(generator);  // in (0, 1], so the logarithm is finite
    const double v = unit(generator);
    return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * 3.14159265358979323846 * v);
}

// Appends `value` with three decimals to `out`.
void append_coordinate(std::string& out, double value) {
    std::array<char, 48> text{};
    const char* const end =
        std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, 3)
            .ptr;
    out.append(text.data(), static_cast<std::size_t>(end - text.data()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4 || argc > 5) {
        std::fprintf(stderr, "uso: %s uniforme|agrupado PONTOS ARQUIVO [SEMENTE]\n", argv[0]);
        return 2;
    }
    const std::string_view kind = argv[1];
    std::int64_t count = 0;
    std::uint64_t seed = 1;
    const char* count_end = argv[2] + std::strlen(argv[2]);
    const bool count_ok = std::from_chars(argv[2], count_end, count).ptr == count_end && count > 0;
    const char* seed_end = argc == 5 ? argv[4] + std::strlen(argv[4]) : nullptr;
    const bool seed_ok = argc < 5 || std::from_chars(argv[4], seed_end, seed).ptr == seed_end;
    if ((kind != "uniforme" && kind != "agrupado") || !count_ok || !seed_ok) {
        std::fprintf(stderr, "uso: %s uniforme|agrupado PONTOS ARQUIVO [SEMENTE]\n", argv[0]);
        return 2;
    }
    std::mt19937_64 generator(seed);
    // centres[2k], centres[2k + 1]: x and y of centre k, 0 <= k < kClusters.
    std::vector<double> centres(std::size_t{2} * kClusters);
    for (double& c : centres) {
        c = unit(generator) * kSide;
    }
    std::FILE* file = std::fopen(argv[3], "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "%s: nao foi possivel criar %s\n", argv[0], argv[3]);
        return 1;
    }
    std::string block = "x,y\n";
    bool written = true;
    for (std::int64_t i = 0; i < count && written; ++i) {
        double x = 0;
        double y = 0;
        if (kind == "uniforme") {
            x = unit(generator) * kSide;
            y = unit(generator) * kSide;
        } else {
            const auto k = static_cast<std::size_t>(generator() % kClusters);
            x = centres[2 * k] + kClusterDeviation * normal(generator);
            y = centres[2 * k + 1] + kClusterDeviation * normal(generator);
        }
        append_coordinate(block, x);
        block += ',';
        append_coordinate(block, y);
        block += '\n';
        if (block.size() >= kBlockBytes) {
            written = std::fwrite(block.data(), 1, block.size(), file) == block.size();
            block.clear();
        }
    }
    written = written && std::fwrite(block.data(), 1, block.size(), file) == block.size();
    if (std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "%s: erro ao escrever %s\n", argv[0], argv[3]);
        return 1;
    }
    return 0;
}
