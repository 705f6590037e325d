// The linking part of the AI DMA transfer supervisor: the DMA linker and the
// done/error registrar of tDMAEventLinks, plus the AI data FIFO supervisor
// found in the map and the byte stream that the transfer partner's endpoint
// reads while linked. In readable mode (a non-zero mode word) the stream is a
// tAIReadable over the FIFO primitive, otherwise a tDummyReadable. Streams
// are made at the first reservation and live until the supervisor goes. The
// reservation takes the deployed mode, which its link goes by: a mode
// deployed since reaches the next reservation.
//
// A forward step that would call through a missing FIFO supervisor, FIFO
// primitive, endpoint or stream gives -50004 and calls nothing; an undo step
// skips what is missing.
#pragma once

#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tDeployed.h"
#include "frame/tDummyReadable.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "primitives/ai/tBaseAI_DMATransferPrimitive.h"
#include "reservation/castAnswer.h"
#include "supervisors/ai/aiSupervisors.h"
#include "supervisors/ai/tAIReadable.h"
#include "supervisors/tDMAEventLinks.h"

namespace nQoUdR100 {

class tAIDMATransferLinks {
 public:
  using tPrimitive = nQoUdP100::tBaseAI_DMATransferPrimitive;
  // The FIFO's data-format answer for which no dummy stream is made.
  static constexpr uint32_t kOwnFormat = 3;

  tAIDMATransferLinks() = default;
  // Still linked: the partner's endpoint gives its stream back first (it
  // returns once a read under way has left).
  ~tAIDMATransferLinks() {
    if (nQoLMSDR100::iDMAEndpoint* endpoint = partnerEndpoint()) {
      nQoMDBG100::tStatus2 dropped;
      endpoint->setReadable(nullptr, dropped);
    }
    delete _readable;
    delete _dummy;
  }
  tAIDMATransferLinks(const tAIDMATransferLinks&) = delete;
  tAIDMATransferLinks& operator=(const tAIDMATransferLinks&) = delete;

  tDMAEventLinks<tPrimitive>& events() { return _events; }
  // The key the next link looks the FIFO supervisor up under, and the mode
  // of the next reservation's stream.
  void setFIFOKey(uint32_t key) { _settings.deploying().fifoKey = key; }
  void setReadableMode(uint32_t mode) { _settings.deploying().readableMode = mode; }
  tBaseAIDeviceFIFOSupervisor* getFIFOSupervisor() const { return _fifoSupervisor; }
  tAIReadable* getReadable() const { return _readable; }
  tDummyReadable* getDummy() const { return _dummy; }

  void addLinkers(nQoMDBG100::tStatus2& status) { _events.addLinkers(status); }
  void addReservers(nQoMRTB100::iReserver& singular, nQoMDBG100::tStatus2& status) {
    _events.addReservers(singular, status);
  }
  void setRuntimeFacade(nQoMRL100::iRuntimeFacade* facade) { _events.setRuntimeFacade(facade); }
  void setPrimitive(tPrimitive* primitive) {
    _primitive = primitive;
    _events.setPrimitive(primitive);
  }

  // The channel, the partner and the event object, then the FIFO supervisor;
  // a failure unlinks on a fresh status.
  void link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) {
    _events.link(map, status);
    if (status.isNotFatal())
      _fifoSupervisor = nQoMRTB100::castAnswer<tBaseAIDeviceFIFOSupervisor>(
          map.lookup(_settings.take().fifoKey, status), status, {kFile, 420});
    if (status.isNotFatal()) return;
    nQoMDBG100::tStatus2 local;
    unlink(local);
  }
  void unlink(nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return;
    _fifoSupervisor = nullptr;
    _events.unlink(status);
  }

  // The primitive and its events, then the stream once (-50352 when it cannot
  // be made, and the reservation is handed back).
  void reserve(nQoMRTB100::iReserver& singular, nQoMDBG100::tStatus2& status) {
    _events.reserve(singular, status);
    if (status.isFatal()) return;
    if (_settings.program().readableMode != 0) {
      if (_readable == nullptr) _readable = new (status) tAIReadable;
    } else if (fifoFormat() != kOwnFormat && _dummy == nullptr) {
      _dummy = new (status) tDummyReadable;
    }
    if (status.isNotFatal()) return;
    nQoMDBG100::tStatus2 local;
    _events.release(singular, local);
  }
  void release(nQoMRTB100::iReserver& singular, nQoMDBG100::tStatus2& status) {
    _events.release(singular, status);
  }

  // The linkers first; then the partner's endpoint gets the stream: the
  // readable over the FIFO primitive at its sample width, or the dummy. A
  // failure undoes nothing here: the frame runs unlinkResource once the
  // primitive is out of the entries' reach.
  void linkResource(nQoMDBG100::tStatus2& status) {
    _events.linkResource(status);
    if (status.isNotFatal()) giveStream(status);
  }
  // Every step runs on a fresh status merged into the caller's, so a refused
  // hand-back still unlinks the linkers.
  void unlinkResource(nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return;
    if (nQoLMSDR100::iDMAEndpoint* endpoint = partnerEndpoint()) {
      nQoMDBG100::tStatus2 local;
      endpoint->setReadable(nullptr, local);
      status.assign(local);
    }
    if (_readable != nullptr) _readable->setSource(nullptr, 1);
    nQoMDBG100::tStatus2 local;
    _events.unlinkResource(local);
    status.assign(local);
  }

 private:
  static constexpr const char kFile[] = "tBaseAI_DMATransferSupervisor";

  nQoUdP100::tBaseAIDeviceFIFOPrimitive* fifoPrimitive() const {
    return _fifoSupervisor != nullptr ? _fifoSupervisor->getPrimitive() : nullptr;
  }
  // A missing FIFO primitive is a format other than kOwnFormat.
  uint32_t fifoFormat() const {
    nQoUdP100::tBaseAIDeviceFIFOPrimitive* fifo = fifoPrimitive();
    return fifo != nullptr ? fifo->getDataFormat(nQoMDBG100::tStatus2{}) : 0;
  }
  nQoLMSDR100::iDMAEndpoint* partnerEndpoint() const {
    return _primitive != nullptr ? _primitive->getDoneSink() : nullptr;
  }

  void giveStream(nQoMDBG100::tStatus2& status) {
    nQoLMSDR100::iDMAEndpoint* endpoint = partnerEndpoint();
    if (_settings.programmed().readableMode != 0) {
      nQoUdP100::tBaseAIDeviceFIFOPrimitive* fifo = fifoPrimitive();
      if (endpoint == nullptr || fifo == nullptr || _readable == nullptr) {
        setCode(status, kNullPointer, {kFile, 470});
        return;
      }
      _readable->setSource(fifo, fifo->sampleWidth());
      endpoint->setReadable(_readable, status);
    } else if (fifoFormat() != kOwnFormat) {
      if (endpoint == nullptr || _dummy == nullptr) {
        setCode(status, kNullPointer, {kFile, 480});
        return;
      }
      endpoint->setReadable(_dummy, status);
    }
  }

  tDMAEventLinks<tPrimitive> _events;
  tPrimitive* _primitive = nullptr;
  // The deploys write the key and the mode; the link takes the key, the
  // reservation the mode for its stream.
  struct tSettings {
    uint32_t fifoKey = 0xFFFFFFFF;
    uint32_t readableMode = 0;
  };
  struct tSettingsSteps {
    static constexpr const char* kDeploySteps[] = {"setFIFOKey", "setReadableMode"};
    static constexpr const char* kProgrammingSteps[] = {"link", "reserve"};
  };
  tDeployed<tSettings, tSettingsSteps> _settings;
  tBaseAIDeviceFIFOSupervisor* _fifoSupervisor = nullptr;
  tAIReadable* _readable = nullptr;
  tDummyReadable* _dummy = nullptr;
};

}  // namespace nQoUdR100
