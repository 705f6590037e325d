// The register map of one cartridge-slot interface of the first-generation
// chassis controller chip: 29 registers, six of them register classes of
// their own, and three register locks. A chassis driver builds one per slot,
// over that slot's window.
//
//   tMorroCartridge slot(&bus, window, &status);
//   const auto held = slot.acquireLocks({2}, 0, &status);
//   slot.DoValue.writeField(10, 1, &status, 0);       // bit 9, written at 0x24
//   slot.releaseLocks(held, &status);
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
#define QO_MORRO_CARTRIDGE_REGISTERS(P, C, E) \
  C( 0, ProcessorControl, 0x00, kWriteFields, 3, kRewrite, kSetRegister, , \
    {1, 0, 0}, {2, 3, 1}) \
  P( 1, Plain_01, kPlain,           0, kRewrite) \
  P( 2, Plain_02, kPlain,           0, kRewrite) \
  P( 3, Plain_03, kPlain,           0, kRewrite) \
  P( 4, Plain_04, kPlain,           0, kRewrite) \
  C( 5, SignalSource, 0x14, kWriteFields, 3, kRewrite, kSetRegister, , \
    {1, 2, 0, kServed, 10}) \
  C( 6, StaticDioDirection, 0x18, kWriteFields, 3, kRewrite, kSetRegister, , \
    {1, 0, 0, kServed, 10}) \
  C( 7, ConvertControl, 0x1C, kWriteFields, 3, kRewrite, kSetRegister, , \
    {1, 2, 0}, {3, 4, 4, kServed, 3}, {7, 12, 8}) \
  P( 8, Plain_08, kPlain,           1, kForget) \
  C( 9, DoValue, 0x24, kWriteFields, 2, kRewrite, kSetRegister, , \
    {1, 0, 0, kServed, 10}) \
  P(10, Plain_10, kPlain,           0, kForget) \
  P(11, Plain_11, kPlainNoSoftCopy, 0, kNone) \
  P(12, Plain_12, kPlainNoSoftCopy, 0, kNone) \
  P(13, Plain_13, kPlainNoSoftCopy, 0, kNone) \
  P(14, Plain_14, kPlain,           0, kForget) \
  P(15, Plain_15, kPlainNoSoftCopy, 0, kNone) \
  P(16, Plain_16, kPlainNoSoftCopy, 0, kNone) \
  P(17, Plain_17, kPlain,           0, kForget) \
  P(18, Plain_18, kPlain,           0, kForget) \
  P(19, Plain_19, kPlainNoSoftCopy, 0, kNone) \
  P(20, Plain_20, kPlainNoSoftCopy, 0, kNone) \
  P(21, Plain_21, kPlain,           0, kRewrite) \
  P(22, Plain_22, kPlainNoSoftCopy, 0, kNone) \
  C(23, TimerControl, 0x5C, kWriteFields, 3, kRewrite, kSetRegister, , \
    {1, 2, 0}, {3, 4, 4}, {5, 7, 7}, {6, 8, 8}) \
  P(24, Plain_24, kPlainNoSoftCopy, 0, kNone) \
  P(25, Plain_25, kPlain,           0, kRewrite) \
  P(26, Plain_26, kPlain,           0, kForget) \
  P(27, Plain_27, kPlain,           0, kRewrite) \
  P(28, Plain_28, kPlain,           0, kRewrite)
// clang-format on

namespace nQoUdRLP100 {

inline constexpr tRegisterRun kMorroCartridgeRuns[] = {
    QO_MORRO_CARTRIDGE_REGISTERS(QO_RUN_P, QO_RUN_C, QO_RUN_E)};

inline constexpr char kMorroCartridgeFile[] = "tMorroCartridge";
using tMorroCartridgeTraits =
    tChassisMapTraits<kMorroCartridgeRuns, 0x60, 3, tLockSlot::kGetLock, kMorroCartridgeFile>;

// The register members, in index order.
struct tMorroCartridgeRegisters {
  using tTraits = tMorroCartridgeTraits;
  QO_MORRO_CARTRIDGE_REGISTERS(QO_MEMBER_P, QO_MEMBER_C, QO_MEMBER_E)

 protected:
  QO_VISIT_REGISTERS(QO_MORRO_CARTRIDGE_REGISTERS)
};

class tMorroCartridge final
    : public tBusWindowMap<tMorroCartridgeRegisters, tMorroCartridgeTraits> {
 public:
  using tRegisterLock = tRegisterLockGroup;
  using tLockSelection = tLockGroups::tSelection;

  using tBusWindowMap::tBusWindowMap;
};

}  // namespace nQoUdRLP100
