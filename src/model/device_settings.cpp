#include "model/device_settings.h"

#include "model/number_text.h"

namespace qmt::model {

namespace {

constexpr std::int32_t Bit7 = 0x80;
constexpr std::int32_t Bit6 = 0x40;
constexpr std::int32_t Bit5 = 0x20;
constexpr std::int32_t Bit3 = 0x08;
constexpr std::int32_t Bit2 = 0x04;
constexpr std::int32_t Bit1 = 0x02;
constexpr std::int32_t Bit0 = 0x01;
constexpr std::int32_t RateMask = 0x0F;

bool Has(std::int32_t value, std::int32_t mask) {
    return (value & mask) == mask;
}

std::int32_t With(std::int32_t value, std::int32_t mask, bool set) {
    return set ? (value | mask) : (value & ~mask & 0xFF);
}

} // namespace

const std::array<const char*, RateItemCount> RateItems = {
    "0.0625 (16 sec)", "0.125 (8 sec)", "0.25  (4 sec)", "0.5 (2 sec)",
    "1 (1 sec)",       "2 (500 ms)",    "4 (250 ms)",    "8 (125 ms)",
    "16 (62.5 ms)",    "32 (31.25 ms)", "Continuous",
};

Config1Settings ReadConfig1(std::int32_t value) {
    return {Has(value, Bit7), Has(value, Bit6), Has(value, Bit5), Has(value, Bit3),
            Has(value, Bit2), Has(value, Bit1), Has(value, Bit0)};
}

std::int32_t ApplyConfig1(std::int32_t value, const Config1Settings& settings) {
    value = With(value, Bit7, settings.maskAll);
    value = With(value, Bit6, settings.standby);
    value = With(value, Bit3, settings.r2onR1);
    value = With(value, Bit2, settings.extRange);
    value = With(value, Bit1, settings.maskR1);
    value = With(value, Bit0, settings.maskR2);
    return With(value, Bit5, settings.pin8Therm2);
}

RateSettings ReadRate(std::int32_t value) {
    return {Has(value, Bit7), value & RateMask};
}

std::int32_t ApplyRate(std::int32_t value, const RateSettings& settings) {
    value = With(value, Bit7, settings.averagingOff);
    return (value & 0xF0) | (settings.rateCode & RateMask);
}

bool ReadLock(std::int32_t value) {
    return Has(value, Bit7);
}

std::int32_t ApplyLock(std::int32_t value, bool lock) {
    return With(value, Bit7, lock);
}

std::string RateItemText(int code) {
    if (code >= 0 && code < RateItemCount) {
        return RateItems.at(static_cast<std::size_t>(code));
    }
    return "Reserved (code " + model::DecimalText(code) + ")";
}

} // namespace qmt::model
