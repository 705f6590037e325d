#include "supervisors/ao/tAOStreamAdapter.h"

#include <cstddef>
#include <cstring>

namespace nQoUdR100 {

namespace {

// Samples copied at a time from a byte buffer that is not 2-byte aligned.
constexpr uint32_t kAlignedChunk = 64;
constexpr uint32_t kMaxSamples = 0x7FFFFFFF;

}  // namespace

uint32_t tAOStreamAdapter::requestBytes(uint32_t byteCount, nQoMDBG100::tStatus2& status) {
  if (_interruptTransfer == nullptr) return 0;
  nQoMSRL100::iOutputTransferObject* object = _interruptTransfer->getTransferObject(status);
  if (object == nullptr) return 0;
  return object->transfer(this, byteCount, status) >> 1;
}

uint32_t tAOStreamAdapter::writeSample(nQoMDBG100::tStatus2& status, uint64_t) {
  return requestBytes(2, status);
}

uint32_t tAOStreamAdapter::writeSamples(uint32_t count, nQoMDBG100::tStatus2& status) {
  return requestBytes((count < kMaxSamples ? count : kMaxSamples) * 2, status);
}

void tAOStreamAdapter::finish(const nQoMDBG100::tStatus2& fifoStatus) {
  nQoMDBG100::tStatus2 dropped;
  if (_mode == kInterrupt && _fifoTransfer != nullptr)
    _fifoTransfer->query(fifoStatus, dropped);
  else if (_mode != kInterrupt && _dmaTransfer != nullptr)
    _dmaTransfer->transferEnded(fifoStatus, dropped);
}

uint32_t tAOStreamAdapter::transferState(nQoMDBG100::tStatus2& status) {
  return _fifoTransfer != nullptr ? _fifoTransfer->state(status) : 0;
}

uint32_t tAOStreamAdapter::write(const unsigned char& byte, nQoMDBG100::tStatus2& status) {
  if (_fifo == nullptr) return 0;
  const int16_t sample = byte;
  return _fifo->writeSample(&sample, status) * 2;
}

uint32_t tAOStreamAdapter::write(const unsigned char* bytes, uint32_t count,
                                 nQoMDBG100::tStatus2& status) {
  if (_fifo == nullptr) return 0;
  const uint32_t samples = count >> 1;
  if (reinterpret_cast<uintptr_t>(bytes) % alignof(int16_t) == 0)
    return _fifo->writeSamples(reinterpret_cast<const int16_t*>(bytes), samples, status) * 2;
  uint32_t taken = 0;
  int16_t chunk[kAlignedChunk];
  for (uint32_t done = 0; done < samples && status.isNotFatal();) {
    const uint32_t step = samples - done < kAlignedChunk ? samples - done : kAlignedChunk;
    std::memcpy(chunk, bytes + 2 * static_cast<uint64_t>(done), std::size_t{step} * 2);
    const uint32_t wrote = _fifo->writeSamples(chunk, step, status);
    taken += wrote;
    done += step;
    if (wrote < step) break;
  }
  return taken * 2;
}

}  // namespace nQoUdR100
