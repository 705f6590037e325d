// An event that callers on other threads block on, and that a lifecycle step,
// a stop or a close ends for every one of them, together with its end marks.
// The order that lets an end reach every wait is written here once:
//   - end sets its marks and counts one end more, in one atomic step, then
//     sets the event;
//   - a wait takes the count of ends and the marks as it begins. One that
//     begins while a mark is set is ended from the start, whatever lift
//     follows: no end owes it a wake, and it never blocks. Any other is
//     counted as owed: it looks at the marks and the count before it blocks
//     and after it wakes, and leaves as ended once a mark is set or the count
//     moved: an end after it began reaches it, whatever lift or reset comes
//     after the end. One that leaves woken on an end or a close sets the
//     event again: the wake it took is passed on to the next waiter;
//   - a lift after an end first waits for the owed waits to leave (the end's
//     set wakes them, or they look at the count). Every owed wait began
//     before that end, since from the end on a mark is set until a lift has
//     waited: a wait that began after it never holds the lift, however often
//     its caller waits again. Then the lift takes its marks off and, when
//     none is left, clears the event: the next run finds no set of the run
//     before, and no wait of that run lost the set its end gave it;
//   - a reset sets the event again while a mark is set or once the event was
//     taken out: the set of an end stays until a lift has waited for the
//     waits it reached.
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
//
// A wait that blocks more than once, or polls the marks between (a read of
// many samples, a polling wait), is one tWaiting from its beginning:
//
//   const tEndableEvent::tWaiting waiting(event);
//   while (!flagSet() && !waiting.ended()) {}
//   while (waiting.wait(timeout, &code) == tEndableEvent::kWoken) take();
#pragma once

#include <atomic>
#include <cstdint>

#include "frame/tPassCount.h"
#include "sync/iSync.h"

namespace nQoUdR100 {

class tEndableEvent {
 public:
  // How a wait left: woken by a set, ready before it blocked, on an end, with
  // no event (none open, or taken out during the wait), at its time-out, or
  // on another failure of the wait (its code in *code).
  enum tLeft : uint32_t { kWoken, kReady, kEnded, kClosed, kTimedOut, kFailed };

  // A call that uses the event's owner around its waits: close waits for it
  // too.
  class tCall {
   public:
    explicit tCall(tEndableEvent& event) : _inside(event._passes) {}

   private:
    tPassCount::tInside _inside;
  };

  // One wait, from construction to destruction: owed a wake when it began
  // with no mark set, and then counted until it leaves, for a lift after the
  // next end to wait for. Never lift the event from inside a wait of it.
  class tWaiting {
   public:
    explicit tWaiting(tEndableEvent& event) : tWaiting(event, event._state.load()) {}
    ~tWaiting() {
      if (_owed) _event._owed.fetch_sub(1);
    }
    tWaiting(const tWaiting&) = delete;
    tWaiting& operator=(const tWaiting&) = delete;

    // It began while a mark was set, a mark is set, or an end came since it
    // began.
    bool ended() const {
      const uint64_t state = _event._state.load();
      return !_owed || (state & kMarkBits) != 0 || endsOf(state) != _ends;
    }
    // Blocks on the event up to timeout (milliseconds; iSync::kWaitForever:
    // no limit) unless ended() or ready() holds. One that comes back from the
    // event ended or with the event taken out sets it again.
    template <class tReady>
    tLeft wait(uint32_t timeout, int* code, tReady ready) const;
    tLeft wait(uint32_t timeout, int* code) const {
      return wait(timeout, code, [] { return false; });
    }

   private:
    tWaiting(tEndableEvent& event, uint64_t began);

    tEndableEvent& _event;
    const uint32_t _ends;
    const bool _owed;
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

  // Sets marks (one or more) and counts the end, then sets the event.
  void end(uint32_t marks);
  // Once the waits that began before the last end have left, takes marks
  // off, and clears the event when no mark is left.
  void lift(uint32_t marks);
  // Whether any of marks is set (by default, any mark at all).
  bool ended(uint32_t marks = ~0u) const {
    return (static_cast<uint32_t>(_state.load()) & marks) != 0;
  }

  // A notification: sets the event when one is open.
  void set();
  // Clears the event, and sets it again when a mark is set or it was taken out.
  void reset();
  // One wait of its own (see tWaiting::wait).
  template <class tReady>
  tLeft wait(uint32_t timeout, int* code, tReady ready) {
    const tWaiting waiting(*this);
    return waiting.wait(timeout, code, ready);
  }
  tLeft wait(uint32_t timeout, int* code) {
    return wait(timeout, code, [] { return false; });
  }

 private:
  // The state word: the count of ends in the high half, the marks in the low.
  static constexpr uint64_t kMarkBits = 0xFFFFFFFFu;
  static constexpr uint64_t kOneEnd = uint64_t{1} << 32;
  static uint32_t endsOf(uint64_t state) { return static_cast<uint32_t>(state >> 32); }

  // Sets the event taken out when a wait is on it, waits for the calls under
  // way and closes it.
  void retire(iSync* event);
  // Returns at once when a lift already waited at ends; otherwise once the
  // owed waits have left, or another lift has seen them leave.
  void waitForEndedWaits(uint32_t ends);
  static void setEvent(iSync* event) {
    int code = 0;
    event->releaseOrSet(&code);
  }

  std::atomic<iSync*> _event{nullptr};
  std::atomic<uint64_t> _state{0};
  // The owed waits under way: those that began with no mark set.
  std::atomic<uint32_t> _owed{0};
  // The count of ends at which a lift last saw the owed waits leave.
  std::atomic<uint32_t> _drained{0};
  tPassCount _passes;
};

// An owed wait is counted before it looks again at the marks or for the
// event: a lift that looks at the count after an end either finds the wait or
// is seen by it (the count of ends moved), and so is a close that takes the
// event out.
inline tEndableEvent::tWaiting::tWaiting(tEndableEvent& event, uint64_t began)
    : _event(event), _ends(endsOf(began)), _owed((began & kMarkBits) == 0) {
  if (_owed) _event._owed.fetch_add(1);
}

template <class tReady>
tEndableEvent::tLeft tEndableEvent::tWaiting::wait(uint32_t timeout, int* code,
                                                   tReady ready) const {
  const tPassCount::tInside inside(_event._passes);
  iSync* const event = _event._event.load();
  if (event == nullptr) return kClosed;
  if (ended()) return kEnded;
  if (ready()) return kReady;
  const uint32_t woken = event->waitOrAcquire(timeout, code);
  if (_event._event.load() != event) {
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
