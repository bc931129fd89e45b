#include "link/register_access.h"

#include "link/channel_limits.h"

namespace qmt::link {

namespace {

constexpr std::uint16_t RegisterRequest = 222;
constexpr std::uint16_t StatusPollRequest = 220;
constexpr std::int32_t ConfigurationWritePointer = 0x09;
constexpr std::int32_t ConfigurationReadPointer = 0x03;
constexpr std::uint8_t ExtendedRangeMask = 0x04;
constexpr std::uint8_t Remote2SelectedMask = 0x08;
constexpr std::int32_t LargestValue = 255;
constexpr std::int32_t LargestPointer = 0xFF;

} // namespace

RegisterAccess::RegisterAccess(Bridge& bridge, USBStuff& usb, GeneralStuff& state,
                               LinkErrorHandler& errors)
    : bridge_(bridge), usb_(usb), state_(state), errors_(errors) {}

std::int16_t RegisterAccess::ReadRegister(std::int32_t address, std::int32_t reg) {
    const auto status =
        bridge_.VendorIORequest(RegisterRequest, address, reg, 1, 1, usb_.ReceiveBuffer.data());
    if (status != 0) {
        ReportFailedRequest(LinkError::Communications);
    }
    return usb_.ReceiveBuffer[0];
}

std::optional<std::int16_t> RegisterAccess::ProbeRegister(std::int32_t address, std::int32_t reg) {
    const auto status =
        bridge_.VendorIORequest(RegisterRequest, address, reg, 1, 1, usb_.ReceiveBuffer.data());
    if (status == StatusNoAnswer) {
        return std::nullopt;
    }
    if (status != StatusOk) {
        ReportFailedRequest(LinkError::Communications);
    }
    return usb_.ReceiveBuffer[0];
}

std::int16_t RegisterAccess::WriteRegister(std::int32_t address, std::int32_t reg,
                                           std::int32_t& value) {
    if (value > LargestValue) {
        value = LargestValue;
    }
    // The request carries the pointer in the index's low byte: a larger one
    // would put its high bits into the value and write elsewhere.
    if (value < 0 || reg < 0 || reg > LargestPointer) {
        return WriteRefused;
    }
    const std::int32_t index = value * 256 + reg;
    std::uint8_t buffer = 0;
    const auto status = bridge_.VendorIORequest(RegisterRequest, address, index, 0, 0, &buffer);
    if (status != 0) {
        ReportFailedRequest(LinkError::Communications);
    }
    UpdateRemoteSelection(reg);
    if (limitListener_ != nullptr && IsLimitWritePointer(reg)) {
        limitListener_->LimitRegisterWritten(reg);
    }
    return 0;
}

std::optional<std::uint8_t> RegisterAccess::PollStatusRegister(std::int32_t reg) {
    const auto status = bridge_.VendorIORequest(StatusPollRequest, usb_.DeviceAddress, reg, 1, 1,
                                                usb_.ReceiveBuffer.data());
    if (status != 0) {
        return std::nullopt;
    }
    return usb_.ReceiveBuffer[0];
}

void RegisterAccess::UpdateRemoteSelection(std::int32_t address) {
    if (address != ConfigurationWritePointer) {
        return;
    }
    const auto v = ReadRegister(usb_.DeviceAddress, ConfigurationReadPointer);
    state_.ExtendedRange = (v & ExtendedRangeMask) == ExtendedRangeMask;
    state_.Remote2Selected = (v & Remote2SelectedMask) == Remote2SelectedMask;
    if (listener_ != nullptr) {
        listener_->RemoteSelectionChanged(state_.Remote2Selected);
    }
}

void RegisterAccess::ReportLinkError(LinkError code, const std::string& reason) {
    if (!reason.empty()) {
        errors_.ExplainLinkError(reason);
    }
    errors_.ReportLinkError(code);
    throw LinkFailure(code);
}

void RegisterAccess::ReportFailedRequest(LinkError code) {
    if (const std::string detail = bridge_.FailureDetail(); !detail.empty()) {
        errors_.DescribeDeviceFailure(detail);
    }
    ReportLinkError(code);
}

} // namespace qmt::link
