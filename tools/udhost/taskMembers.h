// The supervisors of one measurement task as the platform holds them: each
// with its settings, filled in memory, streamed out and read into a fresh
// object created by class name, and the supervisor created by class name;
// the task's supervisor map; the lifecycle steps in creation order and the
// undo on fresh statuses in reverse order.
//
//   tTaskMembers members(map);
//   namePool(fifoSettings.identifier, "AO_FIFO", device, created);
//   members.add(makeMember(kFIFO, fifoSettings, tBaseAO_FIFOSupervisor::kClassName, created));
//   members.bringUp(&facade, status);     // initialize, link, reserve, link resources
//   ... control codes ...
//   members.undo();                       // unlink resources, release, unlink
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "mrl/iRuntimeFacade.h"
#include "mrl/tGeneralIdentifier.h"
#include "orb/iCloneableExternalizable.h"
#include "orb/tByteInputStream.h"
#include "orb/tByteOutputStream.h"
#include "orb/tClassImplementation.h"
#include "orb/tGUID.h"
#include "sim/tSimTaskObjects.h"

namespace nQoHost {

template <class T>
T* cast(nQoORB100::tObject* object) {
  if (object == nullptr) return nullptr;
  return static_cast<T*>(object->___CPPKRLDynamicCast(&T::___classID));
}

inline void destroy(nQoORB100::tObject* object) {
  if (object == nullptr) return;
  int status = 0;
  object->getClass(status).deleteInstance(object, status);
}

// Names the device's pool of that name and number in place (a copy could
// lose the name); a name that cannot be stored is -50352 in status.
inline void namePool(nQoMRL100::tGeneralIdentifier& identifier, const char* name,
                     const nQoORB100::tGUID& device, int& status, uint32_t index = 0) {
  nQoMDBG100::tStatus2 named;
  identifier.setDeviceGUID(device);
  identifier.setString(name, named);
  identifier.setIndex(index);
  nQoUdR100::mergeCode(status, named.code);
}

// One supervisor of a task, with the settings it was initialized from.
struct tTaskMember {
  uint32_t key;
  nQoORB100::iCloneableExternalizable* settings = nullptr;
  nQoMRL100::iPrimitiveSupervisor* supervisor = nullptr;
};

// Streams the filled settings out and reads them into a fresh object of
// their class; creates the supervisor.
template <class tSettings>
tTaskMember makeMember(uint32_t key, const tSettings& filled, const char* supervisorClass,
                       int& status) {
  tTaskMember member{key};
  nQoORB100::tByteOutputStream out;
  filled.writeExternal(out, status);
  member.settings = cast<nQoORB100::iCloneableExternalizable>(
      nQoORB100::tClassRegistry::createByName(tSettings::kClassName, status));
  if (member.settings != nullptr) {
    nQoORB100::tByteInputStream in(out.bytes().data(), out.bytes().size());
    member.settings->readExternal(in, status);
  }
  member.supervisor = cast<nQoMRL100::iPrimitiveSupervisor>(
      nQoORB100::tClassRegistry::createByName(supervisorClass, status));
  return member;
}

class tTaskMembers {
 public:
  using iPrimitiveSupervisor = nQoMRL100::iPrimitiveSupervisor;
  using tStatus2 = nQoMDBG100::tStatus2;

  explicit tTaskMembers(nQoSim::tSimSupervisorMap& map) : _map(map) {}
  ~tTaskMembers() {
    for (tTaskMember& member : _members) {
      destroy(member.supervisor);
      destroy(member.settings);
    }
  }
  tTaskMembers(const tTaskMembers&) = delete;
  tTaskMembers& operator=(const tTaskMembers&) = delete;

  // Keeps the member and enters its supervisor in the map.
  void add(const tTaskMember& member) {
    _members.push_back(member);
    if (member.supervisor != nullptr) _map.entries[member.key] = member.supervisor;
  }
  bool empty() const { return _members.empty(); }
  // The supervisor of a key; null when it was not made.
  iPrimitiveSupervisor* supervisor(uint32_t key) const {
    for (const tTaskMember& member : _members)
      if (member.key == key) return member.supervisor;
    return nullptr;
  }

  // initialize, link, reserveResource and linkResource, each over every
  // member in creation order, until the status fails.
  void bringUp(nQoMRL100::iRuntimeFacade* facade, tStatus2& status) {
    for (tTaskMember& member : _members) {
      if (status.isFatal()) return;
      const auto* settings = cast<nQoMRL100::iPrimitiveSettings>(member.settings);
      member.supervisor->initialize(*settings, facade, status);
    }
    each([&](iPrimitiveSupervisor& s) { s.link(_map, status); }, status);
    each([&](iPrimitiveSupervisor& s) { s.reserveResource(status); }, status);
    each([&](iPrimitiveSupervisor& s) { s.linkResource(status); }, status);
  }

  // A control code to the members of the keys, in that order, until the
  // status fails.
  void control(uint32_t code, std::initializer_list<uint32_t> keys, tStatus2& status) {
    for (uint32_t key : keys) {
      iPrimitiveSupervisor* target = supervisor(key);
      if (status.isFatal() || target == nullptr) return;
      target->control(code, nullptr, nullptr, status);
    }
  }

  void commitCancel() {
    tStatus2 local;
    for (tTaskMember& member : _members)
      if (member.supervisor != nullptr) member.supervisor->commitCancel(local);
  }

  // unlinkResource, releaseResource and unlink, each in reverse creation
  // order, each on a fresh status.
  void undo() {
    for (auto step : {&iPrimitiveSupervisor::unlinkResource, &iPrimitiveSupervisor::releaseResource,
                      &iPrimitiveSupervisor::unlink})
      for (auto it = _members.rbegin(); it != _members.rend(); ++it) {
        tStatus2 local;
        if (it->supervisor != nullptr) (it->supervisor->*step)(local);
      }
  }

 private:
  template <class Step>
  void each(Step step, tStatus2& status) {
    for (tTaskMember& member : _members)
      if (status.isNotFatal()) step(*member.supervisor);
  }

  nQoSim::tSimSupervisorMap& _map;
  std::vector<tTaskMember> _members;
};

}  // namespace nQoHost
