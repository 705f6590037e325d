// The board side of routing: the routing library hands a routable route
// identifiers with values, and the routable programs them.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoMRU210 {

struct tRoute {
  uint32_t fieldId;
  uint32_t value;
};

// A run of routes, [begin, end).
struct tRouteList {
  const tRoute* begin;
  const tRoute* end;
};

class iRoutableResource {
 public:
  virtual ~iRoutableResource() = default;
  virtual void route(uint32_t fieldId, uint32_t value, nQoMDBG100::tStatus2& status) = 0;
  virtual void routeList(const tRouteList& list, nQoMDBG100::tStatus2& status) = 0;
  // Called after a batch of routes.
  virtual void apply(nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMRU210
