// Runs the real dispersao binary as a user would: in a fresh folder holding its instance files,
// with scripted standard input, capturing every byte of standard output and the exit status.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

// The main menu exactly as the program prints it before every read of a choice.
inline const std::string kMenu =
    "\n***************Menu Principal************************* \n"
    "         1. Geracao de uma Solacao Inicial Aleatoria \n"
    "         2. Simulated Annealing \n"
    "         0. Sair \n"
    "         Escolha: ";

struct SessionResult {
    std::string output;
    int status;
};

// A temporary working folder, removed with everything in it when the object goes.
class SessionFolder {
  public:
    SessionFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "dispersao-session-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~SessionFolder() { std::filesystem::remove_all(path_); }
    SessionFolder(const SessionFolder&) = delete;
    SessionFolder& operator=(const SessionFolder&) = delete;

    // Writes `content` byte for byte into the file `name` of the folder.
    void write(const std::string& name, const std::string& content) const {
        std::ofstream(path_ / name, std::ios::binary) << content;
    }

    // Copies the instance files of examples/<example> into the folder.
    void copy_example(const std::string& example) const {
        const std::filesystem::path from = std::filesystem::path(DISPERSAO_EXAMPLES) / example;
        for (const char* name : {"numcidades.txt", "MatrizDistanciasteste.txt"}) {
            std::filesystem::copy_file(from / name, path_ / name,
                                       std::filesystem::copy_options::overwrite_existing);
        }
    }

    // Runs `program` (the menu binary unless told otherwise) in the folder with `input` as
    // its standard input; `prefix` goes before the command in the shell, e.g. "ulimit -v N;".
    [[nodiscard]] SessionResult run(const std::string& input,
                                    const std::string& program = DISPERSAO_BINARY,
                                    const std::string& prefix = "") const {
        write(".input", input);
        const std::string command = "cd '" + path_.string() + "' && " + prefix + " '" + program +
                                    "' < .input > .output 2> .errors";
        const int raw = std::system(command.c_str());
        std::ifstream file(path_ / ".output", std::ios::binary);
        std::string output((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
        return {output, WIFEXITED(raw) ? WEXITSTATUS(raw) : -1};
    }

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};
