// A device found in the device tree: hands out and takes back its bus, and
// answers queries.
#pragma once

#include <cstdint>

class iBus;

class iDevice {
 public:
  virtual ~iDevice() = default;
  // The device's bus, or null with the status set.
  virtual iBus* getBus(int* status) = 0;
  // Gives the bus back and clears the caller's pointer.
  virtual void releaseBus(iBus** bus, uint32_t flags) = 0;
  // An information word of the device (item 0: the one the board keeps).
  virtual uint32_t query(uint32_t item, int* status) = 0;
};
