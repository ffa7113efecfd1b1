// Removal of the converter's temporary files when the program is interrupted.
//
// An interrupt (SIGINT, SIGTERM, SIGHUP) that arrives while temporary files exist removes them
// and then ends the program as the signal would have. Steps that must not be cut in the middle
// (creating and registering a file, the renames that put files in place) defer interrupts
// until they are done.
#pragma once

namespace dispersao {

// Installs the handlers; until then interrupts end the program as they always do.
void remove_temporaries_on_interrupt();

// Removes every registered file now, for a program about to end on a failure that leaves no
// room for unwinding (memory exhaustion). Safe in a signal handler.
void remove_temporaries_now();

// Adds `path` to the files an interrupt removes and returns its slot, or -1 when all slots are
// taken (then the file is not removed on interrupt). The text must stay unchanged and alive
// until the slot is released.
[[nodiscard]] int register_temporary(const char* path);

// Takes the file of `slot` (from register_temporary; -1 is ignored) off the list.
void release_temporary(int slot);

// While an object of this class exists, an interrupt waits; when the last one goes, an
// interrupt that came meanwhile takes effect.
class DeferInterrupts {
  public:
    DeferInterrupts();
    ~DeferInterrupts();
    DeferInterrupts(const DeferInterrupts&) = delete;
    DeferInterrupts& operator=(const DeferInterrupts&) = delete;
};

}  // namespace dispersao
