// Class identity of the driver interface.
#include "mrl/iDriver.h"

namespace nQoMRL100 {

void* iDriver::___classID = nullptr;

iDriver::~iDriver() = default;

void* iDriver::___CPPKRLDynamicCast(void* const* classID) {
  return classID == &___classID ? this : nQoORB100::tObject::___CPPKRLDynamicCast(classID);
}

const void* iDriver::___CPPKRLDynamicCast(void* const* classID) const {
  return classID == &___classID ? this : nQoORB100::tObject::___CPPKRLDynamicCast(classID);
}

}  // namespace nQoMRL100
