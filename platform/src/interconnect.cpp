// The interconnect manager, intent destruction and the cloneable endpoint and
// intent classes, with the test controls of simInterconnect.h.
#include <map>
#include <memory>
#include <mutex>

#include "dim/iInterconnectManager.h"
#include "dim/tIntentFactory.h"
#include "mdbg/tStatus2.h"
#include "orb/tClassImplementation.h"
#include "sim/simInterconnect.h"
#include "sim/tBoundedLog.h"
#include "sim/tSimCloneable.h"

namespace {

constexpr int kOperations = nQoSim::kDestroyIntent + 1;

struct tFailure {
  unsigned calls = 0;
  unsigned failAt = 0;
  int code = 0;
};

class tSimReservation : public nQoDIM_1_4::iReservation {};

std::mutex gLock;
constinit nQoSim::tBoundedLog<nQoSim::tInterconnectRecord> gLog;
tFailure gFailures[kOperations];
std::map<const nQoDIM_1_4::iReservation*, std::unique_ptr<tSimReservation>> gHeld;

void merge(int& status, int code) {
  if (nQoMDBG100::takesCode(status, code)) status = code;
}

// Counts a call of the operation; true when it is the one to fail (the armed
// code then merged into the status). Called with gLock held.
bool failsNow(nQoSim::tInterconnectOperation operation, int& status) {
  tFailure& failure = gFailures[operation];
  if (++failure.calls != failure.failAt) return false;
  failure.failAt = 0;
  merge(status, failure.code);
  return true;
}

class tSimManager : public nQoDIM100::iInterconnectManager {
 public:
  nQoDIM_1_4::iReservation* reserve(const char* owner,
                                    nQoDIM100::iInterconnectBusEndpoint* endpoint,
                                    nQoDIM100::iIntent* intent, int& status,
                                    const nQoDIM100::tLineSet& lines) override {
    std::lock_guard<std::mutex> lock(gLock);
    nQoSim::tInterconnectRecord record{.operation = nQoSim::kReserve,
                                       .incoming = status,
                                       .owner = owner == nullptr ? "" : owner,
                                       .endpoint = endpoint,
                                       .intent = intent,
                                       .lines = lines};
    tSimReservation* answer = nullptr;
    if (status >= 0 && !failsNow(nQoSim::kReserve, status)) {
      auto held = std::make_unique<tSimReservation>();
      answer = held.get();
      gHeld.emplace(answer, std::move(held));
    }
    record.object = answer;
    gLog.add(record);
    return answer;
  }

  void release(nQoDIM_1_4::iReservation* reservation, int& status) override {
    std::lock_guard<std::mutex> lock(gLock);
    nQoSim::tInterconnectRecord record{
        .operation = nQoSim::kRelease, .incoming = status, .object = reservation};
    gLog.add(record);
    if (status < 0 || failsNow(nQoSim::kRelease, status)) return;
    if (gHeld.erase(reservation) == 0) merge(status, -50004);  // not one of ours
  }
};

tSimManager gManager;

}  // namespace

namespace nQoDIM100 {

void* iInterconnectBusEndpoint::___classID = nullptr;
void* iIntent::___classID = nullptr;

iInterconnectManager* getInterconnectManager(int& status) {
  std::lock_guard<std::mutex> lock(gLock);
  gLog.add({.operation = nQoSim::kGetManager, .incoming = status});
  if (status < 0 || failsNow(nQoSim::kGetManager, status)) return nullptr;
  return &gManager;
}

void tIntentFactory::destroy(iIntent* intent, int& status) {
  {
    std::lock_guard<std::mutex> lock(gLock);
    gLog.add({.operation = nQoSim::kDestroyIntent, .incoming = status, .intent = intent});
    if (status < 0 || intent == nullptr) return;
    failsNow(nQoSim::kDestroyIntent, status);
  }
  int local = 0;
  intent->getClass(local).deleteInstance(intent, local);
  merge(status, local);
}

}  // namespace nQoDIM100

namespace nQoSim {

template <class Interface>
void* tSimCloneable<Interface>::___classID = nullptr;
template <>
const char* const tSimEndpoint::kClassName = "nQoSim::tSimEndpoint";
template <>
const char* const tSimIntent::kClassName = "nQoSim::tSimIntent";

namespace {

template <class Interface>
const nQoORB100::tClassImplementation& registrationOf() {
  static const nQoORB100::tClassImplementation registration(
      tSimCloneable<Interface>::kClassName,
      [](int&) -> nQoORB100::tObject* { return new tSimCloneable<Interface>; },
      [](nQoORB100::tObject* object, int& status) {
        delete object;
        return status;
      },
      &tSimCloneable<Interface>::___classID);
  return registration;
}

}  // namespace

template <class Interface>
tSimCloneable<Interface>* tSimCloneable<Interface>::create() {
  int status = 0;
  nQoORB100::tObject* made = registrationOf<Interface>().newInstance(status);
  return static_cast<tSimCloneable*>(made->___CPPKRLDynamicCast(&___classID));
}

template <class Interface>
void* tSimCloneable<Interface>::___CPPKRLDynamicCast(void* const* classID) {
  if (classID == &___classID) return this;
  if (classID == &Interface::___classID) return static_cast<Interface*>(this);
  if (classID == &nQoORB100::iCloneable::___classID)
    return static_cast<nQoORB100::iCloneable*>(this);
  return nQoORB100::tObject::___CPPKRLDynamicCast(classID);
}

template <class Interface>
const void* tSimCloneable<Interface>::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tSimCloneable*>(this)->___CPPKRLDynamicCast(classID);
}

template <class Interface>
nQoORB100::tClass tSimCloneable<Interface>::getClass(int&) const {
  return nQoORB100::tClass(&registrationOf<Interface>());
}

template <class Interface>
nQoORB100::tObject* tSimCloneable<Interface>::clone(int& status) const {
  {
    std::lock_guard<std::mutex> lock(gLock);
    gLog.add({.operation = kClone, .incoming = status, .object = this});
    if (status < 0 || failsNow(kClone, status)) return nullptr;
  }
  return create();
}

template class tSimCloneable<nQoDIM100::iInterconnectBusEndpoint>;
template class tSimCloneable<nQoDIM100::iIntent>;

std::vector<tInterconnectRecord> interconnectLog() {
  std::lock_guard<std::mutex> lock(gLock);
  return gLog.records();
}

void failInterconnectCall(tInterconnectOperation operation, unsigned nth, int code) {
  std::lock_guard<std::mutex> lock(gLock);
  tFailure& failure = gFailures[operation];
  failure.failAt = nth == 0 ? 0 : failure.calls + nth;
  failure.code = code;
}

int liveInterconnectReservations() {
  std::lock_guard<std::mutex> lock(gLock);
  return static_cast<int>(gHeld.size());
}

void resetInterconnect() {
  std::lock_guard<std::mutex> lock(gLock);
  gLog.clear();
  gHeld.clear();
  for (tFailure& failure : gFailures) failure.failAt = 0;
}

}  // namespace nQoSim
