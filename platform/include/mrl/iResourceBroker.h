// The resource broker: pools are registered under identifiers, and
// supervisors reserve and release them by identifier on behalf of their
// runtime facade. Calls on one pool are serialised by the broker.
//
//   nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(status);
//   if (broker != nullptr) pool = broker->reserve(&identifier, facade, status);
//
// An identifier reaches the newest registered pool whose identifier is equal
// to it. A tGUIDIdentifier names every pool of its device: reserving it holds
// them all for the device (all or nothing: none may be held already, -50103),
// releasing it gives them back, unregistering it removes them all. A pool
// held by its device's reservation refuses other reservations (-50103).
// Unregistering a pool forgets its reservations.
#pragma once

#include "mdbg/tStatus2.h"
#include "mrl/iLeafResourcePool.h"
#include "mrl/iResourceIdentifier.h"
#include "mrl/iRuntimeFacade.h"
#include "orb/tGUID.h"

namespace nQoMRL100 {

// No pool is registered under the identifier.
inline constexpr int kUnknownResource = -50300;
// The pool, or a pool of the device, is held.
inline constexpr int kResourceHeld = -50103;

class iResourceBroker {
 public:
  virtual ~iResourceBroker() = default;
  // The identifier is not copied: it must live until the pool is unregistered.
  virtual void registerPool(const iResourceIdentifier* identifier, iLeafResourcePool* pool,
                            nQoMDBG100::tStatus2& status) = 0;
  virtual void unregisterPool(const iLeafResourcePool* pool, nQoMDBG100::tStatus2& status) = 0;
  // Every pool whose registered identifier is equal to the identifier, or,
  // for a tGUIDIdentifier, every pool of the device; none: kUnknownResource.
  virtual void unregister(const iResourceIdentifier* identifier, nQoMDBG100::tStatus2& status) = 0;
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

// Tells the platform that the device's GUID names no device of this driver
// any more. Nothing when the status holds an error.
void unregisterDeviceGUID(const nQoORB100::tGUID& device, nQoMDBG100::tStatus2& status);

}  // namespace nQoMRL100
