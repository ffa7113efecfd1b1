// Fuzz target for the menu-input reader: reads choices from any text until it ends.
//
// The whole input is standard input as the menu would see it, served through fmemopen. Every
// read must consume something or report the end, so the reads end within one per byte; values
// stay within the clamp.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "menu/console.hpp"

using namespace dispersao;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    std::vector<char> text(data, data + size);
    std::FILE* in = fmemopen(text.data(), text.size(), "r");
    if (in == nullptr) {
        return 0;
    }
    constexpr std::int64_t kClamp = 1'000'000'000'000'000'000;
    std::size_t reads = 0;
    for (;;) {
        const long before = std::ftell(in);
        const MenuInput input = read_menu_input(in);
        if (input.kind == MenuInputKind::end) {
            break;
        }
        if (std::ftell(in) <= before || ++reads > size) {
            std::abort();
        }
        if (input.kind == MenuInputKind::integer &&
            (input.value > kClamp || input.value < -kClamp)) {
            std::abort();
        }
        if (input.kind == MenuInputKind::not_integer && input.value != 0) {
            std::abort();
        }
    }
    std::fclose(in);
    return 0;
}
