// Loading and release of the instance the driver owns.
#include <cstdlib>
#include <ctime>

#include "instance/instance_files.hpp"
#include "menu/console.hpp"
#include "solution/random_draws.hpp"
#include "storage/storage.hpp"

namespace dispersao {

bool load_instance(int& n, int*& selection, float**& matrix, AfterMissingCount after_missing) {
    seed_generator(static_cast<std::uint64_t>(std::time(nullptr)));
    const CityCount count = read_city_count(kCityCountFile, after_missing);
    if (count.status != CountStatus::read) {
        return false;
    }
    if (count.value < 2) {
        std::printf("O arquivo %s indica %s cidades; sao necessarias pelo menos 2.\n",
                    kCityCountFile, count.text.c_str());
        return false;
    }
    if (!instance_fits(count.value)) {
        // Refusing up front keeps the system from killing the process half-way through
        // clearing a matrix that was granted but cannot be backed.
        std::printf("Falta memoria para alocar a matriz de ponteiros\n");
        std::exit(1);
    }
    n = static_cast<int>(count.value + 1);
    selection = alloc_vector(n);
    zero_vector(selection, n);
    matrix = alloc_matrix(n, n);
    zero_matrix(matrix, n, n);
    if (!read_distance_matrix(kDistanceFile, matrix, n)) {
        release_instance(n, selection, matrix);
        selection = nullptr;
        matrix = nullptr;
        return false;
    }
    return true;
}

void release_instance(int n, int* selection, float** matrix) {
    free_vector(selection);
    free_matrix(matrix, n);
}

}  // namespace dispersao
