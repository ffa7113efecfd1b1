// More chains of the heuristics, run beside the exact search once part of a time limit is spent.
#pragma once

#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

#include "dispersion/search_clock.hpp"
#include "points/point_set.hpp"

namespace dispersao::point_internal {

// A thread that, from tuning::kLateChainsShare of the clock's time limit on, runs the
// heuristics' later chains (more_chains) from a first selection on one thread, until the limit
// or finish(). If the exact search, started with this object, has ruled out no point
// (note_progress was never called) once it has had tuning::kHandOverShare of the time then
// left, or by that half of the limit, a proof is out of reach: the chains take the search's
// clock (SearchClock::hand_over) and every thread for the rest of the limit, from then on.
// Without a time limit, with one thread, below tuning::kTargetFromP (the exact search is fast),
// from tuning::kSpreadMinP (the large-selection search's selection is better than the
// chains'), or on sets the heuristics search through a sample (searched_by_sample: a chain over
// every point would outlast short limits), it does nothing: the proof has every core to itself.
class LateChains {
  public:
    // Starts the thread (when it should run); the exact search's rounds start now.
    // Preconditions: `elite` holds p distinct points; `points` and `clock` outlive this object.
    LateChains(const PointSet& points, int p, std::vector<std::size_t> elite, SearchClock& clock,
               int threads);
    LateChains(const LateChains&) = delete;
    LateChains& operator=(const LateChains&) = delete;
    ~LateChains();

    // Tells the chains that the exact search has ruled out some point. Safe from any thread.
    void note_progress() { progress_.store(true); }

    // Returns whether the chains took the search's clock (see the class).
    [[nodiscard]] bool took_over() const { return took_over_.load(); }

    // Waits for the chains to end by themselves (the limit, or their generations agreeing).
    void await();

    // Stops the chains and returns their best selection: empty when none ran, none did better
    // than the first selection, or the thread failed.
    [[nodiscard]] std::vector<std::size_t> finish();

  private:
    std::atomic<bool> done_{false};
    std::atomic<bool> progress_{false};
    std::atomic<bool> took_over_{false};
    std::vector<std::size_t> found_;  // written by the thread, read after it is joined
    std::thread thread_;
};

}  // namespace dispersao::point_internal
