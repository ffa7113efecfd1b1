// More chains of the heuristics beside the exact search.
#include "dispersion/late_chains.hpp"

#include <algorithm>
#include <chrono>
#include <limits>
#include <system_error>
#include <utility>

#include "dispersion/point_heuristic.hpp"
#include "dispersion/search_tuning.hpp"

namespace dispersao::point_internal {

LateChains::LateChains(const PointSet& points, int p, std::vector<std::size_t> elite,
                       SearchClock& clock, int threads) {
    if (!clock.limited() || p < tuning::kTargetFromP || p >= tuning::kSpreadMinP || threads < 2 ||
        static_cast<std::size_t>(p) >= points.size() || searched_by_sample(points.size())) {
        return;
    }
    const auto stop = [this, &clock] { return done_.load() || clock.over(); };
    try {
        // The chains start at half the limit, or take over sooner: once the rounds, started
        // now, have had their share of the time left without ruling out a point.
        const double half = tuning::kLateChainsShare * clock.limit();
        const double start = clock.elapsed();
        const double hand_over_at =
            std::min(half, start + tuning::kHandOverShare * (clock.limit() - start));
        thread_ = std::thread([this, &points, p, elite = std::move(elite), &clock, stop, threads,
                               half, hand_over_at] {
            // With no point ruled out once the rounds have had their share, a proof is out of
            // reach: the chains take every thread and the rest of the limit, each with a seed
            // of its own. Otherwise they wait for half the limit and take one thread.
            bool take_over = false;
            for (;;) {
                if (stop()) {
                    return;
                }
                const double now = clock.elapsed();
                if (!progress_.load() && now >= hand_over_at) {
                    take_over = true;
                    break;
                }
                if (now >= half) {
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(tuning::kEliminationPollMs));
            }
            if (take_over) {
                took_over_.store(true);
                clock.hand_over();
            }
            try {
                std::vector<std::size_t> best =
                    take_over
                        ? more_chains(points, p, elite, tuning::kHeuristicChains,
                                      std::numeric_limits<std::size_t>::max(), stop, threads, true)
                        : more_chains(points, p, elite, tuning::kHeuristicChains,
                                      tuning::kLateChainsEnd, stop, 1);
                if (best != elite) {
                    found_ = std::move(best);
                }
            } catch (...) {
                found_.clear();  // out of memory, say: the exact search's answer stands
            }
        });
    } catch (const std::system_error&) {
        // No thread to be had: the exact search alone.
    }
}

LateChains::~LateChains() {
    (void)finish();
}

void LateChains::await() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

std::vector<std::size_t> LateChains::finish() {
    done_.store(true);
    if (thread_.joinable()) {
        thread_.join();
    }
    return std::exchange(found_, {});
}

}  // namespace dispersao::point_internal
