// The routing resource of the AI timing engine: the routing library sets
// attributes by index, each into one word of an AI routing record, and the
// commit hands the record to the timing-controller primitive.
//
//   tAIRoutable routable(timing);
//   routable.route(6, 7, status);   // index 6: word 16 (trigger select)
//   routable.apply(status);         // timing->setRouting(record, status)
#pragma once

#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tModuleObject.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "mru/iRoutableResource.h"
#include "primitives/ai/tAIRoutingConfig.h"
#include "primitives/ai/tBaseAITimingControllerPrimitive.h"

namespace nQoUdR100 {

class tAIRoutable final : public nQoMRU210::iRoutableResource, public tModuleObject {
 public:
  explicit tAIRoutable(nQoUdP100::tBaseAITimingControllerPrimitive* owner) : _owner(owner) {}

  // setAttribute: an index past 14 is ignored.
  void route(uint32_t index, uint32_t value, nQoMDBG100::tStatus2& status) override {
    if (status.isFatal() || index >= sizeof kWordOfIndex / sizeof kWordOfIndex[0]) return;
    _routing.words[kWordOfIndex[index]] = static_cast<int32_t>(value);
  }
  // setAttributes: each pair in order.
  void routeList(const nQoMRU210::tRouteList& list, nQoMDBG100::tStatus2& status) override {
    for (const nQoMRU210::tRoute* pair = list.begin; pair != list.end; ++pair)
      route(pair->fieldId, pair->value, status);
  }
  // commit.
  void apply(nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    if (_owner == nullptr) {
      setCode(status, kNullPointer, {"tAIRoutable", 44});
      return;
    }
    _owner->setRouting(_routing, status);
  }

  const nQoUdP100::tAIRoutingConfig& routing() const { return _routing; }

 private:
  static constexpr uint8_t kWordOfIndex[] = {0, 1, 3, 4, 7, 8, 16, 17, 20, 21, 11, 12, 2, 13, 14};

  nQoUdP100::tBaseAITimingControllerPrimitive* _owner;
  nQoUdP100::tAIRoutingConfig _routing;
};

}  // namespace nQoUdR100
