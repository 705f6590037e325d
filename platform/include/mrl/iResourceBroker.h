// The resource broker: pools are registered under identifiers, and
// supervisors reserve and release them by identifier on behalf of their
// runtime facade. Calls on one pool are serialised by the broker.
//
//   nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(status);
//   if (broker != nullptr) pool = broker->reserve(&identifier, facade, status);
#pragma once

#include "mdbg/tStatus2.h"
#include "mrl/iLeafResourcePool.h"
#include "mrl/iResourceIdentifier.h"
#include "mrl/iRuntimeFacade.h"

namespace nQoMRL100 {

// No pool is registered under the identifier.
inline constexpr int kUnknownResource = -50300;

class iResourceBroker {
 public:
  virtual ~iResourceBroker() = default;
  // The identifier is not copied: it must live until the pool is unregistered.
  virtual void registerPool(const iResourceIdentifier* identifier, iLeafResourcePool* pool,
                            nQoMDBG100::tStatus2& status) = 0;
  virtual void unregisterPool(const iLeafResourcePool* pool, nQoMDBG100::tStatus2& status) = 0;
  // The pool registered under the identifier when it grants the request,
  // else null. The pool sees the identifier's sub-identifier when it is a
  // general identifier that carries one.
  virtual iLeafResourcePool* reserve(const iResourceIdentifier* identifier, iRuntimeFacade* facade,
                                     nQoMDBG100::tStatus2& status) = 0;
  virtual void release(const iResourceIdentifier* identifier, iRuntimeFacade* facade,
                       nQoMDBG100::tStatus2& status) = 0;
};

// The broker, or null when there is none now.
iResourceBroker* getResourceBroker(nQoMDBG100::tStatus2& status);

}  // namespace nQoMRL100
