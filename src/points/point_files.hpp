// Readers of point files: TSPLIB node coordinates, CSV tables of coordinates and GeoJSON
// collections of points.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "instance/byte_source.hpp"
#include "points/point_set.hpp"

namespace dispersao {

// Why a point file could not be used.
enum class PointFailure {
    malformed,   // the text breaks the format; `line` and `detail` say where and how
    unopenable,  // the file could not be opened; `system_error` says why
    unreadable,  // the file opened but could not be read (a folder, a failing disk)
    no_memory,   // the points do not fit in memory
};

struct PointError {
    PointFailure failure = PointFailure::malformed;
    long line = 0;         // 1-based line at fault; 0 when the text as a whole is
    std::string detail;    // what is wrong, in Portuguese, offending text quoted and cut
    int system_error = 0;  // the errno of an unopenable file
};

// The formats a point file can have; by_content when the text itself is to tell.
enum class PointFormat { tsplib, csv, geojson, by_content };

// The name that stands for standard input.
inline constexpr std::string_view kStandardInputName = "-";

// The format a point file's name says it has, the one rule every program follows: ".tsp" is
// TSPLIB, ".csv" CSV, ".geojson" and ".json" GeoJSON, in any case; any other name, standard
// input ("-") included, is told by its content (see point_format_of_text).
[[nodiscard]] PointFormat point_format_of_name(std::string_view name);

// The format the start of a text says it has: GeoJSON when its first character other than
// blanks (and a byte-order mark) is '{', TSPLIB when its first line starts with a TSPLIB
// header keyword (NAME, TYPE, COMMENT, DIMENSION, EDGE_WEIGHT_TYPE) and holds a colon or no
// CSV separator, CSV otherwise.
[[nodiscard]] PointFormat point_format_of_text(std::string_view start);

// Returns the EDGE_WEIGHT_TYPE name of `rule` ("EUC_2D", "CEIL_2D", "ATT" or "GEO"), or "" for
// a rule TSPLIB does not name.
[[nodiscard]] std::string_view tsplib_rule_name(DistanceRule rule);

// Reads TSPLIB text: a header of "KEYWORD : value" lines (the colon optional, blanks around it
// free) with DIMENSION and EDGE_WEIGHT_TYPE (EUC_2D, CEIL_2D, ATT or GEO), then
// NODE_COORD_SECTION with DIMENSION lines "id x y", each id in 1..DIMENSION once, then
// optionally EOF or another section, neither of which is read. Ids are kept as written, points
// in the order of their lines. Fills `points` and returns nothing, or returns the first fault.
[[nodiscard]] std::optional<PointError> parse_tsplib_points(ByteSource source, PointSet& points);

// Reads CSV text as spreadsheets export it (see docs/entradas-e-saidas.md): a header row whose
// separator (comma, semicolon or tab) is the one it uses most, naming columns in any order,
// matched ignoring case, blanks and accents: "x" and "y", or "lat"/"latitude" and
// "lon"/"lng"/"long"/"longitude" (decimal degrees); optionally "nome"/"name" and "id"/"codigo";
// other columns ignored. Then one data row per point with as many fields as the header. With a
// semicolon or tab separator a decimal comma is accepted ("-23,55"). A field in double quotes
// may hold the separator, and "" stands for a quote inside it. A line that is not UTF-8 is
// taken as Latin-1 and converted. Blank lines are skipped; a point's id is the number of its
// data row, counting from 1. Fills `points` and returns nothing, or returns the first fault.
// `text_bytes`, when known, is the length of the whole text: the reader then sizes its storage
// once, from the first rows' length, instead of growing it. With `keep_records` the header and
// each row are kept in `points.records` as written.
[[nodiscard]] std::optional<PointError> parse_csv_points(ByteSource source, PointSet& points,
                                                         std::size_t text_bytes = 0,
                                                         bool keep_records = false);

// Reads GeoJSON text (RFC 7946): a FeatureCollection whose features are Points, coordinates
// [longitude, latitude] in decimal degrees; a feature's name is its property "name" or "nome",
// its code its "id" member or property "id"/"codigo". A point's id is its feature's number,
// counting from 1. With `keep_records` each feature's "properties" object is kept in
// `points.records` as written. Fills `points` and returns nothing, or returns the first fault.
[[nodiscard]] std::optional<PointError> parse_geojson_points(const ByteSource& source,
                                                             PointSet& points,
                                                             bool keep_records = false);

// Told once per block read: how many more bytes of the file have been read.
using ReadProgress = std::function<void(std::size_t bytes)>;

// How to read a point file.
struct PointReadOptions {
    ReadProgress progress;      // told of each block read; may be empty
    bool keep_records = false;  // keep each point's own record (see PointSet::records)
};

// Reads the point file at `path` ("-" for standard input) in `format` into `points`. Returns
// nothing on success; otherwise the fault, with `points` emptied.
[[nodiscard]] std::optional<PointError> read_point_file(const std::string& path, PointFormat format,
                                                        PointSet& points,
                                                        const PointReadOptions& options = {});

// The one-line message that reports `error` in the file at `path`, ending in a newline.
[[nodiscard]] std::string describe_point_error(const PointError& error, const std::string& path);

}  // namespace dispersao
