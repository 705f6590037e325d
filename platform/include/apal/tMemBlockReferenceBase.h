// A block of memory that a device can reach by DMA: its kernel pointer, its
// physical address, and a mapping into a client's address space.
//
//   tMemBlockReferenceBase block;
//   uint8_t* bytes = static_cast<uint8_t*>(block.allocate(79, 16, &status));
//   uint64_t physical = block.physicalAddress();
//   uint64_t client = block.mapMemoryToUserMode(&status);
//   block.unmapMemoryFromUserMode(client, &status);
//   block.free();                              // also by the destructor
#pragma once

#include <cstdint>

class tMemBlockReferenceBase {
 public:
  tMemBlockReferenceBase() = default;
  ~tMemBlockReferenceBase() { free(); }
  tMemBlockReferenceBase(const tMemBlockReferenceBase&) = delete;
  tMemBlockReferenceBase& operator=(const tMemBlockReferenceBase&) = delete;

  // Frees the block held, then allocates size bytes at an address that is a
  // multiple of align; null with -50352 in the status on failure.
  void* allocate(uint32_t size, uint32_t align, int* status);
  void free();
  void* pointer() const { return _pointer; }
  uint32_t size() const { return _size; }
  uint64_t physicalAddress() const { return _physical; }
  // The block's address in the client's space (0 with the status set).
  uint64_t mapMemoryToUserMode(int* status);
  void unmapMemoryFromUserMode(uint64_t address, int* status);

 private:
  void* _block = nullptr;
  void* _pointer = nullptr;
  uint32_t _size = 0;
  uint64_t _physical = 0;
};
