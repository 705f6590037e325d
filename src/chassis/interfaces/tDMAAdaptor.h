// A DMA adaptor object of the chassis, interface 0x0804: one packer per
// method. Every reply is the status block alone.
#pragma once

#include <cstdint>

#include "chassis/message/tArray.h"
#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nDMAAdaptor {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0804, kId, "tDMAAdaptor", kLine};

// clang-format off
class tCommitPacker                    : public tPacker<kMethod<8, 127>, tIn<uint32_t, uint8_t, uint8_t, uint8_t, uint8_t, uint8_t, uint8_t, uint8_t, uint8_t>> { using tPacker::tPacker; };
class tArmPacker                       : public tPacker<kMethod<9, 192>> { using tPacker::tPacker; };
class tDisarmPacker                    : public tPacker<kMethod<10, 245>> { using tPacker::tPacker; };
class tUncommitPacker                  : public tPacker<kMethod<11, 298>> { using tPacker::tPacker; };
class tResetPacker                     : public tPacker<kMethod<12, 351>> { using tPacker::tPacker; };
class tWritePacker                     : public tPacker<kMethod<13, 421>, tIn<tArray<uint32_t>>> { using tPacker::tPacker; };
class tWriteEnabledCartridgeMaskPacker : public tPacker<kMethod<14, 488>, tIn<uint32_t>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nDMAAdaptor
