#include "frame/tEndableEvent.h"

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
  if (_waiting.load() != 0) setEvent(event);
  _passes.waitForPasses();
  syncClose(event);
}

void tEndableEvent::end(uint32_t marks) {
  const tPassCount::tInside inside(_passes);
  _marks.fetch_or(marks);
  if (iSync* const event = _event.load()) setEvent(event);
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
