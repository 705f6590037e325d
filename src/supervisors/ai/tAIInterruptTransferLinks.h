// The linking part of the AI interrupt transfer supervisor: it owns the
// transfer's destination (made at initialize), finds the interrupt-transfer
// partner and the AI data FIFO supervisor in the map, and while linked gives
// the primitive the destination, the destination the partner's endpoint and
// its readable the FIFO primitive. The primitive is marked reserved while
// held.
//
// A forward step that would call through a missing primitive, destination,
// partner or FIFO primitive gives -50004 and calls nothing; an undo step
// skips what is missing.
#pragma once

#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tDeployed.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "mrl/iInterruptTransferSupervisor.h"
#include "primitives/ai/tBaseAIInterruptTransferPrimitive.h"
#include "reservation/castAnswer.h"
#include "supervisors/ai/aiSupervisors.h"
#include "supervisors/ai/tAIInterruptTransferDestination.h"

namespace nQoUdR100 {

class tAIInterruptTransferLinks {
 public:
  using tPrimitive = nQoUdP100::tBaseAIInterruptTransferPrimitive;

  tAIInterruptTransferLinks() = default;
  // Still linked: the primitive gives the destination back first (it waits
  // for the passes calling it).
  ~tAIInterruptTransferLinks() {
    if (_primitive != nullptr && _destination != nullptr &&
        _primitive->getDestination() == _destination)
      _primitive->setDestination(nullptr);
    delete _destination;
  }
  tAIInterruptTransferLinks(const tAIInterruptTransferLinks&) = delete;
  tAIInterruptTransferLinks& operator=(const tAIInterruptTransferLinks&) = delete;

  // The keys the next link looks the partner and the FIFO supervisor up under.
  void setKeys(uint32_t partnerKey, uint32_t fifoKey) { _keys.deploy({partnerKey, fifoKey}); }
  tAIInterruptTransferDestination* getDestination() const { return _destination; }
  nQoLMSDR100::iInterruptTransferSupervisor* getPartner() const { return _partner; }

  // The destination, once; -50352 and none when it or its readable cannot
  // be allocated.
  void addLinkers(nQoMDBG100::tStatus2& status) {
    if (_destination != nullptr || status.isFatal()) return;
    _destination = new (status) tAIInterruptTransferDestination(status);
    if (status.isNotFatal()) return;
    delete _destination;
    _destination = nullptr;
  }
  void addReservers(nQoMRTB100::iReserver&, nQoMDBG100::tStatus2&) {}
  void setRuntimeFacade(nQoMRL100::iRuntimeFacade*) {}
  void setPrimitive(tPrimitive* primitive) { _primitive = primitive; }

  // The partner (key 1) and the FIFO supervisor (key 2); either missing or
  // of another class gives -89000 and stays null.
  void link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return;
    const tKeys& keys = _keys.take();
    _partner = nQoMRTB100::castAnswer<nQoLMSDR100::iInterruptTransferSupervisor>(
        map.lookup(keys.partner, status), status, {kFile, 140});
    _fifoSupervisor = nQoMRTB100::castAnswer<tBaseAIDeviceFIFOSupervisor>(
        map.lookup(keys.fifo, status), status, {kFile, 147});
  }
  void unlink(nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return;
    _partner = nullptr;
    _fifoSupervisor = nullptr;
  }

  // Reserves, then marks the primitive reserved; a failed mark hands it back.
  template <class tReserver>
  void reserve(tReserver& singular, nQoMDBG100::tStatus2& status) {
    singular.reserveResource(status);
    tPrimitive* primitive = singular.getPrimitive();
    if (primitive == nullptr || status.isFatal()) return;
    primitive->markReserved(status);
    if (status.isNotFatal()) return;
    nQoMDBG100::tStatus2 local;
    release(singular, local);
  }
  template <class tReserver>
  void release(tReserver& singular, nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return;
    if (tPrimitive* primitive = singular.getPrimitive()) {
      nQoMDBG100::tStatus2 local;
      primitive->markReleased(local);
      status.assign(local);
    }
    singular.releaseResource(status);
  }

  void linkResource(nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return;
    nQoUdP100::tBaseAIDeviceFIFOPrimitive* fifo =
        _fifoSupervisor != nullptr ? _fifoSupervisor->getPrimitive() : nullptr;
    if (_primitive == nullptr || _destination == nullptr || _partner == nullptr ||
        fifo == nullptr) {
      setCode(status, kNullPointer, {kFile, 171});
      return;
    }
    // Filled before the primitive's passes, on other threads, can reach it.
    _destination->setEndpoint(_partner->endpointFor(status, _destination));
    _destination->readable()->setSource(fifo, fifo->sampleWidth());
    _primitive->setDestination(_destination);
  }
  // The primitive's destination cleared first (it waits for the passes
  // calling the destination), then its readable and endpoint; what is
  // missing is skipped.
  void unlinkResource(nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return;
    if (_primitive != nullptr) _primitive->setDestination(nullptr);
    if (_destination != nullptr) {
      _destination->readable()->setSource(nullptr, 1);
      _destination->setEndpoint(nullptr);
    }
  }

 private:
  static constexpr const char kFile[] = "tBaseAIInterruptTransferSupervisor";

  tAIInterruptTransferDestination* _destination = nullptr;
  tPrimitive* _primitive = nullptr;
  // The deploys write the keys; only the link takes them.
  struct tKeys {
    uint32_t partner = 0xFFFFFFFF;
    uint32_t fifo = 0xFFFFFFFF;
  };
  struct tKeySteps {
    static constexpr const char* kProgrammingSteps[] = {"link"};
  };
  tDeployed<tKeys, tKeySteps> _keys;
  nQoLMSDR100::iInterruptTransferSupervisor* _partner = nullptr;
  tBaseAIDeviceFIFOSupervisor* _fifoSupervisor = nullptr;
};

}  // namespace nQoUdR100
