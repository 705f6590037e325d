// What the register machinery needs to know of the Tavik map: its catalogue,
// its status sites and its address space.
#pragma once

#include <cstdint>

#include "registers/tMemMappedAddressSpace.h"
#include "registers/tRegisterMapSites.h"
#include "registers/tRegisterRow.h"
#include "tavik/tavikCatalogue.h"

namespace nQoUdRLP100::nTavik {

inline constexpr const char kTavikFile[] = "qomiorlp/tavik/tTavik";

struct tTavikTraits {
  static constexpr uint32_t kRegisterCount = nTavik::kRegisterCount;
  static constexpr const tRegisterRow* kRows = kTavikRows.data();
  static constexpr tRegisterMapSites kSites{
      .component = "qoudrk",
      .file = kTavikFile,
      .markDirty = 264,
      .markClean = 277,
      .isDirty = 251,
      .flushStub = 180,
      .refreshStub = 186,
      .setFieldStub = 192,
      .writeFieldStub = 198,
      .getFieldStub = 204,
      .readFieldStub = 210,
      .missingRegister = 437,
      .fieldLines = 2000,
      .unusable = 300,
      .lockOpen = 1095,
      .lockAcquire = 1096,
  };
  using tAddressSpace = tMemMappedAddressSpace;
};

}  // namespace nQoUdRLP100::nTavik
