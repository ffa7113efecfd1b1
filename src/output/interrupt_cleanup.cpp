// Signal handlers that remove registered temporary files, with deferral for critical steps.
//
// The handler touches only lock-free atomics and calls only functions that are safe in a
// signal handler on POSIX systems (unlink, signal, raise); elsewhere it falls back to
// std::remove.
#include "output/interrupt_cleanup.hpp"

#include <atomic>
#include <csignal>
#include <cstdio>

#if __has_include(<unistd.h>)
#include <unistd.h>
#define DISPERSAO_HAVE_UNLINK 1
#endif

namespace dispersao {

namespace {

// Paths of the temporary files that exist now; null where a slot is free. No program has more
// than three at a time.
constexpr int kSlots = 4;
std::atomic<const char*> temporaries[kSlots];

// How many DeferInterrupts objects exist, and the signal that came while one did (0: none).
std::atomic<int> deferring{0};
std::atomic<int> pending_signal{0};

constexpr int kInterrupts[] = {SIGINT, SIGTERM,
#ifdef SIGHUP
                               SIGHUP
#endif
};

void remove_file(const char* path) {
#ifdef DISPERSAO_HAVE_UNLINK
    ::unlink(path);
#else
    std::remove(path);
#endif
}

// Removes every registered file and ends the program by `signal`'s own default action.
void remove_and_end(int signal) {
    remove_temporaries_now();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

extern "C" void remove_temporaries_on_signal(int signal) {
    if (deferring.load() > 0) {
        pending_signal.store(signal);
        return;
    }
    remove_and_end(signal);
}

}  // namespace

void remove_temporaries_on_interrupt() {
    static_assert(std::atomic<const char*>::is_always_lock_free &&
                  std::atomic<int>::is_always_lock_free);
    for (const int signal : kInterrupts) {
        std::signal(signal, remove_temporaries_on_signal);
    }
}

void remove_temporaries_now() {
    for (auto& slot : temporaries) {
        if (const char* path = slot.exchange(nullptr); path != nullptr) {
            remove_file(path);
        }
    }
}

int register_temporary(const char* path) {
    for (int slot = 0; slot < kSlots; ++slot) {
        const char* expected = nullptr;
        if (temporaries[slot].compare_exchange_strong(expected, path)) {
            return slot;
        }
    }
    return -1;
}

void release_temporary(int slot) {
    if (slot >= 0) {
        temporaries[slot].store(nullptr);
    }
}

DeferInterrupts::DeferInterrupts() {
    deferring.fetch_add(1);
}

DeferInterrupts::~DeferInterrupts() {
    if (deferring.fetch_sub(1) == 1) {
        if (const int signal = pending_signal.exchange(0); signal != 0) {
            remove_and_end(signal);
        }
    }
}

}  // namespace dispersao
