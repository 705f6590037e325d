#include "supervisors/ao/tAOStreamAdapter.h"

#include <cstddef>
#include <cstring>

namespace nQoUdR100 {

namespace {

// Samples copied at a time from a byte buffer that is not 2-byte aligned.
constexpr uint32_t kAlignedChunk = 64;
constexpr uint32_t kMaxSamples = 0x7FFFFFFF;

}  // namespace

void tAOStreamAdapter::linkInterrupt(nQoUdP100::tBaseAO_FIFOPrimitive* fifo,
                                     nQoMSRL100::iOutputFIFOTransfer* fifoTransfer,
                                     nQoMSRL100::iOutputInterruptTransfer* interruptTransfer) {
  relink([&](tLinks& links) {
    links.fifo = fifo;
    links.fifoTransfer = fifoTransfer;
    links.interruptTransfer = interruptTransfer;
    links.mode = kInterrupt;
  });
}

void tAOStreamAdapter::linkDMA(nQoLMSDR100::iDMAEndpoint* dmaTransfer) {
  relink([&](tLinks& links) {
    links.dmaTransfer = dmaTransfer;
    links.mode = kDMA;
  });
}

// The transfer writes the bytes back into this adapter, a use nested in this one.
uint32_t tAOStreamAdapter::requestBytes(uint32_t byteCount, nQoMDBG100::tStatus2& status) {
  uint32_t taken = 0;
  _linked.call([&](tLinks& links) {
    if (links.interruptTransfer == nullptr) return;
    nQoMSRL100::iOutputTransferObject* object = links.interruptTransfer->getTransferObject(status);
    if (object != nullptr) taken = object->transfer(this, byteCount, status) >> 1;
  });
  return taken;
}

uint32_t tAOStreamAdapter::writeSample(nQoMDBG100::tStatus2& status, uint64_t) {
  return requestBytes(2, status);
}

uint32_t tAOStreamAdapter::writeSamples(uint32_t count, nQoMDBG100::tStatus2& status) {
  return requestBytes((count < kMaxSamples ? count : kMaxSamples) * 2, status);
}

void tAOStreamAdapter::finish(const nQoMDBG100::tStatus2& fifoStatus) {
  _linked.call([&](tLinks& links) {
    nQoMDBG100::tStatus2 dropped;
    if (links.mode == kInterrupt && links.fifoTransfer != nullptr)
      links.fifoTransfer->query(fifoStatus, dropped);
    else if (links.mode != kInterrupt && links.dmaTransfer != nullptr)
      links.dmaTransfer->transferEnded(fifoStatus, dropped);
  });
}

uint32_t tAOStreamAdapter::transferState(nQoMDBG100::tStatus2& status) {
  uint32_t state = 0;
  _linked.call([&](tLinks& links) {
    if (links.fifoTransfer != nullptr) state = links.fifoTransfer->state(status);
  });
  return state;
}

uint32_t tAOStreamAdapter::write(const unsigned char& byte, nQoMDBG100::tStatus2& status) {
  uint32_t taken = 0;
  _linked.call([&](tLinks& links) {
    const int16_t sample = byte;
    if (links.fifo != nullptr) taken = links.fifo->writeSample(&sample, status) * 2;
  });
  return taken;
}

uint32_t tAOStreamAdapter::write(const unsigned char* bytes, uint32_t count,
                                 nQoMDBG100::tStatus2& status) {
  uint32_t taken = 0;
  _linked.call([&](tLinks& links) {
    nQoUdP100::tBaseAO_FIFOPrimitive* const fifo = links.fifo;
    if (fifo == nullptr) return;
    const uint32_t samples = count >> 1;
    if (reinterpret_cast<uintptr_t>(bytes) % alignof(int16_t) == 0) {
      taken = fifo->writeSamples(reinterpret_cast<const int16_t*>(bytes), samples, status);
      return;
    }
    int16_t chunk[kAlignedChunk];
    for (uint32_t done = 0; done < samples && status.isNotFatal();) {
      const uint32_t step = samples - done < kAlignedChunk ? samples - done : kAlignedChunk;
      std::memcpy(chunk, bytes + 2 * static_cast<uint64_t>(done), std::size_t{step} * 2);
      const uint32_t wrote = fifo->writeSamples(chunk, step, status);
      taken += wrote;
      done += step;
      if (wrote < step) break;
    }
  });
  return taken * 2;
}

}  // namespace nQoUdR100
