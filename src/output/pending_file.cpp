// Output files written all or nothing.
#include "output/pending_file.hpp"

#include <atomic>
#include <cassert>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

#include "output/interrupt_cleanup.hpp"
#include "output/output_place.hpp"
#include "output/system_error.hpp"

namespace dispersao {

namespace {

namespace fs = std::filesystem;

// Names tried for a file kept beside another (the first, then marked ones), before giving up.
constexpr int kNamesTried = 16;
// Longest file name (not path) the usual file systems take, in bytes.
constexpr std::size_t kLongestName = 255;

// Returns the name number `attempt` (from 0) for a file kept beside `path` under `suffix`:
// first the path and the suffix, as the user sees it; then, as that may be taken (by a file
// left by a program killed outright, or anything else) or too long, the file's name cut short
// where it must be, a mark of six letters and digits, and the suffix.
[[nodiscard]] std::string name_beside(const std::string& path, const std::string& suffix,
                                      int attempt) {
    if (attempt == 0) {
        return path + suffix;
    }
    static std::atomic<std::uint64_t> drawn{0};
    // splitmix64 of the clock and a count: marks differ between attempts and between runs.
    std::uint64_t mix =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) +
        0x9E3779B97F4A7C15ULL * (drawn.fetch_add(1) + 1);
    mix = (mix ^ (mix >> 30U)) * 0xBF58476D1CE4E5B9ULL;
    mix = (mix ^ (mix >> 27U)) * 0x94D049BB133111EBULL;
    mix ^= mix >> 31U;
    std::string mark = ".";
    for (int k = 0; k < 6; ++k) {
        mark += "abcdefghijklmnopqrstuvwxyz0123456789"[mix % 36];
        mix /= 36;
    }
    const std::size_t slash = path.rfind('/');
    const std::size_t leaf = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t room = kLongestName - mark.size() - suffix.size();
    return path.substr(0, leaf) + path.substr(leaf, room) + mark + suffix;
}

// Returns whether a failure to create a file under a name may pass with another name.
[[nodiscard]] bool name_at_fault(int error) {
    return error == EEXIST || error == ENAMETOOLONG;
}

// Ends the program as running out of memory in `new` does: through the `new` handler, which
// the programs install and which does not return, or else by throwing std::bad_alloc. For
// fopen, which reports exhaustion through errno.
[[noreturn]] void fail_for_memory() {
    if (const std::new_handler handler = std::get_new_handler(); handler != nullptr) {
        handler();
    }
    throw std::bad_alloc();
}

[[nodiscard]] std::string failure_with(const std::string& path, const std::error_code& code) {
    return "nao foi possivel gravar " + path + ": " + system_error_text(code.value()) + ".";
}

// One name that a commit replaces or removes, and what was there before.
struct Target {
    std::string path;      // the final name
    std::string backup;    // where the earlier file is kept meanwhile
    bool kept = false;     // an earlier file was there and is kept at `backup`
    bool changed = false;  // the name now holds the new file, or nothing where one was retired
};

// Keeps the earlier file at `target.path`, if there is one, under its second name; returns the
// error that prevented it. A folder at the name is left alone: putting a file there fails on
// its own, before anything changes.
[[nodiscard]] std::error_code keep_earlier(Target& target) {
    std::error_code code;
    const fs::file_status earlier = fs::symlink_status(target.path, code);
    if (!fs::exists(earlier) || fs::is_directory(earlier)) {
        return {};
    }
    // The second name must be free: nothing there is replaced or written through. A name
    // taken goes on to another.
    const std::string first = target.backup;
    for (int attempt = 0; attempt < kNamesTried; ++attempt) {
        target.backup = name_beside(target.path, ".anterior", attempt);
        code.clear();
        if (fs::exists(fs::symlink_status(target.backup, code))) {
            code = std::make_error_code(std::errc::file_exists);
            continue;
        }
        code.clear();
        fs::create_hard_link(target.path, target.backup, code);
        if (code && !name_at_fault(code.value())) {
            code.clear();
            fs::copy_file(target.path, target.backup, code);
        }
        if (!code || !name_at_fault(code.value())) {
            break;
        }
    }
    target.kept = !code;
    if (code) {
        target.backup = first;
    }
    return code;
}

// Puts every changed target back as it was, and drops every kept copy that is no longer
// needed; returns the sentence to add to the message for a file it could not put back.
[[nodiscard]] std::string roll_back(std::vector<Target>& targets) {
    std::string left;
    for (Target& target : targets) {
        if (target.changed) {
            const bool restored = target.kept
                                      ? std::rename(target.backup.c_str(), target.path.c_str()) == 0
                                      : std::remove(target.path.c_str()) == 0;
            if (!restored) {
                left += target.kept ? " O arquivo anterior " + target.path + " ficou em " +
                                          target.backup + "."
                                    : " Remova " + target.path + ".";
                continue;
            }
            target.kept = false;
        }
        if (target.kept) {
            std::remove(target.backup.c_str());
        }
    }
    return left;
}

}  // namespace

PendingFile::PendingFile(const std::string& final_path) {
    const std::optional<std::string> place = through_links(final_path);
    final_path_ = place.value_or(final_path);
    if (!place) {
        temporary_path_ = final_path + ".parcial";
        errno = ELOOP;
        return;
    }
    const DeferInterrupts defer;
    int error = 0;
    for (int attempt = 0; attempt < kNamesTried && file_ == nullptr; ++attempt) {
        std::string name = name_beside(final_path_, ".parcial", attempt);
        file_ = std::fopen(name.c_str(), "wx");
        error = errno;
        if (file_ == nullptr && error == ENOMEM) {
            fail_for_memory();
        }
        // A failure names the first name tried: the one the user would look for.
        if (attempt == 0 || file_ != nullptr) {
            temporary_path_ = std::move(name);
        }
        if (file_ == nullptr && !name_at_fault(error)) {
            break;
        }
    }
    if (file_ != nullptr) {
        slot_ = register_temporary(temporary_path_.c_str());
    } else {
        errno = error;
    }
}

PendingFile::~PendingFile() {
    close();
    // Only a file this object created is removed: whatever else holds the name stays.
    if (slot_ != kNoFile) {
        const DeferInterrupts defer;
        std::remove(temporary_path_.c_str());
        release_temporary(slot_);
    }
}

bool PendingFile::close() {
    if (file_ == nullptr) {
        return closed_well_;
    }
    closed_well_ = std::ferror(file_) == 0;
    closed_well_ = (std::fclose(file_) == 0) && closed_well_;
    file_ = nullptr;
    return closed_well_;
}

bool PendingFile::commit() {
    if (std::rename(temporary_path_.c_str(), final_path_.c_str()) != 0) {
        return false;
    }
    release_temporary(slot_);
    slot_ = kNoFile;
    return true;
}

std::string write_failure(const std::string& path) {
    return "nao foi possivel gravar " + path + ": " + system_error_text(errno) + ".";
}

std::optional<std::string> commit_files(const std::vector<PendingFile*>& files,
                                        const std::vector<std::string>& retired) {
    const DeferInterrupts defer;
    // targets[k] is files[k] for k < files.size(), then the retired paths in order.
    std::vector<Target> targets;
    targets.reserve(files.size() + retired.size());
    for (const PendingFile* file : files) {
        assert(file != nullptr && !file->opened());
        targets.push_back({file->final_path(), file->final_path() + ".anterior"});
    }
    // Two files at one place would leave one of them lost, and the commit said done.
    for (std::size_t a = 0; a < targets.size(); ++a) {
        for (std::size_t b = 0; b < a; ++b) {
            if (same_place(targets[a].path, targets[b].path)) {
                return one_place_twice(targets[a].path, targets[b].path);
            }
        }
    }
    for (const std::string& path : retired) {
        // Only a regular file is retired; anything else at the name is not this program's.
        if (!refused_target(path)) {
            targets.push_back({path, path + ".anterior"});
        }
    }
    for (Target& target : targets) {
        // A device, a FIFO or a folder at a final name is never replaced, nor one a link
        // leads to.
        if (auto refused = refused_target(target.path)) {
            static_cast<void>(roll_back(targets));
            return *refused + ".";
        }
        if (const std::error_code code = keep_earlier(target)) {
            const std::string message = failure_with(target.backup, code);
            static_cast<void>(roll_back(targets));
            return message;
        }
    }
    // From here on nothing allocates until the files are as they were or as they should be,
    // so that running out of memory cannot stop half-way; errno is kept for the message.
    std::size_t failed = targets.size();
    for (std::size_t k = 0; k < targets.size() && failed == targets.size(); ++k) {
        if (k >= files.size() && !targets[k].kept) {
            continue;  // a retired name with nothing there
        }
        const bool done =
            k < files.size() ? files[k]->commit() : std::remove(targets[k].path.c_str()) == 0;
        if (done) {
            targets[k].changed = true;
        } else {
            failed = k;
        }
    }
    if (failed == targets.size()) {
        for (Target& target : targets) {
            target.changed = false;
        }
        static_cast<void>(roll_back(targets));  // with nothing to put back, drops the copies
        return std::nullopt;
    }
    const int error = errno;
    const std::string left = roll_back(targets);
    errno = error;
    return write_failure(targets[failed].path) + left;
}

}  // namespace dispersao
