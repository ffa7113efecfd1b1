// Whether two parses of the same text reached the same verdict, and whether a fault message is
// one line, for the block-boundary checks of the readers' tests and fuzz targets.
#pragma once

#include <optional>
#include <string>

namespace test_support {

// Returns whether `a` and `b` are both absent, or both present with equal fields(error), where
// `fields` returns a comparable view of an error (e.g. a std::tie of its members).
template <class Error, class Fields>
[[nodiscard]] bool same_error(const std::optional<Error>& a, const std::optional<Error>& b,
                              const Fields& fields) {
    return a.has_value() == b.has_value() && (!a || fields(*a) == fields(*b));
}

// Returns whether `message` is one printable line: not empty, ended by its only newline, with
// no NUL or carriage return whatever the input held.
[[nodiscard]] inline bool is_one_line(const std::string& message) {
    return !message.empty() && message.back() == '\n' && message.find('\n') == message.size() - 1 &&
           message.find_first_of(std::string("\0\r", 2)) == std::string::npos;
}

}  // namespace test_support
