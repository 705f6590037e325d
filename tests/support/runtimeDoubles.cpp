#include "support/runtimeDoubles.h"

#include <string>

namespace nQoTest {

nQoORB100::tObject* tScriptedFacade::getEventObject(const nQoMRL110::tEventIdentifier&,
                                                    nQoMDBG100::tStatus2& s) {
  answer("getEventObject", s);
  return eventObject;
}

void* tScriptedEvent::___CPPKRLDynamicCast(void* const* classID) {
  if (classID == &nQoMRL110::iEvent::___classID) return static_cast<nQoMRL110::iEvent*>(this);
  return nQoORB100::tObject::___CPPKRLDynamicCast(classID);
}

void tScriptedEvent::registerEvent(uint32_t kind, nQoMDBG100::tStatus2& s) {
  answer("registerEvent " + std::to_string(kind), s);
}

void tScriptedEvent::unregisterEvent(uint32_t kind, nQoMDBG100::tStatus2& s) {
  answer("unregisterEvent " + std::to_string(kind), s);
}

nQoMRL100::iPrimitiveSupervisor* tScriptedSupervisorMap::lookup(uint32_t key,
                                                                 nQoMDBG100::tStatus2& s) {
  answer("lookup " + std::to_string(key), s);
  auto found = entries.find(key);
  return found == entries.end() ? nullptr : found->second;
}

nQoLMSDR100::iDMAEndpoint* tScriptedDMAChannel::getEndpoint(nQoMDBG100::tStatus2& s) {
  answer("getEndpoint", s);
  return &endpoint;
}

uint32_t tScriptedDMAChannel::getChannelNumber(nQoMDBG100::tStatus2& s) {
  answer("getChannelNumber", s);
  return channelNumber;
}

nQoLMSDR100::iDMAEndpoint* tScriptedDMATransfer::getEndpoint(nQoMDBG100::tStatus2& s) {
  answer("getEndpoint", s);
  return &endpoint;
}

nQoMAS100::iSchedulerAction* tScriptedSchedulerSupervisor::getSchedulerAction(
    nQoMDBG100::tStatus2& s) {
  answer("getSchedulerAction", s);
  return &action;
}

}  // namespace nQoTest
