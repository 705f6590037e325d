// The byte stream through which a platform endpoint reads the AI data FIFO:
// a read of n bytes takes n / width whole samples from the FIFO primitive.
//
//   tAIReadable readable;
//   readable.setSource(fifo, fifo->sampleWidth());   // while linked
//   uint32_t bytes = readable.read(buffer, 512, status);
//
// Without a FIFO primitive, or at width 0, it reads nothing and has nothing
// available. The endpoint reads on its own thread: a new source is given
// only while no endpoint holds the readable (the endpoint's setReadable
// returns once a read under way has left).
#pragma once

#include <cstdint>

#include "frame/iReadable.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "primitives/ai/tBaseAIDeviceFIFOPrimitive.h"

namespace nQoUdR100 {

class tAIReadable final : public nQoMXSL100::iReadable<unsigned char>, public tModuleObject {
 public:
  uint32_t read(unsigned char&, nQoMDBG100::tStatus2&) override { return 0; }
  // Bytes stored: the samples read times the width.
  uint32_t read(unsigned char* buffer, uint32_t count, nQoMDBG100::tStatus2& status) override {
    if (status.isFatal() || _fifo == nullptr || _width == 0) return 0;
    const uint32_t samples = count / _width;
    const uint32_t read = _fifo->readSamples(buffer, samples, status);
    return (read < samples ? read : samples) * _width;
  }
  // One sample's bytes while the FIFO holds data, else 0.
  uint32_t available(nQoMDBG100::tStatus2& status) override {
    if (status.isFatal() || _fifo == nullptr || _fifo->isEmpty(&status) != 0) return 0;
    return _width;
  }
  void close(const nQoMDBG100::tStatus2&, nQoMDBG100::tStatus2&) override {}

  void setSource(nQoUdP100::tBaseAIDeviceFIFOPrimitive* fifo, uint32_t width) {
    _fifo = fifo;
    _width = width;
  }
  nQoUdP100::tBaseAIDeviceFIFOPrimitive* getSource() const { return _fifo; }

 private:
  nQoUdP100::tBaseAIDeviceFIFOPrimitive* _fifo = nullptr;
  uint32_t _width = 1;
};

}  // namespace nQoUdR100
