#include "link/temperature_channels.h"

#include "link/temperature_reading.h"
#include "model/number_text.h"
#include "model/temp_codes.h"

namespace qmt::link {

namespace {

constexpr std::int32_t ConfigurationWritePointer = 0x09;
// What the chip reads for a remote channel whose diode is open: high byte
// FFh, low byte 0.
constexpr int OpenDiodeHighByte = 0xFF;
constexpr int OpenDiodeLowByte = 0x00;

bool IsOpenDiode(const GeneralStuff& state, float reading) {
    return reading == model::DecodeQuarterTemp(state, OpenDiodeHighByte, OpenDiodeLowByte);
}

} // namespace

ChannelTemperatures ReadChannelTemperatures(RegisterAccess& access) {
    access.UpdateRemoteSelection(ConfigurationWritePointer);
    ReadTemperatures(access);
    const auto& state = access.state();
    ChannelTemperatures temps{state.LocalTemp, state.Remote1Temp, state.Remote2Temp};
    if (state.Remote2Selected) {
        temps = {state.LocalTemp, std::nullopt, state.Remote1Temp};
    }
    temps.remote1Open = temps.remote1 && IsOpenDiode(state, *temps.remote1);
    temps.remote2Open = IsOpenDiode(state, temps.remote2);
    return temps;
}

double ShownTemperature(float reading) {
    return model::DecimalEntry(model::PlainNumberTextTrimmed(reading));
}

} // namespace qmt::link
