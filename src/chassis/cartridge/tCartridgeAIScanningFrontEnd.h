// The cartridge AI scanning front end, interface 0x0870: one packer per
// method. Every reply is the status block alone.
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nCartridgeAIScanningFrontEnd {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0870, kId, "tCartridgeAIScanningFrontEnd", kLine};

// clang-format off
class tPrecommitPacker              : public tPacker<kMethod<8, 110>> { using tPacker::tPacker; };
class tPrecommitCmqPacker           : public tPacker<kMethod<9, 120>, tIn<uint32_t, uint32_t, uint8_t, uint8_t>> { using tPacker::tPacker; };
class tPostuncommitPacker           : public tPacker<kMethod<10, 130>> { using tPacker::tPacker; };
class tCommitPacker                 : public tPacker<kMethod<11, 140>, tIn<uint32_t, uint32_t, uint32_t, uint8_t, uint8_t, uint8_t>> { using tPacker::tPacker; };
class tUncommitPacker               : public tPacker<kMethod<12, 150>, tIn<uint32_t, uint8_t>> { using tPacker::tPacker; };
class tPrearmPacker                 : public tPacker<kMethod<13, 160>> { using tPacker::tPacker; };
class tPostdisarmPacker             : public tPacker<kMethod<14, 170>> { using tPacker::tPacker; };
class tArmPacker                    : public tPacker<kMethod<15, 180>> { using tPacker::tPacker; };
class tArmCmqPacker                 : public tPacker<kMethod<16, 190>> { using tPacker::tPacker; };
class tDisarmCmqPacker              : public tPacker<kMethod<17, 200>> { using tPacker::tPacker; };
class tDisarmPacker                 : public tPacker<kMethod<18, 210>> { using tPacker::tPacker; };
class tPrecommitChannelConfigPacker : public tPacker<kMethod<19, 220>, tIn<uint32_t, uint32_t, uint32_t, uint32_t, uint32_t>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nCartridgeAIScanningFrontEnd
