// The analog-output timing engine, device-independent part: the programming
// fields a deploy writes and the record of what the commit programmed, the
// primitive state, and the two ways of waiting for the next update (polling
// the update flag, or blocking on the update event that the board class
// signals from its interrupt).
//
//   timing.deploy(settings);            // settings.updateInterval = 1000
//   timing.commit(status);              // the record takes the settings
//   timing.arm(status);
//   timing.start(status);
//   timing.pollForNextUpdate(status);   // -209802 when an update was missed
//
// Past the first countedFirstUpdates waits each wait checks that the update
// counter moved down by exactly one.
//
// A stop request and a blocking wait may come from other threads. The update
// event and its end marks are one tEndableEvent, which the destructor closes
// (a wait under way ends as stopped, and is waited for). A release ends the
// waits by a mark of its own, which arm leaves and only the next reservation
// lifts, and clears the stop, which otherwise only arm lifts. The board
// class's stop, disarm and uncommit end the waits under way and return once
// they have left.
// A wait reads the time-out once and times itself with a timer of its own:
// code 401 on the codes' thread sets the time-out while a wait of another
// caller may be under way.
#pragma once

#include <atomic>
#include <cstdint>

#include "frame/tDeployed.h"
#include "frame/tDeviceInfo.h"
#include "frame/tEndableEvent.h"
#include "frame/tSinkSlot.h"
#include "mdbg/tStatus2.h"
#include "primitives/ao/outputPrimitiveInterfaces.h"
#include "primitives/ao/tAODescription.h"
#include "primitives/common/iDoneObserver.h"
#include "primitives/common/tPrimitiveState.h"
#include "sync/iSync.h"
#include "sync/tSyncAtomicU32.h"

namespace nQoUdP100 {

class tBaseAO_FIFOPrimitive;

// The programming fields, in the supervisor's order, with their defaults.
// countedFirstUpdates, allowLateUpdates and pollUpdates are the rules of the
// update waits; updateOutput 1 has the commit drive the update output.
struct tAOTimingFields {
  uint32_t timingSelectB = 0;
  uint32_t timingFlagB = 0;
  uint32_t timingSelectA = 0;
  uint32_t timingFlagA = 0;
  uint32_t updateInterval = 50000;
  uint32_t command2Bit11 = 0;
  uint32_t firstBufferUpdateCount = 400;
  uint32_t bufferUpdateCount = 400;
  uint32_t bufferCount = 5;
  uint32_t mode = 0;
  uint32_t startTriggerSelect = 0;  // 0: a software start
  uint32_t startTriggerFlag = 0;
  uint32_t triggerSelectBit5 = 1;
  uint32_t triggerSelectBit6 = 1;
  uint32_t triggerSelectBit14 = 0;
  uint32_t initialIntervalCount = 2;
  uint32_t mode1Bit0 = 1;
  uint32_t mode3Bit11 = 0;
  uint32_t mode3Bit3 = 0;
  uint32_t mode3Bit4 = 0;
  uint32_t mode3Bit5 = 0;
  uint32_t outputSelect = 0;
  uint32_t outputControlBit3 = 0;
  uint32_t withoutFIFO = 0;
  uint32_t countedFirstUpdates = 100;
  uint32_t allowLateUpdates = 0;
  uint32_t pollUpdates = 1;
  uint32_t updateOutput = 0;
};

// Who writes the fields and who takes them: the engine's own deploy steps
// write the supervisor's settings and the routable's pairs, and the commit
// programs the board from them. An arm programs nothing from them: it reloads
// the counters the commit programmed.
struct tAOTimingSteps {
  static constexpr const char* kDeploySteps[] = {"deploySettings", "deployPair"};
  static constexpr const char* kProgrammingSteps[] = {"commit"};
};

class tBaseAOTimingControllerPrimitive : public iOutputTimingControllerPrimitive {
 public:
  static inline void* ___classID = nullptr;
  using tStatus2 = nQoMDBG100::tStatus2;
  static constexpr uint32_t kNoTimeout = 0xFFFFFFFF;
  static constexpr uint32_t kDefaultUpdateTimeout = 10000;  // milliseconds

  // Opens the update event and moves to state 1 unless the status holds an
  // error.
  tBaseAOTimingControllerPrimitive(const tAODescription* description, tBaseAO_FIFOPrimitive* fifo,
                                   tStatus2& status);
  // Stops a blocking wait under way, waits for it and for a stop request
  // under way to leave the update event, then closes it.
  ~tBaseAOTimingControllerPrimitive() override;
  tBaseAOTimingControllerPrimitive(const tBaseAOTimingControllerPrimitive&) = delete;
  tBaseAOTimingControllerPrimitive& operator=(const tBaseAOTimingControllerPrimitive&) = delete;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;

  virtual void commit(tStatus2& status) = 0;
  virtual void uncommit(tStatus2& status) = 0;
  virtual void arm(tStatus2& status) = 0;
  virtual void disarm(tStatus2& status) = 0;
  virtual void requestEndA(tStatus2* status) = 0;
  virtual void requestEndB(tStatus2* status) = 0;
  virtual void stop(tStatus2& status) = 0;
  virtual void start(tStatus2& status) = 0;
  virtual void setMode3Hold(uint32_t flag, tStatus2& status) = 0;
  // The flag setMode3Hold last set.
  virtual uint32_t hold() const = 0;
  virtual void softwareUpdatePulse(tStatus2& status) = 0;
  virtual void setUpdateInterval(uint32_t ticks, tStatus2& status) = 0;
  virtual uint32_t readCount120(tStatus2* status) = 0;
  virtual uint32_t readUpdateCounter(tStatus2& status) = 0;
  virtual uint32_t readBufferCounter(tStatus2& status) = 0;
  virtual uint32_t getUpdatesDone(tStatus2& status, uint32_t force) = 0;
  virtual void driveUpdateOutput(tStatus2& status) = 0;
  virtual bool isUpdateFlagSet(tStatus2* status) = 0;
  virtual void acknowledgeUpdateFlag(tStatus2* status) = 0;
  virtual void enableUpdateInterrupt(tStatus2& status) = 0;

  // Stores the value (milliseconds; kNoTimeout: the polling wait is untimed)
  // for the waits that begin after it.
  void setTimeout(uint32_t value, tStatus2& status);
  // The deploys: each writes the settings, which the next commit programs,
  // and reads nothing of them, nor writes the board. deploy writes them whole;
  // deploySettings the supervisor's fields (every one but the output select
  // and output-control bit 3), the timing selects and flags and the start trigger's only with
  // selects; deployPair a routable's pair: the timing select and flag B (0),
  // A (1), the start trigger's select and flag (2), the output select and
  // output-control bit 3 (3; any other pair: nothing).
  void deploy(const tAOTimingFields& settings) { _fields.deploy(settings); }
  void deploySettings(const tAOTimingFields& settings, bool selects);
  void deployPair(uint32_t pair, uint32_t a, uint32_t b);
  // What the last commit programmed.
  const tAOTimingFields& programmed() const { return _fields.programmed(); }
  // From another thread: the waits end with -224608.
  void requestStop();
  // The release's end: every wait, also one that begins after an arm, ends
  // with -224608 until allowWaits.
  void endWaits();
  // The next reservation's: waits wait again.
  void allowWaits() { _update.lift(kEndMark); }
  // A stop's, a disarm's or an uncommit's, live run or not: the waits under
  // way end (-224608) and have left when it returns; a wait after it waits
  // again. Never from inside a wait.
  void endWaitsUnderWay() {
    _update.end(kStepMark);
    _update.lift(kStepMark);
  }
  // The release's, once the uses under way have left: a stop that the owner
  // before requested does not end the next owner's waits.
  void clearStop() { _update.lift(kStopMark); }
  void waitForNextUpdate(tStatus2& status);
  void pollForNextUpdate(tStatus2& status);
  // Whether the update waits block on the update event: as the last commit
  // set the engine up (its update handler), whatever a deploy set since.
  bool blockingWaits() const { return _programmedPolls == 0; }
  // The release's: the record goes back to the defaults, as a fresh
  // reservation finds it.
  void forget() {
    _fields.forget();
    _programmedPolls = _fields.programmed().pollUpdates;
  }

  // Clearing or replacing the notifier waits for a completion pass that is
  // notifying it on another thread.
  void setCompletionNotifier(iDoneObserver* notifier) { _completionNotifier.set(notifier); }
  const tPrimitiveState& state() const { return _state; }
  uint32_t updateTimeout() const { return _updateTimeout; }
  // A simulated board's primitive posts no done or error events, so its
  // supervisor registers none; without device information it is a board.
  void setDeviceInfo(const tDeviceInfo* deviceInfo) { _deviceInfo = deviceInfo; }
  uint32_t eventFlag() const { return _deviceInfo != nullptr ? _deviceInfo->simulated : 0; }

 protected:
  // The settings a deploy wrote and the record of what the commit took:
  // the board class's commit programs from them, everyone else reads the
  // record through programmed().
  nQoUdR100::tDeployed<tAOTimingFields, tAOTimingSteps> _fields;
  // A commit's, once the record took the settings: what the waits' callers
  // on other threads read of it.
  void noteProgrammed(const tAOTimingFields& record) { _programmedPolls = record.pollUpdates; }
  // The arm's: the waits of its run count and judge by the rules the commit
  // took, whatever a deploy under the run writes.
  void takeWaitRules(const tAOTimingFields& record) {
    _countedFirstUpdates = record.countedFirstUpdates;
    _allowLateUpdates = record.allowLateUpdates;
  }
  // The lateness rule against lastUpdateCount; stores the new count.
  void judge(uint32_t count, tStatus2& status);
  void judgeMissed(tStatus2& status);
  // The update event's marks: the stop, lifted by arm, the release's end of
  // the waits, lifted by allowWaits, and a step's end of the waits under
  // way, lifted once they have left.
  static constexpr uint32_t kStopMark = 1;
  static constexpr uint32_t kEndMark = 2;
  static constexpr uint32_t kStepMark = 4;

  const tAODescription* _description;
  tBaseAO_FIFOPrimitive* _fifo;
  tPrimitiveState _state;
  // Opened by the constructor and closed by the destructor, once the stop
  // requests and blocking waits under way have left.
  nQoUdR100::tEndableEvent _update;
  // Written on the codes' thread (code 401, arm, the counters' load) while a
  // wait on another thread may read or count them.
  std::atomic<uint32_t> _updateTimeout{kDefaultUpdateTimeout};
  std::atomic<uint32_t> _waitCalls{0};
  std::atomic<uint32_t> _lastUpdateCount{0};
  std::atomic<uint32_t> _updateCounterWrap{0xFFFFFFFF};
  // The wait rules the last arm took, read by waits on other threads.
  std::atomic<uint32_t> _countedFirstUpdates{100};
  std::atomic<uint32_t> _allowLateUpdates{0};
  // The record's pollUpdates, read by the waits' callers on other threads.
  std::atomic<uint32_t> _programmedPolls{tAOTimingFields{}.pollUpdates};
  nQoUdR100::tSinkSlot<iDoneObserver> _completionNotifier;
  const tDeviceInfo* _deviceInfo = nullptr;
};

}  // namespace nQoUdP100
