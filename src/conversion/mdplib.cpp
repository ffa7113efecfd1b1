// Reader of MDPLIB distance files: "n m", then "i j d" triples with real distances.
#include <cmath>
#include <limits>
#include <string>

#include "conversion/conversion.hpp"
#include "points/line_reader.hpp"
#include "points/text_fields.hpp"

namespace dispersao {

namespace {

// Distances are scaled by this before truncation.
constexpr double kScale = 5.0;

}  // namespace

std::optional<ConversionError> parse_mdplib(std::string_view text, MdplibInstance& instance) {
    instance = MdplibInstance{};
    bool have_header = false;
    LineReader lines(memory_source(text.data(), text.size()));
    std::string_view text_line;
    while (lines.next(text_line)) {
        const long line = lines.line_number();
        if (lines.too_long()) {
            return ConversionError{line, LineReader::overlong_line(text_line) + "."};
        }
        const std::vector<std::string_view> words = split_words(text_line);
        if (words.empty()) {
            continue;
        }
        if (!have_header) {
            std::int64_t n = 0;
            std::int64_t m = 0;
            if (words.size() != 2 || !parse_whole(words[0], n) || !parse_whole(words[1], m) ||
                n < 1 || n > std::numeric_limits<int>::max() - 1) {
                return ConversionError{
                    line, "esperava \"n m\", encontrou " + quoted(trim(text_line)) + "."};
            }
            instance.count = static_cast<int>(n);
            have_header = true;
            continue;
        }
        std::int64_t i = 0;
        std::int64_t j = 0;
        double d = 0.0;
        if (words.size() != 3 || !parse_whole(words[0], i) || !parse_whole(words[1], j) ||
            !parse_real(words[2], d)) {
            return ConversionError{
                line, "esperava \"i j d\", encontrou " + quoted(trim(text_line)) + "."};
        }
        if (i < 0 || i >= instance.count || j < 0 || j >= instance.count) {
            return ConversionError{
                line, "posicao fora de 0.." + std::to_string(instance.count - 1) + "."};
        }
        const double scaled = std::trunc(d * kScale);
        if (!(std::abs(scaled) <= static_cast<double>(std::numeric_limits<int>::max()))) {
            return ConversionError{line, "a distancia " + quoted(words[2]) + " e grande demais."};
        }
        instance.triples.push_back(
            {static_cast<int>(i), static_cast<int>(j), static_cast<int>(scaled)});
    }
    if (!have_header) {
        return ConversionError{0, "o arquivo esta vazio."};
    }
    return std::nullopt;
}

}  // namespace dispersao
