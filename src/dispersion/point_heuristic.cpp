// Farthest-point greedy starts improved by exchanges.
#include "dispersion/point_heuristic.hpp"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <exception>
#include <functional>
#include <limits>
#include <mutex>
#include <random>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "dispersion/dispersion.hpp"
#include "dispersion/search_tuning.hpp"
#include "dispersion/target_search.hpp"

namespace dispersao {

namespace {

// Returns the pairwise distances of `chosen` in rising order: selections compare by this list,
// first the value, then the next closest pair, and so on.
[[nodiscard]] std::vector<double> profile(const PointSet& points,
                                          const std::vector<std::size_t>& chosen) {
    std::vector<double> distances;
    for (std::size_t a = 0; a < chosen.size(); ++a) {
        for (std::size_t b = a + 1; b < chosen.size(); ++b) {
            distances.push_back(point_distance(points, chosen[a], chosen[b]));
        }
    }
    std::sort(distances.begin(), distances.end());
    return distances;
}

// Returns the candidate for position k of `chosen` farthest from the other chosen points (the
// current point when none is farther), scanning with early exits. `key(a, b)` grows with the
// distance of points a and b, as the rule does.
template <class Key>
[[nodiscard]] std::size_t farthest_candidate(const Key& key, const std::vector<std::size_t>& chosen,
                                             std::size_t k, const CandidateLists& candidates) {
    double best = std::numeric_limits<double>::infinity();
    for (std::size_t o = 0; o < chosen.size(); ++o) {
        if (o != k) {
            best = std::min(best, key(chosen[k], chosen[o]));
        }
    }
    std::size_t best_point = chosen[k];
    const std::size_t count = candidates.count(k);
    for (std::size_t j = 0; j < count; ++j) {
        const std::size_t x = candidates.candidate ? candidates.candidate(k, j) : j;
        double nearest = std::numeric_limits<double>::infinity();
        for (std::size_t o = 0; o < chosen.size() && nearest > best; ++o) {
            if (o != k) {
                nearest = std::min(nearest, key(x, chosen[o]));
            }
        }
        if (nearest > best && std::find(chosen.begin(), chosen.end(), x) == chosen.end()) {
            best = nearest;
            best_point = x;
        }
    }
    return best_point;
}

// Returns farthest_candidate under the rule's distance; for the planar rules, which grow with
// the Euclidean distance, under the cheaper squared Euclidean distance.
[[nodiscard]] std::size_t best_replacement(const PointSet& points,
                                           const std::vector<std::size_t>& chosen, std::size_t k,
                                           const CandidateLists& candidates) {
    if (points.rule == DistanceRule::tsplib_geo || points.rule == DistanceRule::great_circle_km) {
        return farthest_candidate(
            [&points](std::size_t a, std::size_t b) { return point_distance(points, a, b); },
            chosen, k, candidates);
    }
    const double* const x = points.x.data();
    const double* const y = points.y.data();
    return farthest_candidate(
        [x, y](std::size_t a, std::size_t b) {
            const double dx = x[a] - x[b];
            const double dy = y[a] - y[b];
            return dx * dx + dy * dy;
        },
        chosen, k, candidates);
}

// Returns the best selection of one chain of local search. Its start: without `elite`, the
// farthest-point greedy from a first point (chain 0: the farthest from point 0; the others: a
// random one); with it, `elite` with one to tuning::kEliteMovesMax points moved at random. The
// start is improved by exchanges with every point as a candidate, then, from p =
// tuning::kTargetFromP, raised by the target search (below, the exchanges alone do well and
// the exact search is fast). Precondition: `elite` is empty or holds p distinct points.
[[nodiscard]] std::vector<std::size_t> local_search_chain(
    const PointSet& points, int p, std::size_t chain, const std::vector<std::size_t>& elite,
    const std::function<bool()>& should_stop) {
    const std::size_t n = points.size();
    const CandidateLists everyone{[n](std::size_t) { return n; }, {}, should_stop};
    std::mt19937_64 random(tuning::kHeuristicSeed + chain);
    std::vector<std::size_t> best;
    if (elite.empty()) {
        const std::size_t first =
            chain == 0 ? farthest_point_selection(points, 2, 0)[1] : random() % n;
        best = farthest_point_selection(points, p, first);
    } else {
        best = elite;
        const std::size_t moves = 1 + chain % tuning::kEliteMovesMax;
        for (std::size_t m = 0; m < moves; ++m) {
            const std::size_t x = random() % n;
            if (std::find(best.begin(), best.end(), x) == best.end()) {
                best[random() % best.size()] = x;
            }
        }
    }
    // Each phase below first lays out all n points: none is begun once the search must stop.
    if (should_stop()) {
        return best;
    }
    (void)improve_selection(points, best, everyone, tuning::kExchangeRounds);
    if (p >= tuning::kTargetFromP && static_cast<std::size_t>(p) < n && !should_stop()) {
        const bool wide = chain % tuning::kChainsPerGeneration == tuning::kWideBarredChain;
        const TargetLimits limits{
            .idle_moves = tuning::kTargetIdleMoves,
            .seed = tuning::kHeuristicSeed + chain,
            .should_stop = should_stop,
            .barred_square = wide ? tuning::kTargetBarredSquareWide : tuning::kTargetBarredSquare};
        (void)raise_by_targets(points, best, limits);
    }
    return best;
}

// Runs run(chain, stop) for chain = 0 .. chains - 1 on up to `threads` threads, each chain
// asking `stop` whether to give up. `should_stop` is asked by the calling thread alone, which
// passes its answer on to the others.
void run_chains(std::size_t chains, int threads, const std::function<bool()>& should_stop,
                const std::function<void(std::size_t, const std::function<bool()>&)>& run) {
    const auto helpers = std::min(chains, static_cast<std::size_t>(threads));
    if (helpers <= 1) {
        for (std::size_t chain = 0; chain < chains; ++chain) {
            run(chain, should_stop);
        }
        return;
    }
    std::atomic<bool> stop{false};
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> finished{0};
    std::mutex failure_mutex;
    std::exception_ptr failure;
    const std::function<bool()> stopped = [&stop] { return stop.load(std::memory_order_relaxed); };
    const auto work = [&]() noexcept {
        try {
            for (std::size_t chain = next++; chain < chains; chain = next++) {
                run(chain, stopped);
            }
        } catch (...) {
            const std::lock_guard lock(failure_mutex);
            failure = std::current_exception();
            stop.store(true);
        }
        ++finished;
    };
    std::vector<std::thread> pool;
    for (std::size_t t = 0; t < helpers; ++t) {
        try {
            pool.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // fewer threads: the same selections, later
        }
    }
    if (pool.empty()) {
        work();
    }
    while (finished.load() < std::max<std::size_t>(pool.size(), 1)) {
        if (should_stop()) {
            stop.store(true);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(tuning::kEliminationPollMs));
    }
    for (std::thread& thread : pool) {
        thread.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

// Which chains chain_generations runs, and when it ends early.
struct ChainRange {
    std::size_t first;   // number of the first chain
    std::size_t last;    // one past the number of the last
    std::size_t agreed;  // generations in a row that must agree to end the search
};

// Returns the best of `elite` (empty for none) and the chains of `range`, run by generations of
// tuning::kChainsPerGeneration. In a generation every other chain starts from the best
// selection so far, if any. Generations in a row in which enough chains reach the best value
// so far end the search, as the value is then likely the best there is. The result does not
// depend on `threads`; `should_stop` is asked by the calling thread alone.
[[nodiscard]] std::vector<std::size_t> chain_generations(const PointSet& points, int p,
                                                         const ChainRange& range,
                                                         std::vector<std::size_t> elite,
                                                         const std::function<bool()>& should_stop,
                                                         int threads) {
    const std::size_t generation = range.last - range.first > 1 ? tuning::kChainsPerGeneration : 1;
    std::vector<std::size_t> best = std::move(elite);
    std::vector<double> best_profile;
    if (!best.empty()) {
        best_profile = profile(points, best);
    }
    std::size_t agreed = 0;
    for (std::size_t start = range.first; start < range.last; start += generation) {
        if ((start > range.first || !best.empty()) && should_stop()) {
            break;
        }
        const std::size_t count = std::min(generation, range.last - start);
        std::vector<std::vector<std::size_t>> found(count);
        run_chains(
            count, threads, should_stop, [&](std::size_t chain, const std::function<bool()>& stop) {
                const bool from_elite = !best.empty() && chain % 2 == 1;
                found[chain] = local_search_chain(
                    points, p, start + chain, from_elite ? best : std::vector<std::size_t>{}, stop);
            });
        // The best chain, the first of equals: the same whatever the threads.
        for (const std::vector<std::size_t>& chosen : found) {
            std::vector<double> next = profile(points, chosen);
            if (best.empty() || next > best_profile) {
                best_profile = std::move(next);
                best = chosen;
            }
        }
        const auto agreeing =
            std::count_if(found.begin(), found.end(), [&](const std::vector<std::size_t>& chosen) {
                return selection_value(points, chosen) == best_profile.front();
            });
        agreed = static_cast<std::size_t>(agreeing) >= tuning::kAgreeingChains ? agreed + 1 : 0;
        if (agreed >= range.agreed) {
            break;
        }
    }
    return best;
}

}  // namespace

double selection_value(const PointSet& points, const std::vector<std::size_t>& chosen) {
    assert(chosen.size() >= 2);
    double worst = std::numeric_limits<double>::infinity();
    for (std::size_t a = 0; a < chosen.size(); ++a) {
        for (std::size_t b = a + 1; b < chosen.size(); ++b) {
            worst = std::min(worst, point_distance(points, chosen[a], chosen[b]));
        }
    }
    return worst;
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
    std::vector<double> current = profile(points, chosen);
    for (int round = 0; round < rounds; ++round) {
        bool moved = false;
        for (std::size_t k = 0; k < chosen.size(); ++k) {
            if (candidates.should_stop && candidates.should_stop()) {
                return current.front();
            }
            const std::size_t replacement = best_replacement(points, chosen, k, candidates);
            if (replacement == chosen[k]) {
                continue;
            }
            const std::size_t old = std::exchange(chosen[k], replacement);
            std::vector<double> next = profile(points, chosen);
            if (next > current) {
                current = std::move(next);
                moved = true;
            } else {
                chosen[k] = old;
            }
        }
        if (!moved) {
            break;
        }
    }
    return current.front();
}

std::vector<std::size_t> heuristic_selection(const PointSet& points, int p,
                                             const std::function<bool()>& should_stop,
                                             int threads) {
    const std::size_t n = points.size();
    assert(p >= 2 && static_cast<std::size_t>(p) <= n && threads >= 1);
    // Big sets are searched through an evenly spread sample of this many points first.
    constexpr std::size_t kSample = tuning::kHeuristicSample;
    if (searched_by_sample(n)) {
        PointSet sample;
        sample.rule = points.rule;
        for (std::size_t k = 0; k < kSample; ++k) {
            sample.x.push_back(points.x[k * n / kSample]);
            sample.y.push_back(points.y[k * n / kSample]);
        }
        std::vector<std::size_t> chosen = heuristic_selection(sample, p, should_stop, threads);
        for (std::size_t& c : chosen) {
            c = c * n / kSample;
        }
        const CandidateLists everyone{[n](std::size_t) { return n; }, {}, should_stop};
        (void)improve_selection(points, chosen, everyone, 2);
        return chosen;
    }
    const bool one = p < tuning::kTargetFromP;
    return chain_generations(points, p, {0, one ? 1 : tuning::kHeuristicChains, 1}, {}, should_stop,
                             threads);
}

std::vector<std::size_t> more_chains(const PointSet& points, int p, std::vector<std::size_t> elite,
                                     std::size_t first, std::size_t last,
                                     const std::function<bool()>& should_stop, int threads,
                                     bool to_the_end) {
    assert(elite.size() == static_cast<std::size_t>(p) && first <= last && threads >= 1);
    const std::size_t agreed =
        to_the_end ? std::numeric_limits<std::size_t>::max() : tuning::kLateAgreeingGenerations;
    return chain_generations(points, p, {first, last, agreed}, std::move(elite), should_stop,
                             threads);
}

}  // namespace dispersao
