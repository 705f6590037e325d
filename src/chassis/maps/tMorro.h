// The register map of the first-generation chassis controller chip: 41
// registers, two of them register classes of their own (tRIVORouting,
// tOversampleRouting), two arrays, and three register locks.
//
//   tMorro map(&bus, window, &status);              // every writable register dirty
//   const auto held = map.acquireLocks({3}, 0, &status);
//   map.RIVORouting.writeField(5, 0x21, &status, 0); // one write: 0x00210000 at 0x5C
//   map.releaseLocks(held, &status);
#pragma once

#include <cstdint>

#include "bus/iBus.h"
#include "chassis/maps/tChassisMapTraits.h"
#include "mdbg/tStatus2.h"
#include "registers/registerRunMacros.h"
#include "registers/tBusWindowMap.h"
#include "registers/tRegisterLockSlot.h"
#include "registers/tRegisterRun.h"

// The catalogue (registerRunMacros.h): plain registers hold no offset here;
// their users reach them at offsets of their own.
// clang-format off
#define QO_MORRO_REGISTERS(P, C, E) \
  P( 0, Plain_00, kPlain,          0, kForget) \
  P( 1, Plain_01, kPlain,          0, kForget) \
  P( 2, Plain_02, kPlain,          0, kForget) \
  P( 3, Plain_03, kPlain,          0, kRewrite) \
  P( 4, Plain_04, kPlain,          0, kForget) \
  P( 5, Plain_05, kPlainNoSoftCopy, 0, kNone) \
  P( 6, Plain_06, kPlainNoSoftCopy, 0, kNone) \
  P( 7, Plain_07, kPlainNoSoftCopy, 0, kNone) \
  P( 8, Plain_08, kPlain,          0, kForget) \
  P( 9, Plain_09, kPlainNoSoftCopy, 0, kNone) \
  P(10, Plain_10, kPlainNoSoftCopy, 0, kNone) \
  P(11, Plain_11, kPlainNoSoftCopy, 0, kNone) \
  P(12, Plain_12, kPlain,          1, kRewrite) \
  P(13, Plain_13, kPlain,          0, kForget) \
  P(14, Plain_14, kPlain,          0, kRewrite) \
  P(15, Plain_15, kPlainNoSoftCopy, 2, kNone) \
  P(16, Plain_16, kPlain,          2, kRewrite) \
  P(17, Plain_17, kPlain,          0, kRewrite) \
  E(18, Array_004C, 2, 0x4C, kPlain, 0, kRewrite, kAtInitialization, kNoAccessors, ) \
  P(20, Plain_20, kPlain,          0, kRewrite) \
  C(21, RIVORouting, 0x5C, kWriteFields, 3, kRewrite, kSetRegister, , \
    {1, 5, 0}, {3, 13, 8}, {5, 21, 16}, {7, 29, 24}) \
  P(22, Plain_22, kPlain,          0, kRewrite) \
  P(23, Plain_23, kPlain,          0, kRewrite) \
  C(24, OversampleRouting, 0x68, kWriteFields, 3, kRewrite, kSetRegister, , \
    {1, 3, 0}, {2, 5, 4}, {4, 8, 8}) \
  E(25, Array_0080, 16, 0x80, kPlain, 0, kRewrite, kAtInitialization, kNoAccessors, )
// clang-format on

namespace nQoUdRLP100 {

inline constexpr tRegisterRun kMorroRuns[] = {QO_MORRO_REGISTERS(QO_RUN_P, QO_RUN_C, QO_RUN_E)};

inline constexpr char kMorroFile[] = "tMorro";
using tMorroTraits = tChassisMapTraits<kMorroRuns, 0xC0, 3, tLockSlot::kGetLock, kMorroFile>;

// The register members, in index order.
struct tMorroRegisters {
  using tTraits = tMorroTraits;
  QO_MORRO_REGISTERS(QO_MEMBER_P, QO_MEMBER_C, QO_MEMBER_E)

 protected:
  QO_VISIT_REGISTERS(QO_MORRO_REGISTERS)
};

class tMorro final : public tBusWindowMap<tMorroRegisters, tMorroTraits> {
 public:
  using tRegisterLock = tRegisterLockGroup;
  using tLockSelection = tLockGroups::tSelection;

  using tBusWindowMap::tBusWindowMap;
};

}  // namespace nQoUdRLP100
