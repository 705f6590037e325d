// The correlated digital input on demand: read polls the CDI FIFO on the
// caller's thread and moves one sample at a time through the data port, only
// while its run (the one live when it began, else the one the next start
// begins) is live (counted, so that a stop waits for it before the reset
// empties the FIFO). With the newest-samples option a read
// keeps draining the FIFO after the asked samples, so that the buffer ends
// with the newest ones. A run keeps the stamp clock its start took (the
// start's time and the sample period, as deployed for it), and a read tells
// which run its samples belong to and that run's clock.
//
//   transfer.commitTransfer(status); transfer.commitChannel(status);
//   transfer.startTransfer(status); transfer.startChannel(status);
//   transfer.setTimeout(50);
//   tBaseCDIImmediateTransferPrimitive::tRunStamp stamp;
//   uint32_t samples = transfer.read(buffer, 100, status, &stamp);
#pragma once

#include <cstdint>

#include "frame/tDeployed.h"
#include "mdbg/tStatus2.h"
#include "orb/tGUID.h"
#include "pal/tPALSysInfo.h"
#include "primitives/cdio/tBaseCDI_FIFOPrimitive.h"
#include "primitives/cdio/tCDIOImmediateTransfer.h"
#include "primitives/cdio/tTransferEnd.h"
#include "sync/tSyncAtomicU32.h"

namespace nQoUdP100 {

class tBaseCDIImmediateTransferPrimitive : public tCDIOImmediateTransfer {
 public:
  // The time stamp clock of a run: the system time of the start that began
  // it, and its sample period.
  struct tStampClock {
    tPALTime128 start{};
    tPALTime128 period{};
  };
  // What a read tells of its samples: the number of the run they belong to
  // (0: none taken) and that run's clock.
  struct tRunStamp {
    uint32_t run = 0;
    tStampClock clock{};
  };

  tBaseCDIImmediateTransferPrimitive(const tDeviceInfo* deviceInfo,
                                     const tCDIODescription* description,
                                     tBaseCDI_FIFOPrimitive* fifo, const nQoORB100::tGUID* identity,
                                     nQoMDBG100::tStatus2& status);
  // A FIFO that the channel's start left running stops and resets; the done
  // observer hears nothing.
  ~tBaseCDIImmediateTransferPrimitive() override;

  // The control steps, each nothing on an error status.
  void commitTransfer(nQoMDBG100::tStatus2& status);
  void commitChannel(nQoMDBG100::tStatus2& status);
  void startTransfer(nQoMDBG100::tStatus2& status);
  void startChannel(nQoMDBG100::tStatus2& status);
  // The run ends (with none live, the one that reads given since wait for),
  // and the reads under way leave; +200010 for a finite input stopped before
  // its total, on a clean status; the done observer once.
  void stopTransfer(nQoMDBG100::tStatus2& status);
  // Once the reads under way have left: the FIFO stopped and reset.
  void stopChannel(nQoMDBG100::tStatus2& status);
  void uncommitTransfer(nQoMDBG100::tStatus2& status);
  void uncommitChannel(nQoMDBG100::tStatus2& status);

  // Up to count samples of the live run into the buffer; answers the samples
  // read, also when a time-out (-200474), a cancel or the end of the calls
  // ended the read early. A read given with no live run waits for the run
  // that the next start begins. A read whose run is over (a stop or an
  // uncommit ended it, also before it began) answers what it read, and takes
  // no word of a run after it. With a stamp, the read's first sample writes
  // its run's number and clock into it.
  uint32_t read(void* buffer, uint32_t count, nQoMDBG100::tStatus2& status,
                tRunStamp* stamp = nullptr);
  // One sample; answers 1 when it was read.
  uint32_t readOne(void* buffer, nQoMDBG100::tStatus2& status);
  // The FIFO's overrun (-200715), else buffer-error (-200010) bit.
  void checkForErrors(nQoMDBG100::tStatus2& status);

  // Of the next run, as the sample mode and total.
  void setNewestSamples(uint32_t on) { _settings.deploying().option = on; }
  // The clock of the next run that a start begins; a run under way keeps the
  // one its start took.
  void setSamplePeriod(const tPALTime128& period) { _clock.deploying().period = period; }
  void setStartTime(const tPALTime128& time) { _clock.deploying().start = time; }
  uint32_t samplesRead() const { return _samplesRead; }

 private:
  // What a take did: counted a word, counted the finite total's last (the
  // read's run is done), or found the run ended or overtaken.
  enum tTake { kTaken, kLast, kOvertaken };
  // The setters write the next run's clock; the step that begins a run takes
  // it.
  struct tClockSteps {
    static constexpr const char* kDeploySteps[] = {"setSamplePeriod", "setStartTime"};
    static constexpr const char* kProgrammingSteps[] = {"beginRun"};
  };

  // Under the lock: a new run, numbered, unless one is under way.
  void beginRun(nQoMDBG100::tStatus2& status);
  // Waits while the FIFO is empty or the run is no longer live: false when
  // the read must end (time-out, cancel, end of the calls or error).
  bool waitForData(uint32_t run, unsigned timeoutLine, nQoMDBG100::tStatus2& status);
  // One FIFO word into the sample (and, when asked, the error bits), counted
  // for the read's run while it is live, and the run's clock into a stamp
  // that holds none of it; the last of a finite total ends the run, under
  // the lock, while it is live.
  tTake takeSample(uint32_t run, uint8_t* sample, bool checked, tRunStamp* stamp,
                   nQoMDBG100::tStatus2& status);
  // Keeps the newest samples of a buffer of count samples.
  void drain(uint32_t run, uint8_t* buffer, uint32_t count, nQoMDBG100::tStatus2& status);

  tBaseCDI_FIFOPrimitive* _fifo;
  // The run's samples counted, and whether its finite total was read: both
  // written inside the run's reads, cleared by the start of the next once
  // they left.
  uint32_t _samplesRead = 0;
  tSyncAtomicU32 _done;
  // The next run's clock, and the record of the run's: written by the step
  // that begins a run once the reads of the run before left, read by the
  // reads inside their access.
  nQoUdR100::tDeployed<tStampClock, tClockSteps> _clock;
  tTransferLock _lock;
};

}  // namespace nQoUdP100
