#include "python/configuration_dict.h"

#include "link/register_write.h"

#include <array>
#include <string>

namespace py = pybind11;
using namespace pybind11::literals;

namespace qmt::python {

namespace {

struct Switch {
    const char* name;
    std::optional<bool> link::ConfigurationChange::*change;
};

constexpr std::array Switches{
    Switch{"mask_all", &link::ConfigurationChange::maskAll},
    Switch{"standby", &link::ConfigurationChange::standby},
    Switch{"pin8_therm2", &link::ConfigurationChange::pin8Therm2},
    Switch{"remote2_selected", &link::ConfigurationChange::r2onR1},
    Switch{"extended_range", &link::ConfigurationChange::extRange},
    Switch{"mask_remote1", &link::ConfigurationChange::maskR1},
    Switch{"mask_remote2", &link::ConfigurationChange::maskR2},
    Switch{"averaging_off", &link::ConfigurationChange::averagingOff},
    Switch{"lock", &link::ConfigurationChange::lock},
};

// A whole number from first to last, else ValueError naming the setting.
int WholeIn(const py::handle& value, const std::string& name, int first, int last) {
    const auto number = value.cast<long long>();
    if (number < first || number > last) {
        throw py::value_error("bad " + name + " '" + std::to_string(number) + "' (" +
                              std::to_string(first) + " to " + std::to_string(last) + ")");
    }
    return static_cast<int>(number);
}

} // namespace

py::dict ConfigurationDict(const link::DeviceConfiguration& configuration) {
    const auto& config1 = configuration.config1;
    return py::dict("mask_all"_a = config1.maskAll, "standby"_a = config1.standby,
                    "pin8_therm2"_a = config1.pin8Therm2, "remote2_selected"_a = config1.r2onR1,
                    "extended_range"_a = config1.extRange, "mask_remote1"_a = config1.maskR1,
                    "mask_remote2"_a = config1.maskR2,
                    "averaging_off"_a = configuration.rate.averagingOff,
                    "rate_code"_a = configuration.rate.rateCode, "lock"_a = configuration.lock,
                    "therm_hysteresis"_a = configuration.thermHysteresis);
}

link::ConfigurationChange ConfigurationChangeOf(const py::kwargs& settings) {
    link::ConfigurationChange change;
    for (const auto& [key, value] : settings) {
        const auto name = key.cast<std::string>();
        if (name == "rate_code") {
            change.rateCode = WholeIn(value, "rate code", 0, model::RateItemCount - 1);
            continue;
        }
        if (name == "therm_hysteresis") {
            change.thermHysteresis =
                WholeIn(value, "THERM hysteresis", 0, link::LargestRegisterValue);
            continue;
        }
        bool known = false;
        for (const auto& setting : Switches) {
            if (name == setting.name) {
                change.*setting.change = value.cast<bool>();
                known = true;
            }
        }
        if (!known) {
            throw py::type_error("configure() has no setting '" + name + "'");
        }
    }
    return change;
}

} // namespace qmt::python
