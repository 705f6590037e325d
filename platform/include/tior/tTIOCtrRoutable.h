// The routable of a board's counter terminal group, a class of the platform's
// counter library built over the board's counter container. It takes the
// routing library's requests for the counters' terminals.
#pragma once

#include "mru/iRoutableResource.h"

namespace nQoTIOR100 {

class tTIOCtrRoutable : public nQoMRU210::iRoutableResource {
 public:
  explicit tTIOCtrRoutable(const void* container) : _container(container) {}

  void route(uint32_t, uint32_t, nQoMDBG100::tStatus2&) override {}
  void routeList(const nQoMRU210::tRouteList&, nQoMDBG100::tStatus2&) override {}
  void apply(nQoMDBG100::tStatus2&) override {}
  const void* container() const { return _container; }

 private:
  const void* _container;
};

}  // namespace nQoTIOR100
