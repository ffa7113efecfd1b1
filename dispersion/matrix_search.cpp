// Exact p-dispersion of a menu program instance by rising thresholds and clique search.
//
// With v the value of the best selection known, the positions whose pairs are all worth more
// than v form cliques of the graph linking such pairs; a p-clique there is a better selection,
// and its value the next v. When the graph holds no p-clique, v is optimal.
#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "dispersion/clique_search.hpp"
#include "dispersion/dispersion.hpp"
#include "dispersion/search_clock.hpp"
#include "solution/selection.hpp"

namespace {

// Returns a cell's value as the menu program's objective counts it: truncated toward zero and
// capped at 100; NaN counts as the cap (it never lowers a minimum), and values far below any
// distance are clamped so the conversion stays defined.
[[nodiscard]] std::int64_t capped(float cell) {
    if (!(cell < kValueCap)) {
        return static_cast<std::int64_t>(kValueCap);
    }
    constexpr float kFloor = -1.0e18F;
    return cell < kFloor ? static_cast<std::int64_t>(kFloor) : static_cast<std::int64_t>(cell);
}

// The instance: values read only from cells [a][b] with a < b.
struct Instance {
    int n;
    const float* const* matrix;  // n row pointers to n floats, 0-based

    [[nodiscard]] std::int64_t value(std::size_t a, std::size_t b) const {
        return a < b ? capped(matrix[a][b]) : capped(matrix[b][a]);
    }
    [[nodiscard]] std::int64_t value_of(const std::vector<std::size_t>& chosen) const {
        std::int64_t worst = std::numeric_limits<std::int64_t>::max();
        for (std::size_t i = 0; i < chosen.size(); ++i) {
            for (std::size_t j = i + 1; j < chosen.size(); ++j) {
                worst = std::min(worst, value(chosen[i], chosen[j]));
            }
        }
        return worst;
    }
};

// Returns p positions picked greedily from `first`, each the farthest from those picked.
[[nodiscard]] std::vector<std::size_t> greedy(const Instance& instance, int p, std::size_t first) {
    const auto n = static_cast<std::size_t>(instance.n);
    std::vector<std::int64_t> nearest(n, std::numeric_limits<std::int64_t>::max());
    std::vector<bool> picked(n, false);
    std::vector<std::size_t> chosen{first};
    picked[first] = true;
    while (chosen.size() < static_cast<std::size_t>(p)) {
        std::size_t farthest = n;
        for (std::size_t i = 0; i < n; ++i) {
            if (!picked[i]) {
                nearest[i] = std::min(nearest[i], instance.value(i, chosen.back()));
                if (farthest == n || nearest[i] > nearest[farthest]) {
                    farthest = i;
                }
            }
        }
        picked[farthest] = true;
        chosen.push_back(farthest);
    }
    return chosen;
}

// Returns a bound no selection beats: each position's (p - 1)-th largest value to the others,
// the largest over positions.
[[nodiscard]] std::int64_t upper_bound(const Instance& instance, int p) {
    const auto n = static_cast<std::size_t>(instance.n);
    std::vector<std::int64_t> row(n - 1);
    std::int64_t bound = std::numeric_limits<std::int64_t>::min();
    for (std::size_t a = 0; a < n; ++a) {
        std::size_t k = 0;
        for (std::size_t b = 0; b < n; ++b) {
            if (b != a) {
                row[k++] = instance.value(a, b);
            }
        }
        const auto nth = row.begin() + (p - 2);
        std::nth_element(row.begin(), nth, row.end(), std::greater<>());
        bound = std::max(bound, *nth);
    }
    return bound;
}

}  // namespace

DispersionResult solve_matrix_dispersion(int n, const float* const* matrix, int p,
                                         const SearchLimits& limits) {
    assert(p >= 2 && p <= n);
    SearchClock clock(limits);
    const Instance instance{n, matrix};
    const auto size = static_cast<std::size_t>(n);
    std::vector<std::size_t> best;
    std::int64_t value = std::numeric_limits<std::int64_t>::min();
    constexpr std::size_t kStarts = 8;
    for (std::size_t start = 0; start < std::min(size, kStarts); ++start) {
        std::vector<std::size_t> chosen = greedy(instance, p, start * size / kStarts);
        const std::int64_t worth = instance.value_of(chosen);
        if (worth > value) {
            value = worth;
            best = std::move(chosen);
        }
    }
    std::int64_t upper = std::max(value, upper_bound(instance, p));
    std::vector<std::size_t> clique;
    while (upper > value && !clock.should_stop()) {
        clock.report(static_cast<double>(value), static_cast<double>(upper));
        BitGraph graph(size);
        for (std::size_t a = 0; a < size; ++a) {
            for (std::size_t b = a + 1; b < size; ++b) {
                if (instance.value(a, b) > value) {
                    graph.add_edge(a, b);
                }
            }
        }
        std::vector<Word> everyone(graph.words(), 0);
        for (std::size_t a = 0; a < size; ++a) {
            everyone[a / kWordBits] |= Word{1} << (a % kWordBits);
        }
        CliqueSearcher searcher(graph, [&clock] { return clock.should_stop(); });
        const CliqueOutcome outcome = searcher.find(everyone, p, clique);
        if (outcome == CliqueOutcome::absent) {
            upper = value;
        } else if (outcome == CliqueOutcome::found) {
            value = instance.value_of(clique);
            best = clique;
        }
    }
    DispersionResult result;
    result.chosen = best;
    std::sort(result.chosen.begin(), result.chosen.end());
    result.value = static_cast<double>(value);
    result.upper_bound = static_cast<double>(upper);
    result.proven = upper <= value;
    result.interrupted = !result.proven && clock.interrupted();
    if (limits.on_progress) {
        limits.on_progress(result.value, result.upper_bound);
    }
    return result;
}
