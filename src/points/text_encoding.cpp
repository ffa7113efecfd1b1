// UTF-8 checks, Latin-1 conversion and the folding of column names.
#include "points/text_encoding.hpp"

#include <algorithm>
#include <array>
#include <cassert>
#include <cctype>
#include <cstdint>

namespace dispersao {

namespace {

// Code points of Windows-1252's bytes 0x80..0x9F; 0 where it has none (then the byte is taken
// as the Latin-1 control character of the same number).
constexpr std::array<std::uint16_t, 32> kWindows1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void append_code_point(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6U));
        out += static_cast<char>(0x80 | (code & 0x3FU));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12U));
        out += static_cast<char>(0x80 | ((code >> 6U) & 0x3FU));
        out += static_cast<char>(0x80 | (code & 0x3FU));
    }
}

// The letter without its accent for the two-byte UTF-8 letters of U+00C0..U+00FF (second byte
// after 0xC3), as lower case; 0 for the signs of that block that are not letters.
constexpr char kFoldedC3[] =
    "aaaaaaaceeeeiiii"    // U+00C0..U+00CF
    "dnooooo\0ouuuuyts"   // U+00D0..U+00DF (x sign at U+00D7)
    "aaaaaaaceeeeiiii"    // U+00E0..U+00EF
    "dnooooo\0ouuuuyty";  // U+00F0..U+00FF (division sign at U+00F7)

}  // namespace

std::size_t utf8_sequence_length(std::string_view text, std::size_t i) {
    assert(i < text.size());
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;   // the allowed range of the second byte, against overlong forms
    unsigned char high = 0xBF;  // and surrogates or code points beyond U+10FFFF
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > text.size() || byte(i + 1) < low || byte(i + 1) > high) {
        return 0;
    }
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) {
            return 0;
        }
    }
    return length;
}

bool is_utf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = utf8_sequence_length(text, i);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

std::string as_utf8(std::string_view text) {
    // Text with any UTF-8 sequence of two bytes or more is taken as UTF-8 with some bad bytes,
    // not as Latin-1, so its good characters are not garbled; the writers show the bad ones.
    bool multibyte = false;
    bool valid = true;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = utf8_sequence_length(text, i);
        multibyte = multibyte || length > 1;
        valid = valid && length > 0;
        i += std::max<std::size_t>(length, 1);
    }
    if (valid || multibyte) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        std::uint32_t code = byte;
        if (byte >= 0x80 && byte < 0xA0 && kWindows1252High[byte - 0x80U] != 0) {
            code = kWindows1252High[byte - 0x80U];
        }
        append_code_point(out, code);
    }
    return out;
}

std::string folded_name(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == 0xC3 && i + 1 < text.size()) {
            const auto next = static_cast<unsigned char>(text[i + 1]);
            if (next >= 0x80 && next <= 0xBF && kFoldedC3[next - 0x80U] != '\0') {
                out += kFoldedC3[next - 0x80U];
                ++i;
                continue;
            }
        }
        if (byte == ' ' || byte == '\t' || byte == '_' || byte == '-') {
            continue;
        }
        out += static_cast<char>(std::tolower(byte));
    }
    return out;
}

}  // namespace dispersao
