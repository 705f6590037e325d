// The board-independent part of change detection: the two-half sample buffer,
// the line list, the edge masks, the blocking read with time-out and sample
// accounting, and the done report. A board's class supplies the chip
// operations and the interrupt side: on each change it latches every line of
// the list, fills the half that fillSample() hands it, advances the change
// sequence and signals the readers.
//
//   detector.initialize(lines, 2, status);
//   detector.allocateBuffer(1, status);
//   detector.enableLines(0x0F, 0x0F, status);
//   detector.read(16, 100, destination, nullptr, nullptr, status);   // blocks
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "frame/tDeviceInfo.h"
#include "frame/tEndableEvent.h"
#include "frame/tModuleObject.h"
#include "frame/tPassCount.h"
#include "frame/tRuns.h"
#include "frame/transferLock.h"
#include "mdbg/tStatus2.h"
#include "mrl/iDigReadablePrimSup.h"
#include "mrl/iEvent.h"
#include "mrl/iSchedulerActionSupervisor.h"
#include "msrl/iInputStream.h"
#include "orb/tGUID.h"
#include "orb/tObject.h"
#include "primitives/cdio/tBaseCDI_DMATransferPrimitive.h"
#include "primitives/common/tDeviceInfoPrimitive.h"
#include "primitives/dio/tImmedDigLatchingPrimitive.h"
#include "sync/iSync.h"
#include "sync/tSyncAtomicU32.h"

namespace nQoUdR100 {

class tChangeDetectionPrimitive : public nQoMSRL100::iInputStream,
                                  public nQoUdP100::tDeviceInfoPrimitive,
                                  public virtual nQoORB100::tObject,
                                  public tModuleObject {
 public:
  // Registered for its identity; being abstract, the registry makes and
  // destroys none.
  static constexpr const char* kClassName = "nQoUdR100::tChangeDetectionPrimitive";
  static void* ___classID;

  // The device information chooses the kind of the transfer lock.
  tChangeDetectionPrimitive(const nQoORB100::tGUID& deviceGUID,
                            const nQoUdP100::tDeviceInfo& deviceInfo);
  ~tChangeDetectionPrimitive() override;
  tChangeDetectionPrimitive(const tChangeDetectionPrimitive&) = delete;
  tChangeDetectionPrimitive& operator=(const tChangeDetectionPrimitive&) = delete;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;
  nQoORB100::tClass getClass(int& status) const override;

  void initialize(nQoUdP100::tImmedDigLatchingPrimitive* const* lines, size_t count,
                  nQoMDBG100::tStatus2& status);
  // 2n bytes, both halves. A buffer of n bytes a sample already held is
  // kept; one of another size is released first, as releaseBuffer releases
  // it; a failed allocation leaves none.
  void allocateBuffer(uint32_t bytesPerSample, nQoMDBG100::tStatus2& status);
  // Whether allocateBuffer(bytesPerSample) would release a buffer held.
  bool wouldReplaceBuffer(uint32_t bytesPerSample) const {
    return _buffer.load() != nullptr && _bytesPerSample != bytesPerSample;
  }
  // Takes the buffer out, ends the reads under way and waits for them and
  // for a capture under way on another thread, and frees it: never at
  // interrupt level.
  void releaseBuffer(nQoMDBG100::tStatus2& status);
  // A failure disables the lines again.
  void enableLines(uint32_t firstEdgeMask, uint32_t secondEdgeMask, nQoMDBG100::tStatus2& status);
  void disableLines(uint32_t firstEdgeMask, uint32_t secondEdgeMask, nQoMDBG100::tStatus2& status);
  // Once per acquisition: a status event when completion holds an error, then
  // the done event, whatever the status holds; a transfer lock that refuses
  // is reported and leaves the report owed.
  void signalDone(const nQoMDBG100::tStatus2& completion, nQoMDBG100::tStatus2& status);

  // What the change-detection supervisor sets after enableLines: a new task
  // is not done and has not reported done.
  void setAcquisition(bool finite, uint64_t samplesToAcquire, nQoMRL110::iEvent* doneTarget) {
    _finite = finite;
    _samplesToAcquire = samplesToAcquire;
    _doneTarget = doneTarget;
    _done = false;
    _doneReported = false;
  }
  void setDoneTarget(nQoMRL110::iEvent* doneTarget) { _doneTarget = doneTarget; }
  // Every read ends, answering the samples it copied, until the next start;
  // every reader blocked on the change event wakes.
  void abort() { _changes.end(kAbortMark); }
  // The release's end: every read ends as an abort ends it, also after a
  // start, until allowReads.
  void endReads() { _changes.end(kEndMark); }
  // The next link's, and the release's once the reads have left: reads wait
  // again, for changes that come from now on.
  void allowReads() { _changes.lift(kEndMark); }
  // Wakes a reader blocked on the change event.
  void signalReaders();
  // Before a start: a run no stop ended ends, and its reads under way leave;
  // then the stream counts afresh, not cancelled, not done, and the stop
  // reports done again, in a run of its own. A read that waits with no run
  // takes this one. Changes the run before left unread are no overflow of
  // this run; a read that an abort reached has left as ended before the
  // abort is lifted, and the set it left wakes no read of this run. The
  // sticky flags stay for the next query (or enableLines). The change
  // interrupt is off here, so the sequence holds still. Under the run lock,
  // as endRun.
  void clearForStart() {
    if (_runs.live() != 0) endRun();
    _runs.begin();
    _samplesRead = 0;
    _lastSequence = _changeSequence;
    _changes.lift(kAbortMark);
    _done = false;
    _doneReported = false;
  }
  // A stop's, with a run or without: the run ends, and every read under way
  // ends and leaves before the stop goes on, answering what it copied
  // whatever its time-out; a read given from here on waits for the next
  // start's run. Never with a lock that a read takes.
  void endRun() {
    _runs.end();
    endReadsUnderWay();
    _runs.waitForAccesses();
  }
  // Runs step with the run lock held, unless the status holds an error or
  // the lock refused (reported at its site): the codes that start, stop,
  // commit and uncommit a run take it, so that no two of them on two threads
  // interleave (a stop between a start's record and its enable would leave
  // the change interrupt on with no run recorded).
  template <class tStep>
  void underRunLock(tStep step, nQoMDBG100::tStatus2& status) {
    nQoUdP100::underLock(_runLock,
                         [&] {
                           if (status.isNotFatal()) step();
                         },
                         status, {"tChangeDetectionPrimitive", 145});
  }
  // Whether a change status or a read overflow was seen since the last
  // query; both flags are cleared, each by one atomic exchange.
  bool takeErrorFlags() {
    const bool changeError = _changeOverrun.exchange(false);
    const bool readOverflow = _overflow.exchange(false);
    return changeError || readOverflow;
  }
  // What the lines are read from and the action run on each change (null:
  // none).
  void setReadable(nQoCDR100::iDigReadablePrim* readable) { _readable = readable; }
  void setSchedulerAction(nQoMAS100::iSchedulerAction* action) { _action = action; }
  // The correlated input DMA transfer these changes clock (null: none).
  void setCorrelatedTransfer(nQoUdP100::tBaseCDI_DMATransferPrimitive* transfer) {
    _correlatedTransfer = transfer;
  }
  nQoUdP100::tBaseCDI_DMATransferPrimitive* correlatedTransfer() const {
    return _correlatedTransfer;
  }
  const nQoUdP100::tDeviceInfo& deviceInfo() const { return _deviceInfo; }
  bool overflow() const { return _overflow; }
  bool done() const { return _done; }
  uint64_t samplesRead() const { return _samplesRead; }
  uint32_t enabledLines() const { return _enabledLines; }

  // Time-out in milliseconds; the answer is the number of samples copied,
  // also when a time-out, a cancel, a step that ends the reads or a failed
  // capture ends the read. A read takes its samples only in the run it began
  // in (or, begun with none, the run the next start begins): a stop, and a
  // step that takes the buffer out, end it and wait for it to leave, and a
  // wake after its run ended takes nothing and is refused with -50150. A
  // read without a buffer, or woken for a half that no change filled since
  // its buffer was taken, is refused with -50150.
  uint32_t read(uint32_t count, uint32_t timeout, uint8_t* destination, const uint8_t* mask,
                nQoMSRL100::iTimeStampSink* sink, nQoMDBG100::tStatus2& status) override;
  // Not offered: -200455.
  uint32_t readAvailable(uint32_t count, uint8_t* destination,
                         nQoMDBG100::tStatus2& status) override;

  // Enable and disable the change interrupt.
  virtual void start(nQoMDBG100::tStatus2& status) = 0;
  virtual void stop(nQoMDBG100::tStatus2& status) = 0;

 protected:
  // The chip operations of a board.
  virtual void attach(nQoMDBG100::tStatus2& status) = 0;
  virtual void detach(nQoMDBG100::tStatus2& status) = 0;
  virtual void setFirstEdgeMask(uint32_t mask, uint32_t value, nQoMDBG100::tStatus2& status) = 0;
  virtual void setSecondEdgeMask(uint32_t mask, uint32_t value, nQoMDBG100::tStatus2& status) = 0;
  virtual void captureSample(uint64_t* sequence, nQoMDBG100::tStatus2& status) = 0;
  // Returns once the interrupt passes under way on other threads have left.
  virtual void waitForInterruptPasses() = 0;

  // For the interrupt side, inside its interrupt pass (which releaseBuffer
  // waits for): fill(half, bytesPerSample) on the half that the sample
  // counter selects; false, and nothing stored, while no buffer is held.
  template <class tFill>
  bool fillSample(tFill fill) {
    uint8_t* const buffer = _buffer.load();
    if (buffer == nullptr) return false;
    const uint32_t counter = _sampleCounter.get();
    fill(half(buffer, counter), _bytesPerSample);
    // Passes run one at a time and the mark is cleared only once they have
    // left: a half marked once needs no locked change again.
    const uint32_t bit = halfBit(counter);
    if ((_filledHalves.load(std::memory_order_relaxed) & bit) == 0) _filledHalves.fetch_or(bit);
    return true;
  }
  nQoUdP100::tImmedDigLatchingPrimitive* const* lines() const { return _lines; }
  uint32_t lineCount() const { return _lineCount; }
  // A change status that is not 0 counts and sets the sticky flag.
  void countChange(bool changed) {
    if (!changed) return;
    ++_changeCount;
    _changeOverrun.store(true);
  }
  void signalChange();
  uint64_t* changeSequence() { return &_changeSequence; }
  nQoCDR100::iDigReadablePrim* readable() const { return _readable; }
  nQoMAS100::iSchedulerAction* schedulerAction() const { return _action; }
  // The runs, for the interrupt side's passes to carry theirs.
  nQoUdR100::tRuns& runs() { return _runs; }
  // The failure the readable primitive reports; cleared at each start.
  nQoMDBG100::tStatus2& completion() { return _completion; }
  // The readers' event back to not signalled.
  void resetChangeEvent();

 private:
  // The half of the buffer that the parity of counter selects.
  uint8_t* half(uint8_t* buffer, uint32_t counter) const {
    return (counter & 1) == 0 ? buffer : buffer + _bytesPerSample;
  }
  static uint32_t halfBit(uint32_t counter) { return 1u << (counter & 1); }
  // Ends every read under way and returns once they have left; a read that
  // begins after it waits again. The wake of a change is then left to the
  // reads of its own run.
  void endReadsUnderWay() {
    _changes.end(kLeaveMark);
    _changes.lift(kLeaveMark);
  }
  // For a reader: use(half, bytesPerSample) inside a counted pass, so that
  // the buffer outlives the call.
  template <class tUse>
  bool useHalf(uint32_t counter, tUse use) {
    const tPassCount::tInside inside(_readPasses);
    uint8_t* const buffer = _buffer.load();
    if (buffer == nullptr) return false;
    use(half(buffer, counter), _bytesPerSample);
    return true;
  }
  void dropBuffer();

  // The change event's marks: an abort, lifted by the next start (or
  // enableLines), the release's end, lifted by allowReads, and a step's end
  // of the reads under way, lifted once they have left.
  static constexpr uint32_t kAbortMark = 1;
  static constexpr uint32_t kEndMark = 2;
  static constexpr uint32_t kLeaveMark = 4;

  nQoORB100::tGUID _deviceGUID;
  const nQoUdP100::tDeviceInfo& _deviceInfo;
  tSyncAtomicU32 _sampleCounter;
  // Both halves in one block. The size changes only while no buffer is held
  // and no pass uses one.
  std::atomic<uint8_t*> _buffer = nullptr;
  uint32_t _bytesPerSample = 0;
  // The halves (bit 0: the first) that a change filled since the buffer was
  // taken: a wake that a change of a buffer since freed left finds its half
  // empty.
  std::atomic<uint32_t> _filledHalves = 0;
  // The reads under way; the interrupt side is counted by its dispatcher.
  tPassCount _readPasses;
  // The runs that starts begin and stops end; a read takes its samples in
  // accesses of the run it began in.
  nQoUdR100::tRuns _runs;
  nQoUdP100::tImmedDigLatchingPrimitive** _lines = nullptr;
  uint32_t _lineCount = 0;
  // Hands each change over to one reader (kind 5).
  tEndableEvent _changes;
  iSync* _transferLock = nullptr;
  iSync* _runLock = nullptr;
  uint32_t _enabledLines = 0;
  uint64_t _changeCount = 0;
  std::atomic<bool> _changeOverrun = false;
  uint64_t _changeSequence = 0;
  uint64_t _samplesRead = 0;
  uint64_t _lastChangeCount = 0;
  uint64_t _lastSequence = 0;
  std::atomic<bool> _overflow = false;
  bool _finite = false;
  uint64_t _samplesToAcquire = 0;
  bool _done = false;
  nQoMRL110::iEvent* _doneTarget = nullptr;
  bool _doneReported = false;
  nQoCDR100::iDigReadablePrim* _readable = nullptr;
  nQoMAS100::iSchedulerAction* _action = nullptr;
  nQoUdP100::tBaseCDI_DMATransferPrimitive* _correlatedTransfer = nullptr;
  nQoMDBG100::tStatus2 _completion;
};

}  // namespace nQoUdR100
