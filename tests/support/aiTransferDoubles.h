// Doubles of the AI transfer path: a data FIFO that serves scripted bytes,
// a DMA endpoint and an interrupt-transfer endpoint that read through the
// stream they are handed, and the partners that hand those endpoints out.
// Every call is logged in the shared tCallLog.
#pragma once

#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "frame/iReadable.h"
#include "mrl/iDMAChannelSupervisor.h"
#include "mrl/iDMATransferSupervisor.h"
#include "mrl/iInterruptTransferSupervisor.h"
#include "primitives/ai/tBaseAIDeviceFIFOPrimitive.h"
#include "support/reservationDoubles.h"

namespace nQoTest {

// Samples are the bytes of `data`, width() bytes each; readSamples delivers
// at most `deliver` samples (all asked for when 0) and logs the count asked.
// The four state operations are logged too.
class tBytesFIFO : public nQoUdP100::tBaseAIDeviceFIFOPrimitive, public tScriptedDouble {
 public:
  tBytesFIFO(tCallLog& log, const nQoUdP100::tAIFIFODescription* description, tStatus2& status)
      : tBaseAIDeviceFIFOPrimitive(description, status), tScriptedDouble(log, "fifo") {}
  uint32_t readSamples(void* buffer, uint32_t count, tStatus2& s) override {
    answer("readSamples " + std::to_string(count), s);
    uint32_t samples = (static_cast<uint32_t>(data.size()) - taken) / sampleWidth();
    if (samples > count) samples = count;
    if (deliver != 0 && samples > deliver) samples = deliver;
    std::memcpy(buffer, data.data() + taken, samples * sampleWidth());
    taken += samples * sampleWidth();
    return samples;
  }
  uint32_t isEmpty(tStatus2*) override { return taken + sampleWidth() > data.size() ? 1 : 0; }
  uint32_t getFIFOMode() const override { return 0; }
  void commit(tStatus2& s) override { answer("commit", s); }
  void arm(tStatus2& s) override { answer("arm", s); }
  void disarm(tStatus2& s) override { answer("disarm", s); }
  void uncommit(tStatus2& s) override { answer("uncommit", s); }
  void setFIFOMode(int32_t, tStatus2&, bool) override {}
  void setThreshold(uint32_t, tStatus2&, bool) override {}
  uint32_t readStatusBit10(tStatus2*) override { return 0; }
  uint32_t readStatusBit14(tStatus2*) override { return 0; }
  uint32_t readStatusBit13(tStatus2*) override { return 0; }
  void enableFIFOInterrupt(tStatus2&) override {}
  void disableFIFOInterrupt(tStatus2*) override {}
  uint32_t readSample(void*, tStatus2&) override { return 0; }
  void clearFIFO(tStatus2*) override {}
  void programFIFOMode(tStatus2*) override {}
  void enableOverflowInterrupt(tStatus2&) override {}
  void disableOverflowInterrupt(tStatus2*) override {}

  std::vector<uint8_t> data;
  uint32_t taken = 0;
  uint32_t deliver = 0;
};

// Keeps the stream it is handed ("setReadable" or "setReadable null"); as
// the platform's endpoint, it reads through it on the caller's thread and
// takes it away only once a read under way has left.
class tReadingDMAEndpoint : public nQoLMSDR100::iDMAEndpoint, public tScriptedDouble {
 public:
  using tScriptedDouble::tScriptedDouble;
  void setReadable(nQoMXSL100::iReadable<unsigned char>* r, tStatus2& s) override {
    const std::lock_guard<std::mutex> lock(_reading);
    answer(r != nullptr ? "setReadable" : "setReadable null", s);
    readable = r;
  }
  uint32_t read(uint8_t* bytes, uint32_t count, tStatus2& s) {
    const std::lock_guard<std::mutex> lock(_reading);
    return readable != nullptr ? readable->read(bytes, count, s) : 0;
  }
  nQoMXSL100::iReadable<unsigned char>* readable = nullptr;

 private:
  std::mutex _reading;
};

class tReadingDMATransfer : public tScriptedPartner<nQoLMSDR100::iDMATransferSupervisor> {
 public:
  tReadingDMATransfer(tCallLog& log, const std::string& name)
      : tScriptedPartner(log, name), endpoint(log, "endpoint") {}
  nQoLMSDR100::iDMAEndpoint* getEndpoint(tStatus2& s) override {
    answer("getEndpoint", s);
    return &endpoint;
  }
  tReadingDMAEndpoint endpoint;
};

// data reads count samples of the width that available() names.
class tReadingInterruptEndpoint : public nQoLMSDR100::iInterruptTransferEndpoint,
                                  public tScriptedDouble {
 public:
  using tScriptedDouble::tScriptedDouble;
  uint32_t data(nQoMXSL100::iReadable<unsigned char>* r, uint32_t count, tStatus2& s) override {
    answer("data " + std::to_string(count), s);
    const uint32_t width = r->available(s);
    if (width == 0) return 0;
    bytes.resize(count * width);
    return r->read(bytes.data(), count * width, s) / width;
  }
  void notify() override {
    tStatus2 unused;
    answer("notify", unused);
  }
  void transferEnded(const tStatus2& reason, tStatus2& s) override {
    answer("end " + std::to_string(reason.code), s);
  }
  std::vector<uint8_t> bytes;
};

// Hands out its endpoint, or null when `none` is set.
class tInterruptPartner : public tScriptedPartner<nQoLMSDR100::iInterruptTransferSupervisor> {
 public:
  tInterruptPartner(tCallLog& log, const std::string& name)
      : tScriptedPartner(log, name), endpoint(log, "endpoint") {}
  nQoLMSDR100::iInterruptTransferEndpoint* endpointFor(tStatus2& s, const void*) override {
    answer("endpointFor", s);
    return none ? nullptr : &endpoint;
  }
  tReadingInterruptEndpoint endpoint;
  bool none = false;
};

}  // namespace nQoTest
