// The AI data FIFO of a simulated Tavik window: a test pushes 32-bit samples;
// every 32-bit read of the data register (0x1C) takes one (0 when empty), and
// the read side of the status word (0x104) shows bit 12 while the FIFO is
// empty, its other bits as scripted.
//
//   nQoSim::tSimAIFifo fifo(windows, window);
//   fifo.push({0x0001FFFF, 0x00028000});
//   fifo.setStatusBits(0x4000);          // bit 14 besides the empty bit
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <initializer_list>

#include "sim/tSimRegisterWindows.h"

namespace nQoSim {

class tSimAIFifo {
 public:
  static constexpr uint32_t kDataOffset = 0x1C;
  static constexpr uint32_t kStatusOffset = 0x104;
  static constexpr uint32_t kEmptyBit = 0x1000;

  tSimAIFifo(tSimRegisterWindows& windows, unsigned window) {
    windows.setReadCallback(window, kDataOffset, [this](unsigned width) { return take(width); });
    windows.setReadCallback(window, kStatusOffset, [this](unsigned) { return statusWord(); });
  }
  tSimAIFifo(const tSimAIFifo&) = delete;
  tSimAIFifo& operator=(const tSimAIFifo&) = delete;

  void push(uint32_t sample) { _samples.push_back(sample); }
  void push(std::initializer_list<uint32_t> samples) {
    _samples.insert(_samples.end(), samples.begin(), samples.end());
  }
  // The status word's bits other than the empty bit.
  void setStatusBits(uint32_t bits) { _statusBits = bits & ~kEmptyBit; }
  std::size_t size() const { return _samples.size(); }

 private:
  uint32_t take(unsigned width) {
    if (width != 32 || _samples.empty()) return 0;
    const uint32_t sample = _samples.front();
    _samples.pop_front();
    return sample;
  }
  uint32_t statusWord() const { return _statusBits | (_samples.empty() ? kEmptyBit : 0); }

  std::deque<uint32_t> _samples;
  uint32_t _statusBits = 0;
};

}  // namespace nQoSim
