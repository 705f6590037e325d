// Doubles of the runtime objects that reservers and linkers call: the
// facade's event lookup, event objects, the supervisor map and the DMA and
// scheduler-action partners. Each logs its calls in a shared tCallLog
// ("who.operation") and merges the scripted code for the operation; answers
// are plain members a test sets.
//
//   nQoTest::tCallLog log;
//   nQoTest::tScriptedEvent event(log, "event");
//   nQoTest::tScriptedFacade facade(log, "facade");
//   facade.eventObject = &event;
#pragma once

#include <cstdint>
#include <map>

#include "mrl/iDMAChannelSupervisor.h"
#include "mrl/iDMATransferSupervisor.h"
#include "mrl/iEvent.h"
#include "mrl/iRuntimeFacade.h"
#include "mrl/iSchedulerActionSupervisor.h"
#include "support/reservationDoubles.h"

namespace nQoTest {

class tScriptedFacade : public nQoMRL100::iRuntimeFacade, public tScriptedDouble {
 public:
  using tScriptedDouble::tScriptedDouble;
  nQoORB100::tObject* getEventObject(const nQoMRL110::tEventIdentifier& identifier,
                                     nQoMDBG100::tStatus2& status) override;
  nQoORB100::tObject* eventObject = nullptr;
};

// Operations "registerEvent <kind>" and "unregisterEvent <kind>".
class tScriptedEvent : public virtual nQoORB100::tObject,
                       public nQoMRL110::iEvent,
                       public tScriptedDouble {
 public:
  using tScriptedDouble::tScriptedDouble;
  void* ___CPPKRLDynamicCast(void* const* classID) override;
  void registerEvent(uint32_t kind, nQoMDBG100::tStatus2& status) override;
  void unregisterEvent(uint32_t kind, nQoMDBG100::tStatus2& status) override;
};

// Operation "lookup <key>"; answers the entry under the key or null.
class tScriptedSupervisorMap : public nQoMRL100::iPrimitiveSupervisorMap, public tScriptedDouble {
 public:
  using tScriptedDouble::tScriptedDouble;
  nQoMRL100::iPrimitiveSupervisor* lookup(uint32_t key, nQoMDBG100::tStatus2& status) override;
  std::map<uint32_t, nQoMRL100::iPrimitiveSupervisor*> entries;
};

// A supervisor that also is a partner Interface and answers its identity.
template <class Interface>
class tScriptedPartner : public tScriptedSupervisor, public Interface {
 public:
  using tScriptedSupervisor::tScriptedSupervisor;
  void* ___CPPKRLDynamicCast(void* const* classID) override {
    if (classID == &Interface::___classID) return static_cast<Interface*>(this);
    return tScriptedSupervisor::___CPPKRLDynamicCast(classID);
  }
};

class tScriptedDMAChannel : public tScriptedPartner<nQoLMSDR100::iDMAChannelSupervisor> {
 public:
  using tScriptedPartner::tScriptedPartner;
  nQoLMSDR100::iDMAEndpoint* getEndpoint(nQoMDBG100::tStatus2& status) override;
  uint32_t getChannelNumber(nQoMDBG100::tStatus2& status) override;
  nQoLMSDR100::iDMAEndpoint endpoint;
  uint32_t channelNumber = 0;
};

class tScriptedDMATransfer : public tScriptedPartner<nQoLMSDR100::iDMATransferSupervisor> {
 public:
  using tScriptedPartner::tScriptedPartner;
  nQoLMSDR100::iDMAEndpoint* getEndpoint(nQoMDBG100::tStatus2& status) override;
  nQoLMSDR100::iDMAEndpoint endpoint;
};

class tScriptedSchedulerSupervisor
    : public tScriptedPartner<nQoMAS100::iSchedulerActionSupervisor> {
 public:
  using tScriptedPartner::tScriptedPartner;
  nQoMAS100::iSchedulerAction* getSchedulerAction(nQoMDBG100::tStatus2& status) override;
  nQoMAS100::iSchedulerAction action;
};

}  // namespace nQoTest
