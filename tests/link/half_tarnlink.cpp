// A bridge library that lacks VendorIORequest, to see the loader name what is missing.
#include <cstdint>

extern "C" __attribute__((visibility("default"))) std::int16_t LoadFirmWare(const char*) {
    return 0;
}
