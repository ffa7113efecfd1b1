// The system's reasons for a failed file operation, said in Portuguese.
#pragma once

#include <string>

namespace dispersao {

// Returns what the errno value `error` means, in a few lowercase Portuguese words without
// accents ("arquivo ou pasta inexistente" for ENOENT); for a value without a translation, the
// system's own words with the number.
[[nodiscard]] std::string system_error_text(int error);

}  // namespace dispersao
