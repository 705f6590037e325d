// What the register machinery needs to know of a chassis map: its runs and
// the rows made of them (checked against the window's length and the lock
// count), its lock count and lock slot, its status sites (all in the map's
// own source file, at fixed lines) and its bus-window address space.
//
//   inline constexpr char kChipFile[] = "tChip";
//   using tChipTraits = tChassisMapTraits<kChipRuns, 0x100, 0, tLockSlot::kNone, kChipFile>;
#pragma once

#include <cstdint>

#include "frame/tStatusSite.h"
#include "registers/tBusWindowAddressSpace.h"
#include "registers/tRegisterLockSlot.h"
#include "registers/tRegisterMapSites.h"
#include "registers/tRegisterRow.h"
#include "registers/tRegisterRun.h"

namespace nQoUdRLP100 {

template <const auto& kRunTable, uint32_t kWindowLength, uint32_t kLocks, tLockSlot kSlot,
          const char* kFile>
struct tChassisMapTraits {
  static constexpr uint32_t kRegisterCount = registerCountOf(kRunTable);
  static constexpr uint32_t kLockCount = kLocks;
  static constexpr const auto& kRuns = kRunTable;
  static constexpr auto kRowTable = makeRows<kRegisterCount>(kRunTable);
  static_assert(checkCatalogue(kRowTable, kWindowLength, kLocks));
  static constexpr const tRegisterRow* kRows = kRowTable.data();
  static constexpr auto kLockMembers = groupMembers<kLocks>(kRowTable);
  static constexpr tLockSlot kLockSlot = kSlot;
  static constexpr tRegisterMapSites kSites{
      .component = nQoUdR100::kComponent,
      .file = kFile,
      .markDirty = 60,
      .markClean = 61,
      .isDirty = 62,
      .flushStub = 70,
      .refreshStub = 71,
      .setFieldStub = 72,
      .writeFieldStub = 73,
      .getFieldStub = 74,
      .readFieldStub = 75,
      .missingRegister = 80,
      .fieldLines = 1000,
      .unusable = 90,
      .lockOpen = 91,
      .lockAcquire = 92,
      .softCopy = 93,
  };
  // Device form, short device form: no tree or device, no bus, no window.
  static constexpr tDeviceTreeSites kDeviceSites{{kFile, 120}, {kFile, 121}, {kFile, 122}};
  static constexpr tDeviceTreeSites kShortDeviceSites{{kFile, 130}, {kFile, 131}, {kFile, 132}};
  // Bus form: no bus.
  static constexpr nQoUdR100::tStatusSite kNoBus{kFile, 140};
  using tAddressSpace = tBusWindowAddressSpace;
};

}  // namespace nQoUdRLP100
