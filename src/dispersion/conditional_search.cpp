// Conditional p-dispersion: k sites F are fixed, p - k more are chosen.
//
// Let v be the worth of the best selection known (it holds F). A selection holding F that is
// worth more than v takes its other p - k sites among the candidates, the points farther than v
// from every fixed site, and they are farther than v from each other. So the exact search for
// p - k points among the candidates decides: if its optimum w is no more than v, v is optimal;
// otherwise its answer, joined to F, is worth min(w, its distance to F, the distance within F),
// which is more than v, and the question is asked again of the fewer candidates left. The worth
// of any selection never exceeds the smallest distance between two fixed sites, and v only grows
// through a finite set of distances, so the loop ends.
#include "dispersion/conditional_search.hpp"

#include <algorithm>
#include <cassert>
#include <chrono>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

namespace dispersao {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The gap of a site already chosen: below every distance, negative ones (menu instances) too,
// so that no comparison with a worth ever makes it a candidate again.
constexpr double kTaken = -kInfinity;

// Returns the smallest pairwise distance of `chosen`, or infinity for fewer than two sites.
[[nodiscard]] double value_of(const ConditionalInstance& instance,
                              const std::vector<std::size_t>& chosen) {
    double worst = kInfinity;
    for (std::size_t a = 0; a < chosen.size(); ++a) {
        for (std::size_t b = a + 1; b < chosen.size(); ++b) {
            worst = std::min(worst, instance.distance(chosen[a], chosen[b]));
        }
    }
    return worst;
}

// Returns `fixed` completed to p sites greedily: each time the site farthest from those taken
// (lowest position on ties). `gap[i]` is site i's distance to the fixed ones (kTaken for a
// fixed site) and is consumed. Precondition: fixed.size() <= p <= instance.n.
[[nodiscard]] std::vector<std::size_t> farthest_completion(const ConditionalInstance& instance,
                                                           int p,
                                                           const std::vector<std::size_t>& fixed,
                                                           std::vector<double> gap) {
    std::vector<std::size_t> chosen = fixed;
    while (chosen.size() < static_cast<std::size_t>(p)) {
        const auto far =
            static_cast<std::size_t>(std::max_element(gap.begin(), gap.end()) - gap.begin());
        assert(gap[far] != kTaken);
        chosen.push_back(far);
        gap[far] = kTaken;
        for (std::size_t i = 0; i < instance.n; ++i) {
            if (gap[i] != kTaken) {
                gap[i] = std::min(gap[i], instance.distance(i, far));
            }
        }
    }
    return chosen;
}

}  // namespace

DispersionResult solve_conditional(const ConditionalInstance& instance, int p,
                                   const std::vector<std::size_t>& fixed,
                                   const SearchLimits& limits) {
    const auto started = std::chrono::steady_clock::now();
    const std::size_t n = instance.n;
    const auto q = p - static_cast<int>(fixed.size());
    assert(!fixed.empty() && q >= 0 && static_cast<std::size_t>(p) <= n);
    // gap[i]: site i's distance to the nearest fixed site; kTaken marks the fixed sites.
    std::vector<double> gap(n, kInfinity);
    for (const std::size_t f : fixed) {
        assert(f < n && gap[f] != kTaken);
        gap[f] = kTaken;
    }
    for (std::size_t i = 0; i < n; ++i) {
        for (const std::size_t f : fixed) {
            if (gap[i] != kTaken) {
                gap[i] = std::min(gap[i], instance.distance(i, f));
            }
        }
    }
    const double within = value_of(instance, fixed);

    DispersionResult result;
    result.chosen = farthest_completion(instance, p, fixed, gap);
    result.value = std::min(within, value_of(instance, result.chosen));
    result.upper_bound = within;
    bool stopped = false;
    while (result.value < within) {
        std::vector<std::size_t> candidates;
        for (std::size_t i = 0; i < n; ++i) {
            if (gap[i] > result.value) {
                candidates.push_back(i);
            }
        }
        if (candidates.size() < static_cast<std::size_t>(q)) {
            break;
        }
        // One more site is placed best by the greedy, which leaves no candidate above it.
        assert(q >= 2);
        const double known = result.value;
        SearchLimits inner;
        inner.seconds = std::max(
            0.0,
            limits.seconds -
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
        inner.interrupted = limits.interrupted;
        inner.threads = limits.threads;
        if (limits.on_progress) {
            inner.on_progress = [&limits, known, within](double /*lower*/, double upper) {
                limits.on_progress(known, std::min(within, std::max(known, upper)));
            };
        }
        const DispersionResult found = instance.solve_subset(candidates, q, inner);
        if (found.value > known) {
            std::vector<std::size_t> chosen = fixed;
            chosen.insert(chosen.end(), found.chosen.begin(), found.chosen.end());
            result.value = std::min(within, value_of(instance, chosen));
            result.chosen = std::move(chosen);
        }
        if (!found.proven) {
            result.upper_bound = std::min(within, std::max(result.value, found.upper_bound));
            result.interrupted = found.interrupted;
            stopped = true;
            break;
        }
        if (found.value <= known || result.value >= found.value) {
            break;
        }
    }
    if (!stopped) {
        result.upper_bound = result.value;
    }
    std::sort(result.chosen.begin(), result.chosen.end());
    result.proven = result.upper_bound <= result.value;
    if (limits.on_progress) {
        limits.on_progress(result.value, result.upper_bound);
    }
    return result;
}

DispersionResult lift(DispersionResult found, const std::vector<std::size_t>& subset) {
    for (std::size_t& c : found.chosen) {
        c = subset[c];
    }
    return found;
}

}  // namespace dispersao
