// A class registration: registers a class by name until it is destroyed.
#pragma once

#include <cstddef>
#include <string>

#include "orb/tObject.h"

namespace nQoORB100 {

using tFactory = tObject* (*)(int& status);
using tDestroy = int (*)(tObject* object, int& status);

class tClassImplementation {
 public:
  // Copies the name. A name that is already registered is not registered again.
  tClassImplementation(const char* name, tFactory factory, tDestroy destroy, void* const* classID);
  ~tClassImplementation();
  tClassImplementation(const tClassImplementation&) = delete;
  tClassImplementation& operator=(const tClassImplementation&) = delete;

  tObject* newInstance(int& status) const;
  int deleteInstance(tObject* object, int& status) const;
  const char* getName() const { return _name.c_str(); }
  void* const* classID() const { return _classID; }
  bool isRegistered() const { return _registered; }

 private:
  std::string _name;
  tFactory _factory;
  tDestroy _destroy;
  void* const* _classID;
  bool _registered = false;
};

// The registry as the host sees it: lookup and listing by name.
namespace tClassRegistry {
const tClassImplementation* find(const char* name);
std::size_t count();
// Registered names in alphabetical order; index below count().
const char* nameAt(std::size_t index);
// Creates an object of the named class; null with -88300 for an unknown name.
tObject* createByName(const char* name, int& status);
// Objects made by newInstance and not yet given to deleteInstance.
long liveInstances(const char* name);
}  // namespace tClassRegistry

}  // namespace nQoORB100
