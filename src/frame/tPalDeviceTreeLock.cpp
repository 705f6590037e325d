#include "frame/tPalDeviceTreeLock.h"

#include "kal/nQoKAL.h"

namespace nQoUdR100::nQoKABBO_1_0 {

namespace {
// A handing-over event: each set wakes one waiter, or stays set until the
// next wait when no one waits.
constexpr uint32_t kHandingOverEvent = 5;
}  // namespace

tPalDeviceTreeLock::tPalDeviceTreeLock() : _record{1, 1, 0, 0xFFFFFFFF, this} {
  iSync::tParam param;
  param.kind = kHandingOverEvent;
  int status = 0;
  _event = syncOpen(param, &status);

  status = 0;
  iDeviceTree* tree = iDeviceTree::getDeviceTree();
  if (tree != nullptr) {
    tree->registerListener(&_record, &status);
    _registered = status >= 0;
  }
  acquire();
}

tPalDeviceTreeLock::~tPalDeviceTreeLock() {
  release();
  iDeviceTree* tree = iDeviceTree::getDeviceTree();
  if (_registered && tree != nullptr) {
    int status = 0;
    tree->unregisterListener(&_record, &status);
  }
  if (_event != nullptr) syncClose(_event);
}

void tPalDeviceTreeLock::observeDevDeviceRemoved(iDevice*) {
  acquire();
  release();
}

void tPalDeviceTreeLock::acquire() {
  const uint64_t id = nQoKAL100_getThreadHandle();
  if (id == _owner.load()) {
    ++_depth;
    return;
  }
  if (_waiters.fetchIncrement() != 0) waitForHandover();
  _owner.store(id);
  _depth.set(1);
}

void tPalDeviceTreeLock::release() {
  if (_depth.fetchDecrement() != 1) return;
  _owner.store(0);
  if (_waiters.fetchDecrement() == 1) return;
  if (_event != nullptr) {
    int status = 0;
    _event->releaseOrSet(&status);
  } else {
    _handover.set(1);
  }
}

void tPalDeviceTreeLock::waitForHandover() {
  if (_event != nullptr) {
    int status = 0;
    while (_event->waitOrAcquire(iSync::kWaitForever, &status) != 1) status = 0;
    return;
  }
  uint32_t expected = 1;
  while (!_handover.compareExchange(expected, 0)) {
    expected = 1;
    nQoKAL100_yieldThread();
  }
}

}  // namespace nQoUdR100::nQoKABBO_1_0
