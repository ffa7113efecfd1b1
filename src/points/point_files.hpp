// Readers of point files: TSPLIB node coordinates and CSV tables of coordinates.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "instance/byte_source.hpp"
#include "points/point_set.hpp"

namespace dispersao {

// Why a point file could not be used.
enum class PointFailure {
    malformed,   // the text breaks the format; `line` and `detail` say where and how
    unreadable,  // the file could not be opened or read (a folder, say)
    no_memory,   // the points do not fit in memory
};

struct PointError {
    PointFailure failure = PointFailure::malformed;
    long line = 0;       // 1-based line at fault; 0 when the text as a whole is
    std::string detail;  // what is wrong, in Portuguese, offending text quoted and cut
};

// The formats a point file can have.
enum class PointFormat { tsplib, csv };

// Reads TSPLIB text: a header of "KEYWORD : value" lines (the colon optional, blanks around it
// free) with DIMENSION and EDGE_WEIGHT_TYPE (EUC_2D, CEIL_2D, ATT or GEO), then
// NODE_COORD_SECTION with DIMENSION lines "id x y", each id in 1..DIMENSION once, then
// optionally EOF or another section, neither of which is read. Ids are kept as written, points
// in the order of their lines. Fills `points` and returns nothing, or returns the first fault.
[[nodiscard]] std::optional<PointError> parse_tsplib_points(ByteSource source, PointSet& points);

// Reads CSV text: a header row naming columns, in any order and any case, "x" and "y" or "lat"
// and "lon" (decimal degrees), optionally "nome", other columns ignored; then one data row per
// point with as many fields as the header. Fields are separated by commas; one in double quotes
// may hold commas, and "" stands for a quote inside it. Blank lines are skipped; a point's id is
// the number of its data row, counting from 1. Fills `points` and returns nothing, or returns
// the first fault. `text_bytes`, when known, is the length of the whole text: the reader then
// sizes its storage once, from the first rows' length, instead of growing it.
[[nodiscard]] std::optional<PointError> parse_csv_points(ByteSource source, PointSet& points,
                                                         std::size_t text_bytes = 0);

// Reads the point file at `path` in `format` into `points`. Returns nothing on success;
// otherwise the fault, with `points` emptied.
[[nodiscard]] std::optional<PointError> read_point_file(const std::string& path, PointFormat format,
                                                        PointSet& points);

// The one-line message that reports `error` in the file at `path`, ending in a newline.
[[nodiscard]] std::string describe_point_error(const PointError& error, const std::string& path);

}  // namespace dispersao
