// GeoJSON and CSV text of an answer's chosen sites.
#include "output/chosen_sites.hpp"

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <cmath>

#include "dispersion/chosen_neighbours.hpp"
#include "points/csv_layout.hpp"
#include "points/text_encoding.hpp"

namespace dispersao {

namespace {

// Returns decimal degrees from TSPLIB's DDD.MM form: whole degrees, then minutes after the
// point.
[[nodiscard]] double degrees_from_ddd_mm(double value) {
    const double whole = std::trunc(value);
    return whole + 5.0 * (value - whole) / 3.0;
}

// Latitude and longitude of point k, in decimal degrees. Precondition: geographic(points).
[[nodiscard]] std::array<double, 2> latitude_longitude(const PointSet& points, std::size_t k) {
    if (points.rule == DistanceRule::tsplib_geo) {
        return {degrees_from_ddd_mm(points.x[k]), degrees_from_ddd_mm(points.y[k])};
    }
    return {points.x[k], points.y[k]};
}

// The properties of point k as a JSON object without its closing brace ("{" when it has
// none), ready for more members.
[[nodiscard]] std::string open_properties(const PointSet& points, std::size_t k,
                                          const CsvLayout& layout,
                                          const std::vector<std::string_view>& header) {
    std::string out;
    if (points.record_kind == RecordKind::json_object) {
        out = points.records[k];
        out.pop_back();  // the reader kept a whole object, closing brace last
        while (!out.empty() && (out.back() == ' ' || out.back() == '\n' || out.back() == '\t' ||
                                out.back() == '\r')) {
            out.pop_back();
        }
        return out + (out.size() > 1 ? "," : "");
    }
    out = "{";
    if (points.record_kind == RecordKind::csv_row) {
        std::vector<std::string_view> fields;
        const std::string row = as_utf8(points.records[k]);
        if (!split_csv_fields(row, layout.separator, 0, fields) && fields.size() == header.size()) {
            for (std::size_t i = 0; i < fields.size(); ++i) {
                out += json_string(csv_field_text(header[i])) + ":" +
                       json_string(csv_field_text(fields[i])) + ",";
            }
        }
        return out;
    }
    if (!points.names.empty()) {
        out += "\"nome\":" + json_string(points.names[k]) + ",";
    }
    if (!points.codes.empty()) {
        out += "\"id\":" + json_string(points.codes[k]) + ",";
    }
    return out;
}

// Returns `field` as a CSV field: quoted, quotes doubled, when it holds a comma, a quote or a
// line break.
[[nodiscard]] std::string csv_field(std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(field);
    }
    std::string out = "\"";
    for (const char c : field) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + "\"";
}

}  // namespace

std::string json_string(std::string_view text) {
    std::string quoted = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const std::size_t length = utf8_sequence_length(text, i);
            quoted += length > 0 ? std::string(text.substr(i, length)) : "\\ufffd";
            i += std::max<std::size_t>(length, 1);
            continue;
        }
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else if (c == '\n') {
            quoted += "\\n";
        } else if (c == '\t') {
            quoted += "\\t";
        } else if (c == '\r') {
            quoted += "\\r";
        } else if (c < 0x20 || c == 0x7F) {
            constexpr std::string_view kHex = "0123456789abcdef";
            quoted += "\\u00";
            quoted += kHex[c >> 4U];
            quoted += kHex[c & 0xFU];
        } else {
            quoted += static_cast<char>(c);
        }
        ++i;
    }
    return quoted + "\"";
}

std::string json_number(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    std::array<char, 32> text{};
    const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} ? std::string(text.data(), end) : std::string("null");
}

bool geographic(const PointSet& points) {
    return points.rule == DistanceRule::great_circle_km || points.rule == DistanceRule::tsplib_geo;
}

std::string chosen_sites_geojson(const PointSet& points, const std::vector<std::size_t>& chosen,
                                 double value) {
    assert(geographic(points) && chosen.size() >= 2);
    const ChosenNeighbours neighbours = chosen_neighbours(points, chosen);
    CsvLayout layout;
    std::vector<std::string_view> header;
    if (points.record_kind == RecordKind::csv_row) {
        static_cast<void>(read_csv_header(points.record_header, 0, layout));
    }
    const std::string header_text = as_utf8(points.record_header);
    if (points.record_kind == RecordKind::csv_row) {
        std::string_view line = header_text;
        drop_byte_order_mark(line);
        static_cast<void>(split_csv_fields(line, layout.separator, 0, header));
    }
    std::string out = "{\"type\":\"FeatureCollection\",\"features\":[\n";
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        const std::size_t k = chosen[i];
        const auto [lat, lon] = latitude_longitude(points, k);
        out += i > 0 ? ",\n" : "";
        out += "{\"type\":\"Feature\",";
        if (!points.codes.empty() && !points.codes[k].empty()) {
            out += "\"id\":" + json_string(points.codes[k]) + ",";
        }
        out += "\"geometry\":{\"type\":\"Point\",\"coordinates\":[" + json_number(lon) + "," +
               json_number(lat) +
               "]},\"properties\":" + open_properties(points, k, layout, header) +
               "\"dispersao\":{\"linha\":" + std::to_string(points.ids[k]) +
               ",\"valor\":" + json_number(value) +
               ",\"distancia_vizinho\":" + json_number(neighbours.distance[i]) + "}}}";
    }
    return out + "\n]}\n";
}

std::string chosen_sites_csv(const PointSet& points, const std::vector<std::size_t>& chosen) {
    std::vector<std::size_t> order = chosen;
    std::sort(order.begin(), order.end());
    std::string out;
    if (points.record_kind == RecordKind::csv_row) {
        out = points.record_header + "\n";
        for (const std::size_t k : order) {
            assert(k < points.records.size());
            out += points.records[k] + "\n";
        }
        return out;
    }
    const bool degrees = geographic(points);
    out = "id";
    out += points.names.empty() ? "" : ",nome";
    out += points.codes.empty() ? "" : ",codigo";
    out += degrees ? ",lat,lon\n" : ",x,y\n";
    for (const std::size_t k : order) {
        assert(k < points.size());
        const auto [a, b] = degrees ? latitude_longitude(points, k)
                                    : std::array<double, 2>{points.x[k], points.y[k]};
        out += std::to_string(points.ids[k]);
        // Piece by piece: g++ 12's -Wrestrict misreads chains of + in Release builds.
        for (const std::vector<std::string>* column : {&points.names, &points.codes}) {
            if (!column->empty()) {
                out += ',';
                out += csv_field((*column)[k]);
            }
        }
        for (const double coordinate : {a, b}) {
            out += ',';
            out += json_number(coordinate);
        }
        out += '\n';
    }
    return out;
}

}  // namespace dispersao
