// The routable of a terminal group that the board cannot route (the AO group
// of a board without analog output): every request is accepted and does
// nothing.
#pragma once

#include "frame/tModuleObject.h"
#include "mru/iRoutableResource.h"

namespace nQoUdR100 {

class tDummyRoutable : public nQoMRU210::iRoutableResource, public tModuleObject {
 public:
  void route(uint32_t, uint32_t, nQoMDBG100::tStatus2&) override {}
  void routeList(const nQoMRU210::tRouteList&, nQoMDBG100::tStatus2&) override {}
  void apply(nQoMDBG100::tStatus2&) override {}
};

}  // namespace nQoUdR100
