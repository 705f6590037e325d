// A board variant's routing topography as the routing library reads it: the
// unpacked table of terminal names, numbers and routes.
#pragma once

#include "orb/tObject.h"

namespace nQoMRU210 {

class iTopography : public virtual nQoORB100::tObject {
 public:
  // The unpacked table, or null while none is held.
  virtual const void* getTable() const = 0;
};

}  // namespace nQoMRU210
