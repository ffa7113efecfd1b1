// The search under the user's eyes: Ctrl-C, the time limit and the bounds line.
#include "exato/search_run.hpp"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <ctime>

#include "exato/bounds_line.hpp"

namespace dispersao {

namespace {

// Set by the SIGINT handler; the search polls it.
std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

#ifdef CLOCK_MONOTONIC
// A SIGINT this soon after the first is the same Ctrl-C delivered twice (`timeout`, say, passes
// one on to the program and to its process group), not a second press: it is ignored.
constexpr std::int64_t kRepeatNanoseconds = 300'000'000;

// When the first SIGINT came, in nanoseconds of the monotonic clock.
std::atomic<std::int64_t> first_interrupt{0};
static_assert(std::atomic<std::int64_t>::is_always_lock_free);

// Returns the monotonic clock in nanoseconds; clock_gettime is safe in a signal handler.
[[nodiscard]] std::int64_t monotonic_nanoseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

extern "C" void stop_search_on_interrupt(int /*signal*/) {
    const std::int64_t now = monotonic_nanoseconds();
    if (!interrupted.exchange(true)) {
        first_interrupt.store(now);
        return;
    }
    // A second Ctrl-C ends the program at once.
    if (now - first_interrupt.load() >= kRepeatNanoseconds) {
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
    }
}
#else
extern "C" void stop_search_on_interrupt(int /*signal*/) {
    interrupted.store(true);
    // A second Ctrl-C ends the program at once.
    std::signal(SIGINT, SIG_DFL);
}
#endif

}  // namespace

DispersionResult run_search(double seconds_limit, bool integer_values, double& seconds,
                            const std::function<DispersionResult(const SearchLimits&)>& search) {
    BoundsLine progress(terminal_stderr(), integer_values);
    SearchLimits limits;
    limits.seconds = seconds_limit;
    limits.interrupted = &interrupted;
    limits.on_progress = [&progress](double lower, double upper) { progress.update(lower, upper); };
    std::signal(SIGINT, stop_search_on_interrupt);
    const auto start = std::chrono::steady_clock::now();
    DispersionResult result = search(limits);
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    progress.clear();
    return result;
}

}  // namespace dispersao
