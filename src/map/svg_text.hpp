// Numbers and text as an SVG document writes them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace dispersao {

// Appends `value` rounded to one decimal, the precision a drawing needs, in its shortest form;
// a value that is not finite is written as 0, so the document never holds "inf" or "nan".
void append_svg_number(std::string& out, double value);

// Appends `text` as XML character data: markup characters escaped, control characters and
// bytes that do not form UTF-8 shown as '?', so the document stays well-formed.
void append_svg_escaped(std::string& out, std::string_view text);

// Returns how many characters (UTF-8 sequences) `text` holds, for estimating its width.
[[nodiscard]] std::size_t character_count(std::string_view text);

}  // namespace dispersao
