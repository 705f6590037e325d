// What the correlated digital input and output interrupt transfers share: the
// partner that moves the data and hears the end, the description and FIFO,
// the lifecycle state, the chunk settings and the transfer loop that the FIFO
// interrupt runs. The direction's class moves one chunk of a run (moveChunk)
// and ends the transfer (end); its row gives the FIFO type and the status
// file. The setters (a deploy) write the settings; a commit takes them and an
// arm copies the commit's record into the run's, so that a run goes by its
// arm's record alone. The arm opens the run for its start, so that a pass
// between them is the run's own.
//
//   struct tRow { using tFIFO = tBaseCDI_FIFOPrimitive; static constexpr const char* kFile = "...";
//   }; class tTransfer : public tCDIO_InterruptTransfer<tTransfer, tRow> {
//     friend tCDIO_InterruptTransfer;
//     bool moveChunk(uint32_t run, uint64_t& count, tStatus2& local);  // false ends the loop
//     void end(tStatus2& status);
//   };
#pragma once

#include <cstdint>

#include "frame/freshStatus.h"
#include "frame/statusCodes.h"
#include "frame/tDeployed.h"
#include "frame/tDeviceInfo.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "primitives/cdio/tCDIODescription.h"
#include "primitives/cdio/tCDIO_FIFOObservable.h"
#include "primitives/cdio/tTransferEnd.h"
#include "sync/tSyncAtomicU32.h"

namespace nQoUdP100 {

// The partner of an interrupt transfer of type tTransfer.
template <class tTransfer>
class iCDIO_InterruptPartner {
 public:
  virtual ~iCDIO_InterruptPartner() = default;
  // Moves up to byteCount bytes between the FIFO and the buffer; answers the
  // bytes moved.
  virtual uint32_t transferData(uint32_t byteCount, nQoMDBG100::tStatus2& status) = 0;
  virtual void transferEnded(nQoMDBG100::tStatus2& status) = 0;
};

template <class tTransfer, class tRow>
class tCDIO_InterruptTransfer : public tCDIO_FIFOObservable::iCDIOOverrunObserver,
                                public tCDIO_FIFOObservable::iCDIOFIFOObserver {
 public:
  using tFIFO = typename tRow::tFIFO;
  using iPartner = iCDIO_InterruptPartner<tTransfer>;
  enum tSampleMode : uint32_t { kContinuous = 0, kFinite = 1, kNotSet = 3 };
  enum tState : uint32_t { kBuilt = 1, kObserving = 2, kCommitted = 3, kArmed = 4 };

  // What a deploy sets and a run goes by.
  struct tRecord {
    // Samples one notification may move.
    uint32_t limit = 0;
    uint32_t chunk = 0;
    uint32_t sampleMode = kNotSet;
    uint32_t total = 0;
  };
  // The setters write the settings; isReady looks at them, and the output's
  // registration registers the FIFO's records by the mode they ask for. A
  // commit takes them (once it found their chunk fits), and an arm or a
  // start with nothing committed since the reservation takes them as a
  // commit would.
  static constexpr const char* kDeploySteps[] = {"setLimit", "setChunkSize", "setSampleMode",
                                                 "setTotal", "isReadyWith",  "registerObservers",
                                                 "commit"};
  static constexpr const char* kProgrammingSteps[] = {"commit", "arm", "start"};

  virtual ~tCDIO_InterruptTransfer() = default;

  // Code 4101: a run still going stops first, with the report a stop owes,
  // and a run the arm opened for its start ends, so that nothing of the
  // transfer runs after it; the state goes back only from the arm.
  void disarm(nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return;
    stopRun(status);
    nQoUdR100::onFreshStatus(status, [&](nQoMDBG100::tStatus2& s) { _end.overtake(s); });
    if (_state == kArmed) _state = kCommitted;
  }
  // Code 4: an arm or a run still held goes first, as code 4101 takes it
  // down.
  void uncommit(nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return;
    if (_state == kArmed || isRunning())
      nQoUdR100::onFreshStatus(status, [&](nQoMDBG100::tStatus2& s) { disarm(s); });
    _state = kObserving;
  }

  // The transfer loop of the live run (one the arm opened for its start
  // included); answers 1. It moves only while its run is live, counted, so
  // that a stop or an arm waits for it before it resets the FIFO. The count
  // is wide enough that no chunk carries it past the limit and round. The
  // run is noted for the secondary pass it asks for, as the overrun's is.
  uint32_t handleFIFO(tCDIO_FIFOObservable*, nQoMDBG100::tStatus2& status) override {
    const uint32_t run = _end.live();
    _fifoPassRun.set(run);
    nQoMDBG100::tStatus2 local;
    tTransfer& self = static_cast<tTransfer&>(*this);
    _end.access(run, [&] {
      uint64_t count = 0;
      while (self.moveChunk(run, count, local)) {
      }
      if (local.isFatal()) _end.once(run, [&] { self.end(local); });
    });
    status.assign(local);
    return 1;
  }
  uint32_t handleOverrun(tCDIO_FIFOObservable*, nQoMDBG100::tStatus2&) override {
    _overrunPassRun.set(_end.live());
    return 1;
  }

  void setLimit(uint32_t samples) { _settings.deploying().limit = samples; }
  void setChunkSize(uint32_t samples) { _settings.deploying().chunk = samples; }
  void setSampleMode(uint32_t mode) { _settings.deploying().sampleMode = mode; }
  void setTotal(uint32_t samples) { _settings.deploying().total = samples; }
  // What the last commit (or an arm or a start with none) took.
  const tRecord& programmed() const { return _settings.programmed(); }
  uint32_t transferred() const { return _transferred.get(); }
  uint32_t state() const { return _state; }
  // A start whose end has not come yet.
  bool isRunning() const { return _end.isRunning(); }
  iPartner* partner() const { return _partner; }

 protected:
  tCDIO_InterruptTransfer(const tDeviceInfo* deviceInfo, const tCDIODescription* description,
                          tFIFO* fifo, nQoMDBG100::tStatus2& status)
      : _description(description), _fifo(fifo), _end(deviceInfo, status) {}

  // A run still going stops, with its report, on a status of its own: a
  // step under a run (an arm, a disarm, an uncommit) ends it first.
  void stopRun(nQoMDBG100::tStatus2& status) {
    if (!isRunning()) return;
    nQoUdR100::onFreshStatus(
        status, [&](nQoMDBG100::tStatus2& s) { static_cast<tTransfer*>(this)->stop(s); });
  }

  // The record a run goes by when no arm holds one: what the last commit
  // took. A record taken by an arm or a start with nothing committed since
  // the reservation is noted as a commit's.
  bool nothingRecorded() const { return _recorded == 0; }
  void noteRecorded() { _recorded = 1; }
  // What an unregistration hands back: no record of a commit or a run, as a
  // fresh reservation finds the transfer.
  void forgetRecords() {
    _settings.forget();
    _run = tRecord{};
    _recorded = 0;
    _transferred.set(0);
  }

  // Ready in state 1; in states 2 to 4 with settings of a limit, a chunk, a
  // mode and, but for a continuous transfer, a total.
  bool isReadyWith(bool more) {
    if (_fifo == nullptr || _description == nullptr) return false;
    if (_state == kBuilt) return true;
    if (_state < kObserving || _state > kArmed) return false;
    const tRecord& settings = _settings.deploying();
    return settings.limit != 0 && settings.chunk != 0 && settings.sampleMode != kNotSet && more &&
           (settings.total != 0 || settings.sampleMode == kContinuous);
  }

  // The bytes of that many samples; kCountTooLarge, and false, when they do
  // not fit in 32 bits.
  bool bytesFor(uint32_t samples, uint32_t& bytes, nQoMDBG100::tStatus2& status,
                unsigned line) const {
    const uint64_t wide = uint64_t{samples} * _description->sampleWidth;
    if (wide > UINT32_MAX) {
      nQoUdR100::setCode(status, nQoUdR100::kCountTooLarge, {tRow::kFile, line});
      return false;
    }
    bytes = static_cast<uint32_t>(wide);
    return true;
  }
  // The same check for the control path, where the description may lack.
  bool fitsInBytes(uint32_t samples, nQoMDBG100::tStatus2& status, unsigned line) const {
    uint32_t bytes = 0;
    return _description == nullptr || bytesFor(samples, bytes, status, line);
  }

  const tCDIODescription* _description;
  tFIFO* _fifo;
  iPartner* _partner = nullptr;
  uint32_t _state = kBuilt;
  // Set by a registration that succeeded, cleared by the unregistration:
  // what registerObservers and the destructor go by.
  uint32_t _observing = 0;
  // The runs and their end; the run each primary pass served.
  tTransferEnd _end;
  tSyncAtomicU32 _fifoPassRun;
  tSyncAtomicU32 _overrunPassRun;
  // Samples moved in the run (its passes count at interrupt level).
  tSyncAtomicU32 _transferred;
  // What the deploys set, and the record the last commit took.
  nQoUdR100::tDeployed<tRecord, tCDIO_InterruptTransfer> _settings;
  // What the run goes by: its arm's record (or the commit's, for a run that
  // no arm opened), with the run's own changes. Written only while no run is
  // live and no pass under way, read by the passes inside their access.
  tRecord _run;
  // Set by a commit, or an arm or a start that took the settings; cleared
  // by the unregistration.
  uint32_t _recorded = 0;
};

}  // namespace nQoUdP100
