// Conversion of public benchmark instances into the two instance files of the optimiser.
//
// A TSPLIB file gives city coordinates; its distances become the Euclidean distance scaled so
// that the largest distance of the instance is 110, truncated toward zero, one triple per pair
// i < j with the file's ids 1..n, and the count n. An MDPLIB file gives real distances
// directly; they become each distance times 5, truncated, with the file's positions 0..n-1.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dispersao {

// A city of a TSPLIB file.
struct Point {
    double x;
    double y;
};

// Why a file was rejected: `line` (1-based) is where, or 0 when the file as a whole is at fault.
struct ConversionError {
    long line;
    std::string message;
};

// Largest number of cities the TSPLIB conversion accepts.
inline constexpr int kMaxTsplibCities = 46340;

// Reads the cities of TSPLIB text: a header with DIMENSION (3..kMaxTsplibCities) and
// EDGE_WEIGHT_TYPE EUC_2D or ATT (ATT coordinates are taken as plain Euclidean), optionally
// TYPE TSP, then NODE_COORD_SECTION with one "id x y" line per city, every id 1..n once, then
// optionally EOF. On success stores city id in cities[id - 1] and returns nothing; otherwise
// returns what is wrong, naming the first offending line, and leaves `cities` unspecified.
[[nodiscard]] std::optional<ConversionError> parse_tsplib(std::string_view text,
                                                          std::vector<Point>& cities);

// Returns the largest Euclidean distance between two of `cities`, 0 with fewer than two.
[[nodiscard]] double largest_distance(const std::vector<Point>& cities);

// Returns `distance` times 110 divided by `largest`, truncated toward zero; a result within
// 1e-9 below a whole number counts as that number, so the largest distance of an instance
// always scales to 110. Precondition: largest > 0 and no smaller than `distance`.
[[nodiscard]] int scale_distance(double distance, double largest);

// Returns the Euclidean distance between a and b, exact however small or large the differences.
[[nodiscard]] double euclidean_distance(const Point& a, const Point& b);

// Returns scale_distance of the Euclidean distance between a and b.
[[nodiscard]] int scaled_distance(const Point& a, const Point& b, double largest);

// Writes the instance of `cities` (index = id - 1) into "numcidades.txt" and
// "MatrizDistanciasteste.txt" in `directory`: the count, then the triple "i j d" of every pair
// of ids i < j in ascending order. Both files are written under temporary names first and
// renamed into place only once both are complete, so a failure leaves neither new file behind
// (and the old ones untouched). Returns nothing on success, otherwise what went wrong.
// Precondition: at least two cities, not all at the same point.
[[nodiscard]] std::optional<ConversionError> write_instance_files(const std::string& directory,
                                                                  const std::vector<Point>& cities);

// The distance between cities a and b of an instance being written, 0-based, before scaling.
using CityDistance = std::function<double(std::size_t a, std::size_t b)>;

// Writes the instance of `count` cities (ids 1..count) into `directory` as above, each pair's
// distance(a, b) scaled with scale_distance against the largest, together with "nomes.txt"
// holding `names` (line k the name of city k) when there are names; without names an earlier
// "nomes.txt", which would name other cities, is removed with the same all-or-nothing care.
// Preconditions: count >= 2; `names` empty or of `count` entries.
[[nodiscard]] std::optional<ConversionError> write_instance_files(
    const std::string& directory, std::size_t count, const CityDistance& distance,
    const std::vector<std::string>& names);

// One distance of a converted MDPLIB instance.
struct DistanceTriple {
    int row;
    int column;
    int distance;
};

// A converted MDPLIB instance: its count n (positions 0..n-1) and its triples.
struct MdplibInstance {
    int count = 0;
    std::vector<DistanceTriple> triples;
};

// Reads MDPLIB text (first line "n m", then "i j d" triples with 0 <= i, j < n and real d) and
// converts each distance to trunc(5 d). Returns nothing and fills `instance` on success,
// otherwise what is wrong with the first offending line.
[[nodiscard]] std::optional<ConversionError> parse_mdplib(std::string_view text,
                                                          MdplibInstance& instance);

}  // namespace dispersao
