// A device that hands out one bus (or none) and counts the bus given out and
// taken back. Journalling on a simulated bus records each give-back in that
// bus's call log, so a test sees it in order with the window calls.
#pragma once

#include <cstdint>

#include "bus/iDevice.h"
#include "kal/nQoKAL.h"
#include "sim/tSimBus.h"

namespace nQoSim {

class tSimDevice : public iDevice {
 public:
  explicit tSimDevice(iBus* bus) : _bus(bus) {}

  unsigned busesGiven() const { return _given; }
  unsigned busesTaken() const { return _taken; }
  void journalOn(tSimBus* journal) { _journal = journal; }

  iBus* getBus(int*) override {
    if (_bus != nullptr) ++_given;
    return _bus;
  }
  void releaseBus(iBus** bus, uint32_t flags) override {
    if (*bus != _bus || _taken == _given)
      nQoKAL250_halt("qoplatform", "tSimDevice", 28, "bus given back that was not handed out");
    ++_taken;
    *bus = nullptr;
    if (_journal != nullptr) _journal->recordRelease(flags);
  }

 private:
  iBus* _bus;
  tSimBus* _journal = nullptr;
  unsigned _given = 0;
  unsigned _taken = 0;
};

}  // namespace nQoSim
