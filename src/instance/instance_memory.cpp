// How much memory an instance may take, and whether one fits.
#include <fstream>
#include <limits>
#include <optional>
#include <string>

#include "instance/instance_files.hpp"

namespace dispersao {

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

}  // namespace

bool instance_fits(std::int64_t count) {
    if (count >= std::numeric_limits<std::int32_t>::max()) {
        return false;
    }
    const auto n = static_cast<double>(count + 1);
    return bytes_fit_in_memory(n * n * sizeof(float) + n * (sizeof(float*) + sizeof(int)));
}

bool bytes_fit_in_memory(double bytes) {
    const std::optional<double> memory = usable_memory_bytes();
    return !memory || bytes <= *memory;
}

}  // namespace dispersao
