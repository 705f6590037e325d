// Reserves one primitive: asks the resource broker for the pool registered
// under the supervisor's identifier, casts it to Pool and keeps the primitive
// it holds. The supervisor sets the facade and the identifier first:
//
//   tSingularReserver<tBaseAI_ADCPrimitive, tSingularResourcePool<tBaseAI_ADCPrimitive*>> adc;
//   adc.setRuntimeFacade(facade);
//   adc.setIdentifier(&settings.identifier());
//
// A missing broker, or a broker that grants nothing, reserves nothing and
// sets no code of its own: getPrimitive() stays null.
#pragma once

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mrl/iResourceBroker.h"
#include "reservation/castAnswer.h"
#include "reservation/iReserver.h"

namespace nQoMRTB100 {

template <class Prim, class Pool>
class tSingularReserver : public iReserver {
 public:
  void setRuntimeFacade(nQoMRL100::iRuntimeFacade* facade) { _facade = facade; }
  void setIdentifier(const nQoMRL100::iResourceIdentifier* identifier) { _identifier = identifier; }
  Prim* getPrimitive() const { return _primitive; }

  // A pool of another class (kCastFailed) or without a primitive (kFailed)
  // is released again at once.
  void reserveResource(nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(status);
    if (broker == nullptr || status.isFatal()) return;
    nQoMRL100::iLeafResourcePool* answer = broker->reserve(_identifier, _facade, status);
    if (answer == nullptr || status.isFatal()) return;
    Pool* pool = castAnswer<Pool>(answer, status, {"tSingularReserver", 107});
    if (pool != nullptr) {
      _primitive = pool->getResource();
      if (_primitive != nullptr) return;
      nQoUdR100::setCode(status, nQoUdR100::kFailed, {"tSingularReserver", 94});
    }
    nQoMDBG100::tStatus2 local;
    broker->release(_identifier, _facade, local);
  }

  // Gives a held primitive back at the broker, merging what that reports;
  // forgets it in any case.
  void releaseResource(nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    if (_primitive != nullptr) {
      nQoMDBG100::tStatus2 local;
      nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(local);
      status.assign(local);
      if (broker != nullptr && local.isNotFatal()) {
        local.clear();
        broker->release(_identifier, _facade, local);
        status.assign(local);
      }
    }
    _primitive = nullptr;
  }

 private:
  nQoMRL100::iRuntimeFacade* _facade = nullptr;
  const nQoMRL100::iResourceIdentifier* _identifier = nullptr;
  Prim* _primitive = nullptr;
};

}  // namespace nQoMRTB100
