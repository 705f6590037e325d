// The linking part of a supervisor without linkers (the plain model): it
// reserves through the singular reserver alone, and link, linkResource,
// unlinkResource and unlink are the state events only.
#pragma once

#include "mdbg/tStatus2.h"
#include "mrl/iPrimitiveSupervisorMap.h"
#include "mrl/iRuntimeFacade.h"
#include "reservation/iReserver.h"

namespace nQoUdR100 {

template <class Prim>
class tNoLinks {
 public:
  void addLinkers(nQoMDBG100::tStatus2&) {}
  void addReservers(nQoMRTB100::iReserver&, nQoMDBG100::tStatus2&) {}
  void setRuntimeFacade(nQoMRL100::iRuntimeFacade*) {}
  void setPrimitive(Prim*) {}

  void reserve(nQoMRTB100::iReserver& singular, nQoMDBG100::tStatus2& status) {
    singular.reserveResource(status);
  }
  void release(nQoMRTB100::iReserver& singular, nQoMDBG100::tStatus2& status) {
    singular.releaseResource(status);
  }
  void link(nQoMRL100::iPrimitiveSupervisorMap&, nQoMDBG100::tStatus2&) {}
  void linkResource(nQoMDBG100::tStatus2&) {}
  void unlinkResource(nQoMDBG100::tStatus2&) {}
  void unlink(nQoMDBG100::tStatus2&) {}
};

}  // namespace nQoUdR100
