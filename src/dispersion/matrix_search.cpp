// Exact p-dispersion of a distance matrix by rising thresholds and clique search.
//
// With v the value of the best selection known, the positions whose pairs are all worth more
// than v form cliques of the graph linking such pairs; a p-clique there is a better selection,
// and its value the next v. When the graph holds no p-clique, v is optimal. Before that, short
// searches at thresholds between v and the bound bring the bound down (and v up) cheaply, so
// that a search cut short by its limit still reports a useful bound. Distances are real: a
// threshold is any number, and the bound it proves is the largest distance below it.
#include "dispersion/matrix_search.hpp"
#include "dispersion/subset_distances.hpp"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <functional>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include "dispersion/clique_search.hpp"
#include "dispersion/search_clock.hpp"
#include "dispersion/search_tuning.hpp"

namespace dispersao {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Returns the smallest distance between two of `chosen`; infinity for fewer than two.
template <typename Distances>
[[nodiscard]] double value_of(const Distances& distances, const std::vector<std::size_t>& chosen) {
    double worst = kInfinity;
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        for (std::size_t j = i + 1; j < chosen.size(); ++j) {
            worst = std::min(worst, distances.at(chosen[i], chosen[j]));
        }
    }
    return worst;
}

// Returns p positions picked greedily: the first the farthest from `seed` (so that a seed far
// from nothing, such as a position with no distances, does not drag the rest down), each next
// the farthest from those picked. Preconditions: 1 <= p <= n, seed < n.
template <typename Distances>
[[nodiscard]] std::vector<std::size_t> greedy(const Distances& distances, int p, std::size_t seed) {
    const std::size_t n = distances.n;
    assert(p >= 1 && static_cast<std::size_t>(p) <= n && seed < n);
    std::size_t first = seed;
    for (std::size_t i = 0; i < n; ++i) {
        if (i != seed && (first == seed || distances.at(i, seed) > distances.at(first, seed))) {
            first = i;
        }
    }
    std::vector<double> nearest(n, kInfinity);
    std::vector<bool> picked(n, false);
    std::vector<std::size_t> chosen{first};
    picked[first] = true;
    while (chosen.size() < static_cast<std::size_t>(p)) {
        std::size_t farthest = n;
        for (std::size_t i = 0; i < n; ++i) {
            if (!picked[i]) {
                nearest[i] = std::min(nearest[i], distances.at(i, chosen.back()));
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

// Returns a bound no selection of p positions beats: each position's (p - 1)-th largest
// distance to the others, the largest over positions; infinity when the clock stops it first.
// Precondition: 2 <= p <= n.
template <typename Distances>
[[nodiscard]] double row_bound(const Distances& distances, int p, SearchClock& clock) {
    const std::size_t n = distances.n;
    assert(p >= 2 && static_cast<std::size_t>(p) <= n);
    std::vector<double> row(n - 1);
    double bound = -kInfinity;
    for (std::size_t a = 0; a < n; ++a) {
        if (clock.should_stop()) {
            return kInfinity;
        }
        std::size_t k = 0;
        for (std::size_t b = 0; b < n; ++b) {
            if (b != a) {
                row[k++] = distances.at(a, b);
            }
        }
        const auto nth = row.begin() + (p - 2);
        std::nth_element(row.begin(), nth, row.end(), std::greater<>());
        bound = std::max(bound, *nth);
    }
    return bound;
}

// What a search for p positions whose pairs are all at least a threshold ended with.
struct LevelSearch {
    CliqueOutcome outcome = CliqueOutcome::absent;
    std::vector<std::size_t> chosen;  // the positions, when found
    double below = -kInfinity;        // the largest distance under the threshold, once scanned
};

// Looks for p positions whose pairs are all at least `threshold`, in the graph of such pairs
// with its vertices numbered by falling degree (which tightens the colouring bounds). The
// clock may stop the scans of the matrix; `should_stop` is asked now and then during the
// clique search whether to give up.
template <typename Distances>
[[nodiscard]] LevelSearch search_level(const Distances& distances, int p, double threshold,
                                       SearchClock& clock,
                                       const std::function<bool()>& should_stop) {
    const std::size_t n = distances.n;
    LevelSearch result;
    std::vector<std::pair<std::size_t, std::size_t>> by_degree(n);  // (n - degree, position)
    for (std::size_t a = 0; a < n; ++a) {
        by_degree[a] = {n, a};
    }
    for (std::size_t a = 0; a < n; ++a) {
        if (clock.should_stop()) {
            result.outcome = CliqueOutcome::stopped;
            result.below = -kInfinity;
            return result;
        }
        for (std::size_t b = a + 1; b < n; ++b) {
            const double distance = distances.at(a, b);
            if (distance >= threshold) {
                --by_degree[a].first;
                --by_degree[b].first;
            } else {
                result.below = std::max(result.below, distance);
            }
        }
    }
    std::sort(by_degree.begin(), by_degree.end());
    BitGraph graph(n);
    for (std::size_t a = 0; a < n; ++a) {
        if (clock.should_stop()) {
            result.outcome = CliqueOutcome::stopped;
            return result;
        }
        for (std::size_t b = a + 1; b < n; ++b) {
            if (distances.at(by_degree[a].second, by_degree[b].second) >= threshold) {
                graph.add_edge(a, b);
            }
        }
    }
    std::vector<Word> everyone(graph.words(), 0);
    for (std::size_t a = 0; a < n; ++a) {
        everyone[a / kWordBits] |= Word{1} << (a % kWordBits);
    }
    CliqueSearcher searcher(graph, should_stop);
    std::vector<std::size_t> clique;
    result.outcome = searcher.find(everyone, p, clique);
    for (const std::size_t v : clique) {
        result.chosen.push_back(by_degree[v].second);
    }
    return result;
}

// Returns the number of bits set in `bits`.
[[nodiscard]] std::size_t count_bits(const std::vector<Word>& bits) {
    std::size_t count = 0;
    for (const Word word : bits) {
        count += static_cast<std::size_t>(std::popcount(word));
    }
    return count;
}

// Returns a, b and the lexicographically smallest `needed` positions of `candidates` that are
// pairwise adjacent in `graph`, sorted; nothing when `searcher` is stopped first.
// Precondition: `candidates` holds such positions.
[[nodiscard]] std::optional<std::vector<std::size_t>> smallest_completion(
    const BitGraph& graph, CliqueSearcher& searcher, std::size_t a, std::size_t b,
    std::vector<Word> candidates, int needed) {
    std::vector<std::size_t> chosen{a, b};
    std::vector<Word> next(graph.words());
    std::vector<std::size_t> clique;
    for (; needed > 0; --needed) {
        bool placed = false;
        for (std::size_t v = 0; v < graph.vertices() && !placed; ++v) {
            if ((candidates[v / kWordBits] >> (v % kWordBits) & 1U) == 0) {
                continue;
            }
            // The others come after v, and are its neighbours.
            const Word* const row = graph.row(v);
            for (std::size_t w = 0; w < next.size(); ++w) {
                const std::size_t first_bit = w * kWordBits;
                Word after = ~Word{0};
                if (first_bit + kWordBits <= v) {
                    after = 0;
                } else if (first_bit <= v) {
                    after = ~Word{0} << (v - first_bit) << 1;
                }
                next[w] = candidates[w] & row[w] & after;
            }
            const CliqueOutcome outcome = searcher.find(next, needed - 1, clique);
            if (outcome == CliqueOutcome::stopped) {
                return std::nullopt;
            }
            if (outcome == CliqueOutcome::found) {
                chosen.push_back(v);
                candidates.swap(next);
                placed = true;
            }
        }
        assert(placed);
    }
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}

// Returns the optimal selection the pairs complete first (see search_matrix), given the
// optimum; nothing when the clock stops the search first. Precondition: `optimum` is the
// optimal value of p positions.
template <typename Distances>
[[nodiscard]] std::optional<std::vector<std::size_t>> first_completed(const Distances& distances,
                                                                      int p, double optimum,
                                                                      SearchClock& clock) {
    const std::size_t n = distances.n;
    // The pairs better than the optimum hold no p-clique; those equal to it are added in
    // (a, b) order until one closes a clique.
    BitGraph graph(n);
    for (std::size_t a = 0; a < n; ++a) {
        if (clock.should_stop()) {
            return std::nullopt;
        }
        for (std::size_t b = a + 1; b < n; ++b) {
            if (distances.at(a, b) > optimum) {
                graph.add_edge(a, b);
            }
        }
    }
    CliqueSearcher searcher(graph, [&clock] { return clock.should_stop(); });
    std::vector<Word> common(graph.words());
    std::vector<std::size_t> clique;
    const auto needed = static_cast<std::size_t>(p - 2);
    for (std::size_t a = 0; a < n; ++a) {
        if (clock.should_stop()) {
            return std::nullopt;
        }
        for (std::size_t b = a + 1; b < n; ++b) {
            if (distances.at(a, b) != optimum) {
                continue;
            }
            graph.add_edge(a, b);
            const Word* const row_a = graph.row(a);
            const Word* const row_b = graph.row(b);
            for (std::size_t w = 0; w < common.size(); ++w) {
                common[w] = row_a[w] & row_b[w];
            }
            if (count_bits(common) < needed) {
                continue;
            }
            const CliqueOutcome outcome = searcher.find(common, p - 2, clique);
            if (outcome == CliqueOutcome::stopped) {
                return std::nullopt;
            }
            if (outcome == CliqueOutcome::found) {
                return smallest_completion(graph, searcher, a, b, common, p - 2);
            }
        }
    }
    assert(false);  // the pairs equal to the optimum close a clique
    return std::nullopt;
}

}  // namespace

template <typename Distances>
DispersionResult search_matrix(const Distances& distances, int p, const SearchLimits& limits) {
    const std::size_t n = distances.n;
    assert(p >= 2 && static_cast<std::size_t>(p) <= n);
    SearchClock clock(limits);
    std::vector<std::size_t> best;
    double value = -kInfinity;
    // The first start always runs, so that there is a selection to report; the others only
    // while the limits allow.
    for (std::size_t start = 0;
         start < std::min(n, tuning::kMatrixGreedyStarts) && (start == 0 || !clock.should_stop());
         ++start) {
        std::vector<std::size_t> chosen =
            greedy(distances, p, start * n / tuning::kMatrixGreedyStarts);
        const double worth = value_of(distances, chosen);
        if (best.empty() || worth > value) {
            value = worth;
            best = std::move(chosen);
        }
    }
    double upper = std::max(value, row_bound(distances, p, clock));
    // First the bound: thresholds bisected between the value and the bound, each search on a
    // small budget, lower the bound wherever no selection reaches the threshold, and raise the
    // value wherever one is found.
    double reach = upper;
    while (reach > value && !clock.should_stop()) {
        double threshold = value + (reach - value) / 2;
        if (!(threshold > value)) {
            threshold = reach;
        }
        int checks = 0;
        const LevelSearch probe = search_level(distances, p, threshold, clock, [&] {
            return ++checks > tuning::kMatrixProbeChecks || clock.should_stop();
        });
        if (probe.outcome == CliqueOutcome::absent) {
            upper = probe.below;
            reach = upper;
        } else if (probe.outcome == CliqueOutcome::found) {
            value = value_of(distances, probe.chosen);
            best = probe.chosen;
        } else {
            reach = probe.below;
        }
        clock.report(value, upper);
    }
    // Then each better value in turn, without a budget, until none is left.
    while (upper > value && !clock.should_stop()) {
        clock.report(value, upper);
        const LevelSearch next = search_level(distances, p, std::nextafter(value, kInfinity), clock,
                                              [&clock] { return clock.should_stop(); });
        if (next.outcome == CliqueOutcome::absent) {
            upper = value;
        } else if (next.outcome == CliqueOutcome::found) {
            value = value_of(distances, next.chosen);
            best = next.chosen;
        }
    }
    DispersionResult result;
    result.proven = upper <= value;
    if (result.proven) {
        if (auto first = first_completed(distances, p, value, clock)) {
            best = std::move(*first);
        }
    }
    result.chosen = std::move(best);
    std::sort(result.chosen.begin(), result.chosen.end());
    result.value = value;
    result.upper_bound = std::max(upper, value);
    result.interrupted = !result.proven && clock.interrupted();
    if (limits.on_progress) {
        limits.on_progress(result.value, result.upper_bound);
    }
    return result;
}

template DispersionResult search_matrix(const MenuObjective&, int, const SearchLimits&);
template DispersionResult search_matrix(const MatrixView&, int, const SearchLimits&);
// The rounds of a search with fixed sites (fixed_matrix.cpp) read their candidates in place.
template DispersionResult search_matrix(const SubsetDistances<MenuObjective>&, int,
                                        const SearchLimits&);
template DispersionResult search_matrix(const SubsetDistances<MatrixView>&, int,
                                        const SearchLimits&);

}  // namespace dispersao
