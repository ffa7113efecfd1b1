// Reading --fixos and finding its ids in the input.
#include "exato/fixed_ids.hpp"

#include <algorithm>
#include <limits>
#include <unordered_map>

#include "cli/command_line.hpp"

namespace dispersao {

namespace {

// Returns why `ids` cannot be fixed at p before any is looked up (too many, one repeated), or
// nothing.
[[nodiscard]] std::optional<std::string> count_problem(const std::vector<std::int64_t>& ids,
                                                       int p) {
    if (ids.size() > static_cast<std::size_t>(p)) {
        return "--fixos da " + std::to_string(ids.size()) +
               " ids, mais que p = " + std::to_string(p);
    }
    std::vector<std::int64_t> sorted = ids;
    std::sort(sorted.begin(), sorted.end());
    const auto repeated = std::adjacent_find(sorted.begin(), sorted.end());
    if (repeated != sorted.end()) {
        return "--fixos repete o id " + std::to_string(*repeated);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::vector<std::int64_t>> parse_fixed_ids(std::string_view text) {
    std::vector<std::int64_t> ids;
    while (true) {
        const std::size_t comma = text.find(',');
        const auto id =
            whole_number_in(text.substr(0, comma), 0, std::numeric_limits<std::int64_t>::max());
        if (!id) {
            return std::nullopt;
        }
        ids.push_back(*id);
        if (comma == std::string_view::npos) {
            return ids;
        }
        text.remove_prefix(comma + 1);
    }
}

std::variant<std::vector<std::size_t>, std::string> fixed_point_positions(
    const std::vector<std::int64_t>& ids, int p, const PointSet& points,
    const std::string& source) {
    if (const auto problem = count_problem(ids, p)) {
        return *problem;
    }
    // Where each wanted id is; a second point with the same id makes it ambiguous.
    std::unordered_map<std::int64_t, std::size_t> where;
    constexpr std::size_t kMissing = std::numeric_limits<std::size_t>::max();
    for (const std::int64_t id : ids) {
        where.emplace(id, kMissing);
    }
    for (std::size_t i = 0; i < points.size(); ++i) {
        const auto found = where.find(points.ids[i]);
        if (found == where.end()) {
            continue;
        }
        if (found->second != kMissing) {
            return "--fixos: o id " + std::to_string(found->first) +
                   " aparece em mais de um ponto de " + source;
        }
        found->second = i;
    }
    std::vector<std::size_t> positions;
    for (const std::int64_t id : ids) {
        if (where[id] == kMissing) {
            return "--fixos: nenhum ponto de " + source + " tem o id " + std::to_string(id);
        }
        positions.push_back(where[id]);
    }
    return positions;
}

std::variant<std::vector<std::size_t>, std::string> fixed_folder_positions(
    const std::vector<std::int64_t>& ids, int p, int n) {
    if (const auto problem = count_problem(ids, p)) {
        return *problem;
    }
    std::vector<std::size_t> positions;
    for (const std::int64_t id : ids) {
        if (id >= n) {
            return "--fixos: a instancia nao tem a posicao " + std::to_string(id) +
                   " (posicoes 0 a " + std::to_string(n - 1) + ")";
        }
        positions.push_back(static_cast<std::size_t>(id));
    }
    return positions;
}

std::variant<std::vector<std::size_t>, std::string> fixed_row_positions(
    const std::vector<std::int64_t>& ids, int p, std::size_t n) {
    if (const auto problem = count_problem(ids, p)) {
        return *problem;
    }
    std::vector<std::size_t> positions;
    for (const std::int64_t id : ids) {
        if (id < 1 || static_cast<std::uint64_t>(id) > n) {
            return "--fixos: a matriz nao tem a linha " + std::to_string(id) + " (linhas 1 a " +
                   std::to_string(n) + ")";
        }
        positions.push_back(static_cast<std::size_t>(id - 1));
    }
    return positions;
}

}  // namespace dispersao
