#include "python/chip_bindings.h"

#include "model/alert_bits.h"
#include "model/alert_events.h"
#include "model/number_text.h"
#include "python/chip.h"
#include "python/configuration_dict.h"

#include <array>
#include <filesystem>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>
#include <string_view>

namespace py = pybind11;
using namespace pybind11::literals;

namespace qmt::python {

namespace {

constexpr std::array<std::string_view, link::LimitChannelCount> ChannelNames{"local", "remote1",
                                                                             "remote2"};

// A channel by number or by name ("local", "remote1", "remote2").
std::int64_t ChannelNumber(const py::object& channel) {
    if (!py::isinstance<py::str>(channel)) {
        return channel.cast<std::int64_t>();
    }
    const auto name = channel.cast<std::string>();
    for (std::size_t index = 0; index < ChannelNames.size(); ++index) {
        if (ChannelNames[index] == name) {
            return static_cast<std::int64_t>(index);
        }
    }
    throw py::value_error("bad channel '" + name + "' (local, remote1 or remote2)");
}

// Without the GIL: other Python threads run while the bus works.
template <typename Action> auto Released(Action action) {
    const py::gil_scoped_release release;
    return action();
}

py::object Reading(std::optional<float> value, bool open) {
    return value && !open ? py::object(py::float_(link::ShownTemperature(*value))) : py::none();
}

// The keys and values of qmtctl temps --json.
py::dict TemperaturesDict(const link::ChannelTemperatures& temps) {
    py::dict result("local"_a = link::ShownTemperature(temps.local),
                    "remote1"_a = Reading(temps.remote1, temps.remote1Open),
                    "remote2"_a = Reading(temps.remote2, temps.remote2Open));
    py::list open;
    if (temps.remote1Open) {
        open.append("remote1");
    }
    if (temps.remote2Open) {
        open.append("remote2");
    }
    if (!open.empty()) {
        result["open"] = open;
    }
    return result;
}

py::dict LimitsDict(const link::ChannelLimits& limits) {
    return py::dict("low"_a = limits.low, "high"_a = limits.high, "therm"_a = limits.therm);
}

// The twelve alert bits in the limits window's order, named as its events
// name them; None for a bit whose register could not be polled.
py::dict StatusDict(const core::StatusPoll& poll) {
    const auto states = model::AlertStates(poll.status1, poll.status2);
    py::dict result;
    for (const auto& bit : model::AlertBits) {
        model::AlertEvent event;
        event.indicator = bit.indicator;
        const auto state = states[static_cast<std::size_t>(bit.indicator)];
        result[py::str(model::AlertEventCaption(event))] =
            state ? py::object(py::bool_(*state)) : py::none();
    }
    return result;
}

py::object Optional(const std::optional<std::int32_t>& value) {
    return value ? py::object(py::int_(*value)) : py::none();
}

// The rows of qmtctl diff --json.
py::list DiffList(const std::vector<DiffRow>& rows) {
    py::list list;
    for (const auto& row : rows) {
        list.append(py::dict("name"_a = row.name, "read"_a = row.read, "write"_a = row.write,
                             "chip"_a = Optional(row.chip), "file"_a = Optional(row.file),
                             "powerOn"_a = Optional(row.powerOn), "bits"_a = row.bits));
    }
    return list;
}

// The rows of qmtctl dump --json.
py::list DumpList(const files::RegisterDump& dump) {
    py::list list;
    for (const auto& row : dump.rows) {
        list.append(
            py::dict("pointer"_a = row.pointer, "value"_a = row.value, "name"_a = row.name));
    }
    return list;
}

constexpr const char* ChipDoc = R"(A chip on the evaluation board's bridge or an I2C adapter.

Made by qmt.open(); a context manager that closes the link on leaving.
Every method is one or more bus requests, as qmtctl makes them, and releases
the GIL meanwhile. A failed request raises qmt.LinkError.)";

} // namespace

void BindChip(py::module_& module) {
    py::class_<Chip>(module, "Chip", ChipDoc)
        .def_property_readonly(
            "address", [](Chip& chip) { return Released([&] { return chip.Address(); }); },
            "The chip's 7-bit SMBus address.")
        .def(
            "read",
            [](Chip& chip, std::int64_t reg) { return Released([&] { return chip.Read(reg); }); },
            "reg"_a,
            "Reads the register at pointer reg (0 to 255) and returns its value.\n\n"
            "Status Reg 1 and 2 (0x02, 0x23) are polled through the chip's one status\n"
            "reader, as status() polls them: reading clears their latched bits.")
        .def(
            "write",
            [](Chip& chip, std::int64_t reg, std::int64_t value, bool verify) {
                return Released([&] { return chip.Write(reg, value, verify); });
            },
            "reg"_a, "value"_a, py::kw_only(), "verify"_a = true,
            "Writes value (0 to 255) at pointer reg (0 to 255), as qmtctl write does.\n\n"
            "Reads the register back (unless verify is False) and returns what the chip\n"
            "holds; raises qmt.WriteError when it holds another value (naming the lock\n"
            "when it explains it) and ValueError for a pointer or value out of range.")
        .def(
            "temperatures",
            [](Chip& chip) {
                return TemperaturesDict(Released([&] { return chip.Temperatures(); }));
            },
            "Reads the temperatures as qmtctl temps --json gives them.\n\n"
            "{'local': 25.0, 'remote1': 30.25, 'remote2': 28.5}; 'remote1' is None while\n"
            "the shared remote registers show Remote 2 (bit 3 of Configuration Reg 1),\n"
            "and a channel with an open diode is None and listed under 'open'.")
        .def(
            "limits",
            [](Chip& chip, const py::object& channel) {
                const auto number = ChannelNumber(channel);
                return LimitsDict(Released([&] { return chip.Limits(number); }));
            },
            "channel"_a,
            "The channel's limits in °C: {'low': ..., 'high': ..., 'therm': ...}.\n\n"
            "channel: 0 or 'local', 1 or 'remote1' (the shared remote registers, which\n"
            "show Remote 2 while it is selected), 2 or 'remote2' (Remote 2's own).")
        .def(
            "set_limits",
            [](Chip& chip, const py::object& channel, std::optional<double> low,
               std::optional<double> high, std::optional<double> therm) {
                const auto number = ChannelNumber(channel);
                return LimitsDict(
                    Released([&] { return chip.SetLimits(number, low, high, therm); }));
            },
            "channel"_a, "low"_a = py::none(), "high"_a = py::none(), "therm"_a = py::none(),
            "Writes the channel's three limits in °C as the limits window does.\n\n"
            "The limits not given are written back as the chip holds them; a remote\n"
            "low or high limit goes as both bytes of its quarter-degree pair, a value\n"
            "beyond the range as the range's end. Returns the limits the chip holds\n"
            "then; raises qmt.WriteError when a given one did not take (a locked chip).")
        .def(
            "status",
            [](Chip& chip) { return StatusDict(Released([&] { return chip.Status(); })); },
            "Polls both status registers and returns the twelve alert bits by name\n"
            "('Local High' ... 'ALERT Bit'): True, False, or None when the poll of\n"
            "their register failed. Polling clears the latched bits on the chip.")
        .def(
            "configuration",
            [](Chip& chip) {
                return ConfigurationDict(Released([&] { return chip.Configuration(); }));
            },
            "The configuration window's settings as the chip holds them: mask_all,\n"
            "standby, pin8_therm2, remote2_selected, extended_range, mask_remote1,\n"
            "mask_remote2 (Configuration Reg 1), averaging_off, rate_code (0 to 10, the\n"
            "Conversion Rate), lock (Configuration Reg 2 bit 7) and therm_hysteresis (°C).")
        .def(
            "configure",
            [](Chip& chip, const py::kwargs& settings) {
                const auto change = ConfigurationChangeOf(settings);
                return ConfigurationDict(Released([&] { return chip.Configure(change); }));
            },
            "Writes the settings given by name (those of configuration()) as the\n"
            "configuration window's Apply does: each register read right before it is\n"
            "written and read back after; a lock being set last. Registers with no\n"
            "setting given are not touched. Returns configuration(); raises\n"
            "qmt.WriteError when a write did not take (a locked chip), TypeError for an\n"
            "unknown setting and ValueError for a value out of range.")
        .def(
            "dump", [](Chip& chip) { return DumpList(Released([&] { return chip.Dump(); })); },
            "Reads every register of the table, as qmtctl dump --json lists them:\n"
            "[{'pointer': 0, 'value': 25, 'name': 'Local Temp Value'}, ...]; of the\n"
            "shared remote pointers only the channel Configuration Reg 1 selects.")
        .def(
            "save",
            [](Chip& chip, const std::filesystem::path& path, const std::string& comment,
               bool changedOnly) {
                return Released([&] { return chip.Save(path.string(), comment, changedOnly); });
            },
            "path"_a, "comment"_a = "", "changed_only"_a = false,
            "Saves the chip's settings to a settings file as qmtctl save does (only the\n"
            "registers off their power-on values with changed_only); returns how many\n"
            "registers it saved. Raises qmt.FileError when the file cannot be written.")
        .def(
            "recall",
            [](Chip& chip, const std::filesystem::path& path) {
                return Released([&] { return chip.Recall(path.string()); });
            },
            "path"_a,
            "Writes a settings file's registers to the chip as qmtctl recall does (file\n"
            "order, Configuration Reg 2 last); returns how many. Raises qmt.FileError,\n"
            "having written nothing, for a file that cannot be read or is not whole.")
        .def(
            "diff",
            [](Chip& chip, const std::filesystem::path& path) {
                return DiffList(Released([&] { return chip.Diff(path.string()); }));
            },
            "path"_a,
            "The registers in which the chip differs from a settings file, as the rows\n"
            "of qmtctl diff --json: {'name', 'read', 'write', 'chip', 'file', 'powerOn',\n"
            "'bits'}; empty when the chip holds the file. Raises qmt.FileError for a\n"
            "file that cannot be read or compared.")
        .def(
            "close", [](Chip& chip) { Released([&] { chip.Close(); }); },
            "Ends the link; later calls raise ValueError. Closing twice is fine.")
        .def_property_readonly("closed", &Chip::Closed, "Whether close() was called.")
        .def("__enter__", [](py::object self) { return self; })
        .def("__exit__",
             [](Chip& chip, const py::args&) {
                 Released([&] { chip.Close(); });
                 return false;
             })
        .def("__repr__", [](Chip& chip) {
            return chip.Closed() ? std::string("<qmt.Chip closed>")
                                 : "<qmt.Chip at " + model::HexText(chip.Address()) + "h>";
        });
}

} // namespace qmt::python
