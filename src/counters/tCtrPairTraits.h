// What the register machinery needs to know of the counter-pair map: its
// catalogue, its status sites (component "qotiok", file "tCtrPair") and its
// address space.
#pragma once

#include <cstdint>

#include "counters/ctrPairCatalogue.h"
#include "frame/tStatusSite.h"
#include "registers/tMemMappedAddressSpace.h"
#include "registers/tRegisterMapSites.h"

namespace nQoTIO100 {

inline constexpr const char kCtrPairFile[] = "tCtrPair";

// The sites of the map's users outside the register machinery.
inline constexpr nQoUdR100::tStatusSite ctrPairSite(unsigned line) {
  return {kCtrPairFile, line, nQoUdR100::kCounterComponent};
}
inline constexpr unsigned kNoBusLine = 342;         // device form: no tree, device or bus
inline constexpr unsigned kNoBusMappedLine = 368;   // the form with mapping arguments
inline constexpr unsigned kNullBusLine = 330;       // bus form: no bus
inline constexpr unsigned kNoEntryWriteLine = 401;  // a layout entry names no register
inline constexpr unsigned kNoEntryReadLine = 426;
inline constexpr unsigned kBadChannelLine = 460;         // a DMA channel beyond the select table
inline constexpr unsigned kNoBoardDispatcherLine = 470;  // a board without interrupt dispatcher

struct tCtrPairTraits {
  static constexpr uint32_t kRegisterCount = kCtrPairRegisterCount;
  static constexpr const nQoUdRLP100::tRegisterRow* kRows = kCtrPairRows.data();
  static constexpr nQoUdRLP100::tRegisterMapSites kSites{
      .component = nQoUdR100::kCounterComponent,
      .file = kCtrPairFile,
      .markDirty = 237,
      .markClean = 238,
      .isDirty = 239,
      .flushStub = 20,
      .refreshStub = 25,
      .setFieldStub = 32,
      .writeFieldStub = 40,
      .getFieldStub = 46,
      .readFieldStub = 53,
      .missingRegister = 60,
      .fieldLines = 1000,
      .unusable = 300,
      .lockOpen = 310,
      .lockAcquire = 311,
  };
  using tAddressSpace = nQoUdRLP100::tMemMappedAddressSpace;
};

}  // namespace nQoTIO100
