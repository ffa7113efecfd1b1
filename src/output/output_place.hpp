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

// Makes `path` ready to receive an output file: refuses a name ending in "/" (a folder's),
// creates its missing folders (as mkdir -p), refuses a target refused_target refuses, and proves
// the folder writable by creating and removing the file's temporary name. Returns nothing, or one
// sentence (ending in a period) saying why the file could not be written there. Nothing but missing
// folders is left behind.
[[nodiscard]] std::optional<std::string> prepare_output_file(const std::string& path);

// The same for a folder ("" for the working folder) that is to receive the files named
// `file_names`: the folder is created when missing, and each file's place is checked.
[[nodiscard]] std::optional<std::string> prepare_output_folder(
    const std::string& folder, const std::vector<std::string>& file_names);

// Returns whether the names `a` and `b` lead to one file: the very same file where both exist
// (links followed, however each is spelled), else the same place once the folders on the way
// that exist are resolved ("x.svg" and "./d/../x.svg").
[[nodiscard]] bool same_file(const std::string& a, const std::string& b);

// Returns where writing to `path` writes: `path` itself, or, for a symbolic link, what the
// link leads to (a file, or a name where none is yet), followed from link to link as far as
// the system would.
[[nodiscard]] std::string through_links(const std::string& path);

// Returns `file_name` inside `folder`, or `file_name` alone when `folder` is "".
[[nodiscard]] std::string path_in_folder(const std::string& folder, const std::string& file_name);

}  // namespace dispersao
