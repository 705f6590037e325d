// Done observers: they turn a primitive's done notification into the
// platform's software actions on the waiting supervisor's event object.
// tDoneObserver posts the is-done action; tDoneAndStatusObserver first posts
// a status action when the done status holds an error.
//
//   tDoneAndStatusObserver observer(event);
//   timing.setCompletionNotifier(&observer);
#pragma once

#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "mrl/iEvent.h"
#include "primitives/common/iDoneObserver.h"

namespace nQoUdR100 {

class tDoneObserver : public nQoUdP100::iDoneObserver, public tModuleObject {
 public:
  explicit tDoneObserver(nQoMRL110::iEvent* target) : _target(target) {}
  void setTarget(nQoMRL110::iEvent* target) { _target = target; }
  // The is-done action; what the send reports is dropped.
  void notifyDone(const nQoMDBG100::tStatus2& done) override;
  // A status action when done holds an error, then the is-done action; both
  // sends share one status, merged into the out status.
  void notifyDoneWithStatus(const nQoMDBG100::tStatus2& done,
                            nQoMDBG100::tStatus2& status) override;

 protected:
  void post(const nQoMRL110::tSoftwareAction& action, nQoMDBG100::tStatus2& status);

  nQoMRL110::iEvent* _target;
};

class tDoneAndStatusObserver : public tDoneObserver {
 public:
  using tDoneObserver::tDoneObserver;
  // A status action first when done holds an error; each send on a status
  // of its own, dropped.
  void notifyDone(const nQoMDBG100::tStatus2& done) override;
};

}  // namespace nQoUdR100
