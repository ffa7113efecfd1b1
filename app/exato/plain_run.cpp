// The report of the working folder's instance, byte for byte as the program has always given it.
#include "exato/plain_run.hpp"

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "cli/standard_output.hpp"
#include "dispersion/dispersion.hpp"
#include "exato/report.hpp"
#include "instance/city_names.hpp"
#include "instance/matrix_folder.hpp"
#include "solution/selection.hpp"
#include "storage/storage.hpp"

namespace dispersao {

namespace {

constexpr int kStatusFault = 1;

}  // namespace

int run_plain_report() {
    int n = 0;
    int* selection = nullptr;
    float** matrix = nullptr;
    if (!load_menu_instance(n, selection, matrix, AfterMissingCount::read_nothing)) {
        return finish_standard_output(kStatusFault);
    }
    const CityNames names = read_city_names(kCityNamesFile, n);
    if (names.status == NamesStatus::failed) {
        std::printf("%s", names.message.c_str());
        release_menu_instance(n, selection, matrix);
        return finish_standard_output(kStatusFault);
    }
    const std::clock_t start = std::clock();
    const DispersionResult optimum = solve_matrix_dispersion(n, matrix, kSelectedCount, {});
    const std::clock_t stop = std::clock();
    std::vector<int> chosen;
    for (const std::size_t position : optimum.chosen) {
        selection[position] = 1;
        chosen.push_back(static_cast<int>(position));
    }
    std::printf("\nSolucao otima (busca exata):\n");
    print_vector(selection, n);
    std::printf("\nMenor dist\xE2ncia = %f \n", optimum.value);
    if (names.status == NamesStatus::read) {
        std::printf("%s", chosen_names_line(chosen, names.names).c_str());
    }
    std::printf("Tempo de CPU = %f segundos\n",
                static_cast<double>(stop - start) / static_cast<double>(CLOCKS_PER_SEC));
    release_menu_instance(n, selection, matrix);
    return finish_standard_output(0);
}

}  // namespace dispersao
