// The clock of a search: when it must stop, and when it next tells its caller how it goes.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <limits>
#include <thread>

#include "dispersion/dispersion.hpp"
#include "dispersion/search_tuning.hpp"

namespace dispersao {

// Returns the threads a search under `limits` may use, at least 1: limits.threads, or one per
// core the machine reports when that is 0 (or less).
[[nodiscard]] inline int search_threads(const SearchLimits& limits) {
    if (limits.threads > 0) {
        return limits.threads;
    }
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

// Watches the time limit and the interrupt flag of one search and paces its progress reports.
class SearchClock {
  public:
    explicit SearchClock(const SearchLimits& limits)
        : limits_(limits), start_(std::chrono::steady_clock::now()) {}

    // Returns the seconds since the search began.
    [[nodiscard]] double elapsed() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }

    // Returns true once the search must stop (interrupt, time limit or hand_over), and keeps
    // returning it.
    [[nodiscard]] bool should_stop() {
        if (stopped_) {
            return true;
        }
        if (limits_.interrupted != nullptr && limits_.interrupted->load()) {
            stopped_ = true;
            interrupted_ = true;
        } else if (handed_over_.load(std::memory_order_relaxed) || elapsed() >= limits_.seconds) {
            stopped_ = true;
        }
        return stopped_;
    }

    // Returns whether the search must stop, or has used `share` (0 to 1) of its time limit.
    [[nodiscard]] bool past_share(double share) {
        return should_stop() || elapsed() >= share * limits_.seconds;
    }

    // Returns whether the search must stop, or has less than `reserve` seconds of its time
    // limit left: the time the work after it needs.
    [[nodiscard]] bool within(double reserve) {
        return should_stop() || elapsed() >= limits_.seconds - reserve;
    }

    // Returns whether the search has a time limit.
    [[nodiscard]] bool limited() const { return limits_.seconds < kNoLimit; }
    // Returns the seconds of the time limit (infinity for none).
    [[nodiscard]] double limit() const { return limits_.seconds; }
    // Returns whether the interrupt flag is set or the time limit is past, as should_stop()
    // would, but without keeping the answer: safe to ask from any thread.
    [[nodiscard]] bool over() const {
        return (limits_.interrupted != nullptr && limits_.interrupted->load()) ||
               elapsed() >= limits_.seconds;
    }
    // Makes should_stop() true from now on, as if the time were up, while over() keeps to the
    // limit: the thread that calls it goes on with the rest of the time. Safe from any thread.
    void hand_over() { handed_over_.store(true, std::memory_order_relaxed); }

    // Returns whether the interrupt flag, rather than the time limit, stopped the search; after
    // hand_over, whether it is set now (the thread that took over stops by it or the limit).
    [[nodiscard]] bool interrupted() const {
        return interrupted_ || (handed_over_.load(std::memory_order_relaxed) &&
                                limits_.interrupted != nullptr && limits_.interrupted->load());
    }

    // Returns whether report() would pass its bounds on now: a caller whose bounds cost time
    // to work out asks this first.
    [[nodiscard]] bool report_due() const {
        return limits_.on_progress && elapsed() - last_report_ >= tuning::kReportInterval;
    }

    // Passes the bounds to the progress callback if the last report is old enough.
    void report(double lower, double upper) {
        if (!limits_.on_progress) {
            return;
        }
        const double now = elapsed();
        if (now - last_report_ >= tuning::kReportInterval) {
            last_report_ = now;
            limits_.on_progress(lower, upper);
        }
    }

  private:
    static constexpr double kNoLimit = std::numeric_limits<double>::infinity();
    const SearchLimits& limits_;
    std::chrono::steady_clock::time_point start_;
    double last_report_ = 0;
    bool stopped_ = false;
    bool interrupted_ = false;
    std::atomic<bool> handed_over_{false};
};

}  // namespace dispersao
