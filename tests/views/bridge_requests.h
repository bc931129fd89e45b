#pragma once

#include "support/stub_bridge.h"

#include <QString>
#include <QStringList>
#include <cstddef>

namespace qmt::test {

// The register requests the stub received from call `from` on, as "R03"
// for a read of pointer 0x03 and "W09=A5" for a write of 0xA5 at 0x09.
inline QStringList RegisterRequests(const StubBridge& stub, std::size_t from = 0) {
    QStringList requests;
    for (std::size_t i = from; i < stub.log.size(); ++i) {
        const BridgeCall& call = stub.log[i];
        if (call.request != 222) {
            continue;
        }
        const auto hex = [](int value, int width) {
            return QString::number(value, 16).toUpper().rightJustified(width, QLatin1Char('0'));
        };
        if (call.arg4 != 0) {
            requests.append(QStringLiteral("R") + hex(call.index, 2));
        } else {
            requests.append(QStringLiteral("W") + hex(call.index & 0xFF, 2) + QLatin1Char('=') +
                            hex(call.index >> 8, 2));
        }
    }
    return requests;
}

} // namespace qmt::test
