// The cartridge timer, interface 0x0869: one packer per method. The two
// get-and-confirm methods answer one u8 after the status block; the enables
// go out as given (0-255).
#pragma once

#include <cstdint>

#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nCartridgeTimer {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0869, kId, "tCartridgeTimer", kLine};

// clang-format off
class tWriteReloadModePacker                 : public tPacker<kMethod<8, 110>, tIn<uint32_t>> { using tPacker::tPacker; };
class tWriteTimebasePacker                   : public tPacker<kMethod<9, 120>, tIn<uint32_t>> { using tPacker::tPacker; };
class tWriteResetSourcePacker                : public tPacker<kMethod<10, 130>, tIn<uint32_t>> { using tPacker::tPacker; };
class tForceSelectAPacker                    : public tPacker<kMethod<11, 140>> { using tPacker::tPacker; };
class tForceSelectBPacker                    : public tPacker<kMethod<12, 150>> { using tPacker::tPacker; };
class tForceStartPacker                      : public tPacker<kMethod<13, 160>> { using tPacker::tPacker; };
class tForceStopPacker                       : public tPacker<kMethod<14, 170>> { using tPacker::tPacker; };
class tForceResetPacker                      : public tPacker<kMethod<15, 180>> { using tPacker::tPacker; };
class tWriteEnableAutoRestartPacker          : public tPacker<kMethod<16, 190>, tIn<uint8_t>> { using tPacker::tPacker; };
class tWriteEnableAutoResetPacker            : public tPacker<kMethod<17, 200>, tIn<uint8_t>> { using tPacker::tPacker; };
class tWriteTimerResetValueAPacker           : public tPacker<kMethod<18, 210>, tIn<uint32_t>> { using tPacker::tPacker; };
class tWriteTimerResetValueBPacker           : public tPacker<kMethod<19, 220>, tIn<uint32_t>> { using tPacker::tPacker; };
class tGetAndConfirmTimerExpiredStatusPacker : public tPacker<kMethod<20, 230>, tIn<>, tOut<uint8_t>> { using tPacker::tPacker; };
class tGetAndConfirmTimerExpiredErrorPacker  : public tPacker<kMethod<21, 240>, tIn<>, tOut<uint8_t>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nCartridgeTimer
