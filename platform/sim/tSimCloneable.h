// Cloneable objects of the interconnect family for tests: an endpoint and an
// intent. Both are made through a class registration of their own, so that
// destruction through the class and the live-instance counts see them:
//
//   nQoSim::tSimEndpoint* endpoint = nQoSim::tSimEndpoint::create();
//   nQoORB100::tClassRegistry::liveInstances(nQoSim::tSimEndpoint::kClassName);
//
// Clones are logged as clone calls (simInterconnect.h), where the nth can fail.
#pragma once

#include "dim/iIntent.h"
#include "dim/iInterconnectBusEndpoint.h"
#include "orb/iCloneable.h"

namespace nQoSim {

template <class Interface>
class tSimCloneable : public Interface, public nQoORB100::iCloneable {
 public:
  static void* ___classID;
  static const char* const kClassName;

  static tSimCloneable* create();

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;
  nQoORB100::tClass getClass(int& status) const override;
  nQoORB100::tObject* clone(int& status) const override;
};

using tSimEndpoint = tSimCloneable<nQoDIM100::iInterconnectBusEndpoint>;
using tSimIntent = tSimCloneable<nQoDIM100::iIntent>;

template <>
const char* const tSimEndpoint::kClassName;
template <>
const char* const tSimIntent::kClassName;
extern template class tSimCloneable<nQoDIM100::iInterconnectBusEndpoint>;
extern template class tSimCloneable<nQoDIM100::iIntent>;

}  // namespace nQoSim
