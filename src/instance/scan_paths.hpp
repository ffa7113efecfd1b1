// The ways the integer scanner can run: the portable byte-at-a-time reference, and vectorised
// kernels for x86-64 chosen at run time by what the processor supports.
//
// Every path gives the same integers, the same errors and the same line numbers; the vectorised
// kernels only take over runs of plain integers and leave everything else to the reference.
// DISPERSAO_SCANNER=portable in the environment (or a build with DISPERSAO_PORTABLE_SCANNER)
// keeps every scanner on the portable path; DISPERSAO_SCANNER=avx2 caps the choice there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace dispersao {

// Scanner paths from the slowest to the fastest.
enum class ScanPath {
    portable,  // the reference: plain C++, every architecture
    avx2,      // bytes classified 32 at a time with AVX2, tokens converted one by one
    avx512,    // 64 bytes classified, up to 16 tokens converted at once (AVX-512 BW, VBMI, VBMI2)
};

// Returns the path name as DISPERSAO_SCANNER spells it: "portable", "avx2", "avx512".
[[nodiscard]] const char* scan_path_name(ScanPath path);

// Returns the paths this build and processor can run, portable first.
[[nodiscard]] std::vector<ScanPath> available_scan_paths();

// Returns the path new scanners take: the fastest available one, capped by DISPERSAO_SCANNER
// when it names a path, until set_scan_path chooses another.
[[nodiscard]] ScanPath scan_path();

// Makes new scanners take `path` (tests and benchmarks compare paths this way). Precondition:
// `path` is one of available_scan_paths().
void set_scan_path(ScanPath path);

// What a vectorised kernel found at the start of a text.
struct ScanRun {
    std::size_t count;  // integers written to the caller's array
    const char* stop;   // just past the last digit of the last one; the start when count is 0
    long newlines;      // '\n' bytes between the start and `stop`
};

// A kernel reads the plain integers at the start of text[0..end-text-1], where the first byte
// does not continue a token begun before it: optionally '-'-signed runs of 1 to 16 digits
// separated by white space. It writes up to `capacity` of them to values[0..] and stops before
// any token it leaves to the reference (a '+', any other byte, a longer run) and before the last
// 128 bytes, which it never reads past.
using RunKernel = ScanRun (*)(const char* text, const char* end, std::int64_t* values,
                              std::size_t capacity);

// Returns the kernel of `path`, or nullptr for the portable path.
[[nodiscard]] RunKernel run_kernel(ScanPath path);

// The kernels, each in a source built for its instruction set; only run_kernel hands them out,
// and only where the processor can run them.
ScanRun scan_run_avx2(const char* text, const char* end, std::int64_t* values,
                      std::size_t capacity);
ScanRun scan_run_avx512(const char* text, const char* end, std::int64_t* values,
                        std::size_t capacity);

}  // namespace dispersao
