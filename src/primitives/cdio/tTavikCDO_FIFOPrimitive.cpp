#include "primitives/cdio/tTavikCDO_FIFOPrimitive.h"

#include <algorithm>

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;

namespace {
constexpr unsigned kModeBit = 11;
constexpr unsigned kSecondaryModeBit = 9;
constexpr unsigned kTransferModeBit = 8;
constexpr unsigned kFullBit = 1;
constexpr uint32_t kStepCommand = 0x80000;
constexpr uint32_t kAcknowledgeCommand = 0x4000;
}  // namespace

bool tTavikCDO_FIFOPrimitive::isReady() const {
  return _port.map() != nullptr && tBaseCDO_FIFOPrimitive::isReady();
}

uint32_t tTavikCDO_FIFOPrimitive::writeSample(const uint32_t* word, tStatus2& status) {
  if (status.isFatal()) return 0;
  _port.writeWord(*word, status);
  return getSampleWidth();
}

uint32_t tTavikCDO_FIFOPrimitive::writeSamples(const void* buffer, uint32_t byteCount,
                                               tStatus2& status) {
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  const uint32_t width = getSampleWidth();
  uint32_t consumed = 0;
  while (consumed < byteCount && status.isNotFatal()) {
    // A count that ends inside a word gives a word whose missing high bytes are 0.
    const uint32_t give = std::min(width, byteCount - consumed);
    uint32_t word = 0;
    for (uint32_t at = 0; at < give; ++at) word |= uint32_t{bytes[consumed + at]} << (8 * at);
    _port.writeWord(word, status);
    if (status.isFatal()) break;
    consumed += give;
  }
  return consumed;
}

uint32_t tTavikCDO_FIFOPrimitive::isBufferErrorPending(tStatus2& status) {
  return _port.statusBit(kCDODirection.bufferErrorBit, status);
}

uint32_t tTavikCDO_FIFOPrimitive::isOverrunPending(tStatus2& status) {
  return _port.statusBit(kCDODirection.overrunBit, status);
}

uint32_t tTavikCDO_FIFOPrimitive::isFIFOEmpty(tStatus2& status) {
  return _port.statusBit(kCDODirection.emptyBit, status);
}

uint32_t tTavikCDO_FIFOPrimitive::isFIFOFull(tStatus2& status) {
  return _port.statusBit(kFullBit, status);
}

uint32_t tTavikCDO_FIFOPrimitive::isFIFOConditionPending(tStatus2& status) {
  return _port.statusBit(kCDODirection.fifoBit, status);
}

void tTavikCDO_FIFOPrimitive::startFIFO(tStatus2& status) {
  _port.command(kCDODirection.startCommand, status);
}

void tTavikCDO_FIFOPrimitive::stopFIFO(tStatus2& status) {
  _port.command(kCDODirection.stopCommand, status);
}

void tTavikCDO_FIFOPrimitive::resetFIFO(tStatus2& status) {
  _port.command(kCDODirection.resetCommand, status);
}

void tTavikCDO_FIFOPrimitive::stepFIFO(tStatus2& status) { _port.command(kStepCommand, status); }

void tTavikCDO_FIFOPrimitive::acknowledgeError(tStatus2& status) {
  _port.command(kAcknowledgeCommand, status);
}

void tTavikCDO_FIFOPrimitive::linkDMAChannel(uint32_t channel, tStatus2& status) {
  _port.linkDMAChannel(channel, status);
}

void tTavikCDO_FIFOPrimitive::unlinkDMAChannel(tStatus2& status) { _port.unlinkDMAChannel(status); }

void tTavikCDO_FIFOPrimitive::applyModeFlag(uint32_t flag, tStatus2& status) {
  if (flag != kModeFlagSet && flag != kModeFlagClear) return;
  _port.setModeBit(_port.map()->CDO_Mode, kModeBit, flag == kModeFlagSet ? 1 : 0, false, status);
}

void tTavikCDO_FIFOPrimitive::applyTransferModeFlag(uint32_t flag, tStatus2& status) {
  _port.setModeBit(_port.map()->CDO_Mode, kTransferModeBit, flag, false, status);
}

void tTavikCDO_FIFOPrimitive::applySecondaryModeFlag(uint32_t flag, tStatus2& status) {
  _port.setModeBit(_port.map()->CDO_Mode, kSecondaryModeBit, flag, false, status);
}

uint32_t tTavikCDO_FIFOPrimitive::getModeFlag(tStatus2& status) {
  if (status.isFatal()) return kModeFlagSet;
  return ((_port.map()->CDO_Mode.getRegister() >> kModeBit) & 1) != 0 ? kModeFlagSet
                                                                      : kModeFlagClear;
}

}  // namespace nQoUdP100
