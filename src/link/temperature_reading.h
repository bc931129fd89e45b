#pragma once

#include "link/register_access.h"

namespace qmt::link {

// The monitoring cycle's reading of the three temperatures: registers 0x00,
// 0x10, 0x01, 0x33 and 0x30 in that order (each low byte before its high
// byte), decoded in the range of ExtendedRange into LocalTemp, Remote1Temp
// and Remote2Temp of the access's GeneralStuff.
void ReadTemperatures(RegisterAccess& access);

} // namespace qmt::link
