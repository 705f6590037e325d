// A module-wide object built by a static constructor at load and destroyed by
// the at-exit list at unload. It lives in static storage, so building it
// allocates nothing:
//
//   tModuleStatic<tThing> gThing;
//   int constructThing() { return gThing.construct(argument); }   // in the list
//   if (tThing* thing = gThing.get()) ...                          // null when unloaded
#pragma once

#include <new>
#include <utility>

#include "frame/moduleEntry.h"

namespace nQoUdR100 {

template <class T>
class tModuleStatic {
 public:
  // Builds the object and queues its destruction: 0, or -1 when the at-exit
  // entry cannot be allocated (the object is then destroyed at once, so it
  // never outlives the module).
  template <class... tArguments>
  int construct(tArguments&&... arguments) {
    T* object = new (_storage) T(std::forward<tArguments>(arguments)...);
    if (registerAtExit(destroy, this, &gModuleAtExitHead) != 0) {
      object->~T();
      return -1;
    }
    _object = object;
    return 0;
  }

  T* get() const { return _object; }

 private:
  static void destroy(void* self) {
    auto* owner = static_cast<tModuleStatic*>(self);
    T* object = owner->_object;
    owner->_object = nullptr;
    object->~T();
  }

  alignas(T) unsigned char _storage[sizeof(T)];
  T* _object = nullptr;
};

}  // namespace nQoUdR100
