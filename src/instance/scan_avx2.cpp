// Scan kernel classifying bytes 32 at a time with AVX2; this file is built for that instruction
// set and runs only where the processor has it.
#include <immintrin.h>

#include "instance/scan_kernel_x86.hpp"

namespace dispersao {

namespace {

// Returns the 32-bit mask of the bytes of `bytes` that lie in first..last (all below 0x80).
std::uint64_t in_range(__m256i bytes, char first, char last) {
    const __m256i above = _mm256_cmpgt_epi8(bytes, _mm256_set1_epi8(static_cast<char>(first - 1)));
    const __m256i below = _mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(last + 1)), bytes);
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_and_si256(above, below)));
}

// Returns the 32-bit mask of the bytes of `bytes` equal to `value`.
std::uint64_t equal_to(__m256i bytes, char value) {
    return static_cast<std::uint32_t>(
        _mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(value))));
}

// Returns the classes of chunk[0..31].
ChunkMasks classify_half(const char* half) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(half));
    return {in_range(bytes, '0', '9'), equal_to(bytes, ' ') | in_range(bytes, '\t', '\r'),
            equal_to(bytes, '-'), equal_to(bytes, '\n')};
}

}  // namespace

ScanRun scan_run_avx2(const char* text, const char* end, std::int64_t* values,
                      std::size_t capacity) {
    return scan_plain_integers<join_parts<2, classify_half>>(text, end, values, capacity);
}

}  // namespace dispersao
