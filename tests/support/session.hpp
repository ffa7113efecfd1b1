// Runs the real dispersao binary as a user would: in a fresh folder holding its instance files,
// with scripted standard input, capturing every byte of standard output and the exit status.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/temp_folder.hpp"

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

// A temporary working folder for a session, removed with everything in it when the object goes.
class SessionFolder : public test_support::TempFolder {
  public:
    SessionFolder() : TempFolder("dispersao-session") {}

    // Copies the instance files of examples/<example> into the folder.
    void copy_example(const std::string& example) const {
        const std::filesystem::path from = std::filesystem::path(DISPERSAO_EXAMPLES) / example;
        for (const char* name : {"numcidades.txt", "MatrizDistanciasteste.txt"}) {
            std::filesystem::copy_file(from / name, path() / name,
                                       std::filesystem::copy_options::overwrite_existing);
        }
    }

    // Runs `program` (the menu binary unless told otherwise) in the folder with `input` as
    // its standard input; `prefix` goes before the command in the shell, e.g. "ulimit -v N;".
    [[nodiscard]] SessionResult run(const std::string& input,
                                    const std::string& program = DISPERSAO_BINARY,
                                    const std::string& prefix = "") const {
        write(".input", input);
        const std::string command = "cd '" + path().string() + "' && " + prefix + " '" + program +
                                    "' < .input > .output 2> .errors";
        const int raw = std::system(command.c_str());
        return {read(".output"), WIFEXITED(raw) ? WEXITSTATUS(raw) : -1};
    }
};
