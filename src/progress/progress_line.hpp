// A single progress line on a terminal for a long read: the share of the bytes read and the
// speed, drawn once the read has taken more than a second, redrawn at most ten times a second
// and erased when the read ends. Nothing at all is written when the stream is not a terminal,
// so transcripts and redirected output never see it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace dispersao {

class ProgressLine {
  public:
    // Seconds since some fixed moment.
    using Clock = std::function<double()>;

    // Reports on `out` (standard error, in the programs) the reading of `what`, `total_bytes`
    // long (0 when the length is unknown), if `out` is a terminal.
    ProgressLine(std::FILE* out, std::string what, std::uint64_t total_bytes);

    // The same, drawn only when `shown`, timed by `clock`.
    ProgressLine(std::FILE* out, std::string what, std::uint64_t total_bytes, bool shown,
                 Clock clock);

    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Counts `bytes` more as read, and redraws the line when it is due.
    void advance(std::uint64_t bytes);

    // Erases the line if it was drawn; later calls do nothing.
    void finish();

  private:
    void draw(double now);

    std::FILE* out_;
    std::string what_;
    std::uint64_t total_;
    bool shown_;
    Clock clock_;
    double start_;
    double last_draw_ = -1.0;
    std::uint64_t done_ = 0;
    // Length of the longest line drawn, which erasing overwrites with spaces; 0 if none was.
    std::size_t drawn_length_ = 0;
};

}  // namespace dispersao
