// Character encodings of the text that point files hold: UTF-8, and Latin-1 as older
// spreadsheets export it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace dispersao {

// Length of the valid UTF-8 sequence starting at text[i] (1 for an ASCII byte), or 0 when none
// starts there: overlong forms, surrogates and code points past U+10FFFF are not valid.
// Precondition: i < text.size().
[[nodiscard]] std::size_t utf8_sequence_length(std::string_view text, std::size_t i);

// The UTF-8 byte-order mark, which some editors and spreadsheets write before a text.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Removes the byte-order mark that opens `text`, if one does: it is no part of the text.
inline void drop_byte_order_mark(std::string_view& text) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
}

// True when all of `text` is valid UTF-8.
[[nodiscard]] bool is_utf8(std::string_view text);

// Returns `text` in UTF-8: as it is when it already is UTF-8, or when it holds some valid
// multi-byte UTF-8 sequence among bad bytes (UTF-8 damaged, which the writers mark); otherwise
// read as Windows-1252 (Latin-1 with the printable characters spreadsheets put at
// 0x80..0x9F) and converted.
[[nodiscard]] std::string as_utf8(std::string_view text);

// Returns `text` (UTF-8) in lower case, without blanks, '_' or '-', with the accents of
// Portuguese and Spanish letters dropped ("Código" gives "codigo"), for matching names.
[[nodiscard]] std::string folded_name(std::string_view text);

}  // namespace dispersao
