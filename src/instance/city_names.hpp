// Reader of the optional names file that gives the cities of an instance their names.
//
// Line k of the file (1-based) names position k, so a file for cities numbered 1..count has one
// line per city in order; position 0, which such files leave without a city, has no line. A
// blank line leaves its position without a name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dispersao {

inline constexpr const char* kCityNamesFile = "nomes.txt";

// How reading the names went.
enum class NamesStatus {
    read,    // `names` holds one entry per position
    absent,  // there is no names file: the instance has no names
    failed,  // the file exists but cannot be used; `message` says why
};

struct CityNames {
    NamesStatus status = NamesStatus::absent;
    // One name per position 0..n-1, "" for a position without one; empty unless `read`.
    std::vector<std::string> names;
    // One line, ending in a newline, naming the file and what is wrong with it; empty unless
    // `failed`.
    std::string message;
};

// Returns the names that `text` gives positions 0..n-1: line k, without blanks at either end,
// names position k. A non-blank line beyond position n - 1 fails, naming `path` and the line.
// Precondition: n >= 0.
[[nodiscard]] CityNames parse_city_names(std::string_view text, int n, const std::string& path);

// Reads the names file at `path` for an instance of n positions: `absent` when no file is
// there, `failed` when it cannot be read or names a position the instance lacks.
// Precondition: n >= 0.
[[nodiscard]] CityNames read_city_names(const std::string& path, int n);

}  // namespace dispersao
