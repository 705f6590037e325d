// The object broker: class registrations, creation by name, live counts.
#include <map>
#include <mutex>
#include <string>

#include "mdbg/tStatus2.h"
#include "orb/iCloneable.h"
#include "orb/tClassImplementation.h"
#include "sim/simClassRegistry.h"

namespace {

struct tEntry {
  const nQoORB100::tClassImplementation* implementation;
  long live;
};

struct tNewInstanceScript {
  bool armed = false;
  nQoORB100::tObject* answer = nullptr;
  int code = 0;
};

std::recursive_mutex gRegistryLock;
tNewInstanceScript gNewInstanceScript;
std::map<std::string, tEntry>& registry() {
  static std::map<std::string, tEntry> entries;
  return entries;
}

void countInstance(const nQoORB100::tClassImplementation* implementation, long delta) {
  std::lock_guard<std::recursive_mutex> lock(gRegistryLock);
  auto found = registry().find(implementation->getName());
  if (found != registry().end() && found->second.implementation == implementation)
    found->second.live += delta;
}

}  // namespace

namespace nQoORB100 {

void* tObject::___classID = nullptr;
void* iCloneable::___classID = nullptr;

tObject::~tObject() = default;

void* tObject::___CPPKRLDynamicCast(void* const* classID) {
  return classID == &___classID ? this : nullptr;
}

const void* tObject::___CPPKRLDynamicCast(void* const* classID) const {
  return classID == &___classID ? this : nullptr;
}

tClass tObject::getClass(int&) const { return tClass(_class); }

tObject* tObject::___ORBGetTObject() { return this; }

const tClassImplementation*& tObject::getTObjectClass(int&) const { return _class; }

tObject* tClass::newInstance(int& status) const {
  if (status < 0) return nullptr;
  if (_implementation == nullptr) {
    status = -88300;
    return nullptr;
  }
  return _implementation->newInstance(status);
}

void tClass::deleteInstance(tObject* object, int& status) const {
  if (_implementation != nullptr) _implementation->deleteInstance(object, status);
}

const char* tClass::getName() const {
  return _implementation == nullptr ? "" : _implementation->getName();
}

tClassImplementation::tClassImplementation(const char* name, tFactory factory, tDestroy destroy,
                                           void* const* classID)
    : _name(name == nullptr ? "" : name), _factory(factory), _destroy(destroy), _classID(classID) {
  std::lock_guard<std::recursive_mutex> lock(gRegistryLock);
  _registered = registry().emplace(_name, tEntry{this, 0}).second;
}

tClassImplementation::~tClassImplementation() {
  if (!_registered) return;
  std::lock_guard<std::recursive_mutex> lock(gRegistryLock);
  registry().erase(_name);
}

tObject* tClassImplementation::newInstance(int& status) const {
  if (status < 0 || _factory == nullptr) return nullptr;
  {
    std::lock_guard<std::recursive_mutex> lock(gRegistryLock);
    if (gNewInstanceScript.armed) {
      gNewInstanceScript.armed = false;
      if (nQoMDBG100::takesCode(status, gNewInstanceScript.code)) status = gNewInstanceScript.code;
      return gNewInstanceScript.answer;
    }
  }
  tObject* object = _factory(status);
  if (object != nullptr) countInstance(this, +1);
  return object;
}

int tClassImplementation::deleteInstance(tObject* object, int& status) const {
  if (object == nullptr || status < 0 || _destroy == nullptr) return status;
  countInstance(this, -1);
  return _destroy(object, status);
}

namespace tClassRegistry {

const tClassImplementation* find(const char* name) {
  std::lock_guard<std::recursive_mutex> lock(gRegistryLock);
  auto found = registry().find(name == nullptr ? "" : name);
  return found == registry().end() ? nullptr : found->second.implementation;
}

std::size_t count() {
  std::lock_guard<std::recursive_mutex> lock(gRegistryLock);
  return registry().size();
}

const char* nameAt(std::size_t index) {
  std::lock_guard<std::recursive_mutex> lock(gRegistryLock);
  auto it = registry().begin();
  for (std::size_t i = 0; i < index && it != registry().end(); ++i) ++it;
  return it == registry().end() ? nullptr : it->first.c_str();
}

tObject* createByName(const char* name, int& status) {
  return tClass(find(name)).newInstance(status);
}

long liveInstances(const char* name) {
  std::lock_guard<std::recursive_mutex> lock(gRegistryLock);
  auto found = registry().find(name == nullptr ? "" : name);
  return found == registry().end() ? 0 : found->second.live;
}

}  // namespace tClassRegistry

}  // namespace nQoORB100

namespace nQoSim {

void scriptNextNewInstance(nQoORB100::tObject* answer, int code) {
  std::lock_guard<std::recursive_mutex> lock(gRegistryLock);
  gNewInstanceScript = {true, answer, code};
}

void clearNewInstanceScript() {
  std::lock_guard<std::recursive_mutex> lock(gRegistryLock);
  gNewInstanceScript = {};
}

}  // namespace nQoSim
