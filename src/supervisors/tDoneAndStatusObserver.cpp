#include "supervisors/tDoneAndStatusObserver.h"

namespace nQoUdR100 {

using nQoMDBG100::tStatus2;

void tDoneObserver::post(const nQoMRL110::tSoftwareAction& action, tStatus2& status) {
  if (_target != nullptr) _target->post(action, status);
}

void tDoneObserver::notifyDone(const tStatus2& done) {
  tStatus2 dropped;
  post(nQoMRL110::tSoftwareActionForIsDoneEvent(done), dropped);
}

void tDoneObserver::notifyDoneWithStatus(const tStatus2& done, tStatus2& status) {
  tStatus2 sends;
  if (done.isFatal()) post(nQoMRL110::tSoftwareActionForStatusEvent(done), sends);
  post(nQoMRL110::tSoftwareActionForIsDoneEvent(done), sends);
  status.assign(sends);
}

void tDoneAndStatusObserver::notifyDone(const tStatus2& done) {
  if (done.isFatal()) {
    tStatus2 dropped;
    post(nQoMRL110::tSoftwareActionForStatusEvent(done), dropped);
  }
  tDoneObserver::notifyDone(done);
}

}  // namespace nQoUdR100
