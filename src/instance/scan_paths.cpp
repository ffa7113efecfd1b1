// Choice of the scanner path: what the build has, what the processor runs, what the
// environment asks for.
#include "instance/scan_paths.hpp"

#include <cassert>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace dispersao {

namespace {

// Returns whether this build holds the kernel of `path` and the processor can run it.
[[nodiscard]] bool runs_here(ScanPath path) {
    if (path == ScanPath::portable) {
        return true;
    }
#if defined(DISPERSAO_SCAN_KERNELS) && defined(__x86_64__)
    __builtin_cpu_init();
    // Both kernels are built with the bit-manipulation sets as well.
    const bool bit_sets = static_cast<bool>(__builtin_cpu_supports("popcnt")) &&
                          static_cast<bool>(__builtin_cpu_supports("bmi"));
    switch (path) {
        case ScanPath::avx2:
            return bit_sets && static_cast<bool>(__builtin_cpu_supports("avx2")) &&
                   static_cast<bool>(__builtin_cpu_supports("bmi2"));
        case ScanPath::avx512:
            return bit_sets && static_cast<bool>(__builtin_cpu_supports("avx512bw")) &&
                   static_cast<bool>(__builtin_cpu_supports("avx512vbmi")) &&
                   static_cast<bool>(__builtin_cpu_supports("avx512vbmi2")) &&
                   static_cast<bool>(__builtin_cpu_supports("bmi2"));
        case ScanPath::portable:
            break;
    }
#endif
    return false;
}

constexpr ScanPath kPaths[] = {ScanPath::portable, ScanPath::avx2, ScanPath::avx512};

// Returns the path DISPERSAO_SCANNER names, if it names one.
[[nodiscard]] std::optional<ScanPath> requested_path() {
    const char* const name = std::getenv("DISPERSAO_SCANNER");
    if (name == nullptr) {
        return std::nullopt;
    }
    for (const ScanPath path : kPaths) {
        if (std::strcmp(name, scan_path_name(path)) == 0) {
            return path;
        }
    }
    return std::nullopt;
}

// Returns the fastest available path no faster than the one the environment asks for.
[[nodiscard]] ScanPath initial_path() {
    const ScanPath cap = requested_path().value_or(ScanPath::avx512);
    ScanPath chosen = ScanPath::portable;
    for (const ScanPath path : kPaths) {
        if (path <= cap && runs_here(path)) {
            chosen = path;
        }
    }
    return chosen;
}

// The path new scanners take; chosen on first use.
ScanPath& current_path() {
    static ScanPath path = initial_path();
    return path;
}

}  // namespace

const char* scan_path_name(ScanPath path) {
    switch (path) {
        case ScanPath::portable:
            return "portable";
        case ScanPath::avx2:
            return "avx2";
        case ScanPath::avx512:
            return "avx512";
    }
    return "portable";
}

std::vector<ScanPath> available_scan_paths() {
    std::vector<ScanPath> paths;
    for (const ScanPath path : kPaths) {
        if (runs_here(path)) {
            paths.push_back(path);
        }
    }
    return paths;
}

ScanPath scan_path() {
    return current_path();
}

void set_scan_path(ScanPath path) {
    assert(runs_here(path));
    current_path() = path;
}

RunKernel run_kernel(ScanPath path) {
    assert(runs_here(path));
    if (path == ScanPath::portable) {
        return nullptr;
    }
#if defined(DISPERSAO_SCAN_KERNELS)
    switch (path) {
        case ScanPath::avx2:
            return scan_run_avx2;
        case ScanPath::avx512:
            return scan_run_avx512;
        case ScanPath::portable:
            break;
    }
#endif
    return nullptr;
}

}  // namespace dispersao
