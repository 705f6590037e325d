// A scheduler action that logs its calls in order; runs may rewrite the
// counter and the notifications may set a code.
//
//   nQoSim::tSimSchedulerAction action;
//   action.rewriteCounterTo = 0;          // every run resets the counter
//   ... action.calls() == {{kRun, 2, 7}} ...
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "mrl/iSchedulerActionSupervisor.h"

namespace nQoSim {

class tSimSchedulerAction : public nQoMAS100::iSchedulerAction {
 public:
  // kRun: counter the value it pointed to, argument; the notifications:
  // counter the code the status held on entry.
  struct tCall {
    enum tKind { kRun, kArmed, kDisarmed, kStarted, kReleased } kind;
    int64_t counter;
    uint32_t argument = 0;
    bool operator==(const tCall&) const = default;
  };

  void runAction(uint64_t* counter, uint32_t argument) override {
    _calls.push_back({tCall::kRun, static_cast<int64_t>(*counter), argument});
    if (rewriteCounterTo) *counter = *rewriteCounterTo;
  }
  void armed(nQoMDBG100::tStatus2& status) override { notify(tCall::kArmed, status); }
  void disarmed(nQoMDBG100::tStatus2& status) override { notify(tCall::kDisarmed, status); }
  void started(nQoMDBG100::tStatus2& status) override { notify(tCall::kStarted, status); }
  void release(nQoMDBG100::tStatus2& status) override { notify(tCall::kReleased, status); }

  const std::vector<tCall>& calls() const { return _calls; }
  void clear() { _calls.clear(); }

  std::optional<uint64_t> rewriteCounterTo;
  // Set into the status by the notifications (0: none).
  int notificationCode = 0;

 private:
  void notify(tCall::tKind kind, nQoMDBG100::tStatus2& status) {
    _calls.push_back({kind, status.code, 0});
    if (notificationCode != 0)
      status.setCode(notificationCode, "qoplatform", "tSimSchedulerAction", 1);
  }

  std::vector<tCall> _calls;
};

}  // namespace nQoSim
