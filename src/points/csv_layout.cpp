// The header of a CSV table of points: its separator and its columns.
#include "points/csv_layout.hpp"

#include <algorithm>
#include <cstring>

#include "points/text_encoding.hpp"
#include "points/text_fields.hpp"

namespace dispersao {

namespace {

[[nodiscard]] PointError fault(long line, std::string detail) {
    return {PointFailure::malformed, line, std::move(detail), 0};
}

// The names each used column goes by, folded as folded_name folds them ("" pads the list),
// and how a message lists them. Constant data, so nothing is allocated before main.
struct ColumnNames {
    CsvColumn column;
    std::array<std::string_view, 4> names;
    std::string_view words;
};

constexpr ColumnNames kColumnNames[] = {
    {kCsvX, {"x"}, "x"},
    {kCsvY, {"y"}, "y"},
    {kCsvLat, {"lat", "latitude"}, "lat ou latitude"},
    {kCsvLon, {"lon", "lng", "long", "longitude"}, "lon, lng, long ou longitude"},
    {kCsvName, {"nome", "name"}, "nome ou name"},
    {kCsvCode, {"id", "codigo"}, "id ou codigo"},
};

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

// Returns the separator `line` uses most outside quotes: tab, then ';', then ',' on a tie;
// ',' when it holds none of them.
[[nodiscard]] char most_used_separator(std::string_view line) {
    std::size_t tabs = 0;
    std::size_t semicolons = 0;
    std::size_t commas = 0;
    bool quoted_text = false;
    for (const char c : line) {
        if (c == '"') {
            quoted_text = !quoted_text;
        } else if (!quoted_text) {
            tabs += c == '\t' ? 1 : 0;
            semicolons += c == ';' ? 1 : 0;
            commas += c == ',' ? 1 : 0;
        }
    }
    if (tabs > 0 && tabs >= semicolons && tabs >= commas) {
        return '\t';
    }
    return semicolons > 0 && semicolons >= commas ? ';' : ',';
}

}  // namespace

std::string separator_words(char separator) {
    return separator == '\t' ? "tabulacao" : separator == ';' ? "ponto e virgula" : "virgula";
}

bool ends_in_open_quote(std::string_view line, char separator) {
    if (std::memchr(line.data(), '"', line.size()) == nullptr) {
        return false;
    }
    const auto blank = [separator](char c) { return c != separator && is_blank(c); };
    std::size_t i = 0;
    for (;;) {
        while (i < line.size() && blank(line[i])) {
            ++i;
        }
        if (i < line.size() && line[i] == '"') {
            const std::optional<std::size_t> end = closing_quote_end(line, i);
            if (!end) {
                return true;
            }
            i = *end;
        }
        const std::size_t cut = line.find(separator, i);
        if (cut == std::string_view::npos) {
            return false;
        }
        i = cut + 1;
    }
}

std::optional<PointError> split_csv_fields(std::string_view line, char separator, long number,
                                           std::vector<std::string_view>& fields) {
    fields.clear();
    if (std::memchr(line.data(), '"', line.size()) == nullptr) {
        // No quotes: the separators alone cut the line.
        std::size_t start = 0;
        for (;;) {
            const std::size_t cut = line.find(separator, start);
            fields.push_back(line.substr(start, cut - start));
            if (cut == std::string_view::npos) {
                return std::nullopt;
            }
            start = cut + 1;
        }
    }
    const auto blank = [separator](char c) { return c != separator && is_blank(c); };
    std::size_t start = 0;
    for (;;) {
        std::size_t i = start;
        while (i < line.size() && blank(line[i])) {
            ++i;
        }
        if (i < line.size() && line[i] == '"') {
            const std::optional<std::size_t> end = closing_quote_end(line, i);
            if (!end) {
                return fault(number,
                             "as aspas de " + quoted(line.substr(start)) + " nao se fecham");
            }
            i = *end;
            while (i < line.size() && blank(line[i])) {
                ++i;
            }
            if (i < line.size() && line[i] != separator) {
                return fault(number, quoted(line.substr(start)) +
                                         " tem texto depois das aspas que fecham o campo");
            }
        } else {
            i = std::min(line.find(separator, i), line.size());
        }
        fields.push_back(line.substr(start, i - start));
        if (i >= line.size()) {
            return std::nullopt;
        }
        start = i + 1;
    }
}

std::string csv_field_text(std::string_view field) {
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

std::optional<PointError> read_csv_header(std::string_view line, long number, CsvLayout& layout) {
    // A byte-order mark, as spreadsheets write it, is not part of the first name.
    drop_byte_order_mark(line);
    layout = CsvLayout{};
    layout.separator = most_used_separator(line);
    std::vector<std::string_view> fields;
    if (auto error = split_csv_fields(line, layout.separator, number, fields)) {
        return error;
    }
    layout.width = fields.size();
    std::array<std::string, kCsvColumns> written;  // each found column's name as written
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string text = csv_field_text(fields[i]);
        const std::string name = folded_name(text);
        for (const ColumnNames& known : kColumnNames) {
            if (name.empty() ||
                std::find(known.names.begin(), known.names.end(), name) == known.names.end()) {
                continue;
            }
            if (layout.field[known.column] != kNoCsvField) {
                return fault(number, "as colunas " + quoted(written[known.column]) + " e " +
                                         quoted(text) + " dizem a mesma coisa (" +
                                         std::string(known.words) + ")");
            }
            layout.field[known.column] = i;
            written[known.column] = text;
        }
    }
    const bool planar = layout.field[kCsvX] != kNoCsvField || layout.field[kCsvY] != kNoCsvField;
    layout.geographic =
        layout.field[kCsvLat] != kNoCsvField || layout.field[kCsvLon] != kNoCsvField;
    if (planar && layout.geographic) {
        return fault(number, "o cabecalho mistura as colunas x, y com lat, lon");
    }
    if (!planar && !layout.geographic) {
        if (fields.size() == 1) {
            return fault(number, "o cabecalho " + quoted(line) +
                                     " tem uma coluna so: separe as colunas com virgula, ponto "
                                     "e virgula ou tabulacao");
        }
        return fault(number, "o cabecalho " + quoted(line) + " (separador " +
                                 separator_words(layout.separator) +
                                 ") nao nomeia as colunas x e y nem lat e lon");
    }
    for (const CsvColumn column :
         layout.geographic ? std::array{kCsvLat, kCsvLon} : std::array{kCsvX, kCsvY}) {
        if (layout.field[column] == kNoCsvField) {
            const auto* known =
                std::find_if(std::begin(kColumnNames), std::end(kColumnNames),
                             [column](const ColumnNames& names) { return names.column == column; });
            return fault(number, "falta a coluna " + std::string(known->words) + " no cabecalho " +
                                     quoted(line) + " (separador " +
                                     separator_words(layout.separator) + ")");
        }
    }
    return std::nullopt;
}

}  // namespace dispersao
