// The shape of a CSV table of points: how its rows split into fields, and which field holds
// which coordinate, from its header.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "points/point_files.hpp"

namespace dispersao {

// The columns the CSV reader uses.
enum CsvColumn : std::size_t { kCsvX, kCsvY, kCsvLat, kCsvLon, kCsvName, kCsvCode, kCsvColumns };

inline constexpr std::size_t kNoCsvField = SIZE_MAX;

// Where each used column sits in a row, from the header.
struct CsvLayout {
    std::array<std::size_t, kCsvColumns> field{kNoCsvField, kNoCsvField, kNoCsvField,
                                               kNoCsvField, kNoCsvField, kNoCsvField};
    std::size_t width = 0;  // fields in the header
    bool geographic = false;
    char separator = ',';
};

// Returns whether `line` ends inside a field that opens with a double quote (after blanks):
// the field goes on in the next line, as spreadsheets write a cell of several lines.
[[nodiscard]] bool ends_in_open_quote(std::string_view line, char separator);

// Cuts `line` into its fields at `separator`, each kept as written (quotes and blanks
// included), into `fields`. A field opening with a double quote (after blanks) runs to its
// closing quote, "" inside standing for one quote, and may be followed only by blanks. Returns
// the fault of a quote left open or followed by other text, naming line `number`.
[[nodiscard]] std::optional<PointError> split_csv_fields(std::string_view line, char separator,
                                                         long number,
                                                         std::vector<std::string_view>& fields);

// Returns the text a field stands for: blanks around it dropped and, when quoted, the quotes
// removed and each "" turned into one quote.
[[nodiscard]] std::string csv_field_text(std::string_view field);

// Reads the header row `line` (UTF-8, a byte-order mark allowed), line `number` of the file:
// its separator is whichever of tab, ';' and ',' it holds most outside quotes (',' when none).
// Fills `layout`, or returns what is wrong: a separator the reader does not know, a missing
// or repeated column, x, y mixed with lat, lon.
[[nodiscard]] std::optional<PointError> read_csv_header(std::string_view line, long number,
                                                        CsvLayout& layout);

// The separator as a message names it.
[[nodiscard]] std::string separator_words(char separator);

}  // namespace dispersao
