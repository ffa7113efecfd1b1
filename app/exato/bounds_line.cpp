// The progress line of long searches.
#include "exato/bounds_line.hpp"

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif

#include "exato/report.hpp"

namespace dispersao {

BoundsLine::BoundsLine(std::FILE* terminal, bool integer_values)
    : terminal_(terminal),
      integer_values_(integer_values),
      start_(std::chrono::steady_clock::now()) {}

void BoundsLine::update(double lower, double upper) {
    if (terminal_ == nullptr ||
        std::chrono::steady_clock::now() - start_ < std::chrono::seconds(1)) {
        return;
    }
    std::string text = "limites: inferior " + format_value(lower, integer_values_) + ", superior " +
                       format_value(upper, integer_values_);
    // Blanks cover what is left of a longer line shown before.
    const std::size_t length = text.size();
    text.append(shown_ > length ? shown_ - length : 0, ' ');
    std::fprintf(terminal_, "\r%s", text.c_str());
    std::fflush(terminal_);
    shown_ = length;
}

void BoundsLine::clear() {
    if (terminal_ == nullptr || shown_ == 0) {
        return;
    }
    std::fprintf(terminal_, "\r%s\r", std::string(shown_, ' ').c_str());
    std::fflush(terminal_);
    shown_ = 0;
}

std::FILE* terminal_stderr() {
#if defined(__unix__) || defined(__APPLE__)
    return ::isatty(STDERR_FILENO) != 0 ? stderr : nullptr;
#else
    return nullptr;
#endif
}

}  // namespace dispersao
