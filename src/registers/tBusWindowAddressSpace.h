// The register window of a map reached through a bus window handle: the bus,
// the device and the mapping when the map found them itself, and single 32-bit
// accesses through the bus (writes with flags 0x40000000, reads with
// 0xC0000000). A window that could not be opened is not usable: the map does
// not set up its registers over it.
//
//   tBusWindowAddressSpace space;
//   space.openFromDeviceTree(device, 0, 0, 2, sites, status);   // mapWindow(0, 0, 2)
//   space.write<32>(0x0FC, 0x5);
//   space.close();   // unmapWindow, then the bus back, when the map took them
#pragma once

#include <cstdint>

#include "bus/iBus.h"
#include "bus/iDevice.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "registers/tReg32IODirect32.h"
#include "registers/takeDeviceBus.h"

namespace nQoUdRLP100 {

class tBusWindowAddressSpace {
 public:
  static constexpr uint32_t kReadFlags = 0xC0000000;

  tBusWindowAddressSpace() = default;
  ~tBusWindowAddressSpace() { close(); }
  tBusWindowAddressSpace(const tBusWindowAddressSpace&) = delete;
  tBusWindowAddressSpace& operator=(const tBusWindowAddressSpace&) = delete;

  // Takes a bus and a window handle the caller opened; a null bus sets
  // kNoDeviceBus at noBus and answers false.
  bool openOverBus(iBus* bus, uint32_t window, const nQoUdR100::tStatusSite& noBus,
                   nQoMDBG100::tStatus2* status);
  // Finds the device and its bus and maps the window (p1, p2, p3). A mapping
  // that answers no handle, or an error, sets kNoDeviceBus at noMapping; it is
  // not unmapped, but the bus is still given back. Answers whether the window
  // is usable.
  bool openFromDeviceTree(uint32_t device, uint32_t p1, uint32_t p2, uint32_t p3,
                          const tDeviceTreeSites& sites, nQoMDBG100::tStatus2* status);
  // Unmaps the window (when mapped) and gives the bus back, when this space
  // took them from the device tree.
  void close();

  // The bus's flush of posted writes, with its answer.
  int32_t flushBus(nQoMDBG100::tStatus2* status) const;

  template <unsigned kWidth>
  uint32_t read(uint32_t offset) const {
    static_assert(kWidth == 32, "bus windows are reached by 32-bit accesses");
    return _bus->read32(_window, offset, kReadFlags, nullptr);
  }

  template <unsigned kWidth>
  void write(uint32_t offset, uint32_t value) const {
    static_assert(kWidth == 32, "bus windows are reached by 32-bit accesses");
    tReg32IODirect32::write(_bus, _window, offset, value, nullptr);
  }

  // A bus handed in, or a bus and a window mapped from the device tree.
  bool isOpen() const { return _bus != nullptr && (_attached == 0 || _mapped); }

  iBus* bus() const { return _bus; }
  iDevice* device() const { return _device; }
  uint32_t window() const { return _window; }
  uint32_t attached() const { return _attached; }

 private:
  iBus* _bus = nullptr;
  iDevice* _device = nullptr;
  uint32_t _window = 0;
  uint32_t _attached = 0;  // bus and window taken from the device tree
  bool _mapped = false;
};

}  // namespace nQoUdRLP100
