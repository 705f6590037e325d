// Class identity of the supervisor interface.
#include "mrl/iPrimitiveSupervisor.h"

namespace nQoMRL100 {

void* iPrimitiveSupervisor::___classID = nullptr;

iPrimitiveSupervisor::~iPrimitiveSupervisor() = default;

void* iPrimitiveSupervisor::___CPPKRLDynamicCast(void* const* classID) {
  return classID == &___classID ? this : nQoORB100::tObject::___CPPKRLDynamicCast(classID);
}

const void* iPrimitiveSupervisor::___CPPKRLDynamicCast(void* const* classID) const {
  return classID == &___classID ? this : nQoORB100::tObject::___CPPKRLDynamicCast(classID);
}

}  // namespace nQoMRL100
