// Loading and release of the instance the driver owns.
#include <cstdint>
#include <ctime>

#include "instance/matrix_folder.hpp"
#include "menu/console.hpp"
#include "solution/random_draws.hpp"

namespace dispersao {

bool load_instance(int& n, int*& selection, float**& matrix, AfterMissingCount after_missing) {
    seed_generator(static_cast<std::uint64_t>(std::time(nullptr)));
    return load_menu_instance(n, selection, matrix, after_missing);
}

void release_instance(int n, int* selection, float** matrix) {
    release_menu_instance(n, selection, matrix);
}

}  // namespace dispersao
