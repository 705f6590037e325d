// The position parts of the correlated digital supervisors (FIFO, DMA and
// interrupt transfer), each one template over a direction row
// (cdioSupervisors.h), so that a CDI and a CDO supervisor of one position are
// one class shape. tCorrelatedSupervisor calls these hooks:
//
//   initialize(facade, status)                 endpoints created
//   apply(primitive, settings, status)         deployed settings into the primitive
//   link(map, settings, status)                the partners they name looked up
//   reserved(primitive, settings, status)      the fresh grant prepared
//   linkResource(primitive or null, word, status)
//   unlinkResource(primitive, status)          out of the entries' reach
//   releasing(primitive or null, status)       out of reach, before the hand-back
//   released(status)                           after it
//   starting(primitive)                        code 2, before the primitive's start
//   requestCancel(primitive, word, status)
//   endCalls(primitive)                        (optional) before a step takes
//                                              the primitive out of reach
#pragma once

#include <atomic>
#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "mrl/iDMAChannelSupervisor.h"
#include "mrl/iDMATransferSupervisor.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "mrl/iPrimitiveSupervisorMap.h"
#include "mrl/iRuntimeFacade.h"
#include "reservation/castAnswer.h"

namespace nQoUdR100 {

// What every position does the same way: nothing.
class tCorrelatedLinksBase {
 public:
  void initialize(nQoMRL100::iRuntimeFacade*, nQoMDBG100::tStatus2&) {}
  template <class Settings>
  void link(nQoMRL100::iPrimitiveSupervisorMap&, const Settings&, nQoMDBG100::tStatus2&) {}
  template <class Prim, class Settings>
  void reserved(Prim&, const Settings&, nQoMDBG100::tStatus2&) {}
  template <class Prim>
  void releasing(Prim*, nQoMDBG100::tStatus2&) {}
  void released(nQoMDBG100::tStatus2&) {}
  template <class Prim>
  void starting(Prim&) {}
  template <class Prim>
  void requestCancel(Prim&, uint32_t, nQoMDBG100::tStatus2&) {}
};

// FIFO: the two mode flags, nothing to link.
template <class Dir>
class tCorrelatedFIFOLinks : public tCorrelatedLinksBase {
 public:
  using tPrimitive = typename Dir::tFIFO;

  void apply(tPrimitive& fifo, const typename Dir::tFIFOSettings& settings,
             nQoMDBG100::tStatus2& status) {
    const auto& fields = settings.template record<0>();
    fifo.setModeFlag(static_cast<uint32_t>(fields.fifoModeFlag), status, 0);
    fifo.setSecondaryModeFlag(fields.fifoSecondaryModeFlag, status);
  }
  void linkResource(tPrimitive*, std::atomic<uint32_t>& word, nQoMDBG100::tStatus2& status) {
    if (status.isNotFatal()) word = 4;
  }
  void unlinkResource(tPrimitive&, nQoMDBG100::tStatus2&) {}
};

// DMA: the channel and the partner transfer supervisor from the map, the
// owned endpoint between the primitive and the partner's handle.
template <class Dir>
class tCorrelatedDMALinks : public tCorrelatedLinksBase {
 public:
  using tPrimitive = typename Dir::tDMAPrimitive;
  using tEndpoint = typename Dir::tDMAEndpoint;

  tCorrelatedDMALinks() = default;
  // A data done under way through the endpoint leaves it before it goes.
  ~tCorrelatedDMALinks() {
    if (_endpoint != nullptr) _endpoint->unbindTransfer();
    delete _endpoint;
  }
  tCorrelatedDMALinks(const tCorrelatedDMALinks&) = delete;
  tCorrelatedDMALinks& operator=(const tCorrelatedDMALinks&) = delete;

  // A failed allocation is in the status and leaves the endpoint null.
  void initialize(nQoMRL100::iRuntimeFacade*, nQoMDBG100::tStatus2& status) {
    if (_endpoint == nullptr) _endpoint = new (status) tEndpoint;
  }
  void apply(tPrimitive& transfer, const typename Dir::tDMASettings& settings,
             nQoMDBG100::tStatus2& status) {
    Dir::applyDMA(transfer, settings.template record<0>(), status);
  }
  // The channel and the partner that the settings name; either missing or of
  // another class: -89000 and null.
  void link(nQoMRL100::iPrimitiveSupervisorMap& map, const typename Dir::tDMASettings& settings,
            nQoMDBG100::tStatus2& status) {
    const auto& fields = settings.template record<0>();
    _channel = nQoMRTB100::castAnswer<nQoLMSDR100::iDMAChannelSupervisor>(
        map.lookup(fields.dmaChannelSupervisorKey, status), status, {Dir::kDMAFile, 150});
    _partner = nQoMRTB100::castAnswer<nQoLMSDR100::iDMATransferSupervisor>(
        map.lookup(fields.dmaTransferSupervisorKey, status), status, {Dir::kDMAFile, 155});
  }
  // The channel's number and the endpoint into the primitive, the partner's
  // handle into the endpoint, word 4; then the primitive attaches whatever
  // the status. Without primitive, endpoint or partners: -50004.
  void linkResource(tPrimitive* transfer, std::atomic<uint32_t>& word,
                    nQoMDBG100::tStatus2& status) {
    if (transfer == nullptr || _endpoint == nullptr || _channel == nullptr || _partner == nullptr) {
      setCode(status, kNullPointer, {Dir::kDMAFile, 170});
      return;
    }
    transfer->setDMAChannelNumber(_channel->getChannelNumber(status));
    Dir::setEndpoint(*transfer, _endpoint, status);
    _handle = _partner->getPartnerHandle(status);
    _endpoint->setPartnerHandle(_handle);
    if (status.isNotFatal()) word = 4;
    transfer->registerObservers(status);
  }
  void unlinkResource(tPrimitive& transfer, nQoMDBG100::tStatus2& status) {
    transfer.unregisterObservers(status);
  }
  // Before the hand-back: the partner's data done, which may come on its own
  // thread, reaches the primitive no more once one under way has left it;
  // the primitive gives back the endpoint that linkResource gave it (taken
  // down, it takes one again), on a status that is dropped.
  void releasing(tPrimitive* transfer, nQoMDBG100::tStatus2&) {
    if (_endpoint != nullptr) _endpoint->unbindTransfer();
    if (transfer == nullptr || _endpoint == nullptr || transfer->partner() != _endpoint) return;
    nQoMDBG100::tStatus2 dropped;
    Dir::setEndpoint(*transfer, nullptr, dropped);
  }

  tEndpoint* endpoint() const { return _endpoint; }
  nQoLMSDR100::iDMAPartnerHandle* partnerHandle() const { return _handle; }

 private:
  nQoLMSDR100::iDMAChannelSupervisor* _channel = nullptr;
  nQoLMSDR100::iDMATransferSupervisor* _partner = nullptr;
  nQoLMSDR100::iDMAPartnerHandle* _handle = nullptr;
  tEndpoint* _endpoint = nullptr;
};

// Interrupt: the platform's transfer partner and the FIFO supervisor from the
// map (cast at linkResource), the owned endpoint with its FIFO stream.
template <class Dir, class FIFOSupervisor>
class tCorrelatedInterruptLinks : public tCorrelatedLinksBase {
 public:
  using tPrimitive = typename Dir::tInterruptPrimitive;
  using tEndpoint = typename Dir::tInterruptEndpoint;
  using tPartner = typename Dir::tInterruptPartner;

  tCorrelatedInterruptLinks() = default;
  ~tCorrelatedInterruptLinks() { delete _endpoint; }
  tCorrelatedInterruptLinks(const tCorrelatedInterruptLinks&) = delete;
  tCorrelatedInterruptLinks& operator=(const tCorrelatedInterruptLinks&) = delete;

  void initialize(nQoMRL100::iRuntimeFacade*, nQoMDBG100::tStatus2& status) {
    if (_endpoint == nullptr) _endpoint = new (status) tEndpoint(status);
  }
  // Each store only while the status holds no error.
  void apply(tPrimitive& transfer, const typename Dir::tInterruptSettings& settings,
             nQoMDBG100::tStatus2& status) {
    Dir::applyInterrupt(transfer, settings.template record<0>(), status);
  }
  // The transfer partner and the FIFO supervisor that the settings name.
  void link(nQoMRL100::iPrimitiveSupervisorMap& map,
            const typename Dir::tInterruptSettings& settings, nQoMDBG100::tStatus2& status) {
    const auto& fields = settings.template record<0>();
    _transferPartner = map.lookup(fields.firstPartnerSupervisorKey, status);
    _fifoPartner = map.lookup(fields.secondPartnerSupervisorKey, status);
  }
  template <class Settings>
  void reserved(tPrimitive& transfer, const Settings&, nQoMDBG100::tStatus2&) {
    Dir::setEndpoint(transfer, _endpoint);
  }
  // Partners of another class: -89000. Without primitive, endpoint or the
  // FIFO supervisor's primitive: -50004. Otherwise the transfer object and
  // the FIFO into the endpoint, then the primitive's observers.
  void linkResource(tPrimitive* transfer, std::atomic<uint32_t>& word,
                    nQoMDBG100::tStatus2& status) {
    auto* partner =
        nQoMRTB100::castAnswer<tPartner>(_transferPartner, status, {Dir::kInterruptFile, 180});
    auto* fifoSupervisor =
        nQoMRTB100::castAnswer<FIFOSupervisor>(_fifoPartner, status, {Dir::kInterruptFile, 184});
    if (status.isFatal()) return;
    auto* fifo = fifoSupervisor->getReservedPrimitive();
    if (transfer == nullptr || _endpoint == nullptr || _endpoint->stream() == nullptr ||
        fifo == nullptr) {
      setCode(status, kNullPointer, {Dir::kInterruptFile, 190});
      return;
    }
    _endpoint->setTransferObject(partner->getTransferObject(status));
    _endpoint->stream()->setFIFO(fifo, fifo->getSampleWidth());
    transfer->registerObservers(status);
    if (status.isNotFatal()) word = 4;
  }
  void unlinkResource(tPrimitive& transfer, nQoMDBG100::tStatus2& status) {
    transfer.unregisterObservers(status);
    if (_endpoint == nullptr) return;
    if (_endpoint->stream() != nullptr) _endpoint->stream()->setFIFO(nullptr, 1);
    _endpoint->setTransferObject(nullptr);
  }
  // Whatever the caller's status holds: the endpoint goes with the links.
  void releasing(tPrimitive* transfer, nQoMDBG100::tStatus2&) {
    if (transfer != nullptr) Dir::setEndpoint(*transfer, nullptr);
  }

  tEndpoint* endpoint() const { return _endpoint; }

 private:
  nQoMRL100::iPrimitiveSupervisor* _transferPartner = nullptr;
  nQoMRL100::iPrimitiveSupervisor* _fifoPartner = nullptr;
  tEndpoint* _endpoint = nullptr;
};

}  // namespace nQoUdR100
