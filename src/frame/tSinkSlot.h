// A single stored pointer through which a pass on another thread (an
// interrupt or deferred pass, a polling or worker thread) reports, without a
// lock: a done sink, a done target, a scheduler action, a completion
// notifier. The pass calls through it inside a counted pass; a store that
// replaces a pointer waits for the passes under way on other threads, so the
// one it took out may be freed once the store returns.
//
//   _doneSink.call([&](iDMAEndpoint& sink) { sink.transferEnded(reason, status); });
//   _doneSink.set(nullptr);   // the endpoint may go now
//
// A caller that answers for itself when nothing is stored (a code of its
// own) takes use, which hands it the pointer, null or not, inside the pass.
// A lifecycle step that resets or gives up what the passes reach takes it
// out first (takeOut, resetOutOfReach), after ending the passes that may
// block in it.
#pragma once

#include <atomic>

#include "frame/tPassCount.h"

namespace nQoUdR100 {

template <class T>
class tSinkSlot {
 public:
  tSinkSlot() = default;
  tSinkSlot(const tSinkSlot&) = delete;
  tSinkSlot& operator=(const tSinkSlot&) = delete;

  // The pass: runs call(sink) inside a counted pass when a sink is set;
  // false when none is.
  template <class tCall>
  bool call(tCall call) {
    const tPassCount::tInside inside(_passes);
    T* sink = _sink.load();
    if (sink == nullptr) return false;
    call(*sink);
    return true;
  }

  // The pass for a caller that answers for a missing sink itself: runs
  // call(sink) inside a counted pass with the sink as stored, possibly null,
  // and answers what call answers.
  template <class tCall>
  decltype(auto) use(tCall call) {
    const tPassCount::tInside inside(_passes);
    return call(_sink.load());
  }

  // What is stored; not to be called through (call and use do that).
  T* get() const { return _sink.load(); }

  // Stores the sink. When it replaces another, returns once the passes under
  // way on other threads have left: never at interrupt level nor with a lock
  // that such a pass takes.
  void set(T* sink) {
    T* const replaced = _sink.exchange(sink);
    if (replaced != nullptr && replaced != sink) _passes.waitForPasses();
  }

  // Takes the sink out (waiting as set does), runs change() while none is
  // stored, then stores sink: what the passes reach is changed out of their
  // reach.
  template <class tChange>
  void setAfter(tChange change, T* sink) {
    set(nullptr);
    change();
    set(sink);
  }

  // For a step that resets, frees or hands back what the passes reach:
  // end(sink) first ends the passes that may block in it, then the sink is
  // taken out (waiting as set does) and answered (null: none was stored).
  template <class tEnd>
  T* takeOut(tEnd end) {
    T* const sink = get();
    if (sink != nullptr) end(*sink);
    set(nullptr);
    return sink;
  }

  // takeOut, then change(sink) out of the passes' reach, then the sink goes
  // back: a reset that keeps it.
  template <class tEnd, class tChange>
  void resetOutOfReach(tEnd end, tChange change) {
    T* const sink = takeOut(end);
    change(sink);
    if (sink != nullptr) set(sink);
  }

 private:
  std::atomic<T*> _sink{nullptr};
  tPassCount _passes;
};

}  // namespace nQoUdR100
