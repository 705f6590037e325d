#include "frame/tEndableEvent.h"

#include "kal/nQoKAL.h"

namespace nQoUdR100 {

bool tEndableEvent::open(const iSync::tParam& param, int* code) {
  iSync* const opened = syncOpen(param, code);
  if (opened == nullptr) return false;
  retire(_event.exchange(opened));
  return true;
}

void tEndableEvent::close() { retire(_event.exchange(nullptr)); }

void tEndableEvent::retire(iSync* event) {
  if (event == nullptr) return;
  // A wait that looked before the exchange finds the event set, sees it taken
  // out and sets it again for the next.
  if (_owed.load() != 0) setEvent(event);
  _passes.waitForPasses();
  syncClose(event);
}

void tEndableEvent::end(uint32_t marks) {
  const tPassCount::tInside inside(_passes);
  uint64_t state = _state.load();
  while (!_state.compare_exchange_weak(state, (state | marks) + kOneEnd)) {
  }
  if (iSync* const event = _event.load()) setEvent(event);
}

void tEndableEvent::lift(uint32_t marks) {
  uint64_t state = _state.load();
  // The marks come off only while no end came since its waits were waited
  // for: one that came meanwhile is waited for first.
  do {
    waitForEndedWaits(endsOf(state));
  } while (!_state.compare_exchange_weak(state, state & ~uint64_t{marks}));
  if ((state & ~uint64_t{marks} & kMarkBits) == 0) reset();
}

void tEndableEvent::waitForEndedWaits(uint32_t ends) {
  const auto behind = [&] { return static_cast<int32_t>(ends - _drained.load()) > 0; };
  // Every owed wait under way began before the first end since the last lift
  // (from that end on a mark is set), or an end already left it ended and it
  // leaves at once.
  while (behind() && _owed.load() != 0) nQoKAL100_yieldThread();
  uint32_t drained = _drained.load();
  while (static_cast<int32_t>(ends - drained) > 0 &&
         !_drained.compare_exchange_weak(drained, ends)) {
  }
}

void tEndableEvent::set() {
  const tPassCount::tInside inside(_passes);
  if (iSync* const event = _event.load()) setEvent(event);
}

void tEndableEvent::reset() {
  const tPassCount::tInside inside(_passes);
  iSync* const event = _event.load();
  if (event == nullptr) return;
  int code = 0;
  event->reset(&code);
  // An end or a close that set the event before this reset cleared it.
  if (ended() || _event.load() != event) setEvent(event);
}

}  // namespace nQoUdR100
