// The analog-input programmed-I/O reader: on its supervisor's request it
// copies samples one by one out of the AI data FIFO into the caller's buffer,
// sample set by sample set, watching for converter overrun, FIFO overflow, a
// time-out and a cancel request. A waiter decides what to do while the FIFO
// is empty; a socket listener lets a client read the read configuration and
// name the event it blocks on.
//
//   immediate.reserveTransfer(status);
//   immediate.commitTransfer(status);    // set list from the controller and front end
//   immediate.armTransfer(status);       // set list taken anew, listener registered
//   immediate.startTransfer(status);
//   uint32_t sets = immediate.read(buffer, 1, status, &bytes, 10, kTimerTimeUnitMillisecond);
//
// The default form (nothing to read from) holds only the event that the done
// and error event linker writes; it is never ready.
#pragma once

#include <atomic>
#include <cstdint>

#include "frame/tDeployed.h"
#include "frame/tDeviceInfo.h"
#include "frame/tEndableEvent.h"
#include "frame/tGrowableArray.h"
#include "frame/tModuleObject.h"
#include "frame/tPassCount.h"
#include "frame/tRuns.h"
#include "frame/tSinkSlot.h"
#include "lib/iLibSocketListener.h"
#include "mdbg/tStatus2.h"
#include "mrl/iEvent.h"
#include "pal/tPALSysInfo.h"
#include "primitives/ai/aiImmediateWaiters.h"
#include "primitives/ai/iAIImmediateTransferPrimitive.h"
#include "primitives/ai/tAIDescription.h"
#include "primitives/ai/tBaseAIDeviceFIFOPrimitive.h"
#include "primitives/ai/tBaseAIScanningFrontEndPrimitive.h"
#include "primitives/ai/tBaseAITimingControllerPrimitive.h"
#include "primitives/ai/tBaseAI_ADCPrimitive.h"
#include "primitives/ai/tBaseAI_WFNSCPrimitive.h"
#include "sync/tSyncAtomicU32.h"

class iBus;

namespace nQoUdP100 {

class tBaseAIImmediateTransferPrimitive
    : public nQoUdR100::tModuleObject,
      public iAIImmediateTransferPrimitive,
      public tBaseAITimingControllerPrimitive::iSampleEndObserver {
 public:
  static inline void* ___classID = nullptr;
  using tStatus2 = nQoMDBG100::tStatus2;
  static constexpr uint32_t kNoLimit = 0xFFFFFFFF;
  static constexpr uint32_t kExcludedChannelType = 271;
  // The listener's request: the key, then two words; its reply: at least 36
  // bytes, the read configuration's eight words and then the set list.
  static constexpr uint32_t kRequestSize = 16;
  static constexpr uint32_t kReplySize = 36;
  static constexpr uint32_t kReplyHeaderSize = 32;
  enum tRequest : uint32_t { kSetCount = 1, kReadConfiguration = 2, kNameEvent = 3 };
  // How the reads of a run are stamped: each by the system time at its start
  // and no interval (the software stamp), else on from the run's first read
  // by the sample interval. Before any start a read stamps by the software
  // stamp.
  struct tStampClock {
    bool softwareStamp = true;
    tPALTime128 interval{};
  };

  // The client's socket: its requests and replies.
  class tLibSocketListener final : public iLibSocketListener, public iLibSocket {
   public:
    explicit tLibSocketListener(tBaseAIImmediateTransferPrimitive* owner) : _owner(owner) {}
    iLibSocket* getSocket() override { return this; }
    void releaseSocket(uint32_t* word) override { *word = 0; }
    void handleRequest(const void* request, uint32_t requestSize, void* reply,
                       uint32_t replyCapacity, uint32_t* replySize, uint32_t code,
                       uint32_t secondWord, tStatus2& status) override;

   private:
    tBaseAIImmediateTransferPrimitive* _owner;
  };

  tBaseAIImmediateTransferPrimitive() = default;
  // Everything borrowed. The sample width is the FIFO record's word 2, which
  // must not be 0 (kRefused); the held-back sets the first entry's word 4.
  tBaseAIImmediateTransferPrimitive(iBus* bus, const tDeviceInfo* deviceInfo,
                                    tBaseAIScanningFrontEndPrimitive* frontEnd,
                                    tBaseAI_WFNSCPrimitive* wfnsc, tBaseAI_ADCPrimitive* adc,
                                    tBaseAITimingControllerPrimitive* timing,
                                    tBaseAIDeviceFIFOPrimitive* fifo,
                                    const tAIDescription* description, tStatus2& status);
  ~tBaseAIImmediateTransferPrimitive() override;
  tBaseAIImmediateTransferPrimitive(const tBaseAIImmediateTransferPrimitive&) = delete;
  tBaseAIImmediateTransferPrimitive& operator=(const tBaseAIImmediateTransferPrimitive&) = delete;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;

  // Stores the target of the is-done action (null: none) when the status
  // holds no error; clearing or replacing it waits for a post to it on
  // another thread.
  void setDoneTarget(nQoMRL110::iEvent* target, tStatus2& status) override {
    if (status.isNotFatal()) _doneTarget.set(target);
  }
  nQoMRL110::iEvent* getDoneTarget() const { return _doneTarget.get(); }

  bool isReady() const;
  // Lifecycle: transfer states 1 to 5. A failing commit, arm or start runs its
  // undo on a fresh status. A commit registers the sample-end observer unless
  // a commit before did, so that one uncommit takes it out. A commit whose
  // channels make a set of more than 0xFFFFFFFF samples is refused
  // (kCountTooLarge) before it changes anything. Commit, uncommit and the
  // destruction free the waiter only after a cancel or a client's naming
  // under way on another thread has left it. A run begins only at a start;
  // every other step ends the live run. Commit, arm, stop, disarm, uncommit
  // and the destruction end the read under way on another thread as a cancel
  // would, whether it reads a run or waits for one, and wait for it to leave;
  // a read or a naming while they run is refused. A read takes no sample
  // once its run is over, so none comes from a FIFO reset after the step or
  // from the next run. A start ends a read of the run before the same way
  // and waits for it to leave the set bookkeeping; a read that waits for a
  // run takes the one the start begins.
  void reserveTransfer(tStatus2& status) override;
  void commitTransfer(tStatus2& status) override;
  void armTransfer(tStatus2& status) override;
  void startTransfer(tStatus2& status) override;
  void stopTransfer(tStatus2& status) override;
  // The transfer cannot be started by itself: -50256.
  void startUnsupported(tStatus2& status) override;
  void disarmTransfer(tStatus2& status) override;
  void uncommitTransfer(tStatus2& status) override;
  void unreserveTransfer(tStatus2& status) override;
  // What a release brings down before the commit goes, from whatever the
  // codes left: a started transfer stopped, an armed one's listener taken
  // out (the listener also after a commit since the arm lowered the state),
  // each step on a status of its own, dropped.
  void bringDown();
  // Sets the cancel mark and the blocking waiter's event; any thread.
  void requestCancel() override;
  // Ends the read under way, and every read until openReads, as a cancel
  // does; a start does not lift it. For the supervisor's steps that take the
  // transfer out of its readers' reach.
  void endReads();
  void openReads();
  // With read option 1 on, or a retriggerable controller: the is-done action.
  void notifyDone(tStatus2& status) override;
  uint32_t getTransferState() const override { return _transferState; }

  // Reads setCount sample sets into destination (room for them assumed, as
  // the supervisor sizes it); the number of complete sets. timeout 0: no
  // waiting, kNoLimit: none, else in unit. One read at a time: a second one,
  // or one while a step that ends the reads runs, is refused (kRefused). A
  // read given with no live run looks at no FIFO: it waits, as its waiter
  // waits for samples and within its time-out, for the run that the next
  // start begins, and reads that run.
  uint32_t read(void* destination, uint32_t setCount, tStatus2& status, uint32_t* bytesOut,
                uint32_t timeout, tTimerTimeUnit unit) override;
  // A read holds the transfer: it reads a run or waits for one.
  bool isReading() const;
  // Set from the start until the first discarding read of the run: which
  // discard counts its sets take.
  bool isFirstRead() const { return _firstRead != 0; }
  // The stamp clock of the next run that a start begins; a run under way
  // keeps the one its start took.
  void setStampClock(const tStampClock& clock) { _clock.deploy(clock); }
  // The clock of the live run and its number, for a read to stamp by: copied
  // where no start rewrites it; with no run live (before a start, after any
  // other step) the software stamp and run 0.
  tStampClock runClock(uint32_t& run);
  // The live run's number (0: none); its clock stays what its start took.
  uint32_t liveRun() const { return _readRuns.live(); }
  // The run that the last read took and its clock, as the read copied them
  // there (run 0 and the software stamp before any read took one): a read
  // given with no live run goes by the run it waited for.
  tStampClock readClock(uint32_t& run) const {
    run = _readRun;
    return _readClock;
  }

  // Read configuration, as the supervisor applies it: the next arm takes it
  // for its reads (a wait mode other than its waiter's makes a new waiter),
  // the queries answer it.
  void setListenerKey(uint64_t key) { _listenerKey = key; }
  void setReadOption1(bool on) { _option1 = on ? 1 : 0; }
  void setReadOption2(bool on) { _option2 = on ? 1 : 0; }
  void setReadOption3(bool on) { _option3 = on ? 1 : 0; }
  bool isReadOption1On() const { return _option1 != 0; }
  bool isReadOption2On() const { return _option2 != 0; }
  bool isReadOption3On() const { return _option3 != 0; }
  void setReadCountLimit(uint32_t limit) { _readCountLimit = limit; }
  void setReadCountIsWarning(uint32_t warning) { _readCountIsWarning = warning; }
  void setWaitMode(uint32_t mode) { _waitMode = mode; }
  void setTimeout(uint32_t value, uint32_t unit) {
    _timeoutValue = value;
    _timeoutUnit = unit;
  }
  // Each set is then read as leading discard, set, trailing discard; the
  // discards are counts of sets, one pair for the first read and one for the
  // reads after it. Discarded samples reach neither the destination nor the
  // byte count. These and the remaining check are the next arm's: a run
  // reads by what its arm took, and the arm's new run owes no discard.
  void setDiscardingRead(bool on) { _readSettings.deploying().discarding = on ? 1 : 0; }
  // Whether the run's reads discard, as its arm took it.
  bool isDiscardingRead() const { return _readSettings.programmed().discarding != 0; }
  void setDiscardCounts(uint32_t firstLeading, uint32_t laterLeading, uint32_t firstTrailing,
                        uint32_t laterTrailing) {
    auto& counts = _readSettings.deploying().discardCounts;
    counts[kFirstLeading] = firstLeading;
    counts[kLaterLeading] = laterLeading;
    counts[kFirstTrailing] = firstTrailing;
    counts[kLaterTrailing] = laterTrailing;
  }
  // 0: every read tells the WFNSC primitive whether data is left in the FIFO,
  // and warns when it is.
  void setRemainingCheckOff(uint32_t off) { _readSettings.deploying().remainingCheckOff = off; }

  uint32_t sampleEnded(tBaseAITimingControllerPrimitive*, tStatus2&) override;
  void sampleEndedSecondary(tBaseAITimingControllerPrimitive*, tStatus2& status) override;

  uint32_t setCount() const { return static_cast<uint32_t>(_setList.size()); }
  bool isFinished() const { return _finished.load() != 0; }
  // An arm registered the client's listener, until its disarm.
  bool hasListener() const { return _listenerHandle != 0; }
  tLibSocketListener& listener() { return _listener; }

 private:
  // One set through the selected options; true when the set is complete.
  bool readSet(iWaiter& waiter, const nQoUdR100::tEndableEvent::tWaiting& reading,
               uint8_t*& destination, uint32_t& bytes, tStatus2& status);
  bool readInner(iWaiter& waiter, const nQoUdR100::tEndableEvent::tWaiting& reading,
                 uint8_t*& destination, uint32_t& bytes, tStatus2& status);
  // At the start of a set: its samples and, when discarding, the discards
  // around it.
  void beginSet();
  uint32_t nextSetIndex() const;
  uint64_t samplesLeft() const { return _leadingLeft + _setRemaining + _trailingLeft; }
  void dropOwedDiscards() {
    _leadingLeft = 0;
    _trailingLeft = 0;
  }
  void readCountCheck(tStatus2& status);
  // Calls take(samples) for each set that the controller's programmed
  // configuration and the front end's programmed channels make, in order;
  // the sums do not wrap.
  template <class tTake>
  void walkSets(tTake take) const;
  bool setsFit() const;
  // A client's query reads the list on its own thread: the list is closed,
  // the queries under way are waited for, and it opens again once rebuilt.
  void buildSetList(tStatus2& status);
  void startTimeout(uint32_t timeout, tTimerTimeUnit unit, tStatus2& status);
  void failWithDevice(tStatus2& status, int code, unsigned line);
  void postIsDone(tStatus2& status);
  void registerListener(tStatus2& status);
  void unregisterListener();
  void remakeWaiter(tStatus2& status);
  // Takes the waiter out, waits for a call under way through it on another
  // thread, and frees it.
  void dropWaiter();
  // Ends the live run and waits for the reads of the FIFO under way in it.
  void endRun();
  // The step bodies of a stop and a disarm, for the steps that hold the
  // reads out themselves.
  void stopRun();
  void disarmRun();
  // The read's run: the live one, or the next that a start begins; false
  // when the read ends first.
  bool joinRun(iWaiter& waiter, const nQoUdR100::tEndableEvent::tWaiting& reading,
               tStatus2& status);
  // A start's wait for a read of the run before to leave the set
  // bookkeeping, which it ends as a cancel does.
  void leaveRunReads();
  // The run of the read under way has ended.
  bool runOver() const { return !_readRuns.isLive(_readRun); }
  // Uncommits: the waiter goes, the controller's record too; state 2.
  void leaveCommit(tStatus2& status);
  // Ends a read under way as a cancel does (it returns what it read, with no
  // code of its own), waits for it and for a naming under way to leave, and
  // keeps new ones out (refused) until the step reopens them.
  void closeReads();
  // The next read begins the first set of the list and owes no discard.
  void rewindSets();
  void answer(const void* request, uint32_t requestSize, void* reply, uint32_t replyCapacity,
              uint32_t* replySize, uint32_t kind, tStatus2& status);

  enum tDiscard : uint32_t { kFirstLeading, kLaterLeading, kFirstTrailing, kLaterTrailing };
  // How a run's reads take their sets: discarding or not, the discard counts
  // and the remaining check. The setters write the next run's; the arm takes
  // them for its run.
  struct tReadSettings {
    uint32_t discarding = 0;
    uint32_t discardCounts[4] = {};
    uint32_t remainingCheckOff = 1;
  };
  struct tReadSteps {
    static constexpr const char* kDeploySteps[] = {"setDiscardingRead", "setDiscardCounts",
                                                   "setRemainingCheckOff"};
    static constexpr const char* kProgrammingSteps[] = {"armTransfer"};
  };
  // The start takes the stamp clock for the run it begins.
  struct tClockSteps {
    static constexpr const char* kDeploySteps[] = {"setStampClock"};
    static constexpr const char* kProgrammingSteps[] = {"startTransfer"};
  };

  uint32_t _sampleEndCount = 0;
  uint32_t _secondPassCount = 0;
  iBus* _bus = nullptr;
  const tDeviceInfo* _deviceInfo = nullptr;
  tBaseAIScanningFrontEndPrimitive* _frontEnd = nullptr;
  nQoUdR100::tSinkSlot<nQoMRL110::iEvent> _doneTarget;
  tBaseAI_ADCPrimitive* _adc = nullptr;
  tBaseAITimingControllerPrimitive* _timing = nullptr;
  tBaseAIDeviceFIFOPrimitive* _fifo = nullptr;
  tBaseAI_WFNSCPrimitive* _wfnsc = nullptr;
  uint32_t _transferState = 0;
  // Set by the commit that registered the sample-end observer, cleared by
  // the step that takes it out: what a commit and the destruction go by.
  bool _sampleEndObserving = false;
  uint32_t _waitMode = iWaiter::kNop;
  // Owned. Cancels and the client's naming call through it from other
  // threads; the read uses it as the owner's.
  nQoUdR100::tSinkSlot<iWaiter> _waiter;
  uint32_t _option1 = 1;
  uint32_t _option2 = 0;
  uint32_t _option3 = 0;
  nQoUdR100::tGrowableArray<uint32_t> _setList;
  // Whether some set of the list takes a sample: option 3 repeats only then,
  // since passes over empty sets never drain the FIFO.
  bool _setsTakeSamples = false;
  uint32_t _setIndex = 0;
  uint32_t _setRemaining = 0;
  tAIImmediateTimeout _timeout;
  uint32_t _timeoutValue = kNoLimit;
  uint32_t _timeoutUnit = kTimerTimeUnitMillisecond;
  uint64_t _listenerKey = 0;
  tLibSocketListener _listener{this};
  uint64_t _listenerHandle = 0;
  // The blocking waiter's event, which the waiter opens, names and closes,
  // and the read's end marks: a cancel, a step's end of the read under way
  // and the supervisor's end of the reads. Every end sets it.
  nQoUdR100::tEndableEvent _readEvent;
  tSyncAtomicU32 _reading;
  // The client's queries of the set list, and whether the list may be read.
  nQoUdR100::tPassCount _queries;
  std::atomic<bool> _listOpen{true};
  uint32_t _firstRead = 0;
  uint32_t _setsRead = 0;
  // Set by the read that delivers a finite run's last set, cleared by the
  // start; a read looks at it before it holds the transfer.
  std::atomic<uint32_t> _finished{0};
  // What the reads and the client's queries go by: the read configuration
  // (time-out included), the listener's key and the FIFO's count as the arm
  // took them, the wait
  // mode of the waiter that the commit or the arm made. The setters change what the next arm
  // takes. A client's query reads it on its own thread while a step takes
  // it, or a read switches option 3 off.
  struct tRunRecord {
    std::atomic<uint32_t> option1{1};
    std::atomic<uint32_t> option2{0};
    std::atomic<uint32_t> option3{0};
    std::atomic<uint32_t> readCountLimit{100};
    std::atomic<uint32_t> readCountIsWarning{0};
    std::atomic<uint32_t> waitMode{iWaiter::kNop};
    std::atomic<uint64_t> listenerKey{0};
    std::atomic<uint32_t> fifoCount{0};
    std::atomic<uint32_t> timeoutValue{kNoLimit};
    std::atomic<uint32_t> timeoutUnit{kTimerTimeUnitMillisecond};
  };
  tRunRecord _run;
  // What the arm took from the engine's record (what its commit programmed
  // the board with) for the run: the sets it delivers, whether it ends after
  // them, and whether it is retriggerable (the done posts choose by that).
  uint32_t _runTotal = 0;
  bool _runFinite = false;
  bool _runRetriggerable = false;
  nQoUdR100::tDeployed<tReadSettings, tReadSteps> _readSettings;
  uint64_t _leadingLeft = 0;
  uint64_t _trailingLeft = 0;
  uint32_t _sampleWidth = 0;
  uint32_t _lookAheadLimit = 0;
  uint32_t _heldBackSets = 0;
  uint32_t _readCountLimit = 100;
  uint32_t _readCountIsWarning = 0;
  uint32_t _readCount = 0;
  // The runs that the starts begin, with the stamp clock each took; every
  // other step ends one. The reads' looks at the FIFO and the copies of the
  // clock are its accesses: a start ends the run before, waits for them and
  // for the read of that run to leave, and takes the next run's clock before
  // it begins that run. The run of the read under way, and the clock it
  // copied, are taken where it joins its run.
  nQoUdR100::tRuns _readRuns;
  uint32_t _readRun = 0;
  tStampClock _readClock;
  nQoUdR100::tDeployed<tStampClock, tClockSteps> _clock;
};

}  // namespace nQoUdP100
