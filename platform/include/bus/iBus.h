// The bus of a device: register windows, interrupts and atomic operations.
// Operations are added here as the register code needs them.
//
//   uint64_t base = bus->getWindowAddress(4, 3, window, &status.code);
//   iBus::tMemoryMapping* mapping = bus->mapMemory(0, 0, window, 620, &status.code);
//   ... registers at mapping->base + offset ...
//   bus->unmapMemory(&mapping, &status.code);
#pragma once

#include <cstdint>

class iBus {
 public:
  // What mapMemory hands back: the first 64-bit word is the window's base
  // address; the rest belongs to the bus.
  struct tMemoryMapping {
    uint64_t base;
  };

  virtual ~iBus() = default;
  // Flushes posted writes so that earlier register writes reach the device.
  virtual int32_t flush(int* status) = 0;
  // The base address of a window that the bus has already opened.
  virtual uint64_t getWindowAddress(uint32_t mode, uint32_t kind, uint32_t window,
                                    int* status) = 0;
  // Maps length bytes of a window; null with the status set on failure.
  virtual tMemoryMapping* mapMemory(uint32_t first, uint32_t second, uint32_t window,
                                    uint32_t length, int* status) = 0;
  // Undoes mapMemory and clears the caller's pointer.
  virtual void unmapMemory(tMemoryMapping** mapping, int* status) = 0;
};
