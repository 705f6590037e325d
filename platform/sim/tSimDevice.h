// A device that hands out one bus (or none), counts the bus given out and
// taken back, and answers queries with a scripted value. Journalling on a
// simulated bus records each give-back in that bus's call log, so a test sees
// it in order with the window calls.
#pragma once

#include <cstdint>
#include <vector>

#include "bus/iDevice.h"
#include "kal/nQoKAL.h"
#include "sim/tSimBus.h"

namespace nQoSim {

class tSimDevice : public iDevice {
 public:
  explicit tSimDevice(iBus* bus) : _bus(bus) {}

  unsigned busesGiven() const { return _given; }
  unsigned busesTaken() const { return _taken; }
  void answerQuery(uint32_t value) { _queryAnswer = value; }
  // The items asked for, in order.
  const std::vector<uint32_t>& queries() const { return _queries; }
  void clearQueries() { _queries.clear(); }
  void journalOn(tSimBus* journal) { _journal = journal; }

  iBus* getBus(int*) override {
    if (_bus != nullptr) ++_given;
    return _bus;
  }
  void releaseBus(iBus** bus, uint32_t flags) override {
    if (*bus != _bus || _taken == _given)
      nQoKAL250_halt("qoplatform", "tSimDevice", 33, "bus given back that was not handed out");
    ++_taken;
    *bus = nullptr;
    if (_journal != nullptr) _journal->recordRelease(flags);
  }
  uint32_t query(uint32_t item, int*) override {
    _queries.push_back(item);
    return _queryAnswer;
  }

 private:
  iBus* _bus;
  tSimBus* _journal = nullptr;
  unsigned _given = 0;
  unsigned _taken = 0;
  uint32_t _queryAnswer = 0;
  std::vector<uint32_t> _queries;
};

}  // namespace nQoSim
