#include "bridge_emulator.h"
#include "tarnlink_emulator.h"

namespace tarnlink {

Emulator::Emulator(MillisClock clock) : impl_(std::make_unique<BridgeEmulator>(std::move(clock))) {}

Emulator::~Emulator() = default;
Emulator::Emulator(Emulator&&) noexcept = default;
Emulator& Emulator::operator=(Emulator&&) noexcept = default;

bool Emulator::LoadBoardText(std::string_view text, std::string& error) {
    return impl_->LoadBoardText(text, error);
}

std::int16_t Emulator::LoadFirmWare(const char* path) {
    return impl_->LoadFirmWare(path);
}

std::int16_t Emulator::VendorIORequest(std::uint16_t request, std::int32_t value,
                                       std::int32_t index, std::int16_t arg4, std::int16_t arg5,
                                       std::uint8_t* buffer) {
    return impl_->VendorIORequest(request, value, index, arg4, arg5, buffer);
}

bool Emulator::SetTracePath(const std::string& path) {
    return impl_->SetTracePath(path);
}

const std::string& Emulator::LastError() const {
    return impl_->LastError();
}

} // namespace tarnlink
