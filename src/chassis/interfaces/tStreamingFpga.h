// The streaming FPGA service, interface 0x0807: one packer per method.
//
//   nStreamingFpga::tGetRevisionPacker packer(t1, t2, objectId, revision);
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nStreamingFpga {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0807, kId, "tStreamingFpga", kLine};

// clang-format off
class tInitializePacker  : public tPacker<kMethod<8, 101>> { using tPacker::tPacker; };
class tCommitPacker      : public tPacker<kMethod<9, 178>, tIn<uint32_t, uint32_t, uint8_t, uint8_t, uint8_t, uint8_t, uint8_t, uint8_t>> { using tPacker::tPacker; };
class tArmPacker         : public tPacker<kMethod<10, 256>, tIn<uint8_t, uint8_t, uint8_t>> { using tPacker::tPacker; };
class tDisarmPacker      : public tPacker<kMethod<11, 329>, tIn<uint8_t, uint8_t, uint8_t>> { using tPacker::tPacker; };
class tUncommitPacker    : public tPacker<kMethod<12, 402>, tIn<uint8_t, uint8_t, uint8_t>> { using tPacker::tPacker; };
class tGetRevisionPacker : public tPacker<kMethod<13, 461>, tIn<>, tOut<uint32_t>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nStreamingFpga
