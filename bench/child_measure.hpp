// Runs one measurement in a child process of its own, so that its memory peak is its own.
#pragma once

#include <functional>
#include <optional>
#include <vector>

// What a measurement child sent back.
struct ChildMeasurement {
    std::vector<double> values;  // whatever the work returned
    double peak_mib;             // the child's largest resident set, in MiB
};

// Forks, runs `work` in the child with its standard output sent to /dev/null and sends its
// values and its peak resident set back through a pipe. Returns nothing when the child failed
// or sent back nothing. The caller should be small when it calls this, since a forked child
// starts out with the caller's resident pages.
[[nodiscard]] std::optional<ChildMeasurement> measure_in_child(
    const std::function<std::vector<double>()>& work);
