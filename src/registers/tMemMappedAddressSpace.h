// The register window of a map: the bus it came from, the device and mapping
// when the map found them itself, and the base address every register offset is
// added to. Reads and writes are single kernel-layer accesses at base + offset.
//
//   tMemMappedAddressSpace space;
//   space.openOverBus(bus, window, {"tThing", 40}, status);  // base from the bus
//   space.write<16>(0x10A, 0x3C0E);
//   space.close();   // unmaps and gives the bus back when the map owns them
#pragma once

#include <cstdint>

#include "bus/iBus.h"
#include "bus/iDevice.h"
#include "frame/tStatusSite.h"
#include "kal/nQoKAL.h"
#include "mdbg/tStatus2.h"
#include "registers/takeDeviceBus.h"

namespace nQoUdRLP100 {

class tMemMappedAddressSpace {
 public:
  // Where opening from the device tree reports: no device tree or no device
  // (a null file: stop without a code of its own), no bus, no mapping.
  using tDeviceTreeSites = nQoUdRLP100::tDeviceTreeSites;

  tMemMappedAddressSpace() = default;
  ~tMemMappedAddressSpace() { close(); }
  tMemMappedAddressSpace(const tMemMappedAddressSpace&) = delete;
  tMemMappedAddressSpace& operator=(const tMemMappedAddressSpace&) = delete;

  // Takes the base of a window the bus has opened (window address 4, 3,
  // window). A null bus sets kNoDeviceBus at noBus and answers false.
  bool openOverBus(iBus* bus, uint32_t window, const nQoUdR100::tStatusSite& noBus,
                   nQoMDBG100::tStatus2* status);
  // Finds the device and its bus, maps length bytes of the window and takes
  // the mapping's base; kOutOfMemory at noMapping when the bus maps nothing.
  // Answers true only when the window is mapped (false also without a status,
  // so no register is ever handed base 0).
  bool openFromDeviceTree(uint32_t device, uint32_t first, uint32_t second, uint32_t window,
                          uint32_t length, const tDeviceTreeSites& sites,
                          nQoMDBG100::tStatus2* status);
  // Unmaps the window and gives the bus back, when this space took them.
  void close();

  // The bus's flush of posted writes, with its answer.
  int32_t flushBus(nQoMDBG100::tStatus2* status) const;

  template <unsigned kWidth>
  uint32_t read(uint32_t offset) const {
    static_assert(kWidth == 8 || kWidth == 16 || kWidth == 32);
    const uintptr_t address = static_cast<uintptr_t>(_base + offset);
    if constexpr (kWidth == 8)
      return nQoKAL100_memoryRead8(address);
    else if constexpr (kWidth == 16)
      return nQoKAL100_memoryRead16(address);
    else
      return nQoKAL100_memoryRead32(address);
  }

  template <unsigned kWidth>
  void write(uint32_t offset, uint32_t value) const {
    static_assert(kWidth == 8 || kWidth == 16 || kWidth == 32);
    const uintptr_t address = static_cast<uintptr_t>(_base + offset);
    if constexpr (kWidth == 8)
      nQoKAL100_memoryWrite8(address, static_cast<uint8_t>(value));
    else if constexpr (kWidth == 16)
      nQoKAL100_memoryWrite16(address, static_cast<uint16_t>(value));
    else
      nQoKAL100_memoryWrite32(address, value);
  }

  iBus* bus() const { return _bus; }
  iDevice* device() const { return _device; }
  const iBus::tMemoryMapping* mapping() const { return _mapping; }
  uint64_t base() const { return _base; }
  uint32_t ownsMapping() const { return _ownsMapping; }

 private:
  iBus* _bus = nullptr;
  iDevice* _device = nullptr;
  iBus* _mappingBus = nullptr;
  iBus::tMemoryMapping* _mapping = nullptr;
  uint64_t _base = 0;
  uint32_t _ownsMapping = 0;
};

}  // namespace nQoUdRLP100
