// The library's version, set by the build from the project's.
#include "dispersao/dispersao.hpp"

#ifndef DISPERSAO_VERSION
#define DISPERSAO_VERSION "0.0.0"
#endif

namespace dispersao {

const char* version() noexcept {
    return DISPERSAO_VERSION;
}

}  // namespace dispersao
