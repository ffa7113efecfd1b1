// The two menu options: the random start and the annealing.
#include <cassert>
#include <ctime>

#include "annealing/annealing.hpp"
#include "menu/console.hpp"
#include "solution/selection.hpp"
#include "storage/storage.hpp"

namespace dispersao {

void run_random_start_option(int n, int* selection, const float* const* matrix) {
    assert(n >= kSelectedCount);
    build_random_start(selection, n);
    const float value = evaluate_solution(n, selection, matrix);
    std::printf("\nSolucao construida de forma aleatoria:\n");
    print_vector(selection, n);
    std::printf("Menor Dist\xE2ncia = %f\n", static_cast<double>(value));
}

void run_annealing_option(int n, int* selection, const float* const* matrix) {
    const float initial_temperature = calibrate_temperature(
        n, selection, matrix, kHeatingFactor, kTargetAcceptance, kMovesPerTemperature);
    const std::clock_t start = std::clock();
    const float best = run_annealing(n, selection, matrix, kCoolingFactor, initial_temperature,
                                     kFinalTemperature, kMovesPerTemperature);
    const std::clock_t stop = std::clock();
    std::printf("\nSolucao construida usando o Metodo Simulated Annealing:\n");
    print_vector(selection, n);
    std::printf("\nMenor dist\xE2ncia encontrada = %f \n", static_cast<double>(best));
    std::printf("Tempo de CPU = %f segundos\n",
                static_cast<double>(stop - start) / static_cast<double>(CLOCKS_PER_SEC));
}

}  // namespace dispersao
