// One event of a CDIO FIFO: its observer list and the handler pair that the
// CDIO dispatcher calls for the event's source. The primary pass (interrupt
// level) calls every in-use observer's primary notification and keeps its
// answer; the secondary pass calls the secondary notification of those that
// answered non-zero. Both run on a scratch status that is dropped.
//
// A walk "while armed" ends after a call that left the observable no longer
// armed; a primary pass cut so answers kHandled. An observer that stops the
// transfer so ends the walk.
//
//   tCDIOEvent<tCDIO_FIFOObservable, iCDIOOverrunObserver,
//              &iCDIOOverrunObserver::handleOverrun,
//              &iCDIOOverrunObserver::handleOverrunSecondary, tWalk::kWhileArmed> overrun;
//   overrun.add(&observer, status, {"tCDIO_FIFOObservable", 72});
//   dispatcher->attachCDIOverrunHandler(&overrun, &overrun, status);
#pragma once

#include <cstdint>

#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "primitives/common/tObserverList.h"
#include "reservation/iInterruptHandler.h"
#include "reservation/iSecondaryInterruptHandler.h"

namespace nQoUdP100 {

enum class tWalk : uint8_t {
  kWholeList,            // both passes
  kSecondaryWhileArmed,  // the primary pass walks the whole list
  kWhileArmed,           // both passes
};

template <class tObservable, class tObserver, auto kPrimary, auto kSecondary, tWalk kWalk>
class tCDIOEvent final : public nQoMRTB100::iInterruptHandler,
                         public nQoMRTB100::iSecondaryInterruptHandler {
 public:
  static constexpr uint32_t kInitialRoom = 3;

  // Set when the observable's construction succeeded.
  void setObservable(tObservable* observable) { _observable = observable; }

  // Nothing on an error status; a list that cannot grow reports -50352 at the
  // site and adds nothing.
  void add(tObserver* observer, nQoMDBG100::tStatus2& status, const nQoUdR100::tStatusSite& site) {
    _observers.add({observer}, status, site);
  }
  void remove(tObserver* observer, nQoMDBG100::tStatus2& status) {
    _observers.remove(observer, status);
  }
  bool any() const { return _observers.any(); }
  bool allocationFailed() const { return _observers.allocationFailed(); }

  tAnswer handleInterrupt() override {
    nQoMDBG100::tStatus2 scratch;
    const bool pending = _observers.notifyAll(
        [&](tObserver* observer) { return (observer->*kPrimary)(_observable, scratch); },
        [&] { return kWalk != tWalk::kWhileArmed || stillArmed(); });
    scratch.clear();
    if (kWalk == tWalk::kWhileArmed && !stillArmed()) return kHandled;
    return pending ? kHandledWantsSecondary : kHandled;
  }

  uint32_t handleSecondaryInterrupt() override {
    nQoMDBG100::tStatus2 scratch;
    _observers.notifyPending(
        [&](tObserver* observer) { (observer->*kSecondary)(_observable, scratch); },
        [&] { return kWalk == tWalk::kWholeList || stillArmed(); });
    scratch.clear();
    return 0;
  }

 private:
  bool stillArmed() const {
    if constexpr (kWalk == tWalk::kWholeList)
      return true;
    else
      return _observable->isArmed();
  }

  tObservable* _observable = nullptr;
  tObserverList<tObserverRecord<tObserver>> _observers{kInitialRoom};
};

}  // namespace nQoUdP100
