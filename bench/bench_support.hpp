// What the point benchmarks share: running a program in a child, reading its JSON, naming the
// machine, and making input files all or nothing.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// What one run of a measured program gave.
struct Measured {
    bool ok = false;  // exited with status 0 and printed something on standard output
    std::string json;
    double wall_seconds = 0;
    double peak_mib = 0;
};

// Returns the words of environment variable `name`, or `fallback` when it is unset; "-" alone
// stands for no words.
std::vector<std::string> words_of(const char* name, const std::string& fallback);

// The value of "key" in a one-line JSON object, as written; "" when absent.
std::string json_field(const std::string& json, const std::string& key);

// Runs `program` with `args`, standard output captured, standard error into `errors`; reports
// its time and peak resident memory (from wait4).
Measured run_child(const std::string& program, const std::vector<std::string>& args,
                   const std::filesystem::path& errors);

// One line naming the machine: host, processor, cores, memory.
std::string machine();

// Returns `path` in single quotes for the shell.
std::string shell_quoted(const std::filesystem::path& path);

// Makes `file` with the shell command that `command_to(partial)` gives for writing it under a
// temporary name, then renames it into place, so that a cut-short run leaves no partial file.
// Returns true when `file` is there afterwards; an existing file is kept as it is.
bool make_file(const std::function<std::string(const std::string&)>& command_to,
               const std::filesystem::path& file);
