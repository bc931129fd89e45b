#include "model/alert_bits.h"

#include <cstddef>

namespace qmt::model {

std::array<AlertState, AlertBitCount> AlertStates(std::optional<std::uint8_t> status1,
                                                  std::optional<std::uint8_t> status2) {
    std::array<AlertState, AlertBitCount> states{};
    for (const AlertBit& alert : AlertBits) {
        const std::optional<std::uint8_t>& status =
            alert.reg == StatusRegister1 ? status1 : status2;
        if (status) {
            states[static_cast<std::size_t>(alert.indicator)] = ((*status >> alert.bit) & 1) != 0;
        }
    }
    return states;
}

} // namespace qmt::model
