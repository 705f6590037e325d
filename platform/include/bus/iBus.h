// The bus of a device: register windows, interrupts and atomic operations.
// Operations are added here as the register code needs them.
//
//   uint64_t base = bus->getWindowAddress(4, 3, window, &status.code);
//   iBus::tMemoryMapping* mapping = bus->mapMemory(0, 0, window, 620, &status.code);
//   ... registers at mapping->base + offset ...
//   bus->unmapMemory(&mapping, &status.code);
//
//   uint64_t handle = bus->registerInterrupt(0x7FFFFFFF, 1, &primary, &secondary, &code);
//   bus->runAtomically(&operation, &code);   // never interleaves with primary
//   bus->unregisterInterrupt(&handle, &code);
//
//   uint32_t window = bus->openWindow(0, 0, 0, 0, &code);   // a device's register space
//   uint32_t value = bus->read32(window, 0x460, 0xC0000000, &code);
//   bus->closeWindow(&window);
//
//   uint32_t handle = bus->mapWindow(0, 0, 2, &status.code);   // 0: not mapped
//   bus->write32(handle, 0x0FC, value, 0x40000000, nullptr);
//   bus->unmapWindow(&handle);
//
//   uint32_t where = bus->location(1);   // word 1 of the device's place on the bus
//
//   iBus::iDMAChannel* channel = bus->reserveDMAChannel(0xFFFFFFFF, 0xFFFFFFFE, &code);
//   bus->releaseDMAChannel(&channel, &code);
#pragma once

#include <cstdint>

#include "bus/iBusAtomicOperation.h"
#include "bus/iBusInterruptResolver.h"

class iBus {
 public:
  // A DMA channel the bus handed out.
  class iDMAChannel {
   public:
    virtual ~iDMAChannel() = default;
    virtual uint32_t number() = 0;
  };

  // What mapMemory hands back: the first 64-bit word is the window's base
  // address; the rest belongs to the bus.
  struct tMemoryMapping {
    uint64_t base;
  };
  // Where findWindow locates a window: what openWindow with mode 1 takes.
  struct tWindowLocation {
    uint32_t space;
    uint32_t offset;
    uint32_t length;
    uint32_t reserved[3];
  };

  virtual ~iBus() = default;
  // Flushes posted writes so that earlier register writes reach the device.
  virtual int32_t flush(int* status) = 0;
  // The base address of a window that the bus has already opened.
  virtual uint64_t getWindowAddress(uint32_t mode, uint32_t kind, uint32_t window, int* status) = 0;
  // Maps length bytes of a window; null with the status set on failure.
  virtual tMemoryMapping* mapMemory(uint32_t first, uint32_t second, uint32_t window,
                                    uint32_t length, int* status) = 0;
  // Undoes mapMemory and clears the caller's pointer.
  virtual void unmapMemory(tMemoryMapping** mapping, int* status) = 0;

  // Registers the two passes of interrupt irq (affinity 0x7FFFFFFF: any
  // processor); a non-zero handle, or 0 with the status set.
  virtual uint64_t registerInterrupt(uint32_t affinity, uint32_t irq,
                                     iBusInterruptResolver* primary,
                                     iBusInterruptResolver* secondary, int* status) = 0;
  // Clears the handle; returns only when none of its resolvers runs.
  virtual void unregisterInterrupt(uint64_t* handle, int* status) = 0;
  // Calls operateAtomically once, never while a primary pass of the bus runs
  // (also from inside one), and stores its answer in the status code.
  virtual void runAtomically(iBusAtomicOperation* operation, int* status) = 0;
  // Opens a window: mode 0 with zeros the device's register space, mode 1 a
  // window that findWindow located. Its number, or 0 when none opened.
  virtual uint32_t openWindow(uint32_t mode, uint32_t space, uint32_t offset, uint32_t length,
                              int* status) = 0;
  // Closes a window that openWindow opened and clears the caller's number.
  virtual void closeWindow(uint32_t* window) = 0;
  // A window on part of a chip's space; 0 when none opened.
  virtual uint32_t openSubWindow(uint32_t space, uint32_t kind, uint32_t offset, int* status) = 0;
  virtual void releaseSubWindow(uint32_t window) = 0;
  // Locates the window named by a four-character code; *size gives the size
  // of the caller's location record.
  virtual void findWindow(uint32_t code, uint32_t* size, tWindowLocation* location,
                          int* status) = 0;
  // Maps a register window named by three parameters and answers its handle;
  // 0 (never a usable handle) with the status set on failure.
  virtual uint32_t mapWindow(uint32_t p1, uint32_t p2, uint32_t p3, int* status) = 0;
  // Undoes mapWindow and clears the caller's handle.
  virtual void unmapWindow(uint32_t* window) = 0;
  // One 32-bit register access at a byte offset in a window that openWindow,
  // openSubWindow or mapWindow answered, done when the call returns; the flags
  // (0xC0000000 for reads, 0x40000000 for writes) pass through unchanged.
  virtual uint32_t read32(uint32_t window, uint32_t offset, uint32_t flags, int* status) = 0;
  virtual void write32(uint32_t window, uint32_t offset, uint32_t value, uint32_t flags,
                       int* status) = 0;
  // The same at 8 and 16 bits.
  virtual uint32_t read8(uint32_t window, uint32_t offset, uint32_t flags, int* status) = 0;
  virtual uint32_t read16(uint32_t window, uint32_t offset, uint32_t flags, int* status) = 0;
  virtual void write8(uint32_t window, uint32_t offset, uint32_t value, uint32_t flags,
                      int* status) = 0;
  virtual void write16(uint32_t window, uint32_t offset, uint32_t value, uint32_t flags,
                       int* status) = 0;
  // Word index (0 to 2) of the device's location on the bus; 0 past them.
  virtual uint32_t location(uint32_t index) = 0;
  // Reserves a DMA channel of the device (null with the status set when none
  // is free); releaseDMAChannel gives it back and clears the caller's pointer.
  virtual iDMAChannel* reserveDMAChannel(uint32_t first, uint32_t second, int* status) = 0;
  virtual void releaseDMAChannel(iDMAChannel** channel, int* status) = 0;
};
