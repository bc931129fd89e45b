#include "python/log_bindings.h"

#include "python/log_contents.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <pybind11/numpy.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

namespace py = pybind11;
using namespace pybind11::literals;

namespace qmt::python {

namespace {

constexpr std::array<const char*, 3> ChannelNames{"local", "remote1", "remote2"};

// One run as NumPy arrays of equal length.
struct LogRunArrays {
    py::array_t<double> time;
    std::array<py::array_t<double>, 3> values;
    py::tuple channels;
    std::int64_t firstLine = 0;
    std::int64_t damaged = 0;
};

struct LogArrays {
    py::list runs;
    std::int64_t damaged = 0;
};

// The times, handed over without a copy.
py::array_t<double> TimeArray(std::vector<double>&& times) {
    auto* owned = new std::vector<double>(std::move(times));
    const py::capsule release(owned,
                              [](void* data) { delete static_cast<std::vector<double>*>(data); });
    return py::array_t<double>(static_cast<py::ssize_t>(owned->size()), owned->data(), release);
}

// A channel's readings; all NaN for a channel the run does not have.
py::array_t<double> ValueArray(const std::vector<float>& values, std::size_t lines) {
    py::array_t<double> array(static_cast<py::ssize_t>(lines));
    double* out = array.mutable_data();
    for (std::size_t line = 0; line < lines; ++line) {
        out[line] = values.empty() ? NAN : static_cast<double>(values[line]);
    }
    return array;
}

LogRunArrays RunArrays(output::LogRun&& run) {
    LogRunArrays arrays;
    const auto lines = run.Lines();
    py::list channels;
    for (std::size_t channel = 0; channel < ChannelNames.size(); ++channel) {
        arrays.values[channel] = ValueArray(run.values[channel], lines);
        if (run.channels[channel]) {
            channels.append(ChannelNames[channel]);
        }
    }
    arrays.channels = py::tuple(channels);
    arrays.firstLine = run.firstLine;
    arrays.damaged = run.damagedLines;
    arrays.time = TimeArray(std::move(run.times));
    return arrays;
}

LogArrays ReadLog(const std::filesystem::path& path) {
    LogContents contents;
    {
        const py::gil_scoped_release release;
        contents = LoadLogFile(path.string());
    }
    LogArrays log;
    log.damaged = contents.damaged;
    for (auto& run : contents.runs) {
        log.runs.append(py::cast(RunArrays(std::move(run))));
    }
    return log;
}

} // namespace

void BindLog(py::module_& module) {
    py::class_<LogRunArrays>(module, "LogRun",
                             "One run of a log file: the lines below one column-head line.")
        .def_readonly("time", &LogRunArrays::time, "Seconds, as each line gives them.")
        .def_property_readonly(
            "local", [](const LogRunArrays& run) { return run.values[0]; }, "°C, NaN where empty.")
        .def_property_readonly(
            "remote1", [](const LogRunArrays& run) { return run.values[1]; },
            "°C, NaN where empty (while the shared registers showed Remote 2).")
        .def_property_readonly(
            "remote2", [](const LogRunArrays& run) { return run.values[2]; },
            "°C, NaN where empty.")
        .def_readonly("channels", &LogRunArrays::channels,
                      "The channels the run has columns for, as 'local', 'remote1', 'remote2'.")
        .def_readonly("first_line", &LogRunArrays::firstLine,
                      "Line number (from 1) where the run starts.")
        .def_readonly("damaged", &LogRunArrays::damaged,
                      "Lines inside the run that could not be read.")
        .def("__len__", [](const LogRunArrays& run) { return run.time.size(); });
    py::class_<LogArrays>(module, "Log", "A log file's runs and its count of damaged lines.")
        .def_readonly("runs", &LogArrays::runs, "The runs, in file order (a list of qmt.LogRun).")
        .def_readonly("damaged", &LogArrays::damaged,
                      "Lines of the whole file that could not be read, skipped.");
    module.def("read_log", &ReadLog, "path"_a,
               "Reads a data log (of the program, qmtctl log or a spreadsheet's save of one)\n"
               "through the replay window's reader and returns a qmt.Log. Raises\n"
               "qmt.FileError when the file cannot be opened or read.");
}

} // namespace qmt::python
