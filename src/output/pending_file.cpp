// Output files written all or nothing.
#include "output/pending_file.hpp"

#include <cassert>
#include <cerrno>
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
    // The second name must be free: nothing there is replaced or written through.
    if (fs::exists(fs::symlink_status(target.backup, code))) {
        return std::make_error_code(std::errc::file_exists);
    }
    code.clear();
    fs::create_hard_link(target.path, target.backup, code);
    if (code) {
        code.clear();
        fs::copy_file(target.path, target.backup, code);
    }
    target.kept = !code;
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

PendingFile::PendingFile(std::string final_path)
    : final_path_(std::move(final_path)), temporary_path_(final_path_ + ".parcial") {
    const DeferInterrupts defer;
    file_ = std::fopen(temporary_path_.c_str(), "wx");
    if (file_ == nullptr && errno == ENOMEM) {
        fail_for_memory();
    }
    if (file_ != nullptr) {
        slot_ = register_temporary(temporary_path_.c_str());
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
