// The main menu and the reading of a choice.
#include <cctype>

#include "cli/standard_output.hpp"
#include "menu/console.hpp"

namespace dispersao {

namespace {

constexpr std::int64_t kClamp = 1'000'000'000'000'000'000;

// Reads and drops characters of `in` up to and including the next newline.
void discard_line(std::FILE* in) {
    int c = std::fgetc(in);
    while (c != '\n' && c != EOF) {
        c = std::fgetc(in);
    }
}

void print_menu() {
    std::printf("\n***************Menu Principal************************* \n");
    std::printf("         1. Geracao de uma Solacao Inicial Aleatoria \n");
    std::printf("         2. Simulated Annealing \n");
    std::printf("         0. Sair \n");
    std::printf("         Escolha: ");
    // A session whose screen cannot be written is not carried on blind.
    require_standard_output();
}

}  // namespace

MenuInput read_menu_input(std::FILE* in) {
    int c = std::fgetc(in);
    while (c != EOF && std::isspace(c) != 0) {
        c = std::fgetc(in);
    }
    if (c == EOF) {
        return {MenuInputKind::end, 0};
    }
    const bool negative = c == '-';
    if (c == '+' || c == '-') {
        c = std::fgetc(in);
    }
    if (c < '0' || c > '9') {
        if (c != '\n' && c != EOF) {
            discard_line(in);
        }
        return {MenuInputKind::not_integer, 0};
    }
    std::int64_t value = 0;
    while (c >= '0' && c <= '9') {
        // Checked before multiplying, so that no run of digits overflows.
        const int digit = c - '0';
        value = value > (kClamp - digit) / 10 ? kClamp : value * 10 + digit;
        c = std::fgetc(in);
    }
    if (c != EOF) {
        std::ungetc(c, in);
    }
    return {MenuInputKind::integer, negative ? -value : value};
}

int read_menu_choice() {
    for (;;) {
        print_menu();
        const MenuInput input = read_menu_input(stdin);
        if (input.kind == MenuInputKind::end) {
            return 0;
        }
        if (input.kind == MenuInputKind::integer && input.value >= 0 && input.value <= 2) {
            return static_cast<int>(input.value);
        }
    }
}

}  // namespace dispersao
