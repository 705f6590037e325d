// The runtime objects a measurement task hands its supervisors: the
// supervisor map (key → supervisor), an event object that records what is
// posted to it, an event lookup that answers that event for every
// identifier, and the runtime facade over the lookup that lets callers block.
//
//   nQoSim::tSimEvent event;
//   nQoSim::tSimRuntimeFacade facade(event);
//   nQoSim::tSimSupervisorMap map;
//   map.entries[5] = &transfer;
//   supervisor.initialize(settings, &facade, status);
//   ... event.postedText() == "status(-200016),is-done" ...
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "mdbg/tStatus2.h"
#include "mrl/iEvent.h"
#include "mrl/iPrimitiveSupervisorMap.h"
#include "mrl/iRuntimeFacade.h"
#include "orb/tObject.h"

namespace nQoSim {

class tSimSupervisorMap : public nQoMRL100::iPrimitiveSupervisorMap {
 public:
  nQoMRL100::iPrimitiveSupervisor* lookup(uint32_t key, nQoMDBG100::tStatus2&) override {
    auto found = entries.find(key);
    return found != entries.end() ? found->second : nullptr;
  }
  std::map<uint32_t, nQoMRL100::iPrimitiveSupervisor*> entries;
};

// Records each posted action in order and which kinds are registered.
class tSimEvent : public virtual nQoORB100::tObject, public nQoMRL110::iEvent {
 public:
  struct tPosted {
    uint32_t kind;
    int code;
    bool operator==(const tPosted&) const = default;
  };
  void* ___CPPKRLDynamicCast(void* const* id) override {
    if (id == &nQoMRL110::iEvent::___classID) return static_cast<nQoMRL110::iEvent*>(this);
    return nQoORB100::tObject::___CPPKRLDynamicCast(id);
  }
  void post(const nQoMRL110::tSoftwareAction& action, nQoMDBG100::tStatus2&) override {
    posted.push_back({action.getKind(), action.getCode()});
  }
  void registerEvent(uint32_t kind, nQoMDBG100::tStatus2&) override { ++registered[kind]; }
  void unregisterEvent(uint32_t kind, nQoMDBG100::tStatus2&) override {
    if (--registered[kind] == 0) registered.erase(kind);
  }
  // The posted actions joined by ",": is-done, or status(<code>) for the rest.
  std::string postedText() const {
    std::string text;
    for (const tPosted& action : posted) {
      if (!text.empty()) text += ",";
      text += action.kind == kIsDoneKind ? std::string("is-done")
                                         : "status(" + std::to_string(action.code) + ")";
    }
    return text;
  }
  bool sawDone() const {
    for (const tPosted& action : posted)
      if (action.kind == kIsDoneKind) return true;
    return false;
  }

  std::vector<tPosted> posted;
  std::map<uint32_t, int> registered;  // kind → registrations not yet undone

 private:
  static constexpr uint32_t kIsDoneKind = nQoMRL110::kDoneEvent;
};

// Answers one event object for every identifier; callers may always block.
class tSimRuntimeFacade : public nQoMRL100::iRuntimeFacade {
 public:
  explicit tSimRuntimeFacade(tSimEvent& event) : _event(event) {}
  nQoORB100::tObject* getEventObject(const nQoMRL110::tEventIdentifier&,
                                     nQoMDBG100::tStatus2&) override {
    return &_event;
  }
  uint32_t mayBlock(nQoMDBG100::tStatus2&) override { return 1; }
  void endBlocking(nQoMDBG100::tStatus2&) override {}

 private:
  tSimEvent& _event;
};

}  // namespace nQoSim
