// The line on standard error that shows a long search's bounds as they move.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace dispersao {

// Shows "limites: inferior L, superior U" on one line of a terminal, rewritten in place, once
// the search has run for a second; erases it when the search is done.
class BoundsLine {
  public:
    // `terminal` is where the line goes, or null for nowhere; `integer_values` says how the
    // bounds are written (see format_value).
    BoundsLine(std::FILE* terminal, bool integer_values);
    ~BoundsLine() { clear(); }
    BoundsLine(const BoundsLine&) = delete;
    BoundsLine& operator=(const BoundsLine&) = delete;

    // Shows the bounds, when a second has passed since construction.
    void update(double lower, double upper);

    // Erases the line, if one is shown.
    void clear();

  private:
    std::FILE* terminal_;
    bool integer_values_;
    std::chrono::steady_clock::time_point start_;
    std::size_t shown_ = 0;  // length of the line on screen, 0 when none is
};

// Returns standard error when it is a terminal, null otherwise (or where that cannot be told).
[[nodiscard]] std::FILE* terminal_stderr();

}  // namespace dispersao
