// Output places checked and made ready before the work that fills them.
#include "output/output_place.hpp"

#include <cerrno>
#include <filesystem>
#include <system_error>

#if defined(__unix__) || defined(__APPLE__)
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "output/pending_file.hpp"
#include "output/system_error.hpp"

namespace dispersao {

namespace {

namespace fs = std::filesystem;

// A few words on what a non-regular file is.
[[nodiscard]] std::string kind_words(fs::file_type type) {
    switch (type) {
        case fs::file_type::directory:
            return "uma pasta";
        case fs::file_type::character:
            return "um dispositivo de caracteres";
        case fs::file_type::block:
            return "um dispositivo de blocos";
        case fs::file_type::fifo:
            return "um FIFO";
        case fs::file_type::socket:
            return "um socket";
        default:
            break;
    }
    return "um arquivo especial";
}

// Returns whether a program may follow the symbolic link `link` to write where it leads: as
// the system's own rule for shared folders has it, not a link of another user in a folder all
// may write to that keeps its names to their owners (/tmp), unless the folder is the link
// owner's. Precondition: `link` is a symbolic link.
[[nodiscard]] bool may_follow(const fs::path& link) {
#if defined(__unix__) || defined(__APPLE__)
    struct stat own {};
    struct stat folder {};
    const fs::path parent = link.has_parent_path() ? link.parent_path() : fs::path(".");
    if (lstat(link.c_str(), &own) != 0 || stat(parent.c_str(), &folder) != 0) {
        return false;
    }
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    return !shared || own.st_uid == geteuid() || own.st_uid == folder.st_uid;
#else
    static_cast<void>(link);
    return true;
#endif
}

// Creates `folder` and its missing parents; returns the sentence of a failure.
[[nodiscard]] std::optional<std::string> make_folder(const fs::path& folder) {
    std::error_code code;
    if (folder.empty() || fs::is_directory(folder, code)) {
        return std::nullopt;
    }
    if (fs::exists(fs::symlink_status(folder, code))) {
        return "nao foi possivel criar a pasta " + folder.string() +
               ": o nome ja existe e nao e uma pasta.";
    }
    fs::create_directories(folder, code);
    if (code) {
        return "nao foi possivel criar a pasta " + folder.string() + ": " +
               system_error_text(code.value()) + ".";
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> refused_target(const std::string& path) {
    std::error_code code;
    const fs::file_status own = fs::symlink_status(path, code);
    if (code || !fs::exists(own) || fs::is_regular_file(own)) {
        return std::nullopt;
    }
    // A link is judged by what it leads to; through a link that leads nowhere yet, the file is
    // made where it leads.
    const fs::file_status target = fs::is_symlink(own) ? fs::status(path, code) : own;
    if (code || !fs::exists(target) || fs::is_regular_file(target)) {
        return std::nullopt;
    }
    const std::string link = fs::is_symlink(own) ? "um link para " : "";
    return path + " nao e um arquivo comum (e " + link + kind_words(target.type()) +
           "); nada foi gravado nele";
}

std::optional<std::string> prepare_output_file(const std::string& path) {
    if (path.empty()) {
        return "nao foi possivel gravar o arquivo: o nome esta vazio.";
    }
    // Before any folder is made: "novo/" (or "novo/.") names a folder, and none is left behind
    // for it.
    const fs::path leaf = fs::path(path).filename();
    if (path.back() == '/' || leaf == "." || leaf == "..") {
        return "nao foi possivel gravar " + path + ": o nome termina em / e nomeia uma pasta.";
    }
    if (!through_links(path)) {
        return "nao foi possivel gravar " + path + ": " + system_error_text(ELOOP) + ".";
    }
    if (auto refused = refused_target(path)) {
        return *refused + ".";
    }
    if (auto failure = make_folder(fs::path(path).parent_path())) {
        return failure;
    }
    // The temporary file itself proves the folder writable; it goes again at once.
    PendingFile probe(path);
    if (!probe.opened()) {
        return write_failure(probe.temporary_path());
    }
    return std::nullopt;
}

std::optional<std::string> prepare_output_folder(const std::string& folder,
                                                 const std::vector<std::string>& file_names) {
    std::error_code code;
    if (!folder.empty() && fs::exists(fs::symlink_status(folder, code)) &&
        !fs::is_directory(folder, code)) {
        return "nao foi possivel gravar na pasta " + folder + ": " + system_error_text(ENOTDIR) +
               ".";
    }
    if (auto failure = make_folder(folder)) {
        return failure;
    }
    for (std::size_t a = 0; a < file_names.size(); ++a) {
        const std::string path = path_in_folder(folder, file_names[a]);
        if (auto failure = prepare_output_file(path)) {
            return failure;
        }
        for (std::size_t b = 0; b < a; ++b) {
            if (const std::string other = path_in_folder(folder, file_names[b]);
                same_place(path, other)) {
                return one_place_twice(path, other);
            }
        }
    }
    return std::nullopt;
}

NewFolders::NewFolders(const std::string& folder) {
    std::error_code code;
    for (fs::path at = fs::path(folder).lexically_normal(); !at.empty() && at != at.root_path();
         at = at.parent_path()) {
        if (fs::exists(fs::symlink_status(at, code))) {
            break;
        }
        if (at.filename().empty()) {
            continue;  // "a/" names the folder "a", next
        }
        missing_.push_back(at.string());
    }
}

NewFolders::~NewFolders() {
    for (const std::string& folder : missing_) {
        ::rmdir(folder.c_str());  // fails, leaving it, unless it is an empty folder
    }
}

bool same_place(const std::string& a, const std::string& b) {
    const auto place = [](const std::string& path) {
        std::error_code code;
        const fs::path at = fs::absolute(through_links(path).value_or(path), code);
        return code ? fs::path() : fs::weakly_canonical(at, code);
    };
    const fs::path where_a = place(a);
    return !where_a.empty() && where_a == place(b);
}

std::optional<std::string> through_links(const std::string& path) {
    // As many links in a row as the system follows (Linux's limit) before it gives up.
    constexpr int kMostLinks = 40;
    fs::path at(path);
    for (int k = 0; k <= kMostLinks; ++k) {
        std::error_code code;
        if (!fs::is_symlink(fs::symlink_status(at, code)) || code || !may_follow(at)) {
            return at.string();
        }
        const fs::path next = fs::read_symlink(at, code);
        if (code) {
            return at.string();
        }
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    return std::nullopt;
}

std::string one_place_twice(const std::string& path, const std::string& other) {
    return "nao foi possivel gravar " + path + ": leva ao mesmo arquivo que " + other +
           "; nada foi gravado.";
}

std::string path_in_folder(const std::string& folder, const std::string& file_name) {
    return folder.empty() ? file_name : folder + "/" + file_name;
}

}  // namespace dispersao
