// How the AI immediate transfer waits while the FIFO is empty: not at all
// (none: return what was read), by polling (nop), by yielding the thread, or
// blocking on an event that the timing controller's sample ends set.
//
//   iWaiter* waiter = makeWaiter(kBlocking, timing, &readEvent, &timeout, nullptr, false, status);
//   if (waiter->wait(reading, status)) ... // true: stop reading
//   waiter->nameEvent(name, status);       // a client's event, in place
#pragma once

#include <cstdint>

#include "frame/tEndableEvent.h"
#include "frame/tModuleObject.h"
#include "frame/tTimer.h"
#include "mdbg/tStatus2.h"
#include "orb/tGUID.h"
#include "primitives/ai/tBaseAITimingControllerPrimitive.h"
#include "sync/iSync.h"
#include "time/tTimerTimebase.h"

namespace nQoUdP100 {

// The read's time-out: 0 none (no waiting), 1 infinite, 2 timed.
struct tAIImmediateTimeout {
  enum tMode : uint32_t { kNoWait = 0, kInfinite = 1, kTimed = 2 };
  uint32_t mode = kInfinite;
  uint64_t limit = 0;  // in unit
  tTimerTimeUnit unit = kTimerTimeUnitMillisecond;
  nQoUdR100::tTimer<tTimerTimebaseEfficient> timer;

  bool expired(nQoMDBG100::tStatus2& status) const {
    if (mode == kInfinite) return false;
    if (mode == kNoWait) return true;
    return timer.getElapsedTime(unit, &status.code) >= limit;
  }
  // What is left in milliseconds: all ones without limit, 0 when passed.
  uint32_t remainingMilliseconds(nQoMDBG100::tStatus2& status) const;
};

class iWaiter : public nQoUdR100::tModuleObject {
 public:
  enum tKind : uint32_t { kNone = 0, kNop = 1, kBlocking = 2, kYield = 3 };
  virtual ~iWaiter() = default;
  // True: stop reading and return what was read. reading: the read's wait
  // on the event, taken as the read began.
  virtual bool wait(const nQoUdR100::tEndableEvent::tWaiting& reading,
                    nQoMDBG100::tStatus2& status) = 0;
  // The read is satisfied.
  virtual void complete(nQoMDBG100::tStatus2&) {}
  virtual bool waitsRepeatedly() const { return true; }
  // The client names the event to block on; only a blocking waiter has one.
  virtual void nameEvent(uint64_t, nQoMDBG100::tStatus2&) {}
};

class tNoneWaiter final : public iWaiter {
 public:
  bool wait(const nQoUdR100::tEndableEvent::tWaiting&, nQoMDBG100::tStatus2&) override {
    return true;
  }
};

class tNopWaiter final : public iWaiter {
 public:
  bool wait(const nQoUdR100::tEndableEvent::tWaiting&, nQoMDBG100::tStatus2&) override {
    return false;
  }
};

class tYieldWaiter final : public iWaiter {
 public:
  bool wait(const nQoUdR100::tEndableEvent::tWaiting&, nQoMDBG100::tStatus2&) override;
};

// Waits for a sample end, with what is left of the time-out, on the owner's
// read event, whose marks end the wait (it then answers true with no code).
// The waiter opens the event, and closes it when it goes. Without an event (a
// client that has not named one yet) a wait is refused with kNullPointer. A
// client naming another event has it opened in place of the one before, which
// is closed once the cancels and sample ends setting it have left: the waiter
// itself and its record in the controller stay. Naming and the read's own
// wait and complete are kept apart by the owner.
class tBlockingWaiter final : public iWaiter,
                              public tBaseAITimingControllerPrimitive::iSampleEndObserver {
 public:
  // An event of its own (1, 2, 44), or with withoutEvent none until the
  // client names one.
  tBlockingWaiter(tBaseAITimingControllerPrimitive* timing, nQoUdR100::tEndableEvent* event,
                  const tAIImmediateTimeout* timeout, const nQoORB100::tGUID* device,
                  bool withoutEvent, nQoMDBG100::tStatus2& status);
  ~tBlockingWaiter() override;

  bool wait(const nQoUdR100::tEndableEvent::tWaiting& reading,
            nQoMDBG100::tStatus2& status) override;
  void complete(nQoMDBG100::tStatus2& status) override;
  bool waitsRepeatedly() const override { return false; }
  // The client's event (1, 2, 46, then the name's low and high words) in
  // place of the one before; a failed open keeps the one before.
  void nameEvent(uint64_t name, nQoMDBG100::tStatus2& status) override;
  uint32_t sampleEnded(tBaseAITimingControllerPrimitive*, nQoMDBG100::tStatus2&) override;

 private:
  // Its own event (name null) or the client's, in place of the one before.
  void openEvent(const uint64_t* name, nQoMDBG100::tStatus2& status);

  tBaseAITimingControllerPrimitive* _timing;
  nQoUdR100::tEndableEvent* _event;
  const tAIImmediateTimeout* _timeout;
  const nQoORB100::tGUID* _device;
  bool _registered = false;
};

// The waiter of a wait mode (0 none, 1 nop, 2 blocking, 3 yield; others nop);
// null with kOutOfMemory when it cannot be allocated. A blocking waiter waits
// on event.
iWaiter* makeWaiter(uint32_t mode, tBaseAITimingControllerPrimitive* timing,
                    nQoUdR100::tEndableEvent* event, const tAIImmediateTimeout* timeout,
                    const nQoORB100::tGUID* device, bool withoutEvent,
                    nQoMDBG100::tStatus2& status);

}  // namespace nQoUdP100
