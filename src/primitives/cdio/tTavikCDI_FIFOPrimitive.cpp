#include "primitives/cdio/tTavikCDI_FIFOPrimitive.h"

#include <algorithm>

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;

namespace {
constexpr unsigned kModeBit = 11;
constexpr unsigned kSecondaryModeBit = 9;
constexpr unsigned kReserved7Bit = 17;
}  // namespace

bool tTavikCDI_FIFOPrimitive::isReady() const {
  return _port.map() != nullptr && tBaseCDI_FIFOPrimitive::isReady();
}

uint32_t tTavikCDI_FIFOPrimitive::readSamples(void* buffer, uint32_t byteCount, tStatus2& status) {
  auto* bytes = static_cast<uint8_t*>(buffer);
  const uint32_t width = getSampleWidth();
  uint32_t stored = 0;
  while (stored < byteCount && status.isNotFatal()) {
    const uint32_t word = _port.readWord(status);
    if (status.isFatal()) break;
    // A count that ends inside a word takes the whole word and keeps its low bytes.
    const uint32_t take = std::min(width, byteCount - stored);
    for (uint32_t at = 0; at < take; ++at)
      bytes[stored + at] = static_cast<uint8_t>(word >> (8 * at));
    stored += take;
  }
  return stored;
}

uint32_t tTavikCDI_FIFOPrimitive::isBufferErrorPending(tStatus2& status) {
  return _port.statusBit(kCDIDirection.bufferErrorBit, status);
}

uint32_t tTavikCDI_FIFOPrimitive::isOverrunPending(tStatus2& status) {
  return _port.statusBit(kCDIDirection.overrunBit, status);
}

uint32_t tTavikCDI_FIFOPrimitive::isFIFOEmpty(tStatus2& status) {
  return _port.statusBit(kCDIDirection.emptyBit, status);
}

uint32_t tTavikCDI_FIFOPrimitive::reserved7(tStatus2& status) {
  return _port.statusBit(kReserved7Bit, status);
}

uint32_t tTavikCDI_FIFOPrimitive::isFIFOConditionPending(tStatus2& status) {
  return _port.statusBit(kCDIDirection.fifoBit, status);
}

void tTavikCDI_FIFOPrimitive::startFIFO(tStatus2& status) {
  _port.command(kCDIDirection.startCommand, status);
}

void tTavikCDI_FIFOPrimitive::stopFIFO(tStatus2& status) {
  _port.command(kCDIDirection.stopCommand, status);
}

void tTavikCDI_FIFOPrimitive::resetFIFO(tStatus2& status) {
  _port.command(kCDIDirection.resetCommand, status);
}

uint32_t tTavikCDI_FIFOPrimitive::getModeFlagBit(tStatus2& status) {
  if (status.isFatal()) return 1;
  return (_port.map()->CDI_Mode.getRegister() >> kModeBit) & 1;
}

void tTavikCDI_FIFOPrimitive::linkDMAChannel(uint32_t channel, tStatus2& status) {
  _port.linkDMAChannel(channel, status);
}

void tTavikCDI_FIFOPrimitive::unlinkDMAChannel(tStatus2& status) { _port.unlinkDMAChannel(status); }

void tTavikCDI_FIFOPrimitive::applyModeFlag(uint32_t flag, tStatus2& status) {
  if (flag > 1) return;
  _port.setModeBit(_port.map()->CDI_Mode, kModeBit, flag, true, status);
}

void tTavikCDI_FIFOPrimitive::applySecondaryModeFlag(uint32_t flag, tStatus2& status) {
  _port.setModeBit(_port.map()->CDI_Mode, kSecondaryModeBit, flag, false, status);
}

}  // namespace nQoUdP100
