// Loading and release of the instance the driver owns.
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <limits>
#include <optional>
#include <string>

#include "console/console.hpp"
#include "instance/instance_files.hpp"
#include "solution/random_draws.hpp"
#include "storage/storage.hpp"

namespace {

// Returns the memory this process can count on: the machine's physical memory that is still
// available (all of it when the kernel does not say), or its control group's limit when that
// is lower; nothing when neither can be read.
std::optional<double> usable_memory_bytes() {
    std::optional<double> limit;
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    double kib = 0;
    while (meminfo >> key >> kib) {
        if (key == "MemTotal:" && !limit) {
            limit = kib * 1024.0;
        } else if (key == "MemAvailable:") {
            limit = kib * 1024.0;
            break;
        }
        meminfo.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    std::ifstream cgroup("/sys/fs/cgroup/memory.max");
    double cgroup_bytes = 0;
    if (cgroup >> cgroup_bytes && (!limit || cgroup_bytes < *limit)) {
        limit = cgroup_bytes;
    }
    return limit;
}

// True when an instance of `count` cities can be held: N = count + 1 fits in 32 bits and the
// matrix, its row table and the selection vector fit in memory.
bool instance_fits(std::int64_t count) {
    if (count >= std::numeric_limits<std::int32_t>::max()) {
        return false;
    }
    const auto n = static_cast<double>(count + 1);
    const double bytes = n * n * sizeof(float) + n * (sizeof(float*) + sizeof(int));
    const std::optional<double> memory = usable_memory_bytes();
    return !memory || bytes <= *memory;
}

}  // namespace

bool load_instance(int& n, int*& selection, float**& matrix) {
    seed_generator(static_cast<std::uint64_t>(std::time(nullptr)));
    const CityCount count = read_city_count(kCityCountFile);
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
