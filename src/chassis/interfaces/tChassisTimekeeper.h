// The chassis timekeeper, interface 0x0808: one packer per method. A time is
// one 64-bit value, most significant byte first on the wire.
//
//   uint64_t now;
//   nChassisTimekeeper::tGetCurrentTimePacker packer(t1, t2, objectId, now);
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nChassisTimekeeper {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0808, kId, "tChassisTimekeeper", kLine};

// clang-format off
class tGetCurrentTimePacker : public tPacker<kMethod<8, 101>, tIn<>, tOut<uint64_t>> { using tPacker::tPacker; };
class tRequestEpochPacker   : public tPacker<kMethod<9, 170>> { using tPacker::tPacker; };
class tGetEpochTimePacker   : public tPacker<kMethod<10, 223>, tIn<>, tOut<uint64_t>> { using tPacker::tPacker; };
class tSetTimeOffsetPacker  : public tPacker<kMethod<11, 302>, tIn<uint64_t>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nChassisTimekeeper
