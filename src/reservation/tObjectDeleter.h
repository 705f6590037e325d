// Destroys an object through its class registration: asks the object for its
// class and hands it to that class's deleteInstance. Null is ignored; the
// status is local and dropped.
#pragma once

#include "orb/tObject.h"

namespace nQoMRTB100 {

struct tObjectDeleter {
  void operator()(nQoORB100::tObject* object) const {
    if (object == nullptr) return;
    int status = 0;
    const nQoORB100::tClass objectClass = object->getClass(status);
    objectClass.deleteInstance(object, status);
  }
};

}  // namespace nQoMRTB100
