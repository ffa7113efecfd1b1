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

#include "points/point_set.hpp"

namespace dispersao {

// A city given by plane coordinates.
struct Point {
    double x;
    double y;
};

// Why a file was rejected: `line` (1-based) is where, or 0 when the file as a whole is at fault.
struct ConversionError {
    long line;
    std::string message;
    bool writing = false;  // the output could not be written; the input is not at fault
};

// Largest number of cities a conversion accepts: the pairs of more would not fit the menu
// program's 32-bit pair count.
inline constexpr int kMaxTsplibCities = 46340;

// Returns the position in `points` of each city of the instance: city k (1-based) is the point
// whose id is k, at positions[k - 1]. Precondition: the ids are 1..n, each once (as the TSPLIB
// and CSV readers give them).
[[nodiscard]] std::vector<std::size_t> positions_by_id(const PointSet& points);

// Returns the plane coordinates of the cities of `points` in the order of their ids, as
// positions_by_id orders them. Same precondition.
[[nodiscard]] std::vector<Point> cities_by_id(const PointSet& points);

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
