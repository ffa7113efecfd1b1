// Farthest-point greedy starts improved by exchanges.
#include "dispersion/point_heuristic.hpp"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "dispersion/dispersion.hpp"

namespace {

// The smallest pairwise distance of a selection and how many pairs have it.
struct Closeness {
    double value = std::numeric_limits<double>::infinity();
    std::size_t ties = 0;
    std::size_t first = 0;  // positions in the selection of one closest pair
    std::size_t second = 0;

    // Returns whether this selection is better: a larger value, or as large with fewer ties.
    [[nodiscard]] bool better_than(const Closeness& other) const {
        return value > other.value || (value == other.value && ties < other.ties);
    }
};

// Returns the closeness of `chosen`.
[[nodiscard]] Closeness closeness(const PointSet& points, const std::vector<std::size_t>& chosen) {
    Closeness result;
    for (std::size_t a = 0; a < chosen.size(); ++a) {
        for (std::size_t b = a + 1; b < chosen.size(); ++b) {
            const double d = point_distance(points, chosen[a], chosen[b]);
            if (d < result.value) {
                result = {d, 1, a, b};
            } else if (d == result.value) {
                ++result.ties;
            }
        }
    }
    return result;
}

// Returns the candidate for position k of `chosen` farthest from the other chosen points (the
// current point when none is farther), scanning with early exits.
[[nodiscard]] std::size_t best_replacement(const PointSet& points,
                                           const std::vector<std::size_t>& chosen, std::size_t k,
                                           const CandidateLists& candidates) {
    double best = std::numeric_limits<double>::infinity();
    for (std::size_t o = 0; o < chosen.size(); ++o) {
        if (o != k) {
            best = std::min(best, point_distance(points, chosen[k], chosen[o]));
        }
    }
    std::size_t best_point = chosen[k];
    const std::size_t count = candidates.count(k);
    for (std::size_t j = 0; j < count; ++j) {
        const std::size_t x = candidates.candidate(k, j);
        double nearest = std::numeric_limits<double>::infinity();
        for (std::size_t o = 0; o < chosen.size() && nearest > best; ++o) {
            if (o != k) {
                nearest = std::min(nearest, point_distance(points, x, chosen[o]));
            }
        }
        if (nearest > best && std::find(chosen.begin(), chosen.end(), x) == chosen.end()) {
            best = nearest;
            best_point = x;
        }
    }
    return best_point;
}

}  // namespace

double selection_value(const PointSet& points, const std::vector<std::size_t>& chosen) {
    assert(chosen.size() >= 2);
    return closeness(points, chosen).value;
}

std::vector<std::size_t> farthest_point_selection(const PointSet& points, int p,
                                                  std::size_t first) {
    const std::size_t n = points.size();
    assert(p >= 2 && static_cast<std::size_t>(p) <= n && first < n);
    // nearest[i]: distance from point i to the nearest picked point; -1 once i is picked.
    std::vector<double> nearest(n, std::numeric_limits<double>::infinity());
    std::vector<std::size_t> chosen{first};
    nearest[first] = -1;
    while (chosen.size() < static_cast<std::size_t>(p)) {
        const std::size_t last = chosen.back();
        std::size_t farthest = n;
        double far = -1;
        for (std::size_t i = 0; i < n; ++i) {
            if (nearest[i] >= 0) {
                nearest[i] = std::min(nearest[i], point_distance(points, i, last));
                if (nearest[i] > far) {
                    far = nearest[i];
                    farthest = i;
                }
            }
        }
        assert(farthest < n);
        nearest[farthest] = -1;
        chosen.push_back(farthest);
    }
    return chosen;
}

double improve_selection(const PointSet& points, std::vector<std::size_t>& chosen,
                         const CandidateLists& candidates, int rounds) {
    assert(chosen.size() >= 2);
    Closeness current = closeness(points, chosen);
    for (int round = 0; round < rounds; ++round) {
        bool moved = false;
        for (const std::size_t k : {current.first, current.second}) {
            const std::size_t replacement = best_replacement(points, chosen, k, candidates);
            if (replacement == chosen[k]) {
                continue;
            }
            const std::size_t old = std::exchange(chosen[k], replacement);
            const Closeness next = closeness(points, chosen);
            if (next.better_than(current)) {
                current = next;
                moved = true;
                break;
            }
            chosen[k] = old;
        }
        if (!moved) {
            break;
        }
    }
    return current.value;
}

std::vector<std::size_t> heuristic_selection(const PointSet& points, int p) {
    const std::size_t n = points.size();
    assert(p >= 2 && static_cast<std::size_t>(p) <= n);
    const CandidateLists everyone{[n](std::size_t) { return n; },
                                  [](std::size_t, std::size_t j) { return j; }};
    constexpr std::size_t kBigSet = 200000;
    const int starts = n > kBigSet ? 1 : 4;
    const int rounds = 4 * p + 8;
    std::mt19937_64 random(12345);
    std::vector<std::size_t> best;
    double best_value = -std::numeric_limits<double>::infinity();
    for (int start = 0; start < starts; ++start) {
        // The first start begins at the point farthest from point 0, the others at random.
        const std::size_t first = start == 0 ? farthest_point_selection(points, 2, 0)[1]
                                             : static_cast<std::size_t>(random() % n);
        std::vector<std::size_t> chosen = farthest_point_selection(points, p, first);
        const double value = improve_selection(points, chosen, everyone, rounds);
        if (value > best_value) {
            best_value = value;
            best = std::move(chosen);
        }
    }
    return best;
}
