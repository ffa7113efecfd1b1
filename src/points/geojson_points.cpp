// Reader of GeoJSON collections of points.
#include <algorithm>
#include <string>
#include <string_view>
#include <variant>

#include "points/json_text.hpp"
#include "points/point_files.hpp"
#include "points/point_set.hpp"
#include "points/text_encoding.hpp"
#include "points/text_fields.hpp"

namespace dispersao {

namespace {

// Bytes read from the source per call.
constexpr std::size_t kReadBlock = std::size_t{1} << 20;

// Returns the 1-based line of byte `offset` of `text`.
[[nodiscard]] long line_of(std::string_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    return 1 + static_cast<long>(
                   std::count(text.begin(), text.begin() + static_cast<long>(offset), '\n'));
}

// A member's value as text for a name or a code: a string as it is, a number as written,
// nothing for other values.
[[nodiscard]] std::optional<std::string> text_of(const JsonValue* value) {
    if (value == nullptr) {
        return std::nullopt;
    }
    if (value->type == JsonValue::Type::string || value->type == JsonValue::Type::number) {
        return value->text;
    }
    return std::nullopt;
}

// The first of `keys` that `properties` has with a text value, matched as column names are
// (ignoring case, blanks and accents).
[[nodiscard]] std::optional<std::string> property_text(
    const JsonValue* properties, std::initializer_list<std::string_view> keys) {
    if (properties == nullptr || properties->type != JsonValue::Type::object) {
        return std::nullopt;
    }
    for (const std::string_view key : keys) {
        for (const auto& [name, value] : properties->members) {
            if (folded_name(name) == key) {
                if (auto text = text_of(&value)) {
                    return text;
                }
            }
        }
    }
    return std::nullopt;
}

// The read of one document, with the text kept for line numbers.
class GeojsonReader {
  public:
    GeojsonReader(const std::string& text, PointSet& points, bool keep_records)
        : text_(text), points_(points), keep_records_(keep_records) {}

    std::optional<PointError> read(const JsonValue& root) {
        const JsonValue* type = root.member("type");
        if (root.type != JsonValue::Type::object || type == nullptr ||
            type->type != JsonValue::Type::string || type->text != "FeatureCollection") {
            return fault(root, "o GeoJSON deve ser uma FeatureCollection");
        }
        const JsonValue* features = root.member("features");
        if (features == nullptr || features->type != JsonValue::Type::array) {
            return fault(root, "a FeatureCollection nao tem a lista \"features\"");
        }
        if (keep_records_) {
            points_.record_kind = RecordKind::json_object;
        }
        // Names and codes are kept only when some feature has one.
        std::vector<std::string> names;
        std::vector<std::string> codes;
        for (std::size_t k = 0; k < features->items.size(); ++k) {
            if (auto error = read_feature(features->items[k], k + 1, names, codes)) {
                return error;
            }
        }
        if (std::any_of(names.begin(), names.end(), [](const auto& n) { return !n.empty(); })) {
            points_.names = std::move(names);
        }
        if (std::any_of(codes.begin(), codes.end(), [](const auto& c) { return !c.empty(); })) {
            points_.codes = std::move(codes);
        }
        return std::nullopt;
    }

  private:
    [[nodiscard]] PointError fault(const JsonValue& where, std::string detail) const {
        return {PointFailure::malformed, line_of(text_, where.begin), std::move(detail), 0};
    }

    std::optional<PointError> read_feature(const JsonValue& feature, std::size_t number,
                                           std::vector<std::string>& names,
                                           std::vector<std::string>& codes) {
        const std::string which = "a feature " + std::to_string(number);
        const JsonValue* type = feature.member("type");
        if (feature.type != JsonValue::Type::object || type == nullptr || type->text != "Feature") {
            return fault(feature, which + " nao e um objeto do tipo Feature");
        }
        const JsonValue* geometry = feature.member("geometry");
        const JsonValue* geometry_type = geometry != nullptr ? geometry->member("type") : nullptr;
        if (geometry == nullptr || geometry->type != JsonValue::Type::object ||
            geometry_type == nullptr) {
            return fault(feature, which + " nao tem geometria");
        }
        if (geometry_type->text != "Point") {
            return fault(*geometry, which + " e " + quoted(geometry_type->text) +
                                        "; so geometrias Point sao aceitas");
        }
        const JsonValue* coordinates = geometry->member("coordinates");
        if (coordinates == nullptr || coordinates->type != JsonValue::Type::array ||
            coordinates->items.size() < 2 ||
            coordinates->items[0].type != JsonValue::Type::number ||
            coordinates->items[1].type != JsonValue::Type::number) {
            return fault(*geometry, which + " nao tem coordenadas [longitude, latitude]");
        }
        const double lon = coordinates->items[0].number;
        const double lat = coordinates->items[1].number;
        if (!latitude_in_range(lat)) {
            return fault(*coordinates, which + " tem a latitude " +
                                           quoted(coordinates->items[1].text) +
                                           " fora do intervalo -90..90 (a ordem e [lon, lat])");
        }
        if (lon < -180 || lon > 180) {
            return fault(*coordinates, which + " tem a longitude " +
                                           quoted(coordinates->items[0].text) +
                                           " fora do intervalo -180..180");
        }
        points_.x.push_back(lat);
        points_.y.push_back(lon);
        points_.ids.push_back(static_cast<std::int64_t>(number));
        const JsonValue* properties = feature.member("properties");
        names.push_back(property_text(properties, {"nome", "name"}).value_or(""));
        codes.push_back(text_of(feature.member("id"))
                            .value_or(property_text(properties, {"id", "codigo"}).value_or("")));
        if (keep_records_) {
            points_.records.push_back(
                properties != nullptr && properties->type == JsonValue::Type::object
                    ? text_.substr(properties->begin, properties->end - properties->begin)
                    : std::string("{}"));
        }
        return std::nullopt;
    }

    const std::string& text_;
    PointSet& points_;
    bool keep_records_;
};

// Why a text can be no GeoJSON, seen in its first bytes: where, and what a message says.
struct NotJson {
    std::size_t offset;
    const char* detail;
};

// Returns why `text`, of which the bytes from `fresh` on were just read (all of it at first),
// can be no GeoJSON, if it shows already: its first byte that is not blank (nor of a byte-order
// mark) opens no JSON object or list, or it holds a NUL byte, never in JSON text. The answer
// hangs on the text up to the byte it names alone, so a reader may stop reading there: an
// endless device is refused at once, and alike however the text comes in blocks.
[[nodiscard]] std::optional<NotJson> not_json(std::string_view text, std::size_t fresh) {
    const std::size_t first = text.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
    if (first != std::string_view::npos && text[first] != '{' && text[first] != '[') {
        return NotJson{first, "o GeoJSON deve ser um objeto JSON, aberto por '{'"};
    }
    if (const std::size_t nul = text.find('\0', fresh); nul != std::string_view::npos) {
        return NotJson{nul, "o arquivo tem um byte nulo, que nenhum texto JSON tem"};
    }
    return std::nullopt;
}

}  // namespace

std::optional<PointError> parse_geojson_points(const ByteSource& source, PointSet& points,
                                               bool keep_records) {
    points = PointSet{};
    points.rule = DistanceRule::great_circle_km;
    std::string text;
    std::optional<NotJson> refused;
    for (;;) {
        const std::size_t at = text.size();
        text.resize(at + kReadBlock);
        const std::size_t got = source(text.data() + at, kReadBlock);
        text.resize(at + got);
        refused = not_json(text, at);
        if (got == 0 || refused) {
            break;
        }
    }
    if (refused) {
        return PointError{PointFailure::malformed, line_of(text, refused->offset), refused->detail,
                          0};
    }
    // RFC 8259 asks for UTF-8; an export in Latin-1 is converted rather than refused.
    if (!is_utf8(text)) {
        text = as_utf8(text);
    }
    if (std::string_view(text).substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.replace(0, kByteOrderMark.size(), std::string(kByteOrderMark.size(), ' '));
    }
    const std::variant<JsonValue, JsonFault> parsed = parse_json(text);
    if (const auto* fault = std::get_if<JsonFault>(&parsed)) {
        return PointError{PointFailure::malformed, line_of(text, fault->offset),
                          "JSON invalido: " + fault->detail, 0};
    }
    GeojsonReader reader(text, points, keep_records);
    return reader.read(std::get<JsonValue>(parsed));
}

}  // namespace dispersao
