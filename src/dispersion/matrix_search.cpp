// Exact p-dispersion of a menu program instance by rising thresholds and clique search.
//
// With v the value of the best selection known, the positions whose pairs are all worth more
// than v form cliques of the graph linking such pairs; a p-clique there is a better selection,
// and its value the next v. When the graph holds no p-clique, v is optimal. Before that, short
// searches at levels between v and the bound bring the bound down (and v up) cheaply, so that a
// search cut short by its limit still reports a useful bound.
#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

#include "dispersion/clique_search.hpp"
#include "dispersion/dispersion.hpp"
#include "dispersion/search_clock.hpp"
#include "dispersion/search_tuning.hpp"
#include "solution/selection.hpp"

namespace dispersao {

namespace {

// The instance: values read only from cells [a][b] with a < b.
struct Instance {
    int n;
    const float* const* matrix;  // n row pointers to n floats, 0-based

    [[nodiscard]] std::int64_t value(std::size_t a, std::size_t b) const {
        return a < b ? capped_level(matrix[a][b]) : capped_level(matrix[b][a]);
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

// What a search for p positions whose pairs are all worth at least a level ended with.
struct LevelSearch {
    CliqueOutcome outcome = CliqueOutcome::absent;
    std::vector<std::size_t> chosen;  // the positions, when found
};

// Looks for p positions whose pairs are all worth at least `level`, in the graph of such pairs
// with its vertices numbered by falling degree (which tightens the colouring bounds).
// `should_stop` is asked now and then whether to give up.
[[nodiscard]] LevelSearch search_level(const Instance& instance, int p, std::int64_t level,
                                       const std::function<bool()>& should_stop) {
    const auto n = static_cast<std::size_t>(instance.n);
    std::vector<std::pair<std::size_t, std::size_t>> by_degree(n);  // (n - degree, position)
    for (std::size_t a = 0; a < n; ++a) {
        by_degree[a] = {n, a};
    }
    for (std::size_t a = 0; a < n; ++a) {
        for (std::size_t b = a + 1; b < n; ++b) {
            if (instance.value(a, b) >= level) {
                --by_degree[a].first;
                --by_degree[b].first;
            }
        }
    }
    std::sort(by_degree.begin(), by_degree.end());
    BitGraph graph(n);
    for (std::size_t a = 0; a < n; ++a) {
        if (should_stop()) {
            return {CliqueOutcome::stopped, {}};
        }
        for (std::size_t b = a + 1; b < n; ++b) {
            if (instance.value(by_degree[a].second, by_degree[b].second) >= level) {
                graph.add_edge(a, b);
            }
        }
    }
    std::vector<Word> everyone(graph.words(), 0);
    for (std::size_t a = 0; a < n; ++a) {
        everyone[a / kWordBits] |= Word{1} << (a % kWordBits);
    }
    CliqueSearcher searcher(graph, should_stop);
    LevelSearch result;
    std::vector<std::size_t> clique;
    result.outcome = searcher.find(everyone, p, clique);
    for (const std::size_t v : clique) {
        result.chosen.push_back(by_degree[v].second);
    }
    return result;
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
    constexpr std::size_t kStarts = tuning::kMatrixGreedyStarts;
    for (std::size_t start = 0; start < std::min(size, kStarts); ++start) {
        std::vector<std::size_t> chosen = greedy(instance, p, start * size / kStarts);
        const std::int64_t worth = instance.value_of(chosen);
        if (worth > value) {
            value = worth;
            best = std::move(chosen);
        }
    }
    std::int64_t upper = std::max(value, upper_bound(instance, p));
    // First the bound: levels bisected between the value and the bound, each search on a small
    // budget, lower the bound wherever no selection reaches the level, and raise the value
    // wherever one is found.
    std::int64_t reach = upper;
    while (reach > value && !clock.should_stop()) {
        const std::int64_t level = value + 1 + (reach - value - 1) / 2;
        int checks = 0;
        const LevelSearch probe = search_level(instance, p, level, [&] {
            return ++checks > tuning::kMatrixProbeChecks || clock.should_stop();
        });
        if (probe.outcome == CliqueOutcome::absent) {
            upper = level - 1;
            reach = upper;
        } else if (probe.outcome == CliqueOutcome::found) {
            value = instance.value_of(probe.chosen);
            best = probe.chosen;
        } else {
            reach = level - 1;
        }
        clock.report(static_cast<double>(value), static_cast<double>(upper));
    }
    // Then each better value in turn, without a budget, until none is left.
    while (upper > value && !clock.should_stop()) {
        clock.report(static_cast<double>(value), static_cast<double>(upper));
        const LevelSearch next =
            search_level(instance, p, value + 1, [&clock] { return clock.should_stop(); });
        if (next.outcome == CliqueOutcome::absent) {
            upper = value;
        } else if (next.outcome == CliqueOutcome::found) {
            value = instance.value_of(next.chosen);
            best = next.chosen;
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

}  // namespace dispersao
