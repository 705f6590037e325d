// The wait for the next AI sample clock of a running acquisition (hardware-
// timed single point): a caller blocks until the next sample clock and hears
// when it fell behind and a clock passed unseen. Polling mode reads the
// converter's sample-clock bit; event mode waits on an event that the timing
// controller's sample-start notification sets.
//
//   options.polling = 0;                    // event mode
//   wfnsc.setOptions(options);              // a deploy: the next commit takes it
//   wfnsc.commit(status);                   // observer in, event opened
//   wfnsc.arm(status);
//   wfnsc.waitForNextSampleClock(status);   // -200474: no clock in time
//
// The first leadIn waits never report a missed clock; -209802 (+209802 with
// allowMissed) after them.
//
// A stop and a wait may come from other threads while uncommit or the
// destructor runs. The event and its two end marks are one tEndableEvent:
// uncommit closes it (every wait under way on it wakes and is refused with
// -50004). A stop, a disarm and an uncommit end the waits under way in
// either mode and return once they have left; the waits after them return
// at once with no code until the next arm lifts the stop. endWaits ends the
// waits until openWaits, whatever the codes do in between. The clocks count
// only into the arm's run live as they come: a disarm, an uncommit or the
// next arm ends it first.
#pragma once

#include <atomic>
#include <cstdint>

#include "frame/tDeployed.h"
#include "frame/tEndableEvent.h"
#include "frame/tModuleObject.h"
#include "frame/tPassCount.h"
#include "frame/tRuns.h"
#include "mdbg/tStatus2.h"
#include "primitives/ai/tBaseAITimingControllerPrimitive.h"
#include "primitives/ai/tBaseAI_ADCPrimitive.h"
#include "sync/iSync.h"
#include "sync/tSyncAtomicU32.h"

namespace nQoUdP100 {

// The four wait options, in the order of the supervisor's settings.
struct tAIWaitOptions {
  // Non-zero: a missed clock is a warning, not an error.
  uint32_t allowMissed = 0;
  // Non-zero: the waits poll the converter; 0: they wait on the event.
  uint32_t polling = 1;
  // The waits of a run that look for no missed clock.
  uint32_t leadIn = 100;
  // 0: a wait after a missed clock, or with data left, returns at once.
  uint32_t waitAlways = 1;
};

// A deploy writes the options; the commit takes them into its record (the
// mechanism and the wait options its waits go by), and an arm takes the
// three wait options again for its run.
struct tAIWaitSteps {
  static constexpr const char* kDeploySteps[] = {"setOptions"};
  static constexpr const char* kProgrammingSteps[] = {"commit", "arm"};
};

class tBaseAI_WFNSCPrimitive : public nQoUdR100::tModuleObject,
                               public tBaseAITimingControllerPrimitive::iSampleStartObserver {
 public:
  using tStatus2 = nQoMDBG100::tStatus2;
  static constexpr uint32_t kDefaultTimeout = 10000;  // milliseconds
  static constexpr uint32_t kNoLimit = 0xFFFFFFFF;
  // Polls that run before the wait timer starts.
  static constexpr uint32_t kFreePolls = 5;
  enum tMode : uint32_t { kBuilt = 2, kCommitted = 4, kArmed = 5 };

  // The controller and the converter are the board's, borrowed.
  tBaseAI_WFNSCPrimitive(tBaseAITimingControllerPrimitive* timing, tBaseAI_ADCPrimitive* converter);
  // Uncommits when committed in event mode: no list keeps its record. A stop
  // or wait under way on another thread is ended and waited for.
  ~tBaseAI_WFNSCPrimitive() override;
  tBaseAI_WFNSCPrimitive(const tBaseAI_WFNSCPrimitive&) = delete;
  tBaseAI_WFNSCPrimitive& operator=(const tBaseAI_WFNSCPrimitive&) = delete;

  // Counts the clock into the live run and sets the event; answers 0.
  uint32_t sampleStarted(tBaseAITimingControllerPrimitive*, tStatus2&) override;
  // Not supported: -50256.
  void sampleStartedSecondary(tBaseAITimingControllerPrimitive*, tStatus2& status) override;

  // Event mode: observer registered, event opened; a failure is undone by
  // uncommit on a fresh status. Polling mode after an event-mode commit:
  // that commit's observer and event go.
  virtual void commit(tStatus2& status);
  // A run still live is disarmed first; then the counts start afresh.
  virtual void arm(tStatus2& status);
  virtual void start(tStatus2& status);
  virtual void stop(tStatus2& status);
  // Ends the run and the waits under way, as a stop does, and returns once
  // they have left.
  virtual void disarm(tStatus2& status);
  // Undoes what commit did, whatever polling holds now, and forgets its
  // record; ends the run and the waits under way (those on the event are
  // refused with -50004) and returns once they and the stops under way on
  // the event have left.
  virtual void uncommit(tStatus2& status);

  void waitForNextSampleClock(tStatus2& status);
  void pollingWait(tStatus2& status);
  // Without an event (none committed, or taken out during the wait): -50004.
  void eventWait(tStatus2& status);
  // Ends the waits under way without a code and returns once they have
  // left; may come from any thread but a wait's.
  void requestStop();
  // Ends every wait under way, and every one that begins until openWaits,
  // without a code, as a stop does; no arm lifts it. For the supervisor's
  // release while waits may be under way on other threads.
  void endWaits();
  void openWaits();
  // The release's, once the uses under way have left: a stop that the owner
  // before requested does not end the next owner's waits.
  void clearStop();
  // For the waits that begin after it (code 401 and a commit may come while
  // a wait is under way on another thread): each wait reads the time-out
  // once and times itself with a timer of its own.
  void setTimeout(uint32_t milliseconds, tStatus2& status);

  // The immediate transfer's word on whether its last read left data in the
  // FIFO; a wait then returns at once unless waitAlways is set.
  void setDataLeft(uint32_t left) { _dataLeft = left; }
  uint32_t dataLeft() const { return _dataLeft; }
  uint32_t mode() const { return _mode; }
  // A stop that no arm or release lifted ends the waits.
  bool isStopped() const { return _event.ended(kStopMark); }
  uint32_t waits() const { return _waits; }

  // The supervisor's deploy, before a commit or while waits may be under way
  // on other threads: the waits go by what the last commit took (the three
  // wait options also what an arm since took).
  void setOptions(const tAIWaitOptions& options) { _options.deploy(options); }
  // What the last commit took; the defaults after an uncommit.
  const tAIWaitOptions& programmed() const { return _options.programmed(); }

 private:
  bool inLeadIn() const { return _waits < _runLeadIn; }
  void takeWaitOptions(const tAIWaitOptions& options);
  // The run ends: no clock counts into it from here on, and those counting
  // have left.
  void endRun();
  // Ends the waits under way as a stop does; returns once they have left.
  void stopWaits();
  // What an event-mode commit took, when it holds: the observer's record out
  // of the controller, then the event closed once the calls on it have left.
  void leaveEventMode(tStatus2& status);
  void reportMissed(tStatus2& status);
  // Waits on the event, up to timeout each time, until the clock count
  // leaves `from`: true then. False without a code when an end reaches the
  // wait (it saw no clock); false with -200474 when the time-out passed, with
  // -50004 when the event is not open or was taken out.
  bool waitForClock(const nQoUdR100::tEndableEvent::tWaiting& waiting, uint32_t from,
                    uint32_t timeout, tStatus2& status);
  // Polls the converter until a clock or an end reaches the wait; false when
  // the time-out passed. Without a limit (0 or kNoLimit) it polls until one
  // comes.
  bool pollForClock(const nQoUdR100::tEndableEvent::tWaiting& waiting, uint32_t timeout,
                    tStatus2& status);

  tBaseAITimingControllerPrimitive* _timing;
  tBaseAI_ADCPrimitive* _converter;
  // What a run counts (the waits, the clocks they saw, the transfer's word
  // on data left): an arm on the codes' thread resets them while a wait of
  // the run before, or a read of the transfer, may be under way on another.
  std::atomic<uint32_t> _waits{0};
  // Written by setTimeout on the codes' thread while a wait on another
  // thread may read it.
  std::atomic<uint32_t> _timeout{kDefaultTimeout};
  tSyncAtomicU32 _clocks;
  std::atomic<uint32_t> _clocksSeen{0};
  // The stop, lifted by arm, and the end of the waits, lifted by openWaits.
  static constexpr uint32_t kStopMark = 1;
  static constexpr uint32_t kEndMark = 2;
  // Open from an event-mode commit to its uncommit; its marks end the
  // polling waits too. The sample-start notification (whose record uncommit
  // removes first), a stop and a wait reach it from other threads.
  nQoUdR100::tEndableEvent _event;
  // The waits under way, in either mode.
  nQoUdR100::tPassCount _waitPasses;
  // The arm's runs, which the clocks count into.
  nQoUdR100::tRuns _runs;
  std::atomic<uint32_t> _dataLeft{0};
  // Read only by the commit and the arm; the waits read the run's copies.
  nQoUdR100::tDeployed<tAIWaitOptions, tAIWaitSteps> _options;
  // The mechanism and the wait options of the run, which waits on other
  // threads read while a commit or an arm takes them.
  std::atomic<uint32_t> _runPolling{1};
  std::atomic<uint32_t> _runAllowMissed{0};
  std::atomic<uint32_t> _runLeadIn{100};
  std::atomic<uint32_t> _runWaitAlways{1};
  uint32_t _mode = kBuilt;
  // Set by an event-mode commit until its uncommit.
  bool _eventCommitted = false;
};

}  // namespace nQoUdP100
