#include "link/device_configuration.h"

#include "link/register_write.h"

namespace qmt::link {

namespace {

template <typename T> void Take(T& setting, const std::optional<T>& given) {
    if (given) {
        setting = *given;
    }
}

std::int32_t Read(RegisterAccess& access, std::int32_t pointer) {
    return access.ReadRegister(access.usb().DeviceAddress, pointer);
}

} // namespace

DeviceConfiguration ReadConfiguration(RegisterAccess& access) {
    DeviceConfiguration configuration;
    configuration.config1 = model::ReadConfig1(Read(access, model::Config1Read));
    configuration.rate = model::ReadRate(Read(access, model::ConvRateRead));
    configuration.lock = model::ReadLock(Read(access, model::Config2Pointer));
    configuration.thermHysteresis = Read(access, model::ThermHysteresisPointer);
    return configuration;
}

std::string ApplyConfiguration(RegisterAccess& access, const ConfigurationChange& change) {
    const auto write = [&access](std::int32_t pointer, std::int32_t value) {
        return WriteCheckedRegister(access, pointer, value, true).refusal;
    };
    if (change.maskAll || change.standby || change.pin8Therm2 || change.r2onR1 || change.extRange ||
        change.maskR1 || change.maskR2) {
        const auto held = Read(access, model::Config1Read);
        auto settings = model::ReadConfig1(held);
        Take(settings.maskAll, change.maskAll);
        Take(settings.standby, change.standby);
        Take(settings.pin8Therm2, change.pin8Therm2);
        Take(settings.r2onR1, change.r2onR1);
        Take(settings.extRange, change.extRange);
        Take(settings.maskR1, change.maskR1);
        Take(settings.maskR2, change.maskR2);
        if (auto refusal = write(model::Config1Write, model::ApplyConfig1(held, settings));
            !refusal.empty()) {
            return refusal;
        }
    }
    if (change.averagingOff || change.rateCode) {
        const auto held = Read(access, model::ConvRateRead);
        auto settings = model::ReadRate(held);
        Take(settings.averagingOff, change.averagingOff);
        Take(settings.rateCode, change.rateCode);
        if (auto refusal = write(model::ConvRateWrite, model::ApplyRate(held, settings));
            !refusal.empty()) {
            return refusal;
        }
    }
    std::optional<std::int32_t> config2;
    bool locking = false;
    if (change.lock) {
        const auto held = Read(access, model::Config2Pointer);
        config2 = model::ApplyLock(held, *change.lock);
        locking = !model::ReadLock(held) && *change.lock;
    }
    if (config2 && !locking) {
        if (auto refusal = write(model::Config2Pointer, *config2); !refusal.empty()) {
            return refusal;
        }
    }
    if (change.thermHysteresis) {
        if (auto refusal = write(model::ThermHysteresisPointer, *change.thermHysteresis);
            !refusal.empty()) {
            return refusal;
        }
    }
    if (config2 && locking) {
        return write(model::Config2Pointer, *config2);
    }
    return {};
}

} // namespace qmt::link
