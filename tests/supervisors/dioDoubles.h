// Doubles of the digital supervisors' partners, each logging into a
// tCallLog as "who.operation arguments": static lines and the write
// redirector, a DMA partner with its handle, an input interrupt-transfer
// partner whose transfer object reads through the stream it is given.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "cdp/iImmedDigPrim.h"
#include "frame/iReadable.h"
#include "mrl/iDMATransferSupervisor.h"
#include "msrl/iInterruptTransfer.h"
#include "primitives/cdio/iImmedDigWriteRedirector.h"
#include "support/reservationDoubles.h"

namespace nQoTest {

inline std::string hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

template <class Interface>
class tLinesDouble : public Interface {
 public:
  tLinesDouble(tCallLog& log, std::string name) : _log(log), _name(std::move(name)) {}
  uint32_t readLines(uint32_t mask, uint32_t* value, nQoMDBG100::tStatus2& s) override {
    add("readLines " + hex(mask), s);
    *value = lines;
    return 1;
  }
  uint32_t writeLines(uint32_t mask, uint32_t value, nQoMDBG100::tStatus2& s) override {
    add("writeLines " + hex(mask) + " " + hex(value), s);
    return 1;
  }
  void setLineMode(uint32_t mask, int32_t mode, nQoMDBG100::tStatus2& s) override {
    add("setLineMode " + hex(mask) + " " + std::to_string(mode), s);
    if (inside) inside();
  }
  uint32_t lines = 0;
  // Runs inside each setLineMode (a test holds a code there).
  std::function<void()> inside;

 protected:
  void add(const std::string& operation, nQoMDBG100::tStatus2& s) {
    _log.calls.push_back({_name + "." + operation, &s, s.code});
  }

 private:
  tCallLog& _log;
  std::string _name;
};

using tLines = tLinesDouble<nQoCDP100::iImmedDigPrim>;

class tRedirector : public tLinesDouble<nQoUdP100::iImmedDigWriteRedirector> {
 public:
  using tLinesDouble::tLinesDouble;
  void setRedirectTarget(nQoCDP100::iImmedDigPrim* target) override { this->target = target; }
  nQoCDP100::iImmedDigPrim* target = nullptr;
};

class tPartnerHandle : public nQoLMSDR100::iDMAPartnerHandle, public tScriptedDouble {
 public:
  using tScriptedDouble::tScriptedDouble;
  void transferEnded(tStatus2& s) override { answer("transferEnded", s); }
  void bindEndpoint(nQoLMSDR100::iDMAEndpoint* bound, tStatus2& s) override {
    endpoint = bound;
    answer("bindEndpoint", s);
  }
  nQoLMSDR100::iDMAEndpoint* endpoint = nullptr;
};

// A DMA transfer partner that hands out its handle.
class tDMAHandlePartner : public tScriptedDMATransfer {
 public:
  tDMAHandlePartner(tCallLog& log, const std::string& name)
      : tScriptedDMATransfer(log, name), handle(log, "handle") {}
  nQoLMSDR100::iDMAPartnerHandle* getPartnerHandle(tStatus2& s) override {
    answer("getPartnerHandle", s);
    return &handle;
  }
  tPartnerHandle handle;
};

// An input transfer object: it reads what it is asked for through the
// stream it is given into `bytes`.
class tInputObject : public nQoMSRL100::iInputTransferObject, public tScriptedDouble {
 public:
  using tScriptedDouble::tScriptedDouble;
  uint32_t transfer(nQoMXSL100::iReadable<unsigned char>* given, uint32_t count,
                    tStatus2& s) override {
    answer("transfer " + std::to_string(count), s);
    stream = given;
    bytes.resize(count);
    return stream->read(bytes.data(), count, s);
  }
  void transferEnded(tStatus2& s) override { answer("transferEnded", s); }
  nQoMXSL100::iReadable<unsigned char>* stream = nullptr;
  std::vector<uint8_t> bytes;
};

class tInputPartner : public tScriptedPartner<nQoMSRL100::iInputInterruptTransfer> {
 public:
  tInputPartner(tCallLog& log, const std::string& name)
      : tScriptedPartner(log, name), object(log, "object") {}
  nQoMSRL100::iInputTransferObject* getTransferObject(tStatus2& s) override {
    answer("getTransferObject", s);
    return &object;
  }
  tInputObject object;
};

}  // namespace nQoTest
