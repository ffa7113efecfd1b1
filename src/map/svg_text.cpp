// Numbers and escaped text for SVG documents.
#include "map/svg_text.hpp"

#include <charconv>
#include <cmath>

#include "points/text_encoding.hpp"

namespace dispersao {

void append_svg_number(std::string& out, double value) {
    char text[32];  // shortest form of a finite double rounded to tenths; far from full
    double rounded = std::round(value * 10.0) / 10.0;
    if (!std::isfinite(rounded) || rounded == 0.0) {
        rounded = 0.0;
    }
    const auto result = std::to_chars(text, text + sizeof text, rounded);
    out.append(text, result.ptr);
}

void append_svg_escaped(std::string& out, std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::size_t length = utf8_sequence_length(text, i);
        if (length == 0 || byte < 0x20 || byte == 0x7F) {
            out += '?';
            ++i;
            continue;
        }
        switch (byte) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out.append(text.substr(i, length));
        }
        i += length;
    }
}

std::size_t character_count(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text) {
        count += (static_cast<unsigned char>(c) & 0xC0U) != 0x80 ? 1 : 0;
    }
    return count;
}

}  // namespace dispersao
