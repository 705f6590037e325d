// Destroys an object that the class registry created, through its class:
//
//   nQoORB100::destroyObject(endpoint, status);   // any interface with ___ORBGetTObject
//
// Null does nothing and leaves the status alone.
#pragma once

#include "orb/tObject.h"

namespace nQoORB100 {

inline void destroyObject(tObject* object, int& status) {
  if (object == nullptr) return;
  object->getClass(status).deleteInstance(object, status);
}

template <class T>
void destroyObject(T* object, int& status) {
  if (object == nullptr) return;
  tObject* root = object->___ORBGetTObject();
  if (root != nullptr) destroyObject(root, status);
}

}  // namespace nQoORB100
