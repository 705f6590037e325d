#include "sim/tSimTimedEngine.h"

namespace nQoSim {

namespace {

constexpr uint32_t kFeedingOffset = 0x136;
constexpr uint32_t kFeedingBit = 0x8000;
constexpr uint32_t kScanCountOffset = 0x124;
constexpr uint32_t kAODataOffset = 0xA4;
constexpr uint32_t kAOClearOffset = 0x1A8;

constexpr tSimEngineRegisters kAIRegisters{
    .command = 0x110,
    .armBits = (1u << 6) | (1u << 10),
    .disarmBit = 1u << 13,
    .strobe = 0x108,
    .startBits = (1u << 0) | (1u << 2),
    .status = 0x104,
    .endBits = (1u << 6) | (1u << 15),
    .ackBit = 1u << 6,
    .enable = 0x192,
    .ackValue = 0x100,
};

constexpr tSimEngineRegisters kAORegisters{
    .command = 0x112,
    .armBits = 1u << 6,
    .disarmBit = 1u << 13,
    .strobe = 0x10A,
    .startBits = 1u << 0,
    .status = 0x106,
    .endBits = (1u << 7) | (1u << 15),
    .ackBit = 1u << 7,
    .enable = 0x196,
    .ackValue = 0x100,
};

uint32_t maskOf(unsigned bits) { return bits >= 32 ? ~0u : (1u << bits) - 1; }

}  // namespace

tSimTimedEngine::tSimTimedEngine(tSimRegisterWindows& windows, unsigned window, tSimBus& bus,
                                 const tSimEngineRegisters& registers)
    : _windows(windows), _window(window), _bus(bus), _registers(registers) {
  windows.setWriteCallback(window, registers.command,
                           [this](unsigned, uint32_t value) { onCommand(value); });
  windows.setWriteCallback(window, registers.strobe,
                           [this](unsigned, uint32_t value) { onStrobe(value); });
  windows.setWriteCallback(window, registers.status,
                           [this](unsigned, uint32_t value) { onAck(value); });
}

void tSimTimedEngine::step() {
  if (_running && work()) end();
  const bool pending = (_statusBits & _registers.ackBit) != 0;
  const bool enabled = (_windows.written(_window, _registers.enable, 16) & 1) != 0;
  if (pending && enabled) _bus.raise(kIrq);
}

void tSimTimedEngine::onCommand(uint32_t value) {
  if ((value & _registers.disarmBit) != 0) {
    _armed = false;
    if (_running) end();
    return;
  }
  if ((value & _registers.armBits) == _registers.armBits) _armed = true;
}

void tSimTimedEngine::onStrobe(uint32_t value) {
  if (!_armed || _running || (value & _registers.startBits) == 0) return;
  _armed = false;
  _running = true;
  _ended = false;
  _statusBits = 0;
  showStatus(_statusBits);
  started();
}

void tSimTimedEngine::onAck(uint32_t value) {
  if ((value & _registers.ackValue) == 0) return;
  _statusBits &= ~_registers.ackBit;
  showStatus(_statusBits);
}

void tSimTimedEngine::showStatus(uint32_t bits) {
  _windows.setRead(_window, _registers.status, 16, bits);
}

void tSimTimedEngine::end() {
  _running = false;
  _ended = true;
  _statusBits |= _registers.endBits;
  showStatus(_statusBits);
  stopped();
}

tSimAIEngine::tSimAIEngine(tSimRegisterWindows& windows, unsigned window, tSimBus& bus,
                           unsigned sampleBits)
    : tSimTimedEngine(windows, window, bus, kAIRegisters),
      _fifo(windows, window),
      _sampleMask(maskOf(sampleBits)) {}

void tSimAIEngine::started() {
  _programmed = _windows.written(_window, kScanCountOffset, 32) + 1;
  _fed = 0;
  showFeeding(true);
}

void tSimAIEngine::stopped() { showFeeding(false); }

void tSimAIEngine::showFeeding(bool on) {
  _windows.setRead(_window, kFeedingOffset, 16, on ? kFeedingBit : 0);
}

bool tSimAIEngine::work() {
  const uint32_t limit = _holdAfter != 0 && _holdAfter < _programmed ? _holdAfter : _programmed;
  for (uint32_t n = 0; n < kScansPerStep && _fed < limit; ++n, ++_fed)
    for (uint32_t channel = 0; channel < kChannels; ++channel)
      _fifo.push((_fed * kChannels + channel) & _sampleMask);
  return _fed == _programmed;
}

tSimAOEngine::tSimAOEngine(tSimRegisterWindows& windows, unsigned window, tSimBus& bus)
    : tSimTimedEngine(windows, window, bus, kAORegisters) {
  windows.setWriteCallback(window, kAODataOffset,
                           [this](unsigned, uint32_t value) { _received.push_back(value); });
  windows.setWriteCallback(window, kAOClearOffset, [this](unsigned, uint32_t value) {
    if ((value & 1) == 0) return;
    _received.clear();
    _played = 0;
  });
}

bool tSimAOEngine::work() {
  for (; _played < _received.size(); ++_played) _generated.push_back(_received[_played]);
  return true;
}

}  // namespace nQoSim
