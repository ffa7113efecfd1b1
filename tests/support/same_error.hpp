// Whether two parses of the same text reached the same verdict, for the block-boundary checks of
// the readers' tests and fuzz targets.
#pragma once

#include <optional>

namespace test_support {

// Returns whether `a` and `b` are both absent, or both present with equal fields(error), where
// `fields` returns a comparable view of an error (e.g. a std::tie of its members).
template <class Error, class Fields>
[[nodiscard]] bool same_error(const std::optional<Error>& a, const std::optional<Error>& b,
                              const Fields& fields) {
    return a.has_value() == b.has_value() && (!a || fields(*a) == fields(*b));
}

}  // namespace test_support
