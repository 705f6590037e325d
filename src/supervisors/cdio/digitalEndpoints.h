// The endpoints that a correlated digital transfer supervisor creates, owns
// and hands to its primitive, so that the primitive reaches the platform's
// transfer partner and the CDIO FIFO through its own narrow interfaces:
//
//   DMA:       tCDI_DMATransferDestination, tCDO_DMATransferSource
//   interrupt: tCDIInterruptTransferDestination, tCDOInterruptTransferSource
//   streams:   tCDIReadable, tCDOWriteable (what a transfer object reads or
//              writes through, straight into the FIFO)
//
// Every forward whose target is not linked (before linkResource, after
// unlinkResource or after a failed allocation) calls nothing and answers 0.
#pragma once

#include <cstdint>

#include "frame/iReadable.h"
#include "frame/iWriteable.h"
#include "frame/tModuleObject.h"
#include "frame/tSinkSlot.h"
#include "mdbg/tStatus2.h"
#include "mrl/iDMATransferSupervisor.h"
#include "msrl/iInterruptTransfer.h"
#include "primitives/cdio/tBaseCDIInterruptTransferPrimitive.h"
#include "primitives/cdio/tBaseCDI_DMATransferPrimitive.h"
#include "primitives/cdio/tBaseCDI_FIFOPrimitive.h"
#include "primitives/cdio/tBaseCDOInterruptTransferPrimitive.h"
#include "primitives/cdio/tBaseCDO_DMATransferPrimitive.h"
#include "primitives/cdio/tBaseCDO_FIFOPrimitive.h"

namespace nQoUdR100 {

// The byte stream through which an input transfer object reads the CDI FIFO.
class tCDIReadable : public nQoMXSL100::iReadable<unsigned char>, public tModuleObject {
 public:
  void setFIFO(nQoUdP100::tBaseCDI_FIFOPrimitive* fifo, uint32_t sampleWidth) {
    _fifo = fifo;
    _sampleWidth = sampleWidth;
  }
  nQoUdP100::tBaseCDI_FIFOPrimitive* fifo() const { return _fifo; }
  uint32_t sampleWidth() const { return _sampleWidth; }

  uint32_t read(unsigned char&, nQoMDBG100::tStatus2&) override { return 0; }
  uint32_t read(unsigned char* buffer, uint32_t count, nQoMDBG100::tStatus2& status) override {
    return _fifo != nullptr ? _fifo->readSamples(buffer, count, status) : 0;
  }
  uint32_t available(nQoMDBG100::tStatus2&) override { return 0; }
  void close(const nQoMDBG100::tStatus2&, nQoMDBG100::tStatus2&) override {}

 private:
  nQoUdP100::tBaseCDI_FIFOPrimitive* _fifo = nullptr;
  uint32_t _sampleWidth = 1;
};

// The byte stream through which an output transfer object fills the CDO FIFO.
class tCDOWriteable : public nQoMXSL100::iWriteable<unsigned char>, public tModuleObject {
 public:
  void setFIFO(nQoUdP100::tBaseCDO_FIFOPrimitive* fifo, uint32_t sampleWidth) {
    _fifo = fifo;
    _sampleWidth = sampleWidth;
  }
  nQoUdP100::tBaseCDO_FIFOPrimitive* fifo() const { return _fifo; }
  uint32_t sampleWidth() const { return _sampleWidth; }

  uint32_t write(const unsigned char&, nQoMDBG100::tStatus2&) override { return 0; }
  uint32_t write(const unsigned char* buffer, uint32_t count,
                 nQoMDBG100::tStatus2& status) override {
    return _fifo != nullptr ? _fifo->writeSamples(buffer, count, status) : 0;
  }
  void flush(nQoMDBG100::tStatus2&) override {}
  uint32_t space(nQoMDBG100::tStatus2&) override { return 0; }
  void close(const nQoMDBG100::tStatus2&, nQoMDBG100::tStatus2&) override {}

 private:
  nQoUdP100::tBaseCDO_FIFOPrimitive* _fifo = nullptr;
  uint32_t _sampleWidth = 1;
};

// A DMA transfer's endpoint: the primitive's end goes to the partner's
// handle, the primitive binds itself and the partner hears of the endpoint,
// and the partner's "data done" reaches the primitive. The partner calls on
// its own thread: the data done reaches the primitive inside a use of a slot,
// which unbindTransfer empties and waits for before the primitive goes back.
template <class Prim, class Base, void (Prim::*kDataDone)(nQoMDBG100::tStatus2&)>
class tDMATransferEndpoint : public Base, public nQoLMSDR100::iDMAEndpoint, public tModuleObject {
 public:
  void setPartnerHandle(nQoLMSDR100::iDMAPartnerHandle* handle) { _handle = handle; }
  nQoLMSDR100::iDMAPartnerHandle* partnerHandle() const { return _handle; }
  Prim* primitive() const { return _primitive.get(); }
  void unbindTransfer() { _primitive.set(nullptr); }

  void transferEnded(nQoMDBG100::tStatus2& status) override {
    if (_handle != nullptr) _handle->transferEnded(status);
  }
  void bindTransfer(Prim* transfer, nQoMDBG100::tStatus2& status) override {
    _primitive.set(transfer);
    if (_handle != nullptr) _handle->bindEndpoint(this, status);
  }
  void transferEnded(const nQoMDBG100::tStatus2&, nQoMDBG100::tStatus2& status) override {
    _primitive.call([&](Prim& primitive) { (primitive.*kDataDone)(status); });
  }

 private:
  nQoLMSDR100::iDMAPartnerHandle* _handle = nullptr;
  tSinkSlot<Prim> _primitive;
};

using tCDI_DMATransferDestination =
    tDMATransferEndpoint<nQoUdP100::tBaseCDI_DMATransferPrimitive,
                         nQoUdP100::tBaseCDI_DMATransferPrimitive::iDestination,
                         &nQoUdP100::tBaseCDI_DMATransferPrimitive::markDataDone>;
using tCDO_DMATransferSource =
    tDMATransferEndpoint<nQoUdP100::tBaseCDO_DMATransferPrimitive,
                         nQoUdP100::tBaseCDO_DMATransferPrimitive::iSource,
                         &nQoUdP100::tBaseCDO_DMATransferPrimitive::markEndOfData>;

// An interrupt transfer's endpoint: it owns the FIFO stream and asks the
// platform's transfer object to move bytes through it.
template <class Base, class Object, class Stream>
class tInterruptTransferEndpoint : public Base, public tModuleObject {
 public:
  // A failed allocation leaves the stream null and the code in the status.
  explicit tInterruptTransferEndpoint(nQoMDBG100::tStatus2& status) : _stream(new(status) Stream) {}
  ~tInterruptTransferEndpoint() override { delete _stream; }
  tInterruptTransferEndpoint(const tInterruptTransferEndpoint&) = delete;
  tInterruptTransferEndpoint& operator=(const tInterruptTransferEndpoint&) = delete;

  void setTransferObject(Object* object) { _object = object; }
  Object* transferObject() const { return _object; }
  Stream* stream() const { return _stream; }

  uint32_t transferData(uint32_t byteCount, nQoMDBG100::tStatus2& status) override {
    if (_object == nullptr || _stream == nullptr) return 0;
    return _object->transfer(_stream, byteCount, status);
  }
  void transferEnded(nQoMDBG100::tStatus2& status) override {
    if (_object != nullptr) _object->transferEnded(status);
  }

 private:
  Stream* _stream;
  Object* _object = nullptr;
};

using tCDIInterruptTransferDestination =
    tInterruptTransferEndpoint<nQoUdP100::tBaseCDIInterruptTransferPrimitive::iDestination,
                               nQoMSRL100::iInputTransferObject, tCDIReadable>;
using tCDOInterruptTransferSource =
    tInterruptTransferEndpoint<nQoUdP100::tBaseCDOInterruptTransferPrimitive::iSource,
                               nQoMSRL100::iOutputTransferObject, tCDOWriteable>;

}  // namespace nQoUdR100
