// Children, JSON fields, the machine's name and all-or-nothing input files for the benchmarks.
#include "bench/bench_support.hpp"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

std::vector<std::string> words_of(const char* name, const std::string& fallback) {
    const char* set = std::getenv(name);
    std::istringstream text(set != nullptr ? std::string(set) : fallback);
    std::vector<std::string> words;
    std::string word;
    while (text >> word) {
        if (word != "-") {
            words.push_back(word);
        }
    }
    return words;
}

std::string json_field(const std::string& json, const std::string& key) {
    const std::size_t start = json.find("\"" + key + "\":");
    if (start == std::string::npos) {
        return "";
    }
    const std::size_t from = start + key.size() + 3;
    const std::size_t end = json.find_first_of(",}", from);
    return json.substr(from, end - from);
}

Measured run_child(const std::string& program, const std::vector<std::string>& args,
                   const fs::path& errors) {
    Measured measured;
    int fds[2];
    if (::pipe(fds) != 0) {
        return measured;
    }
    std::fflush(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        const int in = ::open("/dev/null", O_RDONLY);
        const int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(fds[1], 1) < 0 || ::dup2(err, 2) < 0) {
            ::_exit(99);
        }
        ::close(fds[0]);
        ::execv(program.c_str(), argv.data());
        ::_exit(98);
    }
    ::close(fds[1]);
    if (pid < 0) {
        ::close(fds[0]);
        return measured;
    }
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(fds[0], buffer, sizeof buffer)) > 0) {
        measured.json.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fds[0]);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    measured.wall_seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // ru_maxrss is in KiB on Linux.
    measured.peak_mib = static_cast<double>(usage.ru_maxrss) / 1024.0;
    measured.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && !measured.json.empty();
    return measured;
}

std::string machine() {
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    std::string model = "?";
    std::string memory = "?";
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("model name", 0) == 0) {
            model = line.substr(line.find(':') + 2);
            break;
        }
    }
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    double kib = 0;
    if (meminfo >> key >> kib) {
        memory = std::to_string(std::lround(kib / 1024 / 1024)) + " GiB";
    }
    return std::string(host) + ": " + model + ", " +
           std::to_string(std::thread::hardware_concurrency()) + " nucleos, " + memory;
}

std::string shell_quoted(const fs::path& path) {
    std::string text = "'";
    text += path.string();
    text += "'";
    return text;
}

bool make_file(const std::function<std::string(const std::string&)>& command_to,
               const fs::path& file) {
    if (fs::exists(file)) {
        return true;
    }
    fs::path partial = file;
    partial += ".tmp";
    std::string command = command_to(shell_quoted(partial));
    command += " && mv ";
    command += shell_quoted(partial);
    command += " ";
    command += shell_quoted(file);
    return std::system(command.c_str()) == 0 && fs::exists(file);
}
