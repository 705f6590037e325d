#include "sim/tSimCDIOFIFOs.h"

namespace nQoSim {

namespace {
constexpr uint32_t kData = 0x220;
constexpr uint32_t kStatus = 0x224;
constexpr uint32_t kInputEmpty = 1u << 16;
constexpr uint32_t kOutputEmpty = 1u << 0;
constexpr uint32_t kOutputFull = 1u << 1;
constexpr uint32_t kStep = 0x80000;
constexpr uint32_t kOutputReset = 0x10;
constexpr uint32_t kInputStart = 0x8, kInputStop = 0x4;
constexpr uint32_t kOutputStart = 0x2, kOutputStop = 0x1;
}  // namespace

tSimCDIOFIFOs::tSimCDIOFIFOs(tSimRegisterWindows& windows, unsigned window)
    : _windows(windows), _window(window) {
  _windows.setReadCallback(window, kStatus, [this](unsigned) { return readStatus(); });
  _windows.setReadCallback(window, kData, [this](unsigned) { return readData(); });
  _windows.setWriteCallback(window, kData, [this](unsigned, uint32_t word) { writeData(word); });
  _windows.setWriteCallback(window, kStatus, [this](unsigned, uint32_t value) { command(value); });
}

tSimCDIOFIFOs::~tSimCDIOFIFOs() {
  _windows.setReadCallback(_window, kStatus, nullptr);
  _windows.setReadCallback(_window, kData, nullptr);
  _windows.setWriteCallback(_window, kData, nullptr);
  _windows.setWriteCallback(_window, kStatus, nullptr);
}

void tSimCDIOFIFOs::pushInput(const std::vector<uint32_t>& words) {
  _windows.underLock([&] { _input.insert(_input.end(), words.begin(), words.end()); });
}

void tSimCDIOFIFOs::scriptStatus(const std::vector<uint32_t>& values) {
  _windows.underLock([&] { _scripted.insert(_scripted.end(), values.begin(), values.end()); });
}

uint32_t tSimCDIOFIFOs::status() const {
  return _windows.underLock([&] {
    uint32_t bits = _inputBits | _outputBits;
    if (_input.empty()) bits |= kInputEmpty;
    if (_output.empty()) bits |= kOutputEmpty;
    if (_depth != 0 && _output.size() >= _depth) bits |= kOutputFull;
    return bits;
  });
}

uint32_t tSimCDIOFIFOs::readStatus() {
  if (_statusHook) _statusHook();
  if (_scripted.empty()) return status();
  const uint32_t value = _scripted.front();
  _scripted.pop_front();
  return value;
}

uint32_t tSimCDIOFIFOs::readData() {
  if (_inputHook) _inputHook(_inputReads);
  ++_inputReads;
  if (_input.empty()) return 0;
  const uint32_t word = _input.front();
  _input.pop_front();
  return word;
}

void tSimCDIOFIFOs::writeData(uint32_t word) {
  if (_output.size() < _depth) _output.push_back(word);
}

void tSimCDIOFIFOs::stepOutput() {
  _windows.underLock([&] {
    if (_output.empty()) return;
    _lines.push_back(_output.front());
    _output.pop_front();
  });
}

void tSimCDIOFIFOs::command(uint32_t value) {
  if ((value & kInputStart) != 0) _inputStarted = true;
  if ((value & kInputStop) != 0) _inputStarted = false;
  if ((value & kOutputStart) != 0) _outputStarted = true;
  if ((value & kOutputStop) != 0) _outputStarted = false;
  if ((value & kStep) != 0) stepOutput();
  if ((value & kOutputReset) != 0) _output.clear();
}

}  // namespace nQoSim
