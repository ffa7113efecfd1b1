// The map of an answer, written all or nothing.
#include "exato/map_file.hpp"

#include <array>
#include <charconv>
#include <cstdio>
#include <optional>
#include <system_error>

#include "map/answer_map.hpp"
#include "output/interrupt_cleanup.hpp"
#include "output/pending_file.hpp"

namespace dispersao {

namespace {

// Returns the value as the map writes it: whole numbers as they are, others to one decimal.
[[nodiscard]] std::string map_value_text(const ExactAnswer& answer) {
    if (answer.integer_values) {
        return format_value(answer.value, true);
    }
    std::array<char, 48> text{};  // a finite distance below 10^40 with one decimal fits
    const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), answer.value,
                                            std::chars_format::fixed, 1);
    return error == std::errc{} ? std::string(text.data(), end) : std::string("?");
}

}  // namespace

bool write_answer_map(const std::string& path, const PointSet& points,
                      const DispersionResult& result, const ExactAnswer& answer) {
    const std::string svg =
        render_answer_map(points, map_answer(points, result.chosen, map_value_text(answer)));
    // From here an interrupt removes the unfinished file instead of stopping a search.
    remove_temporaries_on_interrupt();
    PendingFile file(path);
    if (file.opened()) {
        std::fwrite(svg.data(), 1, svg.size(), file.file());
    }
    std::optional<std::string> failure;
    if (!file.opened() || !file.close()) {
        failure = write_failure(file.temporary_path());
    } else {
        failure = commit_files({&file});
    }
    if (failure) {
        std::fprintf(stderr, "dispersao-exato: %s\n", failure->c_str());
        return false;
    }
    return true;
}

}  // namespace dispersao
