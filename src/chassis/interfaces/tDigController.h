// The chassis digital controller, interface 0x0830: one packer per method.
//
//   nDigController::tReadPresentValuePacker packer(t1, t2, objectId, presentValue);
//   nDigController::tReadMultipleCartridgesPacker byBuffer(t1, t2, objectId, arg1, buffer, 16);
#pragma once

#include <cstdint>

#include "chassis/message/tArray.h"
#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nDigController {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0830, kId, "tDigController", kLine};

// clang-format off
class tReadMultipleCartridgesPacker  : public tPacker<kMethod<8, 111>, tIn<uint32_t>, tOut<tArray<uint32_t>>> { using tPacker::tPacker; };
class tWriteMultipleCartridgesPacker : public tPacker<kMethod<9, 219>, tIn<uint32_t, tArray<uint32_t>, tArray<uint32_t>>> { using tPacker::tPacker; };
class tReadPresentValuePacker        : public tPacker<kMethod<10, 278>, tIn<>, tOut<uint32_t>> { using tPacker::tPacker; };
class tWritePresentValuePacker       : public tPacker<kMethod<11, 359>, tIn<uint32_t, uint32_t>> { using tPacker::tPacker; };
class tFireFIFOUpdatePacker          : public tPacker<kMethod<12, 417>> { using tPacker::tPacker; };
class tConfigureLinesPacker          : public tPacker<kMethod<13, 482>, tIn<uint32_t, uint8_t>> { using tPacker::tPacker; };
class tCommitPacker                  : public tPacker<kMethod<14, 562>, tIn<uint32_t, uint8_t, uint8_t, uint16_t, uint32_t, uint32_t, uint16_t>> { using tPacker::tPacker; };
class tUncommitPacker                : public tPacker<kMethod<15, 639>, tIn<uint32_t, uint32_t, uint16_t>> { using tPacker::tPacker; };
class tSerialWritePresentValuePacker : public tPacker<kMethod<16, 710>, tIn<uint32_t, uint32_t>> { using tPacker::tPacker; };
class tSerialConfigureLinesPacker    : public tPacker<kMethod<17, 786>, tIn<uint32_t, uint32_t, uint32_t, uint32_t, uint8_t>> { using tPacker::tPacker; };
class tPreserveLineStatesPacker      : public tPacker<kMethod<18, 859>, tIn<uint32_t, uint8_t>> { using tPacker::tPacker; };
class tResetPacker                   : public tPacker<kMethod<19, 917>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nDigController
