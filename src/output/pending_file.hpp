// Output files written all or nothing: each is written under a temporary name and put in place
// only when every file of the set is complete, so that a failure or an interrupt at any step
// leaves the files that were there before exactly as they were.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace dispersao {

// A file being written, at the name given or, for a symbolic link, where the link leads, under
// a temporary name (its final name plus ".parcial", or, where that
// is taken or too long, the name cut short with a mark of six letters and digits before
// ".parcial"), removed unless it is committed, and removed as well if the program is
// interrupted meanwhile.
class PendingFile {
  public:
    // Creates the temporary file new and exclusively: a name already taken, by a file, a folder
    // or a symbolic link, is left as it is, never written through, and another name is tried;
    // opened() says whether one was created (errno then holds why not, and temporary_path() the
    // first name tried). Running out of memory ends the program through the `new` handler.
    explicit PendingFile(const std::string& final_path);
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    ~PendingFile();

    [[nodiscard]] bool opened() const { return file_ != nullptr; }
    [[nodiscard]] std::FILE* file() const { return file_; }
    [[nodiscard]] const std::string& temporary_path() const { return temporary_path_; }
    [[nodiscard]] const std::string& final_path() const { return final_path_; }

    // Flushes and closes the file; returns false if any write failed.
    bool close();

    // Renames the closed file to its final name; returns false if that failed. Called with
    // interrupts deferred.
    bool commit();

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

// Puts every closed file of `files` in place, in order, and removes each path of `retired`:
// either all of it happens or none does. Each earlier file at one of those names is kept under
// a second name (the name plus ".anterior", or a marked name like the temporary files' where
// that is taken: a hard link, or a copy where the file system has none) until the end, so that a
// failure at any step can put it back. Interrupts wait until this is over. A name held by anything
// but a regular file (see refused_target) is refused before anything changes. Returns nothing on
// success, otherwise one sentence saying what failed (and, if a file could not be put back, where
// it is); files that lead to one place are refused so. Precondition: every file is
// open-and-closed well.
[[nodiscard]] std::optional<std::string> commit_files(const std::vector<PendingFile*>& files,
                                                      const std::vector<std::string>& retired = {});

// Returns "nao foi possivel gravar <path>: <the system's reason, in Portuguese>." for the last
// failure (errno).
[[nodiscard]] std::string write_failure(const std::string& path);

}  // namespace dispersao
