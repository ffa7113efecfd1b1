// Whether this build runs under AddressSanitizer, which reserves terabytes of address space at
// start-up, so that no program built with it starts under a lowered virtual-memory limit.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define DISPERSAO_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DISPERSAO_UNDER_ASAN 1
#endif
#endif

namespace test_support {

// How many times the margins of a timed end-to-end check widen in this build: a sanitized debug
// build, among tests run side by side, takes several times longer over every step.
#ifdef DISPERSAO_UNDER_ASAN
inline constexpr int kSlowBuildFactor = 4;
#else
inline constexpr int kSlowBuildFactor = 1;
#endif

}  // namespace test_support
