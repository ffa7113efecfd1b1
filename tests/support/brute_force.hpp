// The brute-force oracle of the dispersion tests: the value of a selection is the smallest worth
// among its pairs, and the optimum is the best value over every selection of p positions.
#pragma once

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <limits>
#include <utility>
#include <vector>

namespace test_support {

// Returns what a matrix cell is worth to the menu program: truncated toward zero and capped at
// 100; a NaN cell is worth the cap.
[[nodiscard]] inline double menu_worth(float cell) {
    return std::min(100.0, std::trunc(static_cast<double>(cell)));
}

// Returns a worth function for value_of and brute_force_optimum: the menu_worth of the cell
// (a, b) of `matrix`, which must outlive it and whose at(int, int) returns a float.
template <class Matrix>
[[nodiscard]] auto menu_worth_in(const Matrix& matrix) {
    return [&matrix](std::size_t a, std::size_t b) {
        return menu_worth(matrix.at(static_cast<int>(a), static_cast<int>(b)));
    };
}

// Returns the smallest worth(a, b) over the pairs a < b of `chosen` (ascending positions);
// +infinity for fewer than two. `worth` takes two positions, lower first, and returns a double.
template <class Worth>
[[nodiscard]] double value_of(const std::vector<std::size_t>& chosen, const Worth& worth) {
    double worst = std::numeric_limits<double>::infinity();
    for (std::size_t a = 0; a < chosen.size(); ++a) {
        for (std::size_t b = a + 1; b < chosen.size(); ++b) {
            worst = std::min(worst, static_cast<double>(worth(chosen[a], chosen[b])));
        }
    }
    return worst;
}

// Returns the best value_of over every selection of p of the positions 0..n-1, trying every
// subset in rising order and cutting a branch once its partial value cannot beat the best;
// -infinity when p > n. Precondition: p >= 1.
template <class Worth>
[[nodiscard]] double brute_force_optimum(std::size_t n, int p, const Worth& worth) {
    assert(p >= 1);
    const auto size = static_cast<std::size_t>(p);
    std::vector<std::size_t> chosen;
    double best = -std::numeric_limits<double>::infinity();
    const auto extend = [&](const auto& self, std::size_t from, double worst) -> void {
        if (chosen.size() == size) {
            best = std::max(best, worst);
            return;
        }
        for (std::size_t i = from; i + (size - chosen.size()) <= n; ++i) {
            double with = worst;
            for (const std::size_t c : chosen) {
                with = std::min(with, static_cast<double>(worth(c, i)));
            }
            // A first pick has no pairs yet; a later one must beat the best to matter.
            if (chosen.empty() || with > best) {
                chosen.push_back(i);
                self(self, i + 1, with);
                chosen.pop_back();
            }
        }
    };
    extend(extend, 0, std::numeric_limits<double>::infinity());
    return best;
}

// The best selection of p positions and its value.
struct BestSelection {
    double value = -std::numeric_limits<double>::infinity();
    std::vector<std::size_t> chosen;  // ascending
};

// Returns, over every selection of p of the positions 0..n-1, the best value_of and, among the
// selections that reach it, the one the matrix engine promises: pairs ranked by falling worth,
// ties by (a, b); the selection whose worst-ranked pair comes first, and of those the one whose
// other positions are lexicographically smallest. Preconditions: 2 <= p <= n.
template <class Worth>
[[nodiscard]] BestSelection brute_force_first_completed(std::size_t n, int p, const Worth& worth) {
    assert(p >= 2 && static_cast<std::size_t>(p) <= n);
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    for (std::size_t a = 0; a < n; ++a) {
        for (std::size_t b = a + 1; b < n; ++b) {
            pairs.emplace_back(a, b);
        }
    }
    std::stable_sort(pairs.begin(), pairs.end(), [&](const auto& x, const auto& y) {
        return static_cast<double>(worth(x.first, x.second)) >
               static_cast<double>(worth(y.first, y.second));
    });
    std::vector<std::size_t> rank(n * n, 0);
    for (std::size_t r = 0; r < pairs.size(); ++r) {
        rank[pairs[r].first * n + pairs[r].second] = r;
    }
    BestSelection best;
    std::size_t best_rank = 0;
    std::vector<std::size_t> best_rest;
    std::vector<std::size_t> chosen;
    const auto consider = [&] {
        const double value = value_of(chosen, worth);
        std::size_t closing = 0;
        std::size_t first = 0;
        std::size_t second = 0;
        for (std::size_t i = 0; i < chosen.size(); ++i) {
            for (std::size_t j = i + 1; j < chosen.size(); ++j) {
                if (rank[chosen[i] * n + chosen[j]] >= closing) {
                    closing = rank[chosen[i] * n + chosen[j]];
                    first = chosen[i];
                    second = chosen[j];
                }
            }
        }
        std::vector<std::size_t> rest;
        for (const std::size_t v : chosen) {
            if (v != first && v != second) {
                rest.push_back(v);
            }
        }
        if (best.chosen.empty() || value > best.value ||
            (value == best.value &&
             (closing < best_rank || (closing == best_rank && rest < best_rest)))) {
            best = {value, chosen};
            best_rank = closing;
            best_rest = rest;
        }
    };
    const auto extend = [&](const auto& self, std::size_t from) -> void {
        if (chosen.size() == static_cast<std::size_t>(p)) {
            consider();
            return;
        }
        for (std::size_t i = from; i < n; ++i) {
            chosen.push_back(i);
            self(self, i + 1);
            chosen.pop_back();
        }
    };
    extend(extend, 0);
    return best;
}

}  // namespace test_support
