// The registration of one class with the class registry, made by the class's
// static constructor at load and undone by the module's at-exit list:
//
//   class tThing : public virtual nQoORB100::tObject, public nQoUdR100::tModuleObject {
//    public:
//     static constexpr const char* kClassName = "nQoUdR100::tThing";
//     static void* ___classID;
//     ...
//   };
//   // in the constructor list: &tClassRegistration<tThing>::construct
#pragma once

#include <new>
#include <type_traits>

#include "frame/moduleEntry.h"
#include "frame/statusCodes.h"
#include "frame/tBasicString.h"
#include "frame/tStatusSite.h"
#include "orb/tClassImplementation.h"

namespace nQoUdR100 {

template <class T>
class tClassRegistration {
 public:
  // The static constructor: 0, or -1 when the class could not be registered
  // (-50352 reported at the site), which fails the load.
  static int construct() {
    tString name(T::kClassName);
    if (name.allocationFailed()) return outOfMemory(31);
    auto* registration = new (_storage)
        nQoORB100::tClassImplementation(name.c_str(), factory, destroy, &T::___classID);
    if (registerAtExit(unregister, registration, &gModuleAtExitHead) != 0) {
      // Without an at-exit entry nothing would ever unregister the class.
      registration->~tClassImplementation();
      return outOfMemory(37);
    }
    _registered = true;
    return 0;
  }

  // Null while the module is not loaded.
  static const nQoORB100::tClassImplementation* implementation() {
    if (!_registered) return nullptr;
    return std::launder(reinterpret_cast<const nQoORB100::tClassImplementation*>(_storage));
  }

  // getClass for T: fills the object's class cell on first use.
  static nQoORB100::tClass getClass(const nQoORB100::tObject& object, int& status) {
    const nQoORB100::tClassImplementation*& cell = object.getTObjectClass(status);
    if (cell == nullptr && status >= 0) cell = implementation();
    return nQoORB100::tClass(cell);
  }

  // An abstract class, or one that declares kAbstract (registered for its
  // identity only), refuses both with kAbstractClass.
  static constexpr bool kAbstract = std::is_abstract_v<T> || requires { T::kAbstract; };

  static nQoORB100::tObject* factory(int& status) {
    if (status < 0) return nullptr;
    if constexpr (kAbstract) {
      mergeCode(status, kAbstractClass);
      return nullptr;
    } else {
      T* object = new (status) T;
      return object == nullptr ? nullptr : static_cast<nQoORB100::tObject*>(object);
    }
  }

  static int destroy(nQoORB100::tObject* object, int& status) {
    if (status < 0) return status;
    if constexpr (kAbstract) {
      mergeCode(status, kAbstractClass);
    } else if (object != nullptr) {
      delete object;
    }
    return status;
  }

 private:
  static int outOfMemory(unsigned line) {
    nQoMDBG100::tStatus2 status;
    setCode(status, kOutOfMemory, {"tClassRegistration", line});
    return -1;
  }
  static void unregister(void* registration) {
    _registered = false;
    static_cast<nQoORB100::tClassImplementation*>(registration)->~tClassImplementation();
  }

  static inline bool _registered = false;

  alignas(nQoORB100::tClassImplementation) static inline unsigned char _storage[sizeof(
      nQoORB100::tClassImplementation)];
};

}  // namespace nQoUdR100
