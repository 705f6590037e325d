// The byte stream through which a platform endpoint reads the AI data FIFO:
// a read of n bytes takes n / width whole samples from the FIFO primitive.
//
//   tAIReadable readable;
//   readable.setSource(fifo, fifo->sampleWidth());   // while linked
//   uint32_t bytes = readable.read(buffer, 512, status);
//
// Without a FIFO primitive, or at width 0, it reads nothing and has nothing
// available. The endpoint reads on its own thread without a lock: a read is
// a pass that takes the source once, and setSource takes the old source out
// and waits for the reads under way before it returns or gives a new one.
#pragma once

#include <atomic>
#include <cstdint>

#include "frame/iReadable.h"
#include "frame/tModuleObject.h"
#include "frame/tPassCount.h"
#include "mdbg/tStatus2.h"
#include "primitives/ai/tBaseAIDeviceFIFOPrimitive.h"

namespace nQoUdR100 {

class tAIReadable final : public nQoMXSL100::iReadable<unsigned char>, public tModuleObject {
 public:
  uint32_t read(unsigned char&, nQoMDBG100::tStatus2&) override { return 0; }
  // Bytes stored: the samples read times the width.
  uint32_t read(unsigned char* buffer, uint32_t count, nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return 0;
    const tPassCount::tInside inside(_reads);
    nQoUdP100::tBaseAIDeviceFIFOPrimitive* const fifo = _fifo.load();
    const uint32_t width = _width.load();
    if (fifo == nullptr || width == 0) return 0;
    const uint32_t samples = count / width;
    const uint32_t read = fifo->readSamples(buffer, samples, status);
    return (read < samples ? read : samples) * width;
  }
  // One sample's bytes while the FIFO holds data, else 0.
  uint32_t available(nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return 0;
    const tPassCount::tInside inside(_reads);
    nQoUdP100::tBaseAIDeviceFIFOPrimitive* const fifo = _fifo.load();
    const uint32_t width = _width.load();
    if (fifo == nullptr || fifo->isEmpty(&status) != 0) return 0;
    return width;
  }
  void close(const nQoMDBG100::tStatus2&, nQoMDBG100::tStatus2&) override {}

  // Never at interrupt level nor with a lock that a read takes. The width is
  // stored before the FIFO, so a read that sees the FIFO sees its width.
  void setSource(nQoUdP100::tBaseAIDeviceFIFOPrimitive* fifo, uint32_t width) {
    if (_fifo.exchange(nullptr) != nullptr) _reads.waitForPasses();
    _width.store(width);
    _fifo.store(fifo);
  }
  nQoUdP100::tBaseAIDeviceFIFOPrimitive* getSource() const { return _fifo.load(); }

 private:
  std::atomic<nQoUdP100::tBaseAIDeviceFIFOPrimitive*> _fifo{nullptr};
  std::atomic<uint32_t> _width{1};
  tPassCount _reads;
};

}  // namespace nQoUdR100
