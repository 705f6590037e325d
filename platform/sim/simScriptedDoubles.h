// Scripted doubles of the platform's runtime objects: each call is logged in
// a shared tCallLog as "who.operation" with its status, then
// answers[operation] is merged into that status.
//
//   nQoSim::tCallLog log;
//   nQoSim::tScriptedSupervisorMap map{log, "map"};
//   map.answers["lookup 2"] = -50004;     // the lookup of key 2 fails
//   ... log.operations() == "map.lookup 2" ...
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "mdbg/tStatus2.h"
#include "mrl/iControlParameterBlock.h"
#include "mrl/iDMAChannelSupervisor.h"
#include "mrl/iDMATransferSupervisor.h"
#include "mrl/iEvent.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "mrl/iPrimitiveSupervisorMap.h"
#include "mrl/iRuntimeFacade.h"
#include "mrl/iSchedulerActionSupervisor.h"
#include "sim/tSimSchedulerAction.h"

namespace nQoSim {

using nQoMDBG100::tStatus2;

struct tCall {
  std::string operation;
  const tStatus2* status;
  int incoming;
  const void* in = nullptr;
  const void* out = nullptr;
};

class tCallLog {
 public:
  std::vector<tCall> calls;
  // "who.operation" of every call in order, joined by ", ".
  std::string operations() const {
    std::string out;
    for (const tCall& call : calls) out += (out.empty() ? "" : ", ") + call.operation;
    return out;
  }
  void clear() { calls.clear(); }
};

class tScriptedDouble {
 public:
  tScriptedDouble(tCallLog& log, std::string name) : _log(log), _name(std::move(name)) {}
  std::map<std::string, int> answers;

 protected:
  void answer(const std::string& operation, tStatus2& status, const void* in = nullptr,
              const void* out = nullptr) {
    _log.calls.push_back({_name + "." + operation, &status, status.code, in, out});
    auto found = answers.find(operation);
    if (found != answers.end()) status.setCode(found->second, "qotest", "reservationDoubles", 1);
  }

 private:
  tCallLog& _log;
  std::string _name;
};

class tScriptedSupervisor : public nQoMRL100::iPrimitiveSupervisor, public tScriptedDouble {
 public:
  using tScriptedDouble::tScriptedDouble;
  void initialize(const nQoMRL100::iPrimitiveSettings&, nQoMRL100::iRuntimeFacade*,
                  tStatus2& s) override {
    answer("initialize", s);
  }
  void deploy(const nQoMRL100::iPrimitiveSettings&, tStatus2& s) override { answer("deploy", s); }
  void link(nQoMRL100::iPrimitiveSupervisorMap&, tStatus2& s) override { answer("link", s); }
  void reserveResource(tStatus2& s) override { answer("reserveResource", s); }
  void linkResource(tStatus2& s) override { answer("linkResource", s); }
  void unlinkResource(tStatus2& s) override { answer("unlinkResource", s); }
  void releaseResource(tStatus2& s) override { answer("releaseResource", s); }
  void unlink(tStatus2& s) override { answer("unlink", s); }
  void control(uint32_t code, nQoMRL100::iControlParameterBlock* in,
               nQoMRL100::iControlParameterBlock* out, tStatus2& s) override {
    answer("control " + std::to_string(code), s, in, out);
  }
  void requestCancel(tStatus2& s) override { answer("requestCancel", s); }
  void commitCancel(tStatus2& s) override { answer("commitCancel", s); }
};

class tScriptedSupervisorMap : public nQoMRL100::iPrimitiveSupervisorMap, public tScriptedDouble {
 public:
  using tScriptedDouble::tScriptedDouble;
  nQoMRL100::iPrimitiveSupervisor* lookup(uint32_t key, tStatus2& s) override {
    answer("lookup " + std::to_string(key), s);
    return entries.count(key) != 0 ? entries[key] : nullptr;
  }
  std::map<uint32_t, nQoMRL100::iPrimitiveSupervisor*> entries;
};

class tScriptedFacade : public nQoMRL100::iRuntimeFacade, public tScriptedDouble {
 public:
  using tScriptedDouble::tScriptedDouble;
  nQoORB100::tObject* getEventObject(const nQoMRL110::tEventIdentifier&, tStatus2& s) override {
    answer("getEventObject", s);
    return eventObject;
  }
  // Answers mayBlockAnswer; endBlocking counts.
  uint32_t mayBlock(tStatus2& s) override {
    answer("mayBlock", s);
    return mayBlockAnswer;
  }
  void endBlocking(tStatus2& s) override {
    answer("endBlocking", s);
    ++endBlockingCount;
  }
  nQoORB100::tObject* eventObject = nullptr;
  uint32_t mayBlockAnswer = 1;
  int endBlockingCount = 0;
};

class tScriptedEvent : public virtual nQoORB100::tObject,
                       public nQoMRL110::iEvent,
                       public tScriptedDouble {
 public:
  using tScriptedDouble::tScriptedDouble;
  void* ___CPPKRLDynamicCast(void* const* id) override {
    if (id == &nQoMRL110::iEvent::___classID) return static_cast<nQoMRL110::iEvent*>(this);
    return nQoORB100::tObject::___CPPKRLDynamicCast(id);
  }
  void post(const nQoMRL110::tSoftwareAction& action, tStatus2& s) override {
    answer("post " + std::to_string(action.getKind()) + " " + std::to_string(action.getCode()), s);
  }
  void registerEvent(uint32_t kind, tStatus2& s) override {
    answer("registerEvent " + std::to_string(kind), s);
  }
  void unregisterEvent(uint32_t kind, tStatus2& s) override {
    answer("unregisterEvent " + std::to_string(kind), s);
  }
};

// A supervisor that also is the partner Interface.
template <class Interface>
class tScriptedPartner : public tScriptedSupervisor, public Interface {
 public:
  using tScriptedSupervisor::tScriptedSupervisor;
  void* ___CPPKRLDynamicCast(void* const* id) override {
    if (id == &Interface::___classID) return static_cast<Interface*>(this);
    return tScriptedSupervisor::___CPPKRLDynamicCast(id);
  }
};

// A partner that also hands out its DMA endpoint.
template <class Interface>
class tScriptedEndpointPartner : public tScriptedPartner<Interface> {
 public:
  using tScriptedPartner<Interface>::tScriptedPartner;
  nQoLMSDR100::iDMAEndpoint* getEndpoint(tStatus2& s) override {
    this->answer("getEndpoint", s);
    return &endpoint;
  }
  nQoLMSDR100::iDMAEndpoint endpoint;
};

using tScriptedDMATransfer = tScriptedEndpointPartner<nQoLMSDR100::iDMATransferSupervisor>;

class tScriptedDMAChannel : public tScriptedEndpointPartner<nQoLMSDR100::iDMAChannelSupervisor> {
 public:
  using tScriptedEndpointPartner::tScriptedEndpointPartner;
  uint32_t getChannelNumber(tStatus2& s) override {
    answer("getChannelNumber", s);
    return channelNumber;
  }
  uint32_t channelNumber = 0;
};

class tScriptedSchedulerSupervisor
    : public tScriptedPartner<nQoMAS100::iSchedulerActionSupervisor> {
 public:
  using tScriptedPartner::tScriptedPartner;
  nQoMAS100::iSchedulerAction* getSchedulerAction(tStatus2& s) override {
    answer("getSchedulerAction", s);
    return &action;
  }
  tSimSchedulerAction action;
};

}  // namespace nQoSim
