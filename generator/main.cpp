// dispersao-gerar: writes a random instance (points in a square, rounded Euclidean distances) as
// the two files the program reads, and prints its sizes.
//
// Usage: dispersao-gerar CIDADES PASTA [SEMENTE [LADO]]
// Cities are numbered 1..CIDADES; each pair a < b is written once as "a b distance".
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// Output is assembled in blocks of this size and written with one fwrite each.
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

struct Point {
    double x;
    double y;
};

// Parses `text` as a whole decimal number of type T into `value`; returns false otherwise.
template <typename T>
[[nodiscard]] bool parse_whole(const char* text, T& value) {
    const std::string s(text);
    const auto [stop, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    return error == std::errc{} && stop == s.data() + s.size();
}

// Writes the count file; returns false when it cannot be written.
[[nodiscard]] bool write_count(const std::string& path, int cities) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fprintf(file, "%d\n", cities) > 0;
    return std::fclose(file) == 0 && written;
}

// Writes every pair a < b of `points` (cities 1..points.size()) as one triple per line and
// returns the number of bytes written, or -1 when the file cannot be written.
[[nodiscard]] long long write_triples(const std::string& path, const std::vector<Point>& points) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        return -1;
    }
    std::vector<char> block(kBlockBytes + 64);
    std::size_t used = 0;
    long long total = 0;
    bool failed = false;
    // Appends `value` and the character `after`; a number and its separator take at most 21
    // bytes, and a block is written out before fewer than 64 bytes are left.
    const auto put_number = [&](long long value, char after) {
        char digits[24];
        const auto result = std::to_chars(digits, digits + sizeof digits - 1, value);
        *result.ptr = after;
        const auto length = static_cast<std::size_t>(result.ptr + 1 - digits);
        std::memcpy(block.data() + used, digits, length);
        used += length;
    };
    const auto cities = static_cast<long long>(points.size());
    for (long long a = 1; a <= cities; ++a) {
        const Point& p = points[static_cast<std::size_t>(a - 1)];
        for (long long b = a + 1; b <= cities; ++b) {
            const Point& q = points[static_cast<std::size_t>(b - 1)];
            put_number(a, ' ');
            put_number(b, ' ');
            put_number(std::llround(std::hypot(p.x - q.x, p.y - q.y)), '\n');
            if (used >= kBlockBytes) {
                failed = failed || std::fwrite(block.data(), 1, used, file) != used;
                total += static_cast<long long>(used);
                used = 0;
            }
        }
    }
    failed = failed || std::fwrite(block.data(), 1, used, file) != used;
    total += static_cast<long long>(used);
    failed = std::fclose(file) != 0 || failed;
    return failed ? -1 : total;
}

}  // namespace

int main(int argc, char** argv) {
    int cities = 0;
    std::uint64_t seed = 1;
    double side = 100.0;
    if (argc < 3 || argc > 5 || !parse_whole(argv[1], cities) || cities < 2 ||
        (argc > 3 && !parse_whole(argv[3], seed)) ||
        (argc > 4 && (!parse_whole(argv[4], side) || !(side > 0.0)))) {
        std::fprintf(stderr, "uso: %s CIDADES PASTA [SEMENTE [LADO]]  (CIDADES >= 2, LADO > 0)\n",
                     argv[0]);
        return 2;
    }
    const std::string folder = argv[2];

    std::mt19937_64 engine(seed);
    std::uniform_real_distribution<double> coordinate(0.0, side);
    std::vector<Point> points(static_cast<std::size_t>(cities));
    for (Point& point : points) {
        point.x = coordinate(engine);
        point.y = coordinate(engine);
    }

    const std::string count_path = folder + "/numcidades.txt";
    const std::string triples_path = folder + "/MatrizDistanciasteste.txt";
    if (!write_count(count_path, cities)) {
        std::fprintf(stderr, "nao foi possivel escrever %s\n", count_path.c_str());
        return 1;
    }
    const long long bytes = write_triples(triples_path, points);
    if (bytes < 0) {
        std::fprintf(stderr, "nao foi possivel escrever %s\n", triples_path.c_str());
        return 1;
    }
    const long long triples = static_cast<long long>(cities) * (cities - 1) / 2;
    std::printf("%d cidades, %lld triplas, %lld bytes (%.1f MB) em %s\n", cities, triples, bytes,
                static_cast<double>(bytes) / 1e6, triples_path.c_str());
    return 0;
}
