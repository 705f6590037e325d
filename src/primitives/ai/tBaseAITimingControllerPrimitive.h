// The analog-input timing engine, device-independent part: it paces sample
// and convert clocks through its board class and reports sample start,
// sample end, record end and last convert to observers. It keeps the
// configuration record, five observer lists, the three interrupt handlers
// that the board dispatcher calls in two passes, two timed loops that run a
// scheduler action every N samples, and a socket listener through which other
// components ask for the timing.
//
//   timing.addRecordEndObserver(&transfer, status);   // state 1 unless armed
//   timing.setConfiguration(config, status);
//   timing.commit(status);                            // handlers installed
//   timing.arm(status);                               // sources enabled, state 3
//
// Handlers notify only the arm's run they were raised in: a second pass that
// comes after a disarm, or after the next arm, notifies no one, and what a
// first pass left pending reaches no second pass of a later arm. An observer
// added or removed under an arm keeps it.
#pragma once

#include <atomic>
#include <cstdint>

#include "bus/iBus.h"
#include "frame/tDeployed.h"
#include "frame/tModuleObject.h"
#include "frame/tResetGate.h"
#include "frame/tRuns.h"
#include "frame/tSinkSlot.h"
#include "lib/iLibSocketListener.h"
#include "mdbg/tStatus2.h"
#include "mrl/iSchedulerActionSupervisor.h"
#include "primitives/ai/tAIDescription.h"
#include "primitives/ai/tAITimingControllerPrimitiveConfig.h"
#include "primitives/common/tObserverList.h"
#include "primitives/common/tPrimitiveState.h"
#include "reservation/iInterruptHandler.h"
#include "reservation/iSecondaryInterruptHandler.h"
#include "sync/iSync.h"
#include "sync/tSyncAtomicU32.h"

namespace nQoUdP100 {

// What a deploy writes: the configuration and the sample-clock kind that its
// routing gives.
struct tAITimingFields {
  tAITimingControllerPrimitiveConfig configuration;
  uint32_t sampleClockKind = tAIRoutingConfig::kInternalSampleClock;
};

// The deploy steps write the fields; the commit takes them into the record
// it programs the board from, and so does an arm with no commit behind it.
struct tAITimingSteps {
  static constexpr const char* kDeploySteps[] = {"setConfiguration", "setRouting", "setMode"};
  static constexpr const char* kProgrammingSteps[] = {"commit", "arm"};
};

class tBaseAITimingControllerPrimitive : public nQoUdR100::tModuleObject {
 public:
  static inline void* ___classID = nullptr;
  using tStatus2 = nQoMDBG100::tStatus2;
  using tAnswer = nQoMRTB100::iInterruptHandler::tAnswer;

  static constexpr uint32_t kListenerNameLength = 167;
  static constexpr uint32_t kInitialObserverRoom = 1;
  // The listener's request: the key; its reply: three words.
  static constexpr uint32_t kRequestSize = 8;
  static constexpr uint32_t kReplySize = 12;
  static constexpr uint32_t kTimingRequest = 1;

  // What the timing engine tells its observers. The primary notification
  // answers non-zero when the observer wants the secondary one.
  class iSampleStartObserver {
   public:
    virtual ~iSampleStartObserver() = default;
    virtual uint32_t sampleStarted(tBaseAITimingControllerPrimitive*, tStatus2&) { return 0; }
    virtual void sampleStartedSecondary(tBaseAITimingControllerPrimitive*, tStatus2&) {}
  };
  class iSampleEndObserver {
   public:
    virtual ~iSampleEndObserver() = default;
    virtual uint32_t sampleEnded(tBaseAITimingControllerPrimitive*, tStatus2&) { return 0; }
    virtual void sampleEndedSecondary(tBaseAITimingControllerPrimitive*, tStatus2&) {}
  };
  class iRecordEndObserver {
   public:
    virtual ~iRecordEndObserver() = default;
    virtual uint32_t recordEnded(tBaseAITimingControllerPrimitive*, tStatus2&) { return 0; }
    virtual void recordEndedSecondary(tBaseAITimingControllerPrimitive*, tStatus2&) {}
  };
  class iLastConvertObserver {
   public:
    virtual ~iLastConvertObserver() = default;
    virtual uint32_t lastConverted(tBaseAITimingControllerPrimitive*, tStatus2&) { return 0; }
    virtual void lastConvertedSecondary(tBaseAITimingControllerPrimitive*, tStatus2&) {}
  };

  // A sample-start record also says whether arm enables the source for it.
  struct tSampleStartRecord : tObserverRecord<iSampleStartObserver> {
    uint32_t enableAtArm = 0;
  };

  // An interrupt handler that hands both passes to the primitive.
  template <tAnswer (tBaseAITimingControllerPrimitive::*kPrimary)(),
            void (tBaseAITimingControllerPrimitive::*kSecondary)()>
  class tHandler final : public nQoMRTB100::iInterruptHandler,
                         public nQoMRTB100::iSecondaryInterruptHandler {
   public:
    explicit tHandler(tBaseAITimingControllerPrimitive* timing) : _timing(timing) {}
    tAnswer handleInterrupt() override { return (_timing->*kPrimary)(); }
    uint32_t handleSecondaryInterrupt() override {
      (_timing->*kSecondary)();
      return 0;
    }

   private:
    tBaseAITimingControllerPrimitive* _timing;
  };

  // A timed loop's count: every notification past the threshold runs the
  // scheduler action with the sample counter and the loop's argument (the
  // action may rewrite the counter), then counts.
  struct tTimedLoop {
    uint64_t counter = 0;
    uint32_t threshold;
    void count(tBaseAITimingControllerPrimitive* timing, uint32_t argument, tStatus2& status) {
      if (status.isFatal()) return;
      if (counter >= threshold)
        timing->_schedulerAction.call(
            [&](nQoMAS100::iSchedulerAction& action) { action.runAction(&counter, argument); });
      ++counter;
    }
  };
  class tTimedLoopSampleStartObserver final : public iSampleStartObserver {
   public:
    explicit tTimedLoopSampleStartObserver(uint32_t threshold) : loop{0, threshold} {}
    uint32_t sampleStarted(tBaseAITimingControllerPrimitive* timing, tStatus2& status) override {
      loop.count(timing, timing->programmed().configuration.timing.sampleStartActionArgument,
                 status);
      return 0;
    }
    tTimedLoop loop;
  };
  class tTimedLoopSampleEndObserver final : public iSampleEndObserver {
   public:
    explicit tTimedLoopSampleEndObserver(uint32_t threshold) : loop{0, threshold} {}
    uint32_t sampleEnded(tBaseAITimingControllerPrimitive* timing, tStatus2& status) override {
      loop.count(timing, timing->programmed().configuration.timing.sampleEndActionArgument, status);
      return 0;
    }
    tTimedLoop loop;
  };

  // The socket listener: answers a timing request carrying the key.
  class tLibSocketListener final : public iLibSocketListener, public iLibSocket {
   public:
    explicit tLibSocketListener(tBaseAITimingControllerPrimitive* timing) : _timing(timing) {}
    iLibSocket* getSocket() override { return this; }
    void releaseSocket(uint32_t* word) override { *word = 0; }
    void handleRequest(const void* request, uint32_t requestSize, void* reply,
                       uint32_t replyCapacity, uint32_t* replySize, uint32_t code,
                       uint32_t secondWord, tStatus2& status) override;

   private:
    tBaseAITimingControllerPrimitive* _timing;
  };

  // The entry supplies the timed-loop threshold; the bus the listener's name.
  tBaseAITimingControllerPrimitive(const tAIFirstEntry* owner, iBus* bus, tStatus2& status);
  virtual ~tBaseAITimingControllerPrimitive();
  tBaseAITimingControllerPrimitive(const tBaseAITimingControllerPrimitive&) = delete;
  tBaseAITimingControllerPrimitive& operator=(const tBaseAITimingControllerPrimitive&) = delete;

  virtual void* ___CPPKRLDynamicCast(void* const* classID);
  virtual const void* ___CPPKRLDynamicCast(void* const* classID) const;

  // State 1 to 4 and an owner.
  virtual bool isReady() const;
  // Nothing on an error status: the timing part, the mode, the routing when
  // the record has one; state 1 unless an arm is held.
  virtual void setConfiguration(const tAITimingControllerPrimitiveConfig& configuration,
                                tStatus2& status);
  // The routing with its unset flags filled in; the sample-clock kind.
  virtual void setRouting(const tAIRoutingConfig& routing, tStatus2& status);
  virtual void commit(tStatus2& status) = 0;
  virtual void rewriteRegisters(tStatus2& status) = 0;
  virtual void arm(tStatus2& status) = 0;
  virtual void start(tStatus2& status) = 0;
  virtual void stop(tStatus2& status) = 0;
  virtual void disarm(tStatus2& status) = 0;
  virtual void uncommit(tStatus2& status) = 0;
  // An operation of the timing interface that this board does not support:
  // -50256.
  virtual void reserved15(tStatus2& status);
  virtual void hammerStop(tStatus2& status) = 0;
  virtual void setMode(int32_t mode, tStatus2& status) = 0;
  virtual void enableSampleStartInterrupt(tStatus2& status) = 0;
  // Brings the engine down from whatever the codes left, by what it holds
  // and not by its state (an observer added or removed lowers that), each
  // step on a status of its own, dropped: a started run that no stop or
  // disarm ended is stopped (with the record end its stop reports); an arm
  // that no disarm followed is disarmed; handlers, a timed loop or a
  // listener that a commit left go through the uncommit; state 1, with no
  // record of a commit and no mode for a start to strobe.
  void bringDown();
  // What it holds: an arm and a run the codes left, the handlers in the
  // dispatcher's slots (bit 0 sample start, bit 1 sample end, bit 2 record
  // end), the timed loop's event, the listener.
  bool isArmHeld() const { return _armHeld.load(); }
  bool isRunHeld() const { return _runHeld.load(); }
  uint32_t installedHandlers() const {
    return _sampleStartInstalled | _sampleEndInstalled << 1 | _recordEndInstalled << 2;
  }
  uint32_t timedLoopEvent() const { return _timedLoopEvent; }
  bool hasListener() const { return _listenerHandle != 0; }

  // Stores the action (null: none) whatever the status holds; clearing or
  // replacing it waits for a notification running it on another thread.
  void setSchedulerAction(nQoMAS100::iSchedulerAction* action, tStatus2&) {
    _schedulerAction.set(action);
  }
  nQoMAS100::iSchedulerAction* getSchedulerAction() const { return _schedulerAction.get(); }

  // Nothing on an error status; a list that cannot grow reports -50352. Each
  // add and remove stores state 1, but under a held arm, which keeps state 3:
  // the run's passes go on notifying until its disarm.
  void addSampleStartObserver(iSampleStartObserver* observer, bool enableAtArm, tStatus2& status);
  void removeSampleStartObserver(iSampleStartObserver* observer, tStatus2& status);
  void addSampleEndObserver(iSampleEndObserver* observer, tStatus2& status);
  void removeSampleEndObserver(iSampleEndObserver* observer, tStatus2& status);
  void addRecordEndObserver(iRecordEndObserver* observer, tStatus2& status);
  void removeRecordEndObserver(iRecordEndObserver* observer, tStatus2& status);
  void addLastConvertObserver(iLastConvertObserver* observer, tStatus2& status);
  void removeLastConvertObserver(iLastConvertObserver* observer, tStatus2& status);
  // The first in-use record of the observer in each list, or null.
  tSampleStartRecord* findSampleStartObserver(iSampleStartObserver* observer) {
    return _sampleStartObservers.find(observer);
  }
  tObserverRecord<iSampleEndObserver>* findSampleEndObserver(iSampleEndObserver* observer) {
    return _sampleEndObservers.find(observer);
  }
  tObserverRecord<iRecordEndObserver>* findRecordEndObserver(iRecordEndObserver* observer) {
    return _recordEndObservers.find(observer);
  }
  tObserverRecord<iLastConvertObserver>* findLastConvertObserver(iLastConvertObserver* observer) {
    return _lastConvertObservers.find(observer);
  }

  // What the last commit (or an arm with no commit behind it) programmed the
  // board with: what the engine's run and the primitives that share it go
  // by, whatever a configuration given since says.
  const tAITimingFields& programmed() const { return _fields.programmed(); }
  const tPrimitiveState& state() const { return _state; }

 protected:
  // The passes of the three handlers.
  tAnswer sampleStartPass();
  void sampleStartSecondaryPass();
  tAnswer sampleEndPass();
  void sampleEndSecondaryPass();
  tAnswer recordEndPass();
  void recordEndSecondaryPass();

  // Whether a handler is called for: a record in use in its lists.
  bool wantsSampleStart() const { return _sampleStartObservers.any(); }
  bool wantsSampleEnd() const { return _sampleEndObservers.any(); }
  // Record-end observers, or last-convert observers of a finite mode-3 run
  // (as the last commit took it).
  bool wantsRecordEnd() const;
  // A sample-start record with enable-at-arm set.
  bool anyEnabledAtArm() const;
  uint32_t enabledAtArmCount() const;
  uint32_t sampleEndCount() const;

  // The timed loop of timedLoopEvent: in (counter 0), or the one put in out
  // (counter 0).
  void registerTimedLoop(tStatus2& status);
  void unregisterTimedLoop(tStatus2& status);
  // Under the name built from the bus location, when the key is non-zero.
  void registerListener(tStatus2& status);
  void unregisterListener();
  // A run or a set begins (arm, start): unless a stop holds _recordEndGate
  // (the last to leave it clears the record end) or another reset is under
  // way, a record end that came since the last clear reaches its observers
  // whole (its second pass runs here unless one under way is waited for),
  // then clearRecordEnd; a stop that comes meanwhile waits at the gate.
  // Never at interrupt level.
  void resetRecordEnd(tStatus2& status);
  // Both record-end events cleared of the sets of the run before, and both
  // passes may run again.
  void clearRecordEnd(tStatus2& status);
  void waitForRecordEnd(tStatus2& status);
  // The arm's run ends: a first pass from here on notifies no one, and one
  // under way stops at its next observer. Then the second passes under way,
  // which look at their run inside their count, are waited for. Never at
  // interrupt level.
  void endRun();

  using tSampleStartHandler = tHandler<&tBaseAITimingControllerPrimitive::sampleStartPass,
                                       &tBaseAITimingControllerPrimitive::sampleStartSecondaryPass>;
  using tSampleEndHandler = tHandler<&tBaseAITimingControllerPrimitive::sampleEndPass,
                                     &tBaseAITimingControllerPrimitive::sampleEndSecondaryPass>;
  using tRecordEndHandler = tHandler<&tBaseAITimingControllerPrimitive::recordEndPass,
                                     &tBaseAITimingControllerPrimitive::recordEndSecondaryPass>;

  // The arm, the stop, the passes, a register rewrite and the listener's
  // answers go by the record. An arm with no commit behind it (none since
  // the construction, an uncommit or a bring-down) takes the record itself.
  nQoUdR100::tDeployed<tAITimingFields, tAITimingSteps> _fields;
  bool _runCommitted = false;
  const tAIFirstEntry* _owner;
  iBus* _bus;
  tPrimitiveState _state;
  iSync* _recordEndEvent = nullptr;
  iSync* _recordEndSecondaryEvent = nullptr;
  tSyncAtomicU32 _recordEndGuard;
  // A record end owed to the observers: set by an arm and by each start,
  // cleared by the record-end pass that notifies them. A stop simulates one
  // only while it is owed, so a second stop reports none.
  tSyncAtomicU32 _recordEndOwed;
  // The secondary pass: not owed until the primary pass of the run has run,
  // then owed until one pass takes it.
  enum : uint32_t { kSecondaryNotOwed, kSecondaryOwed, kSecondaryTaken };
  tSyncAtomicU32 _recordEndSecondaryGuard{kSecondaryNotOwed};
  // Held by a stop from before it looks at the record end until it is done
  // with it; the last stop to leave clears it.
  nQoUdR100::tResetGate _recordEndGate;
  nQoUdR100::tSinkSlot<nQoMAS100::iSchedulerAction> _schedulerAction;
  tSampleStartHandler _sampleStartHandler{this};
  tSampleEndHandler _sampleEndHandler{this};
  tRecordEndHandler _recordEndHandler{this};
  uint32_t _sampleStartInstalled = 0;
  uint32_t _sampleEndInstalled = 0;
  uint32_t _recordEndInstalled = 0;
  // The timing mode of the last commit (or of an arm with no commit behind
  // it; 0 before either): what the start's strobe, the stop and the passes
  // of the run go by, whatever a configuration given since says. The passes
  // read it on the interrupt's side, a read's start on the reader's thread.
  std::atomic<int32_t> _runMode{0};
  // The arm's runs: an arm begins one, its disarm ends it. Each first pass
  // takes the live run and keeps it for its second pass, which notifies
  // only while that run is live, counted as an access of it. The pending
  // words a first pass leaves carry its run: a second pass delivers only
  // those of its own run, each once, and none that an earlier run left.
  nQoUdR100::tRuns _runs;
  std::atomic<uint32_t> _sampleStartRun{0};
  std::atomic<uint32_t> _sampleEndRun{0};
  std::atomic<uint32_t> _recordEndRun{0};
  // An arm that no disarm followed, and a start that no stop or disarm
  // followed (the board class's start, stop, arm and disarm keep them). A
  // read's start on the reader's thread reads and sets them while a disarm
  // or a stop clears them on the codes' thread.
  std::atomic<bool> _armHeld{false};
  std::atomic<bool> _runHeld{false};
  // The timed-loop event whose loop registerTimedLoop put in (0: none).
  uint32_t _timedLoopEvent = 0;
  tTimedLoopSampleEndObserver _sampleEndLoop;
  tTimedLoopSampleStartObserver _sampleStartLoop;
  tObserverList<tSampleStartRecord> _sampleStartObservers{kInitialObserverRoom};
  tObserverList<tObserverRecord<iSampleEndObserver>> _sampleEndObservers{kInitialObserverRoom};
  tObserverList<tObserverRecord<iRecordEndObserver>> _recordEndObservers{kInitialObserverRoom};
  tObserverList<tObserverRecord<iLastConvertObserver>> _lastConvertObservers{kInitialObserverRoom};
  tLibSocketListener _listener{this};
  uint64_t _listenerHandle = 0;

 private:
  // State 1 after a change of what a commit takes, unless an arm is held.
  void lowerUnlessArmed();
};

}  // namespace nQoUdP100
