// The progress line of long reads.
#include "progress/progress_line.hpp"

#include <algorithm>
#include <chrono>
#include <utility>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif

namespace dispersao {

namespace {

// A read shorter than this many seconds shows nothing; the line is redrawn at most once per
// kRedrawSeconds.
constexpr double kQuietSeconds = 1.0;
constexpr double kRedrawSeconds = 0.1;

[[nodiscard]] bool is_terminal(std::FILE* out) {
#if defined(__unix__) || defined(__APPLE__)
    return isatty(fileno(out)) != 0;
#else
    (void)out;
    return false;
#endif
}

[[nodiscard]] double steady_seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

ProgressLine::ProgressLine(std::FILE* out, std::string what, std::uint64_t total_bytes)
    : ProgressLine(out, std::move(what), total_bytes, is_terminal(out), steady_seconds) {}

ProgressLine::ProgressLine(std::FILE* out, std::string what, std::uint64_t total_bytes, bool shown,
                           Clock clock)
    : out_(out),
      what_(std::move(what)),
      total_(total_bytes),
      shown_(shown),
      clock_(std::move(clock)),
      start_(shown_ ? clock_() : 0.0) {}

ProgressLine::~ProgressLine() {
    finish();
}

void ProgressLine::advance(std::uint64_t bytes) {
    done_ += bytes;
    if (!shown_) {
        return;
    }
    const double now = clock_();
    if (now - start_ >= kQuietSeconds && now - last_draw_ >= kRedrawSeconds) {
        draw(now);
    }
}

void ProgressLine::draw(double now) {
    last_draw_ = now;
    const double megabytes = static_cast<double>(done_) / 1e6;
    const double speed = megabytes / std::max(now - start_, 1e-9);
    char line[256];
    int length = 0;
    if (total_ > 0) {
        const double percent =
            100.0 * static_cast<double>(std::min(done_, total_)) / static_cast<double>(total_);
        length = std::snprintf(line, sizeof line, "Lendo %s: %3.0f%% de %.1f MB, %.0f MB/s",
                               what_.c_str(), percent, static_cast<double>(total_) / 1e6, speed);
    } else {
        length = std::snprintf(line, sizeof line, "Lendo %s: %.1f MB, %.0f MB/s", what_.c_str(),
                               megabytes, speed);
    }
    const std::size_t shown_length =
        std::min(static_cast<std::size_t>(std::max(length, 0)), sizeof line - 1);
    // Spaces after a shorter line cover what a longer earlier one left.
    const int padding =
        static_cast<int>(drawn_length_ > shown_length ? drawn_length_ - shown_length : 0);
    std::fprintf(out_, "\r%.*s%*s", static_cast<int>(shown_length), line, padding, "");
    std::fflush(out_);
    drawn_length_ = std::max(drawn_length_, shown_length);
}

void ProgressLine::finish() {
    if (drawn_length_ > 0) {
        std::fprintf(out_, "\r%*s\r", static_cast<int>(drawn_length_), "");
        std::fflush(out_);
        drawn_length_ = 0;
    }
    shown_ = false;
}

}  // namespace dispersao
