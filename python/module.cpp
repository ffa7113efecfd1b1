// dispersao._core: the library's solve entries for numpy arrays. The search runs on a worker
// thread without the GIL; the calling thread waits for it and, every tenth of a second, takes
// the GIL to let Python handle a pending signal (Ctrl-C), which cancels the search.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <future>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "dispersao/dispersao.hpp"

namespace py = pybind11;

namespace {

// The metrics by their Python names.
constexpr std::array<std::pair<std::string_view, dispersao::Metric>, 6> kMetrics = {{
    {"euclidean", dispersao::Metric::euclidean},
    {"euc_2d", dispersao::Metric::euc_2d},
    {"ceil_2d", dispersao::Metric::ceil_2d},
    {"att", dispersao::Metric::att},
    {"geo", dispersao::Metric::geo},
    {"haversine", dispersao::Metric::haversine},
}};

// How long the waiting thread sleeps between two looks for a pending signal: well under the
// half second in which Ctrl-C must stop a search, and rare enough to cost nothing.
constexpr auto kSignalPoll = std::chrono::milliseconds(100);

// Returns the metric named `name`; throws std::invalid_argument (ValueError) for another name.
[[nodiscard]] dispersao::Metric metric_named(const std::string& name) {
    std::string known;
    for (const auto& [metric_name, metric] : kMetrics) {
        if (metric_name == name) {
            return metric;
        }
        known += (known.empty() ? "" : ", ") + std::string(metric_name);
    }
    throw std::invalid_argument("unknown metric '" + name + "': expected one of " + known);
}

// Returns a shape as Python writes it: (3,), (4, 2).
[[nodiscard]] std::string shape_text(const py::array& array) {
    std::string text = "(";
    for (py::ssize_t d = 0; d < array.ndim(); ++d) {
        text += (d == 0 ? "" : ", ") + std::to_string(array.shape(d));
    }
    return text + (array.ndim() == 1 ? ",)" : ")");
}

// Returns the stride of dimension d in doubles, or -1 where it is not a non-negative whole
// number of aligned doubles (a view the library cannot read in place).
[[nodiscard]] py::ssize_t stride_in_doubles(const py::array& array, py::ssize_t d) {
    const py::ssize_t bytes = array.strides(d);
    const auto address = reinterpret_cast<std::uintptr_t>(array.data());
    if (bytes < 0 || bytes % static_cast<py::ssize_t>(sizeof(double)) != 0 ||
        address % alignof(double) != 0) {
        return -1;
    }
    return bytes / static_cast<py::ssize_t>(sizeof(double));
}

// Returns `array` itself where its layout can be read in place, else a C-ordered copy in new,
// aligned memory (a misaligned array may already be C-ordered: only a copy mends it). After
// it, stride_in_doubles is non-negative in every dimension.
[[nodiscard]] py::array_t<double> readable(py::array_t<double> array) {
    for (py::ssize_t d = 0; d < array.ndim(); ++d) {
        if (stride_in_doubles(array, d) < 0) {
            return py::module_::import("numpy").attr("array")(array, py::arg("dtype") = "float64",
                                                              py::arg("order") = "C",
                                                              py::arg("copy") = true);
        }
    }
    return array;
}

// Returns the options of one call; throws std::invalid_argument for a negative fixed id.
[[nodiscard]] dispersao::SolveOptions options_of(double time_limit,
                                                 const std::vector<std::int64_t>& fixed,
                                                 int threads, std::size_t n) {
    dispersao::SolveOptions options;
    options.time_limit = time_limit;
    options.threads = threads;
    for (const std::int64_t id : fixed) {
        if (id < 0) {
            throw std::invalid_argument("fixed id " + std::to_string(id) +
                                        " is out of range: ids run from 0 to " +
                                        std::to_string(n == 0 ? 0 : n - 1));
        }
        options.fixed.push_back(static_cast<std::size_t>(id));
    }
    return options;
}

// Returns what `solve` returns when handed a cancel flag, run on a worker thread while this
// one waits without the GIL. A Python signal handler that raises (KeyboardInterrupt for Ctrl-C)
// sets the flag; once the search has stopped, its exception is raised here.
[[nodiscard]] dispersao::SolveResult run_interruptible(
    const std::function<dispersao::SolveResult(const std::atomic<bool>&)>& solve) {
    std::atomic<bool> cancel{false};
    std::packaged_task<dispersao::SolveResult()> task([&] { return solve(cancel); });
    std::future<dispersao::SolveResult> answer = task.get_future();
    bool signalled = false;
    {
        const py::gil_scoped_release released;
        std::thread worker(std::move(task));
        while (!signalled && answer.wait_for(kSignalPoll) != std::future_status::ready) {
            const py::gil_scoped_acquire held;
            if (PyErr_CheckSignals() != 0) {
                signalled = true;
                cancel.store(true);
            }
        }
        worker.join();
    }
    if (signalled) {
        throw py::error_already_set();
    }
    return answer.get();
}

// Returns the tuple the Python layer turns into a Result.
[[nodiscard]] py::tuple to_python(const dispersao::SolveResult& result) {
    py::array_t<std::int64_t> ids(static_cast<py::ssize_t>(result.ids.size()));
    auto out = ids.mutable_unchecked<1>();
    for (std::size_t i = 0; i < result.ids.size(); ++i) {
        out(static_cast<py::ssize_t>(i)) = static_cast<std::int64_t>(result.ids[i]);
    }
    return py::make_tuple(ids, result.value, result.upper_bound, result.proven, result.seconds);
}

// Solves on an (n, 2) float64 array of coordinates, read in place where its layout allows.
py::tuple solve_points(py::array_t<double> points, int p, const std::string& metric,
                       double time_limit, const std::vector<std::int64_t>& fixed, int threads) {
    if (points.ndim() != 2 || points.shape(1) != 2) {
        throw std::invalid_argument("points must have shape (n, 2); got shape " +
                                    shape_text(points));
    }
    const dispersao::Metric rule = metric_named(metric);
    const py::array_t<double> held = readable(std::move(points));
    const auto n = static_cast<std::size_t>(held.shape(0));
    const dispersao::SolveOptions base = options_of(time_limit, fixed, threads, n);
    dispersao::PointsView view;
    view.n = n;
    view.x = held.data();
    view.y = held.data() + stride_in_doubles(held, 1);
    view.stride = static_cast<std::size_t>(stride_in_doubles(held, 0));
    return to_python(run_interruptible([&](const std::atomic<bool>& cancel) {
        dispersao::SolveOptions options = base;
        options.cancel = &cancel;
        return dispersao::solve(view, p, rule, options);
    }));
}

// Solves on an (n, n) float64 distance matrix, read in place where its layout allows (a
// column-major matrix is read as its transpose, which a symmetric matrix equals).
py::tuple solve_matrix(py::array_t<double> matrix, int p, double time_limit,
                       const std::vector<std::int64_t>& fixed, int threads) {
    if (matrix.ndim() != 2 || matrix.shape(0) != matrix.shape(1)) {
        throw std::invalid_argument("the matrix must be square, of shape (n, n); got shape " +
                                    shape_text(matrix));
    }
    const py::array_t<double> held = readable(std::move(matrix));
    const auto n = static_cast<std::size_t>(held.shape(0));
    const dispersao::SolveOptions base = options_of(time_limit, fixed, threads, n);
    // Rows one after the other (C order) or columns (Fortran order), never overlapping.
    const auto rows = static_cast<std::size_t>(stride_in_doubles(held, 0));
    const auto columns = static_cast<std::size_t>(stride_in_doubles(held, 1));
    const bool c_order = columns == 1 && rows >= n;
    const bool fortran_order = rows == 1 && columns >= n;
    const bool in_place = n <= 1 || c_order || fortran_order;
    const py::array_t<double> cells =
        in_place ? held
                 : py::array_t<double>(py::array_t<double, py::array::c_style>::ensure(held));
    const std::size_t stride = c_order ? rows : (fortran_order ? columns : n);
    return to_python(run_interruptible([&](const std::atomic<bool>& cancel) {
        dispersao::SolveOptions options = base;
        options.cancel = &cancel;
        return dispersao::solve_matrix(cells.data(), n, stride, p, options);
    }));
}

}  // namespace

PYBIND11_MODULE(_core, module) {
    module.doc() = "The compiled core of dispersao; use the functions of the dispersao package.";
    module.attr("MAX_THREADS") = dispersao::kMaxThreads;
    module.attr("VERSION") = dispersao::version();
    module.def("solve_points", &solve_points, py::arg("points"), py::arg("p"), py::arg("metric"),
               py::arg("time_limit"), py::arg("fixed"), py::arg("threads"),
               "Solves on an (n, 2) float64 array; returns (ids, value, upper_bound, proven, "
               "seconds).");
    module.def("solve_matrix", &solve_matrix, py::arg("matrix"), py::arg("p"),
               py::arg("time_limit"), py::arg("fixed"), py::arg("threads"),
               "Solves on an (n, n) float64 distance matrix; returns (ids, value, upper_bound, "
               "proven, seconds).");
}
