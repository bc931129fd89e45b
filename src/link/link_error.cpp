#include "link/link_error.h"

namespace qmt::link {

std::string LinkErrorMessage(LinkError code) {
    switch (code) {
    case LinkError::FirmwareDownload:
        return "Firmware failed to download - Check USB connections";
    case LinkError::InitialConnection:
        return "Initial Connection Failed - Check USB connections";
    case LinkError::Communications:
        return "Communications Interrupted - Check USB connections";
    }
    return "Communications Interrupted - Check USB connections";
}

} // namespace qmt::link
