// Writing of a converted TSPLIB instance into the two instance files, all or nothing.
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>

#include "instance/instance_files.hpp"
#include "tools/conversion.hpp"
#include "output/interrupt_cleanup.hpp"

namespace {

// Distances beyond this would overflow when scaled; no real instance comes near it.
constexpr double kLargestUsable = 1.0e300;

// Ends the program as running out of memory in `new` does: through the `new` handler, which
// the converter installs and which does not return, or else by throwing std::bad_alloc. For
// fopen, which reports exhaustion through errno.
[[noreturn]] void fail_for_memory() {
    if (const std::new_handler handler = std::get_new_handler(); handler != nullptr) {
        handler();
    }
    throw std::bad_alloc();
}

// A file being written under a temporary name, removed unless it is committed, and removed
// as well if the program is interrupted meanwhile.
class PendingFile {
  public:
    // Creates the temporary file new and exclusively: a name already taken, by a file, a
    // folder or a symbolic link, is an error and is left as it is, never written through.
    explicit PendingFile(std::string final_path)
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
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    ~PendingFile() {
        close();
        // Only a file this object created is removed: whatever else holds the name stays.
        if (slot_ != kNoFile) {
            const DeferInterrupts defer;
            std::remove(temporary_path_.c_str());
            release_temporary(slot_);
        }
    }

    [[nodiscard]] bool opened() const { return file_ != nullptr; }
    [[nodiscard]] std::FILE* file() const { return file_; }
    [[nodiscard]] const std::string& temporary_path() const { return temporary_path_; }
    [[nodiscard]] const std::string& final_path() const { return final_path_; }

    // Flushes and closes the file; returns false if any write failed.
    bool close() {
        if (file_ == nullptr) {
            return closed_well_;
        }
        closed_well_ = std::ferror(file_) == 0;
        closed_well_ = (std::fclose(file_) == 0) && closed_well_;
        file_ = nullptr;
        return closed_well_;
    }

    // Renames the closed file to its final name; returns false if that failed. Called with
    // interrupts deferred.
    bool commit() {
        if (std::rename(temporary_path_.c_str(), final_path_.c_str()) != 0) {
            return false;
        }
        release_temporary(slot_);
        slot_ = kNoFile;
        return true;
    }

  private:
    // Slot value of an object whose file is not (or no longer) its to remove; a file created
    // when no interrupt slot was free gets -1 and is still removed by the destructor.
    static constexpr int kNoFile = -2;

    std::string final_path_;
    std::string temporary_path_;
    std::FILE* file_ = nullptr;
    int slot_ = kNoFile;
    bool closed_well_ = false;
};

[[nodiscard]] ConversionError write_failure(const std::string& path) {
    return {0, "nao foi possivel gravar " + path + ": " + std::strerror(errno) + "."};
}

[[nodiscard]] ConversionError write_failure(const std::string& path, const std::error_code& code) {
    return {0, "nao foi possivel gravar " + path + ": " + code.message() + "."};
}

// Puts both closed files in place, the distances first: either both replace what was there or
// neither does. The earlier distance file is kept under a second name (a hard link, or a copy
// where the file system has none) until the count file is in place too, so that a failure of
// the second rename can put it back as it was. Interrupts wait until this is over.
std::optional<ConversionError> commit_both(PendingFile& distances, PendingFile& count) {
    namespace fs = std::filesystem;
    const DeferInterrupts defer;
    const std::string backup = distances.final_path() + ".anterior";
    std::error_code code;
    const fs::file_status earlier = fs::symlink_status(distances.final_path(), code);
    // A folder in its place cannot be replaced, so the first rename will fail on its own.
    const bool keep_earlier = fs::exists(earlier) && !fs::is_directory(earlier);
    if (keep_earlier) {
        // The second name must be free: nothing there is replaced or written through.
        if (fs::exists(fs::symlink_status(backup, code))) {
            code = std::make_error_code(std::errc::file_exists);
        } else {
            fs::create_hard_link(distances.final_path(), backup, code);
            if (code) {
                code.clear();
                fs::copy_file(distances.final_path(), backup, code);
            }
        }
        if (code) {
            return write_failure(backup, code);
        }
    }
    // From here on nothing allocates until the files are as they were or as they should be,
    // so that running out of memory cannot stop half-way; errno is kept for the message.
    if (!distances.commit()) {
        const int rename_error = errno;
        if (keep_earlier) {
            std::remove(backup.c_str());
        }
        errno = rename_error;
        return write_failure(distances.final_path());
    }
    if (!count.commit()) {
        const int rename_error = errno;
        // The new distance file must not stay without its count: the earlier one goes back.
        const bool restored = keep_earlier
                                  ? std::rename(backup.c_str(), distances.final_path().c_str()) == 0
                                  : std::remove(distances.final_path().c_str()) == 0;
        errno = rename_error;
        ConversionError error = write_failure(count.final_path());
        if (!restored) {
            error.message += keep_earlier ? " O arquivo anterior " + distances.final_path() +
                                                " ficou em " + backup + "."
                                          : " Remova " + distances.final_path() + ".";
        }
        return error;
    }
    if (keep_earlier) {
        std::remove(backup.c_str());
    }
    return std::nullopt;
}

// Appends "i j d\n" to `out`, which has room for it.
char* put_triple(char* out, int i, int j, int d) {
    out = std::to_chars(out, out + 12, i).ptr;
    *out++ = ' ';
    out = std::to_chars(out, out + 12, j).ptr;
    *out++ = ' ';
    out = std::to_chars(out, out + 12, d).ptr;
    *out++ = '\n';
    return out;
}

}  // namespace

std::optional<ConversionError> write_instance_files(const std::string& directory,
                                                    const std::vector<Point>& cities) {
    const double largest = largest_distance(cities);
    if (!(largest > 0.0)) {
        return ConversionError{0, "todas as cidades estao no mesmo ponto."};
    }
    if (!(largest <= kLargestUsable)) {
        return ConversionError{0, "as coordenadas sao grandes demais para as distancias."};
    }
    const std::string prefix = directory.empty() ? "" : directory + "/";
    PendingFile distances(prefix + kDistanceFile);
    if (!distances.opened()) {
        return write_failure(distances.temporary_path());
    }
    {
        // Whole lines go out in large blocks: a 4,000-city instance has 8 million of them.
        std::vector<char> buffer(std::size_t{1} << 20);
        char* out = buffer.data();
        char* const limit = buffer.data() + buffer.size() - 40;
        const auto n = static_cast<int>(cities.size());
        for (int i = 0; i < n; ++i) {
            for (int j = i + 1; j < n; ++j) {
                const int d = scaled_distance(cities[static_cast<std::size_t>(i)],
                                              cities[static_cast<std::size_t>(j)], largest);
                out = put_triple(out, i + 1, j + 1, d);
                if (out >= limit) {
                    std::fwrite(buffer.data(), 1, static_cast<std::size_t>(out - buffer.data()),
                                distances.file());
                    out = buffer.data();
                }
            }
        }
        std::fwrite(buffer.data(), 1, static_cast<std::size_t>(out - buffer.data()),
                    distances.file());
    }
    if (!distances.close()) {
        return write_failure(distances.temporary_path());
    }
    PendingFile count(prefix + kCityCountFile);
    if (!count.opened()) {
        return write_failure(count.temporary_path());
    }
    std::fprintf(count.file(), "%zu\n", cities.size());
    if (!count.close()) {
        return write_failure(count.temporary_path());
    }
    return commit_both(distances, count);
}
