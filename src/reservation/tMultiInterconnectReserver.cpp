#include "reservation/tMultiInterconnectReserver.h"

#include "dim/iInterconnectManager.h"
#include "dim/tIntentFactory.h"
#include "frame/destroyObject.h"
#include "frame/statusCodes.h"
#include "orb/iCloneable.h"

namespace nQoMRTB100 {

namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::setCode;

constexpr const char kFile[] = "tMultiInterconnectReserver";

template <class T>
T* castTo(nQoORB100::tObject* object) {
  return object == nullptr ? nullptr
                           : static_cast<T*>(object->___CPPKRLDynamicCast(&T::___classID));
}

// A clone of the object as a T. Null with kCastFailed when the object is
// missing, not cloneable or its clone is no T; such a clone is destroyed again,
// that destruction's status merged.
template <class T>
T* cloneAs(nQoORB100::tObject* object, tStatus2& status) {
  auto* cloneable = castTo<nQoORB100::iCloneable>(object);
  if (cloneable == nullptr) {
    setCode(status, nQoUdR100::kCastFailed, {kFile, 40});
    return nullptr;
  }
  nQoORB100::tObject* copy = cloneable->clone(status.code);
  T* typed = status.isFatal() ? nullptr : castTo<T>(copy);
  if (typed != nullptr) return typed;
  setCode(status, nQoUdR100::kCastFailed, {kFile, 41});
  int destroyed = 0;
  nQoORB100::destroyObject(copy, destroyed);
  setCode(status, destroyed, {kFile, 42});
  return nullptr;
}

// Destroys what is held (destroy, with the caller's status), then holds a
// clone of the object when the status still holds no error.
template <class T, class Destroy>
void replaceWithClone(T*& held, nQoORB100::tObject* object, tStatus2& status, Destroy destroy) {
  if (status.isFatal()) return;
  destroy(held, status.code);
  held = nullptr;
  if (status.isNotFatal()) held = cloneAs<T>(object, status);
}

}  // namespace

tMultiInterconnectReserver::~tMultiInterconnectReserver() {
  int dropped = 0;
  nQoORB100::destroyObject(_endpoint, dropped);
  dropped = 0;
  nQoDIM100::tIntentFactory::destroy(_intent, dropped);
}

void tMultiInterconnectReserver::setName(const char* name, tStatus2& status) {
  if (status.isNotFatal() && !_name.assign(name))
    setCode(status, nQoUdR100::kOutOfMemory, {kFile, 50});
}

void tMultiInterconnectReserver::setLines(const nQoDIM100::tLineSet& lines, tStatus2& status) {
  if (status.isNotFatal()) _lines = lines;
}

void tMultiInterconnectReserver::setEndpoint(nQoORB100::tObject* endpoint, tStatus2& status) {
  replaceWithClone(_endpoint, endpoint, status,
                   [](nQoDIM100::iInterconnectBusEndpoint* held, int& code) {
                     nQoORB100::destroyObject(held, code);
                   });
}

void tMultiInterconnectReserver::setIntent(nQoORB100::tObject* intent, tStatus2& status) {
  replaceWithClone(_intent, intent, status, nQoDIM100::tIntentFactory::destroy);
}

void tMultiInterconnectReserver::checkAllocation(tStatus2& status) const {
  _name.checkAllocation(status, {kFile, 60});
  _reservations.checkAllocation(status, {kFile, 61});
}

void tMultiInterconnectReserver::reserveResource(tStatus2& status) {
  if (status.isFatal()) return;
  nQoDIM100::iInterconnectManager* manager = nQoDIM100::getInterconnectManager(status.code);
  if (status.isFatal()) return;
  // Room for every line first, so that no reservation made can be lost.
  _reservations.reserve(_reservations.size() + _lines.count());
  _reservations.checkAllocation(status, {kFile, 70});
  if (status.isFatal()) return;

  for (unsigned line = 0; line < nQoDIM100::tLineSet::kLines && status.isNotFatal(); ++line) {
    if (!_lines.has(line)) continue;
    nQoDIM_1_4::iReservation* reservation = manager->reserve(
        _name.c_str(), _endpoint, _intent, status.code, nQoDIM100::tLineSet::single(line));
    // Only what was reserved is kept, so that the rollback releases exactly that.
    if (reservation != nullptr && status.isNotFatal()) _reservations.append(reservation);
  }
  if (status.isFatal()) {
    tStatus2 local;
    releaseResource(local);
  }
}

void tMultiInterconnectReserver::releaseResource(tStatus2& status) {
  if (status.isFatal()) return;
  nQoDIM100::iInterconnectManager* manager = nQoDIM100::getInterconnectManager(status.code);
  if (status.isFatal()) return;
  for (std::size_t i = _reservations.size(); i-- > 0;) {
    int local = 0;
    manager->release(_reservations[i], local);
    setCode(status, local, {kFile, 80});
  }
  _reservations.clear();
}

}  // namespace nQoMRTB100
