// The search under the user's eyes: Ctrl-C, the time limit and the bounds line.
#include "exato/search_run.hpp"

#include <atomic>
#include <chrono>
#include <csignal>

#include "exato/bounds_line.hpp"

namespace dispersao {

namespace {

// Set by the SIGINT handler; the search polls it.
std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void stop_search_on_interrupt(int /*signal*/) {
    interrupted.store(true);
    // A second Ctrl-C ends the program at once.
    std::signal(SIGINT, SIG_DFL);
}

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
