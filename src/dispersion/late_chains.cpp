// More chains of the heuristics beside the exact search.
#include "dispersion/late_chains.hpp"

#include <chrono>
#include <system_error>
#include <utility>

#include "dispersion/point_heuristic.hpp"
#include "dispersion/search_tuning.hpp"

namespace dispersao::point_internal {

LateChains::LateChains(const PointSet& points, int p, std::vector<std::size_t> elite,
                       const SearchClock& clock, int threads) {
    if (!clock.limited() || p < tuning::kTargetFromP || p >= tuning::kSpreadMinP || threads < 2 ||
        static_cast<std::size_t>(p) >= points.size()) {
        return;
    }
    const auto stop = [this, &clock] { return done_.load() || clock.over(); };
    try {
        thread_ = std::thread([this, &points, p, elite = std::move(elite), &clock, stop] {
            while (!stop() && clock.elapsed() < tuning::kLateChainsShare * clock.limit()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(tuning::kEliminationPollMs));
            }
            if (stop()) {
                return;
            }
            try {
                std::vector<std::size_t> best = more_chains(
                    points, p, elite, tuning::kHeuristicChains, tuning::kLateChainsEnd, stop, 1);
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

std::vector<std::size_t> LateChains::finish() {
    done_.store(true);
    if (thread_.joinable()) {
        thread_.join();
    }
    return std::exchange(found_, {});
}

}  // namespace dispersao::point_internal
