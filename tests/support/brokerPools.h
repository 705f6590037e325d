// A pool offered at the simulated broker under an identifier named by a
// device GUID and a text, as a board's registration offers it.
//
//   offerPool(settings.record<0>().identifier, {3, 4}, "CalPWM", &pool, status);
#pragma once

#include "mdbg/tStatus2.h"
#include "mrl/iResourceBroker.h"
#include "mrl/tGeneralIdentifier.h"
#include "orb/tGUID.h"

namespace nQoTest {

inline void offerPool(nQoMRL100::tGeneralIdentifier& identifier, const nQoORB100::tGUID& guid,
                      const char* name, nQoMRL100::iLeafResourcePool* pool,
                      nQoMDBG100::tStatus2& status) {
  identifier.setDeviceGUID(guid);
  identifier.setString(name, status);
  nQoMRL100::getResourceBroker(status)->registerPool(&identifier, pool, status);
}

}  // namespace nQoTest
