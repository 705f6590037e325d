// The six control operations of a primitive in flag-bit order (commit, arm,
// start, stop, disarm, uncommit: codes 1, 4100, 2, 3, 4101, 4), as a row of
// a supervisor names them. Most primitives offer them under those names:
//
//   static constexpr auto kControls = namedControls<tBaseAI_ADCPrimitive>();
//
// A primitive whose operation takes more (the scanning front end's commit
// takes a flag) lists its own functions instead.
//
// cancelByTracker is the commit-cancel of every supervisor that embeds the
// state tracker; endRowCalls and reopenRowCalls run a row's end of the calls
// that may wait without end (releasing) and its lift (reopening), and
// bringDownRow a row's bring-down of its primitive before a release.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "frame/freshStatus.h"
#include "mdbg/tStatus2.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "reservation/supervisorEvents.h"
#include "reservation/tSupStateTracker.h"
#include "reservation/tSupStateTransition.h"

namespace nQoUdR100 {

template <class Prim>
using tControlOperation = void (*)(Prim& primitive, nQoMDBG100::tStatus2& status);

template <class Prim>
using tControlOperations = std::array<tControlOperation<Prim>, 6>;

// The row's end of the calls on the primitive that may wait without end,
// before a lifecycle step takes it out of their reach; nothing for a row
// without one.
template <class Row, class Prim>
void endRowCalls(Prim& primitive) {
  if constexpr (requires { Row::releasing(primitive); }) Row::releasing(primitive);
}
// Lifts that end (a reservation, a linkResource).
template <class Row, class Prim>
void reopenRowCalls(Prim& primitive) {
  if constexpr (requires { Row::reopening(primitive); }) Row::reopening(primitive);
}

// Before a release hands the primitive back, out of the entries' reach: the
// row's bring-down from whatever the codes left (bringDown; nothing for a
// row without one). Its steps run on statuses of their own, dropped, each
// deciding by what the primitive holds now, so the hand-back runs whatever
// they report.
template <class Row, class Prim>
void bringDownRow(Prim& primitive) {
  if constexpr (requires { Row::bringDown(primitive); }) Row::bringDown(primitive);
}
// The usual bring-down: disarm, then uncommit, through the primitive's own
// operations.
template <class Prim>
void disarmAndUncommit(Prim& primitive) {
  nQoMDBG100::tStatus2 disarmed, uncommitted;
  primitive.disarm(disarmed);
  primitive.uncommit(uncommitted);
}

// The state transition of a control code: only the six codes with a flag
// bit (bit >= 0) have one.
class tCodeTransition {
 public:
  tCodeTransition(nQoMRTB100::tSupStateTracker& tracker, int bit, uint32_t code,
                  nQoMDBG100::tStatus2& status) {
    if (bit >= 0) _transition.emplace(tracker, static_cast<int32_t>(code), status);
  }

 private:
  std::optional<nQoMRTB100::tSupStateTransition> _transition;
};

template <class Prim>
constexpr tControlOperations<Prim> namedControls() {
  return {[](Prim& p, nQoMDBG100::tStatus2& s) { p.commit(s); },
          [](Prim& p, nQoMDBG100::tStatus2& s) { p.arm(s); },
          [](Prim& p, nQoMDBG100::tStatus2& s) { p.start(s); },
          [](Prim& p, nQoMDBG100::tStatus2& s) { p.stop(s); },
          [](Prim& p, nQoMDBG100::tStatus2& s) { p.disarm(s); },
          [](Prim& p, nQoMDBG100::tStatus2& s) { p.uncommit(s); }};
}

// The undo codes that the tracker's state calls for, in order: stop
// (running), disarm (armed or running), uncommit (committed or later), each
// when its flag is set; undo(code) runs each.
template <class tUndo>
void undoByTrackerState(nQoMRTB100::tSupStateTracker& tracker, nQoMDBG100::tStatus2& status,
                        tUndo undo) {
  const int32_t state = tracker.getState(status);
  const bool running = state == nQoMRTB100::kStateRunning;
  const bool armed = running || state == nQoMRTB100::kStateArmed;
  const bool committed = armed || state == nQoMRTB100::kStateCommitted;
  if (running && tracker.getFlag3(status) != 0) undo(nQoMRTB100::kControlStop);
  if (armed && tracker.getFlag4(status) != 0) undo(nQoMRTB100::kControlDisarm);
  if (committed && tracker.getFlag5(status) != 0) undo(nQoMRTB100::kControlUncommit);
}

// Undoes a task from the tracker's state at entry, inside the commit-cancel
// transition: the undo codes the state calls for, each through the
// supervisor's control on a fresh status merged into the caller's; then the
// state is 40 at most. Nothing on a status that holds an error.
inline void cancelByTracker(nQoMRL100::iPrimitiveSupervisor& supervisor,
                            nQoMRTB100::tSupStateTracker& tracker, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  nQoMRTB100::tSupStateTransition transition(tracker, nQoMRTB100::kEventCommitCancel, status);
  undoByTrackerState(tracker, status, [&](int32_t code) {
    onFreshStatus(status, [&](nQoMDBG100::tStatus2& s) {
      supervisor.control(static_cast<uint32_t>(code), nullptr, nullptr, s);
    });
  });
}

}  // namespace nQoUdR100
