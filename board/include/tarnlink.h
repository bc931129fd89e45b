/* The C interface of the USB-to-SMBus bridge library, as the program calls it. */
#ifndef TARNLINK_H
#define TARNLINK_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Loads the bridge firmware from an Intel HEX file; negative on failure. */
int16_t LoadFirmWare(const char* path);

/* One vendor request; 0 on success. */
int16_t VendorIORequest(uint16_t request, int32_t value, int32_t index, int16_t arg4, int16_t arg5,
                        uint8_t* buffer);

#ifdef __cplusplus
}
#endif

#endif
