// The correlated digital output FIFO, device-independent part: the lifecycle
// of its four events (FIFO, buffer error, overrun, FIFO empty), the mode
// flags, and the FIFO-empty polling thread. The thread lives from commit to
// uncommit when a polled observer is registered; a finished finite output
// wakes it, it polls the FIFO-empty bit every 10 ms and then tells every
// polled observer that the FIFO ran empty.
//
//   fifo.registerPolledObserver(&transfer, status);
//   fifo.commit(status);            // thread started
//   fifo.arm(status);               // thread reset for its one action
//   fifo.wakePollingThread(status); // the last sample was handed over
#pragma once

#include <atomic>
#include <cstdint>

#include "frame/tDeployed.h"
#include "frame/tSingleActionOnceSignallableThread.h"
#include "mdbg/tStatus2.h"
#include "primitives/cdio/iCDIODispatcher.h"
#include "primitives/cdio/tCDIODescription.h"
#include "primitives/cdio/tCDIO_FIFOObservable.h"
#include "primitives/cdio/tCDO_FIFOEmptyObservable.h"
#include "primitives/common/tObserverList.h"

namespace nQoUdP100 {

class tBaseCDO_FIFOPrimitive : public tCDIO_FIFOObservable,
                               public tCDO_FIFOEmptyObservable,
                               public tSingleActionOnceSignallableThread {
 public:
  static constexpr uint32_t kNotSet = 0xFFFFFFFF;
  // getModeFlag's answers.
  static constexpr uint32_t kModeFlagSet = 1;
  static constexpr uint32_t kModeFlagClear = 2;
  // What disarm waits for the polling action.
  static constexpr uint32_t kDisarmWait = 5000;
  // What a deploy sets for the next commit: the mode flag (kModeFlagSet,
  // kModeFlagClear, other: leave), the transfer-mode and the secondary flag.
  struct tFlags {
    uint32_t mode = kNotSet;
    uint32_t transfer = 0;
    uint32_t secondary = 1;
  };
  // The setters write the flags (the transfers set the transfer-mode flag
  // for the FIFO's next commit); a commit takes them, and a mode flag set
  // with apply is programmed at once.
  static constexpr const char* kDeploySteps[] = {"setModeFlag", "setSecondaryModeFlag",
                                                 "setTransferModeFlag"};
  static constexpr const char* kProgrammingSteps[] = {"commit", "setModeFlag"};

  class iCDO_FIFOEmptyPolledObserver {
   public:
    virtual ~iCDO_FIFOEmptyPolledObserver() = default;
    // On the polling thread, once the FIFO has run empty.
    virtual void handleFIFOEmptyPolled(tBaseCDO_FIFOPrimitive* fifo,
                                       nQoMDBG100::tStatus2& status) = 0;
  };
  using tPolledRecord = tObserverRecord<iCDO_FIFOEmptyPolledObserver>;

  tBaseCDO_FIFOPrimitive(iCDIODispatcher* dispatcher, const tCDIODescription* description,
                         nQoMDBG100::tStatus2& status);
  // Once the board class has ended the polling thread: disables, empties and
  // detaches every source whose slot holds one of its handlers, the FIFO-empty
  // source included, whatever its state and whatever lists are in use.
  ~tBaseCDO_FIFOPrimitive() override;

  using tCDIO_FIFOObservable::addObserver;
  using tCDIO_FIFOObservable::removeObserver;
  using tCDO_FIFOEmptyObservable::addObserver;
  using tCDO_FIFOEmptyObservable::removeObserver;

  virtual bool isReady() const;
  // The word as it is; answers the sample width (0 on an error status).
  virtual uint32_t writeSample(const uint32_t* word, nQoMDBG100::tStatus2& status) = 0;
  // Words of width bytes each, least significant first, until byteCount bytes
  // are consumed; a last word short of bytes has them 0. Answers the bytes
  // consumed.
  virtual uint32_t writeSamples(const void* buffer, uint32_t byteCount,
                                nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t isBufferErrorPending(nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t isOverrunPending(nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t isFIFOEmpty(nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t isFIFOFull(nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t isFIFOConditionPending(nQoMDBG100::tStatus2& status) = 0;
  virtual void startFIFO(nQoMDBG100::tStatus2& status) = 0;
  virtual void stopFIFO(nQoMDBG100::tStatus2& status) = 0;
  virtual void resetFIFO(nQoMDBG100::tStatus2& status) = 0;
  // Moves one FIFO word to the lines.
  virtual void stepFIFO(nQoMDBG100::tStatus2& status) = 0;
  virtual void acknowledgeError(nQoMDBG100::tStatus2& status) = 0;
  // Code 1: attaches the events in use (FIFO, buffer error, overrun, FIFO
  // empty) and starts the thread for a polled observer, each only when no
  // commit before did, and writes the mode flags; a failure detaches and
  // ends only what this commit attached and started, on a scratch status.
  // State 2, but an armed FIFO stays armed.
  virtual void commit(nQoMDBG100::tStatus2& status);
  // Code 4: always runs, every step on a scratch status merged into the
  // caller's. It disarms first while sources an arm enabled are on, then
  // detaches the events that commit attached and ends the thread that commit
  // started, whatever the lists hold by then.
  virtual void uncommit(nQoMDBG100::tStatus2& status);
  virtual void disableFIFOInterrupt(nQoMDBG100::tStatus2& status);
  virtual void disableOverrunInterrupt(nQoMDBG100::tStatus2& status);
  virtual void disableBufferErrorInterrupt(nQoMDBG100::tStatus2& status);
  virtual void linkDMAChannel(uint32_t channel, nQoMDBG100::tStatus2& status) = 0;
  virtual void unlinkDMAChannel(nQoMDBG100::tStatus2& status) = 0;
  // The flags on the board, as a commit programs them.
  virtual void applyModeFlag(uint32_t flag, nQoMDBG100::tStatus2& status) = 0;
  virtual void applyTransferModeFlag(uint32_t flag, nQoMDBG100::tStatus2& status) = 0;
  virtual void applySecondaryModeFlag(uint32_t flag, nQoMDBG100::tStatus2& status) = 0;
  // Polls the FIFO-empty bit every 10 ms until it is set (then the polled
  // observers hear of it: 1), the thread is stopped or signalled (0), or the
  // status holds an error.
  uint32_t action(nQoMDBG100::tStatus2& status) override;
  virtual void wakePollingThread(nQoMDBG100::tStatus2& status);
  virtual void signalPollingThread(nQoMDBG100::tStatus2& status);
  // Only when a FIFO-empty observer is registered. The enable switches the
  // source on only while an arm that found its handler attached holds, looked
  // at inside the atomic run that switches it on.
  virtual void enableFIFOEmptyInterrupt(nQoMDBG100::tStatus2& status);
  virtual void disableFIFOEmptyInterrupt(nQoMDBG100::tStatus2& status);
  // kModeFlagSet or kModeFlagClear from the soft copy; kModeFlagSet on an
  // error status.
  virtual uint32_t getModeFlag(nQoMDBG100::tStatus2& status) = 0;

  // Code 4100: resets the thread, enables the sources in use (FIFO, buffer
  // error, overrun) whose handlers a commit attached and that no arm before
  // enabled; a failure ends the thread's run and disables only what this arm
  // enabled, on a scratch status.
  void arm(nQoMDBG100::tStatus2& status);
  // Code 4101: always runs; first clears the record that lets the FIFO-empty
  // source be enabled, signals the thread and waits for its action, then
  // disables the sources that arm enabled, and the FIFO-empty source when the
  // record was set, each step on a scratch status merged.
  void disarm(nQoMDBG100::tStatus2& status);
  // An arm or a commit that no disarm or uncommit gave back: the state, or
  // sources still enabled or free to be, events still attached or the thread
  // in use.
  bool holdsArm() const { return isArmed() || holdsSources(); }
  bool holdsCommit() const { return state() >= kCommitted || _attached != 0 || _threadInUse != 0; }

  // Deploy for the next commit (1 sets bit 11, 2 clears it, flushed when
  // dirty; other values: nothing); a mode flag with apply non-zero is
  // programmed now as well.
  void setModeFlag(uint32_t value, nQoMDBG100::tStatus2& status, uint32_t apply);
  void setSecondaryModeFlag(uint32_t value, nQoMDBG100::tStatus2& status);
  void setTransferModeFlag(uint32_t value, nQoMDBG100::tStatus2& status);
  // As the last commit programmed it.
  uint32_t getSecondaryModeFlag() const { return _flags.programmed().secondary; }
  uint32_t getSampleWidth() const { return _description->sampleWidth; }
  const tCDIODescription* description() const { return _description; }

  void registerPolledObserver(iCDO_FIFOEmptyPolledObserver* observer, nQoMDBG100::tStatus2& status);
  void unregisterPolledObserver(iCDO_FIFOEmptyPolledObserver* observer,
                                nQoMDBG100::tStatus2& status);
  // The observer's in-use record, or null.
  tPolledRecord* findPolledObserver(iCDO_FIFOEmptyPolledObserver* observer);
  bool hasPolledObserver() const { return _polledObservers.any(); }

 protected:
  nQoUdR100::tDeployed<tFlags, tBaseCDO_FIFOPrimitive> _flags;
  iCDIODispatcher* _dispatcher;
  uint32_t _threadInUse = 0;
  const tCDIODescription* _description;
  tObserverList<tPolledRecord> _polledObservers{3};

 private:
  bool holdsSources() const { return _enabled != 0 || _fifoEmptyArmed.load() != 0; }
  // Detach or disable the events and sources of a mask of bits.
  void detach(uint32_t events, nQoMDBG100::tStatus2& status);
  void disable(uint32_t sources, nQoMDBG100::tStatus2& status);
  // The thread, when in use: signalled, its action waited for; stopped and
  // destroyed.
  void endPollingRun(nQoMDBG100::tStatus2& status);
  void endPollingThread(nQoMDBG100::tStatus2& status);

  // The events that commit attached and the sources that arm enabled, a bit
  // per event.
  uint32_t _attached = 0;
  uint32_t _enabled = 0;
  // Set by an arm that found the FIFO-empty handler attached, cleared first
  // by the disarm: what the FIFO-empty enable looks at inside its atomic run.
  std::atomic<uint32_t> _fifoEmptyArmed{0};
};

}  // namespace nQoUdP100
