// The frame of a VESK register map: its window, over a bus or found through the
// device tree, and the set-up that hands the window to the registers and loads
// their soft copies, in catalogue order. A map is a catalogue, its traits and a
// registers struct:
//
//   #define QO_CHIP_REGISTERS(R)
//     R(0, Chip_Command, 0x00, kStrobe, kNone, kKeepAll)
//     R(1, Chip_Control, 0x04, kWrite, kLoad, 0x3CF0FFFF)
//   inline constexpr std::array<tRegisterRow, 2> kChipRows{{QO_CHIP_REGISTERS(QO_VESK_ROW)}};
//   inline constexpr char kChipFile[] = "qomiorlp/tChip";
//   struct tChipTraits : tVESKSites<kChipFile> {
//     static constexpr const tRegisterRow* kRows = kChipRows.data();
//     static constexpr uint32_t kWindowLength = 0x84;
//   };
//   struct tChipRegisters {
//     using tTraits = tChipTraits;
//     QO_CHIP_REGISTERS(QO_VESK_DECLARE)
//     template <class tVisit> void forEach(tVisit visit) { QO_CHIP_REGISTERS(QO_VESK_VISIT) }
//   };
//   class tChip final : public tVESKMap<tChipTraits, tChipRegisters> {
//     using tVESKMap::tVESKMap;
//   };
//
// R(index, name, offset, kind, restore, keep): kind kWrite (read and written),
// kRead (read only) or kStrobe (command, no soft copy); restore kLoad (read at
// set-up), kZero or kForget (0 at set-up) or kNone; keep the bits of the soft
// copy that survive a write.
#pragma once

#include <cstdint>
#include <type_traits>

#include "bus/iBus.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "registers/registerStatus.h"
#include "registers/tMemMappedAddressSpace.h"
#include "registers/tRegisterRow.h"
#include "vesk/tVESKCommandRegister.h"
#include "vesk/tVESKRegister.h"

#define QO_VESK_ROW(index, name, offset, kind, restore, keep) \
  {index, offset, 32, tRegisterKind::kind, 0, tRestore::restore, keep, index},
#define QO_VESK_DECLARE(index, name, ...)                                    \
  struct t##name final : ::nQoUdRLP100::tVESKRegisterFor<tTraits, index> {}; \
  t##name name;
#define QO_VESK_VISIT(index, name, ...) visit(name);

namespace nQoUdRLP100 {

// Where a VESK map whose source file is kFile reports: kNoDeviceBus for a null
// bus (line 31) and for a device-tree form that finds no device or bus (48, the
// four-word form 74); kOutOfMemory for a window that cannot be mapped.
template <const char* kFile>
struct tVESKSites {
  static constexpr nQoUdR100::tStatusSite kNoBus{kFile, 31};
  static constexpr nQoUdR100::tStatusSite kNoMapping{"regmapsupport/tMemMappedAddressSpace", 68};
  static constexpr tMemMappedAddressSpace::tDeviceTreeSites kShortFormSites{
      {kFile, 48}, {kFile, 48}, kNoMapping};
  static constexpr tMemMappedAddressSpace::tDeviceTreeSites kLongFormSites{
      {kFile, 74}, {kFile, 74}, kNoMapping};
};

template <class tTraits, uint32_t kIndex>
using tVESKRegisterFor =
    std::conditional_t<tTraits::kRows[kIndex].kind == tRegisterKind::kStrobe,
                       tVESKCommandRegister<tTraits, kIndex>, tVESKRegister<tTraits, kIndex>>;

template <class tTraits, class tRegisters>
class tVESKMap : public nQoUdR100::tModuleObject, public tRegisters {
 public:
  // Over a bus that has opened the window (window address 4, 3, window); a
  // null bus sets kNoDeviceBus.
  tVESKMap(iBus* bus, uint32_t window, nQoMDBG100::tStatus2* status) {
    if (_space.openOverBus(bus, window, tTraits::kNoBus, status)) setUp(status);
  }
  // From the device tree: finds the device and its bus and maps the window
  // itself (the short form passes 0 and 0 as the mapping words); no device
  // tree, no device or no bus sets kNoDeviceBus, no mapping kOutOfMemory.
  tVESKMap(uint32_t device, uint32_t window, nQoMDBG100::tStatus2* status) {
    if (_space.openFromDeviceTree(device, 0, 0, window, tTraits::kWindowLength,
                                  tTraits::kShortFormSites, status))
      setUp(status);
  }
  tVESKMap(uint32_t device, uint32_t first, uint32_t second, uint32_t window,
           nQoMDBG100::tStatus2* status) {
    if (_space.openFromDeviceTree(device, first, second, window, tTraits::kWindowLength,
                                  tTraits::kLongFormSites, status))
      setUp(status);
  }
  // Unmaps and gives back the bus when the map took them (the window's own
  // destructor).
  virtual ~tVESKMap() = default;
  tVESKMap(const tVESKMap&) = delete;
  tVESKMap& operator=(const tVESKMap&) = delete;

  const tMemMappedAddressSpace& space() const { return _space; }

 private:
  // Nothing when the window could not be opened: the registers then stay
  // without window and touch nothing.
  void setUp(nQoMDBG100::tStatus2* status) {
    if (failed(status)) return;
    this->forEach([&](auto& object) { object.install(&_space); });
    this->forEach([&](auto& object) { object.load(status); });
  }

  tMemMappedAddressSpace _space;
};

}  // namespace nQoUdRLP100
