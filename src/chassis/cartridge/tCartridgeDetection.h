// Cartridge detection, interface 0x0861: one packer per method. Only the
// event counter read has an output, a u32 after the status block.
//
//   uint32_t events = 0;
//   tReadCartridgeDetectionEventCounterPacker packer(t1, t2, objectId, events);
//   packer.unpack(context, status);   // events set only when status is no error
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nCartridgeDetection {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0861, kId, "tCartridgeDetection", kLine};

// clang-format off
class tCommitPacker                              : public tPacker<kMethod<8, 110>> { using tPacker::tPacker; };
class tArmPacker                                 : public tPacker<kMethod<9, 120>> { using tPacker::tPacker; };
class tDisarmPacker                              : public tPacker<kMethod<10, 130>> { using tPacker::tPacker; };
class tUncommitPacker                            : public tPacker<kMethod<11, 140>> { using tPacker::tPacker; };
class tSpecifyCartridgePacker                    : public tPacker<kMethod<12, 150>, tIn<uint16_t, uint16_t, uint32_t, uint16_t>> { using tPacker::tPacker; };
class tReadCartridgeDetectionEventCounterPacker  : public tPacker<kMethod<13, 160>, tIn<>, tOut<uint32_t>> { using tPacker::tPacker; };
class tResetCartridgeDetectionEventCounterPacker : public tPacker<kMethod<14, 170>> { using tPacker::tPacker; };
class tSetSlotEnabledMaskPacker                  : public tPacker<kMethod<15, 180>, tIn<uint32_t>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nCartridgeDetection
