// What dispersao-exato prints about a search: the plain report and the JSON object.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dispersion/dispersion.hpp"
#include "points/point_set.hpp"

namespace dispersao {

// A finished search as the reports show it.
struct ExactAnswer {
    std::string input;               // what was read, as the user named it
    std::string rule;                // how distances were measured, in a few words
    std::size_t n = 0;               // points or positions of the input
    int p = 0;                       // points chosen
    std::vector<std::int64_t> ids;   // the chosen points' ids, ascending
    std::vector<std::string> names;  // their names in the order of `ids`; empty when unnamed
    std::vector<std::string> codes;  // their codes from the input (an id column) likewise
    double value = 0;                // smallest distance between two chosen points
    double upper_bound = 0;          // no selection does better
    bool proven = false;             // value == upper_bound
    bool interrupted = false;        // stopped by the user
    bool gave_up = false;            // unproven, ended before any limit
    bool integer_values = false;     // distances are whole numbers under the input's rule
    double seconds = 0;              // wall-clock time of the search
};

// True when `rule` gives whole-number distances.
[[nodiscard]] bool integer_distances(DistanceRule rule);

// Returns the answer for `result` on `points`: ids from the file, ascending, names alongside.
[[nodiscard]] ExactAnswer point_answer(const PointSet& points, int p,
                                       const DispersionResult& result, double seconds);

// Returns the answer for `result` on a menu instance of n positions: ids are the positions,
// named by `position_names` (one per position, "" for none) unless that is empty.
[[nodiscard]] ExactAnswer matrix_answer(int n, int p, const DispersionResult& result,
                                        double seconds,
                                        const std::vector<std::string>& position_names = {});

// Returns the answer for `result` on a distance matrix of n rows, its values real: ids are the
// rows counted from 1, named by `row_names` (one per row) unless that is empty.
[[nodiscard]] ExactAnswer distance_matrix_answer(std::size_t n, int p,
                                                 const DispersionResult& result, double seconds,
                                                 const std::vector<std::string>& row_names);

// Returns "Cidades escolhidas: " and each of `positions` with its name in `position_names`
// (one per position, "" for none), separated by commas, ending in a newline. Control bytes of
// names are shown as '?'. Preconditions: every position indexes `position_names`.
[[nodiscard]] std::string chosen_names_line(const std::vector<int>& positions,
                                            const std::vector<std::string>& position_names);

// Returns `value` as the reports write it: a whole number in all its digits, without decimals
// or exponent, when `integer` (and it is one), otherwise the shortest text that reads back as
// the same double; zero without a sign.
[[nodiscard]] std::string format_value(double value, bool integer);

// The plain Portuguese report, several lines each ending in a newline.
[[nodiscard]] std::string plain_report(const ExactAnswer& answer);

// The JSON object, on one line ending in a newline.
[[nodiscard]] std::string json_report(const ExactAnswer& answer);

}  // namespace dispersao
