// A set of points given by coordinates, and the rule that measures the distance between two.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace dispersao {

// How the distance between two points of a set is measured.
enum class DistanceRule {
    tsplib_euc_2d,   // TSPLIB EUC_2D: the Euclidean distance rounded to the nearest integer
    tsplib_ceil_2d,  // TSPLIB CEIL_2D: the Euclidean distance rounded up
    tsplib_att,      // TSPLIB ATT: the pseudo-Euclidean rule of the att48/att532 instances
    tsplib_geo,      // TSPLIB GEO: great-circle kilometres from DDD.MM coordinates, an integer
    euclidean,       // the Euclidean distance as a real number (CSV columns x, y)
    great_circle_km  // great-circle kilometres on a sphere of radius 6371.0, as a real number
                     // (CSV columns lat, lon in decimal degrees)
};

// Returns whether `degrees` is a latitude: within [-90, 90] (for TSPLIB's DDD.MM too, whose
// degrees are its whole part).
[[nodiscard]] constexpr bool latitude_in_range(double degrees) {
    return degrees >= -90 && degrees <= 90;
}

// Returns whether every distance of `count` planar points fits a double: their bounding box's
// diagonal is finite (coordinates near 1.8e308 of opposite signs are each finite, their
// distance is not). `x` and `y` hold a point's coordinates every `stride` entries.
// Precondition: the coordinates are finite.
[[nodiscard]] inline bool planar_spread_fits(const double* x, const double* y, std::size_t count,
                                             std::size_t stride) {
    double low_x = 0;
    double high_x = 0;
    double low_y = 0;
    double high_y = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double a = x[i * stride];
        const double b = y[i * stride];
        low_x = i == 0 ? a : std::min(low_x, a);
        high_x = i == 0 ? a : std::max(high_x, a);
        low_y = i == 0 ? b : std::min(low_y, b);
        high_y = i == 0 ? b : std::max(high_y, b);
    }
    return std::isfinite(std::hypot(high_x - low_x, high_y - low_y));
}

// What PointSet::records hold.
enum class RecordKind {
    none,        // nothing kept
    csv_row,     // a CSV data row, bytes as in the file (Latin-1 ones included)
    json_object  // a GeoJSON "properties" object, JSON text (or "null")
};

// Points as their file gives them. All vectors are indexed by the point's 0-based position in
// the file (the k-th point read is point k - 1); `x`, `y` and `ids` have one entry per point.
struct PointSet {
    DistanceRule rule = DistanceRule::euclidean;
    // First and second coordinate of each point: x and y; for tsplib_geo the latitude and the
    // longitude in TSPLIB's DDD.MM form; for great_circle_km the latitude and the longitude in
    // decimal degrees.
    std::vector<double> x;
    std::vector<double> y;
    // The number a report shows for each point: the node id of a TSPLIB file, the 1-based data
    // row of a CSV file.
    std::vector<std::int64_t> ids;
    // Either empty (the input names no point) or one name per point, "" where a point has none.
    std::vector<std::string> names;
    // Either empty (the input gives its points no code of its own) or one code per point, as
    // the input writes it: a CSV column "id" or "codigo", a GeoJSON feature's id.
    std::vector<std::string> codes;
    // Kept only when a reader is asked to: each point's own record as the input writes it, for
    // writing the chosen points back. For CSV the data row, for GeoJSON the feature's
    // "properties" object; `record_header` is the CSV header row, `record_separator` its
    // separator. Empty otherwise.
    RecordKind record_kind = RecordKind::none;
    std::string record_header;
    char record_separator = ',';
    std::vector<std::string> records;

    [[nodiscard]] std::size_t size() const { return x.size(); }
};

}  // namespace dispersao
