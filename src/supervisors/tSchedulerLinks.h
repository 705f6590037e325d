// The linking part of a supervisor whose primitive takes a scheduler action:
// the singular reserver, and one scheduler-action linker that finds the
// action's supervisor in the map under its key (none for the no-key value).
#pragma once

#include "mdbg/tStatus2.h"
#include "mrl/iPrimitiveSupervisorMap.h"
#include "mrl/iRuntimeFacade.h"
#include "reservation/iReserver.h"
#include "reservation/tSchedulerActionLinker.h"

namespace nQoUdR100 {

template <class Prim>
class tSchedulerLinks {
 public:
  nQoMRTB100::tSchedulerActionLinker<Prim>& schedulerLinker() { return _scheduler; }

  void addLinkers(nQoMDBG100::tStatus2&) {}
  void addReservers(nQoMRTB100::iReserver&, nQoMDBG100::tStatus2&) {}
  void setRuntimeFacade(nQoMRL100::iRuntimeFacade*) {}
  void setPrimitive(Prim* primitive) { _scheduler.setPrimitive(primitive); }

  void reserve(nQoMRTB100::iReserver& singular, nQoMDBG100::tStatus2& status) {
    singular.reserveResource(status);
  }
  void release(nQoMRTB100::iReserver& singular, nQoMDBG100::tStatus2& status) {
    singular.releaseResource(status);
  }
  void link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) {
    _scheduler.link(map, status);
  }
  void linkResource(nQoMDBG100::tStatus2& status) { _scheduler.linkResource(status); }
  void unlinkResource(nQoMDBG100::tStatus2& status) { _scheduler.unlinkResource(status); }
  void unlink(nQoMDBG100::tStatus2& status) { _scheduler.unlink(status); }

 private:
  nQoMRTB100::tSchedulerActionLinker<Prim> _scheduler;
};

}  // namespace nQoUdR100
