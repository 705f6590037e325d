// The register map of the second-generation chassis controller chip: 53
// registers, no register classes, no locks. Twenty-eight registers, from 0x70
// to 0xDC, keep their window offset and identifier (three runs, ids 0-3, 5-20
// and 38-45; the first run is placed when the map is built); the others are
// plain registers that the map's users reach at offsets of their own.
//
//   tMorro2 map(&bus, window, &status);
//   map.Array_0070[2].offset();              // 0x78
//   map.isDirty(2, &status);                 // 1: rewritten at the users' next flush
#pragma once

#include <cstdint>

#include "bus/iBus.h"
#include "chassis/maps/tChassisMapTraits.h"
#include "mdbg/tStatus2.h"
#include "registers/registerRunMacros.h"
#include "registers/tBusWindowMap.h"
#include "registers/tRegisterLockSlot.h"
#include "registers/tRegisterRun.h"

// The catalogue (registerRunMacros.h).
// clang-format off
#define QO_MORRO2_REGISTERS(P, C, E) \
  E( 0, Array_0070,  4, 0x70, kPlain, 0, kRewrite, kAtConstruction,   kNoAccessors, ) \
  P( 4, Plain_04, kPlain,           0, kRewrite) \
  E( 5, Array_0080, 16, 0x80, kPlain, 0, kRewrite, kAtInitialization, kNoAccessors, ) \
  P(21, Plain_21, kPlain,           0, kRewrite) \
  P(22, Plain_22, kPlainNoSoftCopy, 0, kNone) \
  P(23, Plain_23, kPlainNoSoftCopy, 0, kNone) \
  P(24, Plain_24, kPlainNoSoftCopy, 0, kNone) \
  P(25, Plain_25, kPlainNoSoftCopy, 0, kNone) \
  P(26, Plain_26, kPlain,           0, kForget) \
  P(27, Plain_27, kPlainNoSoftCopy, 0, kNone) \
  P(28, Plain_28, kPlainNoSoftCopy, 0, kNone) \
  P(29, Plain_29, kPlainNoSoftCopy, 0, kNone) \
  P(30, Plain_30, kPlain,           0, kForget) \
  P(31, Plain_31, kPlain,           0, kRewrite) \
  P(32, Plain_32, kPlain,           0, kRewrite) \
  P(33, Plain_33, kPlain,           0, kForget) \
  P(34, Plain_34, kPlain,           0, kForget) \
  P(35, Plain_35, kPlain,           0, kRewrite) \
  P(36, Plain_36, kPlain,           0, kRewrite) \
  P(37, Plain_37, kPlain,           0, kRewrite) \
  E(38, Array_00C0,  8, 0xC0, kPlain, 0, kRewrite, kAtInitialization, kNoAccessors, ) \
  P(46, Plain_46, kPlain,           0, kRewrite) \
  P(47, Plain_47, kPlain,           0, kRewrite) \
  P(48, Plain_48, kPlain,           0, kRewrite) \
  P(49, Plain_49, kPlain,           0, kRewrite) \
  P(50, Plain_50, kPlain,           0, kRewrite) \
  P(51, Plain_51, kPlain,           0, kForget) \
  P(52, Plain_52, kPlain,           0, kRewrite)
// clang-format on

namespace nQoUdRLP100 {

inline constexpr tRegisterRun kMorro2Runs[] = {QO_MORRO2_REGISTERS(QO_RUN_P, QO_RUN_C, QO_RUN_E)};

inline constexpr char kMorro2File[] = "tMorro2";
using tMorro2Traits = tChassisMapTraits<kMorro2Runs, 0xE0, 0, tLockSlot::kNone, kMorro2File>;

// The register members, in index order.
struct tMorro2Registers {
  using tTraits = tMorro2Traits;
  QO_MORRO2_REGISTERS(QO_MEMBER_P, QO_MEMBER_C, QO_MEMBER_E)

 protected:
  QO_VISIT_REGISTERS(QO_MORRO2_REGISTERS)
};

class tMorro2 final : public tBusWindowMap<tMorro2Registers, tMorro2Traits> {
 public:
  using tBusWindowMap::tBusWindowMap;
};

}  // namespace nQoUdRLP100
