// Scan kernel classifying bytes 16 at a time with SSE4.2; this file is built for that
// instruction set and runs only where the processor has it.
#include <immintrin.h>

#include "instance/scan_kernel_x86.hpp"

namespace {

// Returns the 16-bit mask of the bytes of `bytes` that lie in first..last (all below 0x80).
std::uint64_t in_range(__m128i bytes, char first, char last) {
    const __m128i above = _mm_cmpgt_epi8(bytes, _mm_set1_epi8(static_cast<char>(first - 1)));
    const __m128i below = _mm_cmplt_epi8(bytes, _mm_set1_epi8(static_cast<char>(last + 1)));
    return static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_and_si128(above, below)));
}

// Returns the 16-bit mask of the bytes of `bytes` equal to `value`.
std::uint64_t equal_to(__m128i bytes, char value) {
    return static_cast<std::uint16_t>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(value))));
}

ChunkMasks classify(const char* chunk) {
    ChunkMasks masks{0, 0, 0, 0};
    for (std::ptrdiff_t part = 0; part < 4; ++part) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chunk + 16 * part));
        const auto shift = static_cast<int>(16 * part);
        masks.digit |= in_range(bytes, '0', '9') << shift;
        masks.space |= (equal_to(bytes, ' ') | in_range(bytes, '\t', '\r')) << shift;
        masks.minus |= equal_to(bytes, '-') << shift;
        masks.newline |= equal_to(bytes, '\n') << shift;
    }
    return masks;
}

}  // namespace

ScanRun scan_run_sse42(const char* text, const char* end, std::int64_t* values,
                       std::size_t capacity) {
    return scan_plain_integers<classify>(text, end, values, capacity);
}
