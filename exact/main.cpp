// Entry of dispersao-exato: loads the instance of the working directory and prints its optimum.
#include <cstdio>
#include <ctime>

#include "console/console.hpp"
#include "console/standard_output.hpp"
#include "exact/exact_search.hpp"
#include "storage/storage.hpp"

int main() {
    exit_on_memory_exhaustion();
    int n = 0;
    int* selection = nullptr;
    float** matrix = nullptr;
    // The loader prints why an instance cannot be used; the search needs none of the seeding
    // it also does, which is harmless here.
    if (!load_instance(n, selection, matrix)) {
        return finish_standard_output(1);
    }
    const std::clock_t start = std::clock();
    const ExactOptimum optimum = find_exact_optimum(n, matrix);
    const std::clock_t stop = std::clock();
    for (const int position : optimum.positions) {
        selection[position] = 1;
    }
    std::printf("\nSolucao otima (busca exata):\n");
    print_vector(selection, n);
    std::printf("\nMenor dist\xE2ncia = %f \n", static_cast<double>(optimum.value));
    std::printf("Tempo de CPU = %f segundos\n",
                static_cast<double>(stop - start) / static_cast<double>(CLOCKS_PER_SEC));
    release_instance(n, selection, matrix);
    return finish_standard_output(0);
}
