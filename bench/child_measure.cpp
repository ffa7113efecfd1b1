// Measurements in forked children, with results sent back through a pipe.
#include "bench/child_measure.hpp"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Writes all `size` bytes of `data` to `fd`; returns false on failure.
bool write_all(int fd, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written <= 0) {
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Reads exactly `size` bytes from `fd` into `data`; returns false when they do not all come.
bool read_all(int fd, void* data, std::size_t size) {
    auto* bytes = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t got = ::read(fd, bytes, size);
        if (got <= 0) {
            return false;
        }
        bytes += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

// The child's side: run the work, then send value count, values and peak, and end at once.
[[noreturn]] void run_child(int fd, const std::function<std::vector<double>()>& work) {
    if (std::freopen("/dev/null", "w", stdout) == nullptr) {
        std::_Exit(3);
    }
    const std::vector<double> values = work();
    std::fflush(stdout);
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    // ru_maxrss is in KiB on Linux.
    const double peak_mib = static_cast<double>(usage.ru_maxrss) / 1024.0;
    const double count = static_cast<double>(values.size());
    const bool sent = write_all(fd, &count, sizeof count) &&
                      write_all(fd, values.data(), values.size() * sizeof(double)) &&
                      write_all(fd, &peak_mib, sizeof peak_mib);
    std::_Exit(sent ? 0 : 4);
}

}  // namespace

std::optional<ChildMeasurement> measure_in_child(const std::function<std::vector<double>()>& work) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return std::nullopt;
    }
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return std::nullopt;
    }
    if (pid == 0) {
        ::close(fds[0]);
        run_child(fds[1], work);
    }
    ::close(fds[1]);
    ChildMeasurement result{{}, 0.0};
    double count = 0;
    bool ok = read_all(fds[0], &count, sizeof count) && count >= 0 && count < 1e6;
    if (ok) {
        result.values.resize(static_cast<std::size_t>(count));
        ok = read_all(fds[0], result.values.data(), result.values.size() * sizeof(double)) &&
             read_all(fds[0], &result.peak_mib, sizeof result.peak_mib);
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!ok || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return result;
}
