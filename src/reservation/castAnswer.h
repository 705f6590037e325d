// The answer of a lookup (a pool, a supervisor, an event object) cast to the
// interface the caller needs:
//
//   _channel = castAnswer<nQoLMSDR100::iDMAChannelSupervisor>(
//       map.lookup(_channelKey, status), status, {"tDMALinker", 61});
//
// Null when the status holds an error after the lookup; null with kCastFailed
// at the site when the answer is null or of another class.
#pragma once

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"

namespace nQoMRTB100 {

template <class Interface, class Answer>
Interface* castAnswer(Answer* answer, nQoMDBG100::tStatus2& status,
                      const nQoUdR100::tStatusSite& site) {
  if (status.isFatal()) return nullptr;
  auto* cast = answer == nullptr
                   ? nullptr
                   : static_cast<Interface*>(answer->___CPPKRLDynamicCast(&Interface::___classID));
  if (cast == nullptr) nQoUdR100::setCode(status, nQoUdR100::kCastFailed, site);
  return cast;
}

}  // namespace nQoMRTB100
