// Destroys an object through its class registration: asks the object for its
// class and hands it to that class's deleteInstance. Null is ignored; the
// status is local and dropped.
#pragma once

#include "frame/destroyObject.h"

namespace nQoMRTB100 {

struct tObjectDeleter {
  void operator()(nQoORB100::tObject* object) const {
    int status = 0;
    nQoORB100::destroyObject(object, status);
  }
};

}  // namespace nQoMRTB100
