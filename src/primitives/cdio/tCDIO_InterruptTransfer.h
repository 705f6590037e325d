// What the correlated digital input and output interrupt transfers share: the
// partner that moves the data and hears the end, the description and FIFO,
// the lifecycle state, the chunk settings and the transfer loop that the FIFO
// interrupt runs. The direction's class moves one chunk (moveChunk) and ends
// the transfer (end); its row gives the FIFO type and the status file. The
// setters (a deploy) write the settings at once; a commit takes them and an
// arm takes the commit's, so that a run goes by its arm's record alone.
//
//   struct tRow { using tFIFO = tBaseCDI_FIFOPrimitive; static constexpr const char* kFile = "...";
//   }; class tTransfer : public tCDIO_InterruptTransfer<tTransfer, tRow> {
//     friend tCDIO_InterruptTransfer;
//     bool moveChunk(uint64_t& count, tStatus2& local);  // false ends the loop
//     void end(tStatus2& status);
//   };
#pragma once

#include <cstdint>

#include "frame/freshStatus.h"
#include "frame/statusCodes.h"
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

  virtual ~tCDIO_InterruptTransfer() = default;

  // Code 4101: a run still going stops first, with the report a stop owes,
  // so that nothing of the transfer runs after it; the state goes back only
  // from the arm.
  void disarm(nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return;
    stopRun(status);
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

  // The transfer loop; answers 1. The count is wide enough that no chunk
  // carries it past the limit and round. The run it serves is noted for the
  // secondary pass it asks for, as the overrun's is.
  uint32_t handleFIFO(tCDIO_FIFOObservable*, nQoMDBG100::tStatus2& status) override {
    _fifoPassRun.set(_runs.get());
    nQoMDBG100::tStatus2 local;
    uint64_t count = 0;
    tTransfer& self = static_cast<tTransfer&>(*this);
    while (self.moveChunk(count, local)) {
    }
    if (local.isFatal()) _end.once([&] { self.end(local); });
    status.assign(local);
    return 1;
  }
  uint32_t handleOverrun(tCDIO_FIFOObservable*, nQoMDBG100::tStatus2&) override {
    _overrunPassRun.set(_runs.get());
    return 1;
  }

  // What a deploy sets and a run goes by.
  struct tRecord {
    // Samples one notification may move.
    uint32_t limit = 0;
    uint32_t chunk = 0;
    uint32_t sampleMode = kNotSet;
    uint32_t total = 0;
  };

  void setLimit(uint32_t samples) { _settings.limit = samples; }
  void setChunkSize(uint32_t samples) { _settings.chunk = samples; }
  void setSampleMode(uint32_t mode) { _settings.sampleMode = mode; }
  void setTotal(uint32_t samples) { _settings.total = samples; }
  const tRecord& settings() const { return _settings; }
  uint32_t transferred() const { return _transferred; }
  uint32_t state() const { return _state; }
  // A start whose end has not come yet.
  bool isRunning() const { return _end.isRunning(); }
  iPartner* partner() const { return _partner; }

 protected:
  tCDIO_InterruptTransfer(const tDeviceInfo* deviceInfo, const tCDIODescription* description,
                          tFIFO* fifo, nQoMDBG100::tStatus2& status)
      : _description(description), _fifo(fifo), _end(deviceInfo, status) {}

  // A start that begins a run: its end is reported again, and it counts.
  void beginRun() {
    ++_runs;
    _end.start();
  }
  // A secondary pass acts only on the run still going that its primary pass
  // noted: one that a stop, an arm and a start overtook finds another run.
  bool passedIn(const tSyncAtomicU32& noted) const {
    return noted.get() == _runs.get() && isRunning();
  }

  // A run still going stops, with its report, on a status of its own: a
  // step under a run (an arm, a disarm, an uncommit) ends it first.
  void stopRun(nQoMDBG100::tStatus2& status) {
    if (!isRunning()) return;
    nQoUdR100::onFreshStatus(
        status, [&](nQoMDBG100::tStatus2& s) { static_cast<tTransfer*>(this)->stop(s); });
  }

  // A commit takes the settings; under an arm or a run, which go by their
  // arm's record, only for the next arm.
  void takeSettings() {
    _committed = _settings;
    if (_state != kArmed && !isRunning()) _run = _committed;
  }

  // Ready in state 1; in states 2 to 4 with a limit, a chunk, a mode and, but
  // for a continuous transfer, a total.
  bool isReadyWith(bool more) const {
    if (_fifo == nullptr || _description == nullptr) return false;
    if (_state == kBuilt) return true;
    if (_state < kObserving || _state > kArmed) return false;
    return _settings.limit != 0 && _settings.chunk != 0 && _settings.sampleMode != kNotSet &&
           more && (_settings.total != 0 || _settings.sampleMode == kContinuous);
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
  tTransferEnd _end;
  // The runs begun, and the run each primary pass served.
  tSyncAtomicU32 _runs;
  tSyncAtomicU32 _fifoPassRun;
  tSyncAtomicU32 _overrunPassRun;
  uint32_t _transferred = 0;
  // What the deploys set, what the last commit took, and what the run goes
  // by (the arm's, or a commit's that no arm or run held).
  tRecord _settings;
  tRecord _committed;
  tRecord _run;
};

}  // namespace nQoUdP100
