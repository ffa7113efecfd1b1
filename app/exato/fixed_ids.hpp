// dispersao-exato's --fixos: the ids of points already chosen, as its reports show them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "points/point_set.hpp"

namespace dispersao {

// Returns the ids of `text`, whole numbers >= 0 separated by commas ("3,17,42"), or nothing
// when it is not such a list.
[[nodiscard]] std::optional<std::vector<std::int64_t>> parse_fixed_ids(std::string_view text);

// Returns the 0-based positions of `ids` in a point set (the point whose report id is each),
// or the one line (no newline) that says why they cannot be fixed: more than p of them, one
// repeated, one that no point has, or one that several points share. `source` names the file.
[[nodiscard]] std::variant<std::vector<std::size_t>, std::string> fixed_point_positions(
    const std::vector<std::int64_t>& ids, int p, const PointSet& points, const std::string& source);

// The same for a menu instance of n positions, whose report ids are the positions themselves.
[[nodiscard]] std::variant<std::vector<std::size_t>, std::string> fixed_folder_positions(
    const std::vector<std::int64_t>& ids, int p, int n);

// The same for a distance matrix of n rows, whose report ids are the rows counted from 1.
[[nodiscard]] std::variant<std::vector<std::size_t>, std::string> fixed_row_positions(
    const std::vector<std::int64_t>& ids, int p, std::size_t n);

}  // namespace dispersao
