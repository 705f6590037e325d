// A device found in the device tree: hands out and takes back its bus.
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
};
