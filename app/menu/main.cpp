// Entry of dispersao: the main menu loop, which owns the loaded instance.
#include <cstdio>

#include "cli/standard_output.hpp"
#include "menu/console.hpp"
#include "storage/storage.hpp"

using namespace dispersao;

int main() {
    exit_on_memory_exhaustion();
    // The instance of the last successful choice 1; present says whether there is one.
    int n = 0;
    int* selection = nullptr;
    float** matrix = nullptr;
    bool present = false;

    int choice = 0;
    do {
        choice = read_menu_choice();
        if (choice == 1) {
            if (present) {
                release_instance(n, selection, matrix);
            }
            present = load_instance(n, selection, matrix);
            if (present) {
                run_random_start_option(n, selection, matrix);
            }
        } else if (choice == 2) {
            if (present) {
                run_annealing_option(n, selection, matrix);
            } else {
                std::printf("Nenhuma instancia carregada. Escolha a opcao 1 primeiro.\n");
            }
        }
    } while (choice != 0);

    if (present) {
        release_instance(n, selection, matrix);
    }
    return finish_standard_output(0);
}
