// An event that callers on other threads block on, and that a lifecycle step,
// a stop or a close ends for every one of them, together with its end marks.
// The order that lets an end reach every wait is written here once:
//   - end sets the mark, then the event;
//   - a reset after an end, or once the event was taken out, sets it again,
//     so no reset takes the set of an end;
//   - a wait looks at the marks before it blocks and after it wakes, and one
//     that leaves woken on an end or a close sets the event again: the wake
//     it took is passed on to the next waiter.
// The marks are bits of the owner's choosing, each lifted on its own (a stop
// by the next arm, a release's end by the next reservation or link), so that
// no step lifts a mark it does not own. Every call is a pass on the event:
// close takes it out, sets it when a wait is on it, and closes it once the
// calls under way have left.
//
//   tEndableEvent event;
//   event.open({1, 2, 44}, &code);
//   event.set();                          // a notification: a clock, a change
//   event.reset();
//   if (event.wait(timeout, &code) == tEndableEvent::kEnded) return;
//   event.end(kStopMark);                 // another thread
//   event.lift(kStopMark);                // the next arm
//   event.close();
#pragma once

#include <atomic>
#include <cstdint>

#include "frame/tPassCount.h"
#include "sync/iSync.h"

namespace nQoUdR100 {

class tEndableEvent {
 public:
  // How a wait left: woken by a set, ready before it blocked, on an end mark,
  // with no event (none open, or taken out during the wait), at its
  // time-out, or on another failure of the wait (its code in *code).
  enum tLeft : uint32_t { kWoken, kReady, kEnded, kClosed, kTimedOut, kFailed };

  // A call that uses the event's owner around its waits: close waits for it
  // too.
  class tCall {
   public:
    explicit tCall(tEndableEvent& event) : _inside(event._passes) {}

   private:
    tPassCount::tInside _inside;
  };

  tEndableEvent() = default;
  ~tEndableEvent() { close(); }
  tEndableEvent(const tEndableEvent&) = delete;
  tEndableEvent& operator=(const tEndableEvent&) = delete;

  // Opens an event in place of the one open now, which goes as close takes
  // it; false, with the code, when the open fails, and the one before stays.
  bool open(const iSync::tParam& param, int* code);
  // Takes the event out, sets it when a wait is on it (every wait on it
  // leaves as closed), waits for the calls under way and closes it.
  void close();
  bool isOpen() const { return _event.load() != nullptr; }
  // The event open now (null: none), to be looked at, not used.
  const iSync* event() const { return _event.load(); }

  // Sets marks, then the event.
  void end(uint32_t marks);
  void lift(uint32_t marks) { _marks.fetch_and(~marks); }
  // Whether any of marks is set (by default, any mark at all).
  bool ended(uint32_t marks = ~0u) const { return (_marks.load() & marks) != 0; }

  // A notification: sets the event when one is open.
  void set();
  // Clears the event, and sets it again when a mark is set or it was taken out.
  void reset();
  // Blocks on the event up to timeout (milliseconds; iSync::kWaitForever: no
  // limit) unless a mark is set or ready() holds. A wait that comes back from
  // the event with a mark set or the event taken out sets it again.
  template <class tReady>
  tLeft wait(uint32_t timeout, int* code, tReady ready);
  tLeft wait(uint32_t timeout, int* code) {
    return wait(timeout, code, [] { return false; });
  }

 private:
  // Sets the event taken out when a wait is on it, waits for the calls under
  // way and closes it.
  void retire(iSync* event);
  // One wait, counted before it looks for the event: a close that takes the
  // event out either finds the count or is seen by the wait.
  class tWaiting {
   public:
    explicit tWaiting(std::atomic<uint32_t>& count) : _count(count) { _count.fetch_add(1); }
    ~tWaiting() { _count.fetch_sub(1); }
    tWaiting(const tWaiting&) = delete;
    tWaiting& operator=(const tWaiting&) = delete;

   private:
    std::atomic<uint32_t>& _count;
  };
  static void setEvent(iSync* event) {
    int code = 0;
    event->releaseOrSet(&code);
  }

  std::atomic<iSync*> _event{nullptr};
  std::atomic<uint32_t> _marks{0};
  std::atomic<uint32_t> _waiting{0};
  tPassCount _passes;
};

template <class tReady>
tEndableEvent::tLeft tEndableEvent::wait(uint32_t timeout, int* code, tReady ready) {
  const tPassCount::tInside inside(_passes);
  const tWaiting waiting(_waiting);
  iSync* const event = _event.load();
  if (event == nullptr) return kClosed;
  if (ended()) return kEnded;
  if (ready()) return kReady;
  const uint32_t woken = event->waitOrAcquire(timeout, code);
  if (_event.load() != event) {
    setEvent(event);
    return kClosed;
  }
  if (ended()) {
    setEvent(event);
    return kEnded;
  }
  if (woken == 1) return kWoken;
  return *code == iSync::kTimeoutCode ? kTimedOut : kFailed;
}

}  // namespace nQoUdR100
