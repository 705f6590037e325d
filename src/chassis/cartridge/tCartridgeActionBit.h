// The cartridge action bits, interface 0x0866: one packer per method. Get
// and check-for-errors answer one u32 after the status block.
//
//   uint32_t bits = 0;
//   nCartridgeActionBit::tGetPacker packer(t1, t2, objectId, selector, bits);
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nCartridgeActionBit {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0866, kId, "tCartridgeActionBit", kLine};

// clang-format off
class tClearPacker                         : public tPacker<kMethod<8, 110>, tIn<uint32_t>> { using tPacker::tPacker; };
class tDisablePacker                       : public tPacker<kMethod<9, 120>, tIn<uint32_t>> { using tPacker::tPacker; };
class tEnablePacker                        : public tPacker<kMethod<10, 130>, tIn<uint32_t>> { using tPacker::tPacker; };
class tGetPacker                           : public tPacker<kMethod<11, 140>, tIn<uint32_t>, tOut<uint32_t>> { using tPacker::tPacker; };
class tSetPacker                           : public tPacker<kMethod<12, 150>, tIn<uint32_t>> { using tPacker::tPacker; };
class tWaitForClearPacker                  : public tPacker<kMethod<13, 160>, tIn<uint32_t, uint32_t>> { using tPacker::tPacker; };
class tEnableInterruptEventPacker          : public tPacker<kMethod<14, 170>, tIn<uint32_t>> { using tPacker::tPacker; };
class tDisableInterruptEventPacker         : public tPacker<kMethod<15, 180>, tIn<uint32_t>> { using tPacker::tPacker; };
class tEnableInterruptEndpointFlushPacker  : public tPacker<kMethod<16, 190>, tIn<uint32_t, uint32_t>> { using tPacker::tPacker; };
class tDisableInterruptEndpointFlushPacker : public tPacker<kMethod<17, 200>, tIn<uint32_t>> { using tPacker::tPacker; };
class tCheckForErrorsPacker                : public tPacker<kMethod<18, 210>, tIn<uint32_t>, tOut<uint32_t>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nCartridgeActionBit
