// The wording every reader of a text file gives a fault found at a place in it.
#pragma once

#include <cassert>
#include <string>
#include <string_view>

namespace dispersao {

// Returns "Erro no arquivo NAME, linha LINE: DETAIL.\n", without ", linha LINE" when `line` is
// 0 (a fault of the text as a whole). Preconditions: `line` >= 0; `detail` is one line.
[[nodiscard]] inline std::string file_fault_message(std::string_view name, long line,
                                                    std::string_view detail) {
    assert(line >= 0);
    std::string text = "Erro no arquivo ";
    text += name;
    if (line > 0) {
        text += ", linha " + std::to_string(line);
    }
    text += ": ";
    text += detail;
    return text + ".\n";
}

}  // namespace dispersao
