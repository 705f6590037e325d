// The chassis AO timing service, interface 0x0820: one packer per method.
// Every reply is the status block alone.
#pragma once

#include <cstdint>

#include "chassis/message/tArray.h"
#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nChassisAOTiming {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0820, kId, "tChassisAOTiming", kLine};

// clang-format off
class tInitializePacker : public tPacker<kMethod<8, 101>> { using tPacker::tPacker; };
class tCommitPacker     : public tPacker<kMethod<9, 173>, tIn<tArray<uint16_t>, uint8_t>> { using tPacker::tPacker; };
class tStartPacker      : public tPacker<kMethod<10, 245>, tIn<uint16_t, uint8_t, uint8_t>> { using tPacker::tPacker; };
class tStopPacker       : public tPacker<kMethod<11, 314>, tIn<uint16_t>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nChassisAOTiming
