#pragma once

#include "link/bridge.h"
#include "support/stub_bridge.h"

#include <QString>
#include <QStringList>

namespace qmt::test {

// The stub chip with what the limits window relies on besides it: limits
// written at 0x0B to 0x0E are read back at 0x05 to 0x08, and the status poll
// (request 220) can be made to fail on its own.
class LimitsBoard final : public link::Bridge {
public:
    static constexpr std::int32_t Address = 0x4C;

    LimitsBoard() { stub.AddChip(Address); }

    std::int16_t LoadFirmWare(const char* path) override { return stub.LoadFirmWare(path); }
    std::int16_t VendorIORequest(std::uint16_t request, std::int32_t value, std::int32_t index,
                                 std::int16_t arg4, std::int16_t arg5,
                                 std::uint8_t* buffer) override {
        if (request == 220 && failStatusPolls) {
            stub.log.push_back({request, value, index, arg4});
            return 1;
        }
        const std::int16_t status = stub.VendorIORequest(request, value, index, arg4, arg5, buffer);
        const std::int32_t reg = index & 0xFF;
        if (request == 222 && arg4 == 0 && reg >= 0x0B && reg <= 0x0E) {
            stub.chips[value][reg - 6] = static_cast<std::uint8_t>(index >> 8);
        }
        return status;
    }

    std::map<std::int32_t, std::uint8_t>& chip() { return stub.chips[Address]; }
    // The register requests since the last call: "06" for a read, "0D=46" for
    // a write (hexadecimal), "poll 02" for a status poll.
    QStringList Requests() {
        QStringList requests;
        for (const BridgeCall& call : stub.log) {
            const QString reg =
                QString::number(call.index & 0xFF, 16).toUpper().rightJustified(2, '0');
            if (call.request == 220) {
                requests << QStringLiteral("poll ") + reg;
            } else if (call.request == 222 && call.arg4 == 0) {
                requests
                    << reg + "=" +
                           QString::number(call.index >> 8, 16).toUpper().rightJustified(2, '0');
            } else if (call.request == 222) {
                requests << reg;
            }
        }
        stub.log.clear();
        return requests;
    }
    QStringList Writes() { return Requests().filter(QStringLiteral("=")); }

    StubBridge stub;
    bool failStatusPolls = false;
};

} // namespace qmt::test
