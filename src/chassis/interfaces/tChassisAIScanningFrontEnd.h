// The chassis AI scanning front end, interface 0x0810: one packer per method.
// Every reply is the status block alone.
#pragma once

#include <cstdint>

#include "chassis/message/tArray.h"
#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nChassisAIScanningFrontEnd {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0810, kId, "tChassisAIScanningFrontEnd", kLine};

// clang-format off
class tCommitPacker                      : public tPacker<kMethod<8, 101>> { using tPacker::tPacker; };
class tUncommitPacker                    : public tPacker<kMethod<9, 154>> { using tPacker::tPacker; };
class tPrearmPacker                      : public tPacker<kMethod<10, 207>> { using tPacker::tPacker; };
class tPostdisarmPacker                  : public tPacker<kMethod<11, 260>> { using tPacker::tPacker; };
class tArmPacker                         : public tPacker<kMethod<12, 313>> { using tPacker::tPacker; };
class tDisarmPacker                      : public tPacker<kMethod<13, 366>> { using tPacker::tPacker; };
class tProgramConfigFIFOPacker           : public tPacker<kMethod<14, 436>, tIn<tArray<uint16_t>>> { using tPacker::tPacker; };
class tClearAIConfigFIFOPacker           : public tPacker<kMethod<15, 493>> { using tPacker::tPacker; };
class tDoneProgrammingAIConfigFIFOPacker : public tPacker<kMethod<16, 546>> { using tPacker::tPacker; };
class tProgramMorroPipelinePacker        : public tPacker<kMethod<17, 616>, tIn<tArray<uint16_t>>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nChassisAIScanningFrontEnd
