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
