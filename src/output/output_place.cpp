// Output places checked and made ready before the work that fills them.
#include "output/output_place.hpp"

#include <cerrno>
#include <filesystem>
#include <system_error>

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
    // Before any folder is made: "novo/" names a folder, and none is left behind for it.
    if (path.back() == '/') {
        return "nao foi possivel gravar " + path + ": o nome termina em / e nomeia uma pasta.";
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
    for (const std::string& name : file_names) {
        if (auto failure = prepare_output_file(path_in_folder(folder, name))) {
            return failure;
        }
    }
    return std::nullopt;
}

bool same_file(const std::string& a, const std::string& b) {
    std::error_code code;
    if (fs::equivalent(a, b, code)) {
        return true;
    }
    if (fs::exists(a, code) && fs::exists(b, code)) {
        return false;
    }
    const fs::path where_a = fs::weakly_canonical(fs::absolute(through_links(a), code), code);
    if (code) {
        return false;
    }
    const fs::path where_b = fs::weakly_canonical(fs::absolute(through_links(b), code), code);
    return !code && where_a == where_b;
}

std::string through_links(const std::string& path) {
    // As many links in a row as the system follows (Linux's limit) before it gives up.
    constexpr int kMostLinks = 40;
    fs::path at(path);
    for (int k = 0; k < kMostLinks; ++k) {
        std::error_code code;
        if (!fs::is_symlink(fs::symlink_status(at, code)) || code) {
            break;
        }
        const fs::path next = fs::read_symlink(at, code);
        if (code) {
            break;
        }
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    return at.string();
}

std::string path_in_folder(const std::string& folder, const std::string& file_name) {
    return folder.empty() ? file_name : folder + "/" + file_name;
}

}  // namespace dispersao
