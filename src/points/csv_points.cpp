// Reader of CSV tables of coordinates.
#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

#include "points/csv_layout.hpp"
#include "points/line_reader.hpp"
#include "points/point_files.hpp"
#include "points/point_set.hpp"
#include "points/text_encoding.hpp"
#include "points/text_fields.hpp"

namespace dispersao {

namespace {

[[nodiscard]] PointError fault(long line, std::string detail) {
    return {PointFailure::malformed, line, std::move(detail), 0};
}

// Parses a numeric field (blanks around it and plain quotes allowed) into `value`; a decimal
// comma stands for the point when the separator is not a comma. False when it is not a finite
// number.
[[nodiscard]] bool field_number(std::string_view field, char separator, double& value) {
    field = trim(field);
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"') {
        field = trim(field.substr(1, field.size() - 2));
    }
    const std::size_t comma = field.find(',');
    if (separator != ',' && comma != std::string_view::npos &&
        field.find(',', comma + 1) == std::string_view::npos &&
        field.find('.') == std::string_view::npos) {
        std::string with_point(field);
        with_point[comma] = '.';
        return parse_real(with_point, value);
    }
    return parse_real(field, value);
}

// True when `line` holds a digit, a comma and a digit in a row, as a decimal comma does.
[[nodiscard]] bool has_decimal_comma(std::string_view line) {
    for (std::size_t i = 1; i + 1 < line.size(); ++i) {
        if (line[i] == ',' && std::isdigit(static_cast<unsigned char>(line[i - 1])) != 0 &&
            std::isdigit(static_cast<unsigned char>(line[i + 1])) != 0) {
            return true;
        }
    }
    return false;
}

// Reads one data row (UTF-8) into `points`.
std::optional<PointError> read_row(std::string_view line, long number, const CsvLayout& layout,
                                   std::vector<std::string_view>& fields, PointSet& points) {
    if (auto error = split_csv_fields(line, layout.separator, number, fields)) {
        return error;
    }
    if (fields.size() != layout.width) {
        std::string detail = quoted(line) + " tem " + std::to_string(fields.size()) +
                             " campos; o cabecalho tem " + std::to_string(layout.width) +
                             " (separador " + separator_words(layout.separator) + ")";
        // Two coordinates written with a decimal comma split into two more fields.
        if (layout.separator == ',' && fields.size() == layout.width + 2 &&
            has_decimal_comma(line)) {
            detail += "; numeros com virgula decimal pedem colunas separadas por ponto e virgula";
        }
        return fault(number, detail);
    }
    const std::size_t first = layout.field[layout.geographic ? kCsvLat : kCsvX];
    const std::size_t second = layout.field[layout.geographic ? kCsvLon : kCsvY];
    double a = 0;
    double b = 0;
    for (const auto& [field, value] : {std::pair{first, &a}, std::pair{second, &b}}) {
        if (!field_number(fields[field], layout.separator, *value)) {
            std::string detail = quoted(trim(fields[field])) + " nao e um numero";
            const bool comma = fields[field].find(',') != std::string_view::npos;
            if (comma && layout.separator == ',') {
                detail +=
                    " (a virgula decimal so vale com colunas separadas por ponto e virgula "
                    "ou tabulacao)";
            } else if (comma && fields[field].find('.') != std::string_view::npos) {
                // "1.000,5": a decimal comma after a point that separates thousands.
                detail += " (sem separador de milhares: 1000,5 ou 1000.5)";
            }
            return fault(number, detail);
        }
    }
    if (layout.geographic && !latitude_in_range(a)) {
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
    if (layout.field[kCsvName] != kNoCsvField) {
        points.names.push_back(csv_field_text(fields[layout.field[kCsvName]]));
    }
    if (layout.field[kCsvCode] != kNoCsvField) {
        points.codes.push_back(csv_field_text(fields[layout.field[kCsvCode]]));
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
    if (!points.codes.empty()) {
        points.codes.reserve(rows);
    }
}

// Makes `line`, row `number` of `lines`, the whole row when a quoted field it opens goes on in
// the lines after it (a spreadsheet's cell of several lines): they are joined into `joined`,
// with their breaks. Returns the fault of a row longer than a line may be.
[[nodiscard]] std::optional<PointError> join_open_field(LineReader& lines, long number,
                                                        char separator, std::string_view& line,
                                                        std::string& joined) {
    if (!ends_in_open_quote(line, separator)) {
        return std::nullopt;
    }
    joined.assign(line);
    while (ends_in_open_quote(joined, separator) && lines.next(line)) {
        joined += '\n';
        joined += line;
        if (lines.too_long() || joined.size() > LineReader::kMaxLine) {
            return fault(number, LineReader::overlong_line(joined));
        }
    }
    line = joined;
    return std::nullopt;
}

}  // namespace

std::optional<PointError> parse_csv_points(ByteSource source, PointSet& points,
                                           std::size_t text_bytes, bool keep_records) {
    points = PointSet{};
    // Rows read before the storage is sized, and the bytes they took.
    constexpr std::size_t kSampleRows = 1024;
    std::size_t sample_bytes = 0;
    LineReader lines(std::move(source));
    CsvLayout layout;
    bool have_header = false;
    std::vector<std::string_view> fields;
    std::string converted;  // a line that was not UTF-8, in UTF-8
    std::string joined;     // the lines of a row whose quoted field spans several
    std::string_view line;
    while (lines.next(line)) {
        const long number = lines.line_number();
        if (lines.too_long()) {
            return fault(number, LineReader::overlong_line(line));
        }
        if (trim(line).empty()) {
            continue;
        }
        if (have_header) {
            if (auto error = join_open_field(lines, number, layout.separator, line, joined)) {
                return error;
            }
        }
        const std::string_view written = line;
        if (!is_utf8(line)) {
            converted = as_utf8(line);
            line = converted;
        }
        std::optional<PointError> error;
        if (have_header) {
            error = read_row(line, number, layout, fields, points);
            if (keep_records) {
                points.records.emplace_back(written);
            }
            if (points.size() <= kSampleRows) {
                sample_bytes += line.size() + 1;
            }
            if (points.size() == kSampleRows && text_bytes > 0) {
                reserve_rows(points, text_bytes / sample_bytes * kSampleRows * 21 / 20);
            }
        } else {
            error = read_csv_header(line, number, layout);
            have_header = true;
            points.rule =
                layout.geographic ? DistanceRule::great_circle_km : DistanceRule::euclidean;
            if (keep_records) {
                points.record_kind = RecordKind::csv_row;
                points.record_header = written;
                points.record_separator = layout.separator;
            }
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
