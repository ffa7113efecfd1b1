// Building the quality benchmark's instances in memory.
#include "bench/instances.hpp"

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <utility>

#include "points/point_files.hpp"
#include "storage/storage.hpp"

using namespace dispersao;

namespace {

// Side of the square the generated points lie in.
constexpr std::uint64_t kSquareSide = 10000;

// Returns a cleared matrix for `cities` cities numbered 1..cities, or 0..cities-1.
void allocate(BenchInstance& instance, int cities) {
    instance.cities = cities;
    instance.n = cities + 1;
    instance.matrix = alloc_matrix(instance.n, instance.n);
    zero_matrix(instance.matrix, instance.n, instance.n);
}

std::string read_text(const std::string& path, bool& ok) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    ok = static_cast<bool>(in);
    return text.str();
}

}  // namespace

BenchInstance::BenchInstance(BenchInstance&& other) noexcept
    : name(std::move(other.name)),
      source(std::move(other.source)),
      cities(other.cities),
      n(other.n),
      matrix(std::exchange(other.matrix, nullptr)) {}

BenchInstance::~BenchInstance() {
    free_matrix(matrix, n);
}

std::vector<Point> square_points(int count, std::uint64_t seed) {
    std::mt19937_64 generator(seed);
    std::vector<Point> points;
    for (int i = 0; i < count; ++i) {
        const auto x = static_cast<double>(generator() % kSquareSide);
        const auto y = static_cast<double>(generator() % kSquareSide);
        points.push_back({x, y});
    }
    return points;
}

BenchInstance instance_from_points(const std::vector<Point>& cities) {
    BenchInstance instance;
    allocate(instance, static_cast<int>(cities.size()));
    const double largest = largest_distance(cities);
    for (std::size_t i = 0; i < cities.size(); ++i) {
        for (std::size_t j = i + 1; j < cities.size(); ++j) {
            instance.matrix[i + 1][j + 1] =
                static_cast<float>(scaled_distance(cities[i], cities[j], largest));
        }
    }
    return instance;
}

bool load_public_instance(const std::string& path, BenchInstance& instance) {
    if (point_format_of_name(path) == PointFormat::tsplib) {
        PointSet points;
        if (const auto error = read_point_file(path, PointFormat::tsplib, points)) {
            std::fprintf(stderr, "%s", describe_point_error(*error, path).c_str());
            return false;
        }
        // The quality benchmark scales the plane distance of every file, ATT ones included.
        BenchInstance built = instance_from_points(cities_by_id(points));
        std::swap(instance.matrix, built.matrix);
        std::swap(instance.n, built.n);
        instance.cities = built.cities;
        return true;
    }
    bool ok = false;
    const std::string text = read_text(path, ok);
    if (!ok) {
        std::fprintf(stderr, "O arquivo %s nao pode ser aberto.\n", path.c_str());
        return false;
    }
    MdplibInstance mdplib;
    if (const auto error = parse_mdplib(text, mdplib)) {
        std::fprintf(stderr, "Erro no arquivo %s, linha %ld: %s\n", path.c_str(), error->line,
                     error->message.c_str());
        return false;
    }
    allocate(instance, mdplib.count);
    for (const DistanceTriple& t : mdplib.triples) {
        instance.matrix[t.row][t.column] = static_cast<float>(t.distance);
    }
    return true;
}
