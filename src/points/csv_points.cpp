// Reader of CSV tables of coordinates.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <string_view>
#include <vector>

#include "conversion/text_lines.hpp"
#include "points/line_reader.hpp"
#include "points/point_files.hpp"

namespace dispersao {

namespace {

// The columns the reader uses, by their place in kColumnNames.
enum Column : std::size_t { kX, kY, kLat, kLon, kName, kColumnCount };
constexpr std::array<std::string_view, kColumnCount> kColumnNames = {"x", "y", "lat", "lon",
                                                                     "nome"};
constexpr std::size_t kNoField = SIZE_MAX;

[[nodiscard]] PointError fault(long line, std::string detail) {
    return {PointFailure::malformed, line, std::move(detail)};
}

// Returns the index just past the closing quote of the quoted field whose opening quote is at
// line[open], "" inside it standing for one quote; nothing when the quote never closes.
[[nodiscard]] std::optional<std::size_t> closing_quote_end(std::string_view line,
                                                           std::size_t open) {
    std::size_t i = open + 1;
    while (i < line.size()) {
        if (line[i] != '"') {
            ++i;
        } else if (i + 1 < line.size() && line[i + 1] == '"') {
            i += 2;
        } else {
            return i + 1;
        }
    }
    return std::nullopt;
}

// Cuts `line` into its fields, each kept as written (quotes and blanks included), into
// `fields`. A field opening with a double quote (after blanks) runs to its closing quote, ""
// inside standing for one quote, and may be followed only by blanks. Returns the fault of a
// quote left open or followed by other text, naming line `number`.
std::optional<PointError> split_fields(std::string_view line, long number,
                                       std::vector<std::string_view>& fields) {
    fields.clear();
    if (std::memchr(line.data(), '"', line.size()) == nullptr) {
        // No quotes: the commas alone cut the line.
        std::size_t start = 0;
        for (;;) {
            const std::size_t comma = line.find(',', start);
            fields.push_back(line.substr(start, comma - start));
            if (comma == std::string_view::npos) {
                return std::nullopt;
            }
            start = comma + 1;
        }
    }
    std::size_t start = 0;
    for (;;) {
        std::size_t i = start;
        while (i < line.size() && is_blank(line[i])) {
            ++i;
        }
        if (i < line.size() && line[i] == '"') {
            const std::optional<std::size_t> end = closing_quote_end(line, i);
            if (!end) {
                return fault(number,
                             "as aspas de " + quoted(line.substr(start)) + " nao se fecham");
            }
            i = *end;
            while (i < line.size() && is_blank(line[i])) {
                ++i;
            }
            if (i < line.size() && line[i] != ',') {
                return fault(number, quoted(line.substr(start)) +
                                         " tem texto depois das aspas que fecham o campo");
            }
        } else {
            i = std::min(line.find(',', i), line.size());
        }
        fields.push_back(line.substr(start, i - start));
        if (i >= line.size()) {
            return std::nullopt;
        }
        start = i + 1;
    }
}

// Returns the text a field stands for: blanks around it dropped and, when quoted, the quotes
// removed and each "" turned into one quote.
[[nodiscard]] std::string field_text(std::string_view field) {
    field = trim(field);
    if (field.size() < 2 || field.front() != '"') {
        return std::string(field);
    }
    std::string text;
    text.reserve(field.size() - 2);
    for (std::size_t i = 1; i + 1 < field.size(); ++i) {
        text += field[i];
        if (field[i] == '"') {
            ++i;
        }
    }
    return text;
}

// Parses a numeric field (blanks around it and plain quotes allowed) into `value`; false when
// it is not a finite number.
[[nodiscard]] bool field_number(std::string_view field, double& value) {
    field = trim(field);
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"') {
        field = trim(field.substr(1, field.size() - 2));
    }
    return parse_real(field, value);
}

[[nodiscard]] std::string lowercase(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// Where each used column sits in a row, from the header.
struct Layout {
    std::array<std::size_t, kColumnCount> field{kNoField, kNoField, kNoField, kNoField, kNoField};
    std::size_t width = 0;  // fields in the header
    bool geographic = false;
};

std::optional<PointError> read_header(std::string_view line, long number, Layout& layout) {
    // A byte-order mark, as spreadsheets write it, is not part of the first name.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (line.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        line.remove_prefix(kByteOrderMark.size());
    }
    std::vector<std::string_view> fields;
    if (auto error = split_fields(line, number, fields)) {
        return error;
    }
    layout.width = fields.size();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string name = lowercase(field_text(fields[i]));
        const auto* known = std::find(kColumnNames.begin(), kColumnNames.end(), name);
        if (known == kColumnNames.end()) {
            continue;
        }
        const auto column = static_cast<std::size_t>(known - kColumnNames.begin());
        if (layout.field[column] != kNoField) {
            return fault(number, "a coluna " + quoted(name) + " aparece mais de uma vez");
        }
        layout.field[column] = i;
    }
    const bool planar = layout.field[kX] != kNoField || layout.field[kY] != kNoField;
    layout.geographic = layout.field[kLat] != kNoField || layout.field[kLon] != kNoField;
    if (planar && layout.geographic) {
        return fault(number, "o cabecalho mistura as colunas x, y com lat, lon");
    }
    const Column first = layout.geographic ? kLat : kX;
    const Column second = layout.geographic ? kLon : kY;
    if (layout.field[first] == kNoField || layout.field[second] == kNoField) {
        return fault(number,
                     "o cabecalho " + quoted(line) + " nao nomeia as colunas x e y nem lat e lon");
    }
    return std::nullopt;
}

// Reads one data row into `points`.
std::optional<PointError> read_row(std::string_view line, long number, const Layout& layout,
                                   std::vector<std::string_view>& fields, PointSet& points) {
    if (auto error = split_fields(line, number, fields)) {
        return error;
    }
    if (fields.size() != layout.width) {
        return fault(number, quoted(line) + " tem " + std::to_string(fields.size()) +
                                 " campos; o cabecalho tem " + std::to_string(layout.width));
    }
    const std::size_t first = layout.field[layout.geographic ? kLat : kX];
    const std::size_t second = layout.field[layout.geographic ? kLon : kY];
    double a = 0;
    double b = 0;
    for (const auto& [field, value] : {std::pair{first, &a}, std::pair{second, &b}}) {
        if (!field_number(fields[field], *value)) {
            return fault(number, quoted(trim(fields[field])) + " nao e um numero");
        }
    }
    if (layout.geographic && (a < -90 || a > 90)) {
        return fault(number, "a latitude " + quoted(trim(fields[first])) +
                                 " esta fora do intervalo -90..90");
    }
    if (layout.geographic && (b < -180 || b > 180)) {
        return fault(number, "a longitude " + quoted(trim(fields[second])) +
                                 " esta fora do intervalo -180..180");
    }
    points.x.push_back(a);
    points.y.push_back(b);
    points.ids.push_back(static_cast<std::int64_t>(points.ids.size()) + 1);
    if (layout.field[kName] != kNoField) {
        points.names.push_back(field_text(fields[layout.field[kName]]));
    }
    return std::nullopt;
}

// Makes room for `rows` points in all of `points`' columns.
void reserve_rows(PointSet& points, std::size_t rows) {
    points.x.reserve(rows);
    points.y.reserve(rows);
    points.ids.reserve(rows);
    if (!points.names.empty()) {
        points.names.reserve(rows);
    }
}

}  // namespace

std::optional<PointError> parse_csv_points(ByteSource source, PointSet& points,
                                           std::size_t text_bytes) {
    points = PointSet{};
    // Rows read before the storage is sized, and the bytes they took.
    constexpr std::size_t kSampleRows = 1024;
    std::size_t sample_bytes = 0;
    LineReader lines(std::move(source));
    Layout layout;
    bool have_header = false;
    std::vector<std::string_view> fields;
    std::string_view line;
    while (lines.next(line)) {
        const long number = lines.line_number();
        if (lines.too_long()) {
            return fault(number, quoted(line) + " inicia uma linha longa demais");
        }
        if (trim(line).empty()) {
            continue;
        }
        std::optional<PointError> error;
        if (have_header) {
            error = read_row(line, number, layout, fields, points);
            if (points.size() <= kSampleRows) {
                sample_bytes += line.size() + 1;
            }
            if (points.size() == kSampleRows && text_bytes > 0) {
                reserve_rows(points, text_bytes / sample_bytes * kSampleRows * 21 / 20);
            }
        } else {
            error = read_header(line, number, layout);
            have_header = true;
            points.rule =
                layout.geographic ? DistanceRule::great_circle_km : DistanceRule::euclidean;
        }
        if (error) {
            return error;
        }
    }
    if (!have_header) {
        return fault(0, "o arquivo esta vazio; falta o cabecalho (x,y ou lat,lon)");
    }
    return std::nullopt;
}

}  // namespace dispersao
