// The class-identity cast of one class: its own identity answers the object,
// any other is asked of the base.
//
//   void* tThing::___CPPKRLDynamicCast(void* const* id) {
//     return nQoORB100::castToClass<tThing, tBase>(this, id);
//   }
#pragma once

namespace nQoORB100 {

template <class T, class Base>
void* castToClass(T* object, void* const* classID) {
  if (classID == &T::___classID) return object;
  return object->Base::___CPPKRLDynamicCast(classID);
}

}  // namespace nQoORB100
