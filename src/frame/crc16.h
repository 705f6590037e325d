// A 16-bit table checksum (polynomial 0x8005, most significant bit first,
// register starting all ones, no final inversion) in which every data byte is
// followed by one zero byte.
#pragma once

#include <cstddef>
#include <cstdint>

namespace nQoUdR100 {

// The low 16 bits are the checksum; the high 16 bits hold what was shifted
// out. No bytes: 0xFFFFFFFF.
uint32_t computeCrc16(const unsigned char* data, size_t n);

}  // namespace nQoUdR100
