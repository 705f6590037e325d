// The industrial chassis service, interface 0x0806: one packer per method.
// Every reply is the status block alone.
#pragma once

#include <cstdint>

#include "chassis/message/tArray.h"
#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nIndustrialChassis {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0806, kId, "tIndustrialChassis", kLine};

// clang-format off
class tBeginQuorlMessagePersistencePacker      : public tPacker<kMethod<8, 111>, tIn<uint8_t>> { using tPacker::tPacker; };
class tEndQuorlMessagePersistencePacker        : public tPacker<kMethod<9, 178>, tIn<uint8_t>> { using tPacker::tPacker; };
class tClearMessageStoresPacker                : public tPacker<kMethod<10, 235>> { using tPacker::tPacker; };
class tLiftQuorlLockoutPacker                  : public tPacker<kMethod<11, 288>> { using tPacker::tPacker; };
class tSetCounterOutputExpirationStatesPacker  : public tPacker<kMethod<12, 358>, tIn<tArray<uint8_t>>> { using tPacker::tPacker; };
class tSetExpireWatchdogOnConnectionLossPacker : public tPacker<kMethod<13, 425>, tIn<uint8_t>> { using tPacker::tPacker; };
class tBeginEventDeferralPacker                : public tPacker<kMethod<14, 482>> { using tPacker::tPacker; };
class tEndEventDeferralPacker                  : public tPacker<kMethod<15, 535>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nIndustrialChassis
