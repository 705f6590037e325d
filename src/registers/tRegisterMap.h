// The frame of a register map with dirty bytes: its address space, one dirty
// byte per register index, the table of its field-addressable register
// objects (when it has any), and the map operations on them. A chip's map
// derives from it and adds its register objects; tTraits gives the register
// count, the catalogue rows, the status sites, the address space and, when the
// registers answer their lock under another name or have none, the lock slot:
//
//   struct tChipTraits {
//     static constexpr uint32_t kRegisterCount = 46;
//     static constexpr const tRegisterRow* kRows = kChipRows.data();
//     static constexpr tRegisterMapSites kSites{...};
//     static constexpr tLockSlot kLockSlot = tLockSlot::kGetLock;   // optional
//     using tAddressSpace = tMemMappedAddressSpace;
//   };
//   class tChip : public tRegisterMap<tTraits> { ... };
#pragma once

#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "registers/registerId.h"
#include "registers/registerStatus.h"
#include "registers/tRegisterMapSites.h"
#include "registers/tRegisterObjectTable.h"
#include "registers/tRegisterRow.h"

namespace nQoUdRLP100 {

template <class tTraits>
class tRegisterMap : public nQoUdR100::tModuleObject, public tRegisterObjectTable<tTraits> {
 public:
  static constexpr uint32_t kRegisterCount = tTraits::kRegisterCount;
  static constexpr uint32_t kNoOffset = nQoUdRLP100::kNoOffset;
  using tAddressSpace = typename tTraits::tAddressSpace;
  static constexpr const tRegisterMapSites& kSites = tTraits::kSites;

  tRegisterMap() = default;
  virtual ~tRegisterMap() = default;
  tRegisterMap(const tRegisterMap&) = delete;
  tRegisterMap& operator=(const tRegisterMap&) = delete;

  // Map operations on the register named by the low 25 bits of id; an index
  // beyond the map sets kBadIndex.
  void markDirty(uint32_t id, nQoMDBG100::tStatus2* status) {
    if (uint8_t* dirty = dirtyByteOf(id, status, tTraits::kSites.markDirty)) *dirty = 1;
  }
  void markClean(uint32_t id, nQoMDBG100::tStatus2* status) {
    if (uint8_t* dirty = dirtyByteOf(id, status, tTraits::kSites.markClean)) *dirty = 0;
  }
  uint32_t isDirty(uint32_t id, nQoMDBG100::tStatus2* status) {
    const uint8_t* dirty = dirtyByteOf(id, status, tTraits::kSites.isDirty);
    return dirty != nullptr ? *dirty : 0;
  }
  // Makes earlier register writes reach the chip; answers the bus's result,
  // or 0 without a bus call when the status holds an error.
  int32_t flushBus(nQoMDBG100::tStatus2* status) {
    return failed(status) ? 0 : _space.flushBus(status);
  }

  // The constant tables by register index; beyond the map: 0xFFFFFFFF and 0.
  static uint32_t windowOffset(uint32_t index) {
    return index < kRegisterCount ? tTraits::kRows[index].offset : kNoOffset;
  }
  static uint32_t accessWidth(uint32_t index) {
    return index < kRegisterCount ? tTraits::kRows[index].width : 0;
  }

  const tAddressSpace& space() const { return _space; }
  // For the register objects: their dirty byte, whose index they know is valid.
  uint8_t& dirty(uint32_t index) { return _dirty[index]; }

 protected:
  void clearDirtyTable() {
    for (auto& dirty : _dirty) dirty = 0;
  }

  tAddressSpace _space;

 private:
  uint8_t* dirtyByteOf(uint32_t id, nQoMDBG100::tStatus2* status, unsigned line) {
    if (failed(status)) return nullptr;
    const uint32_t index = registerIndex(id);
    if (index >= kRegisterCount) {
      nQoUdR100::setCode(status, nQoUdR100::kBadIndex, tTraits::kSites.at(line));
      return nullptr;
    }
    return &_dirty[index];
  }

  uint8_t _dirty[kRegisterCount] = {};
};

}  // namespace nQoUdRLP100
