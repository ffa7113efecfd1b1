// Fuzz target for the point readers: any text, any format, any cutting into blocks.
//
// Input layout: byte 0 picks the reader (bits 0..1: TSPLIB, CSV, GeoJSON, or CSV keeping its
// rows) and the block size of the second parse (bits 2..4: the source hands out 1..8 bytes at a
// time); the rest is the text. The text is
// parsed twice, once whole and once in tiny blocks; both must agree on the verdict and the points.
// A fault's message must be one printable line.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <tuple>

#include "points/point_files.hpp"
#include "tests/support/same_error.hpp"

using namespace dispersao;

namespace {

[[nodiscard]] bool same_points(const PointSet& a, const PointSet& b) {
    return a.rule == b.rule && a.x == b.x && a.y == b.y && a.ids == b.ids && a.names == b.names &&
           a.codes == b.codes && a.records == b.records && a.record_header == b.record_header;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    // The first byte picks the reader (two bits: TSPLIB, CSV, GeoJSON, CSV keeping its rows)
    // and the block size.
    const unsigned reader = data[0] & 3U;
    const PointFormat format = reader == 0   ? PointFormat::tsplib
                               : reader == 2 ? PointFormat::geojson
                                             : PointFormat::csv;
    const bool keep = reader == 3;
    const std::size_t block = 1 + ((data[0] >> 2U) & 7U);
    const char* text = reinterpret_cast<const char*>(data + 1);
    const std::size_t length = size - 1;
    const auto parse = [&](std::size_t max_block, PointSet& points) {
        const ByteSource source = memory_source(text, length, max_block);
        switch (format) {
            case PointFormat::tsplib:
                return parse_tsplib_points(source, points);
            case PointFormat::geojson:
                return parse_geojson_points(source, points, keep);
            default:
                return parse_csv_points(source, points, 0, keep);
        }
    };
    PointSet whole;
    PointSet pieces;
    const std::optional<PointError> whole_error = parse(SIZE_MAX, whole);
    const std::optional<PointError> pieces_error = parse(block, pieces);
    if (!test_support::same_error(
            whole_error, pieces_error,
            [](const PointError& e) { return std::tie(e.failure, e.line, e.detail); }) ||
        !same_points(whole, pieces)) {
        std::abort();
    }
    if (whole_error) {
        const std::string message = describe_point_error(*whole_error, "f");
        if (!test_support::is_one_line(message)) {
            std::abort();
        }
    } else if (whole.x.size() != whole.y.size() || whole.x.size() != whole.ids.size() ||
               (!whole.names.empty() && whole.names.size() != whole.x.size())) {
        std::abort();
    }
    return 0;
}
