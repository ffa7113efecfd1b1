// Places for output files, made ready before the long work that fills them: a missing folder
// is created, a name held by anything but a regular file is refused and left as it is, and a
// place that cannot be written is said at once, with the path and the reason in Portuguese.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace dispersao {

// Returns why an existing `path` may not be replaced by an output file: nothing when nothing
// is there, or a regular file, or a symbolic link to one or to nothing; otherwise "<path> nao
// e um arquivo comum (e <what it is>); nada foi gravado nele." without the final period.
[[nodiscard]] std::optional<std::string> refused_target(const std::string& path);

// Makes `path` ready to receive an output file: refuses a name ending in "/" (a folder's) and
// links that go round,
// creates its missing folders (as mkdir -p), refuses a target refused_target refuses, and proves
// the folder writable by creating and removing the file's temporary name. Returns nothing, or one
// sentence (ending in a period) saying why the file could not be written there. Nothing but missing
// folders is left behind.
[[nodiscard]] std::optional<std::string> prepare_output_file(const std::string& path);

// The same for a folder ("" for the working folder) that is to receive the files named
// `file_names`: the folder is created when missing, and each file's place is checked, as is
// that no two of them lead to one file.
[[nodiscard]] std::optional<std::string> prepare_output_folder(
    const std::string& folder, const std::vector<std::string>& file_names);

// The folders on the way to `folder` that do not exist yet, noted before an output's place is
// prepared (which creates them): unless kept, they are removed again when this is destroyed,
// deepest first and only while empty, so that a run that fails leaves no new empty folder.
class NewFolders {
  public:
    explicit NewFolders(const std::string& folder);
    NewFolders(const NewFolders&) = delete;
    NewFolders& operator=(const NewFolders&) = delete;
    ~NewFolders();

    // Keeps the folders: the output is in place.
    void keep() { missing_.clear(); }

  private:
    std::vector<std::string> missing_;  // deepest first
};

// Returns whether writing to `a` and to `b` writes one file: the two names lead, through links
// and however they are spelled ("x.svg", "./d/../x.svg", a link to it), to one name in one
// folder. Two hard links of a file are two places: writing one leaves the other as it was.
[[nodiscard]] bool same_place(const std::string& a, const std::string& b);

// Returns "nao foi possivel gravar <path>: leva ao mesmo arquivo que <other>; nada foi
// gravado.", the failure of two outputs at one place.
[[nodiscard]] std::string one_place_twice(const std::string& path, const std::string& other);

// Returns where writing to `path` writes: `path` itself, or, for a symbolic link, where the
// link leads (a file, or a name where none is yet), from link to link as the system would
// follow them, save a link the system's rule for shared folders would not follow (that one is
// written itself, where the folder allows it). Nothing when the links go round.
[[nodiscard]] std::optional<std::string> through_links(const std::string& path);

// Returns `file_name` inside `folder`, or `file_name` alone when `folder` is "".
[[nodiscard]] std::string path_in_folder(const std::string& folder, const std::string& file_name);

}  // namespace dispersao
