// Detection of output that could not be written.
#include "cli/standard_output.hpp"

#include <cstdio>
#include <cstdlib>

namespace dispersao {

int finish_standard_output(int status) {
    // The error indicator also catches a write that failed earlier, when the buffer filled.
    const bool flushed = std::fflush(stdout) == 0;
    if (!flushed || std::ferror(stdout) != 0) {
        std::fprintf(stderr, "Erro ao escrever na saida padrao.\n");
        return 1;
    }
    return status;
}

void require_standard_output() {
    if (finish_standard_output(0) != 0) {
        std::exit(1);
    }
}

}  // namespace dispersao
