// A device that hands out one bus (or none) and counts the bus given out and
// taken back.
#pragma once

#include <cstdint>

#include "bus/iDevice.h"
#include "kal/nQoKAL.h"

namespace nQoSim {

class tSimDevice : public iDevice {
 public:
  explicit tSimDevice(iBus* bus) : _bus(bus) {}

  unsigned busesGiven() const { return _given; }
  unsigned busesTaken() const { return _taken; }

  iBus* getBus(int*) override {
    if (_bus != nullptr) ++_given;
    return _bus;
  }
  void releaseBus(iBus** bus, uint32_t) override {
    if (*bus != _bus || _taken == _given)
      nQoKAL250_halt("qoplatform", "tSimDevice", 28, "bus given back that was not handed out");
    ++_taken;
    *bus = nullptr;
  }

 private:
  iBus* _bus;
  unsigned _given = 0;
  unsigned _taken = 0;
};

}  // namespace nQoSim
