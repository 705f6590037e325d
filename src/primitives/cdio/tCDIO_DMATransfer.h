// What the correlated digital input and output DMA transfers share: the
// partner that hears the end (and, finite, is bound at registerObservers),
// the channel the FIFO links to, the lifecycle state, the settings (taken
// only in state 1: the registration, the commit and the link program by
// them), and the end itself: the FIFO stops and resets and the partner hears
// the status once per run, also when an error notification ends the
// transfer. The link opens a run for its start, whose end a stop reports;
// an error notification ends only the run its primary pass noted. The
// direction's row gives the FIFO type, the status file, the sites and the
// end codes.
//
//   struct tRow {
//     using tFIFO = tBaseCDI_FIFOPrimitive;
//     static constexpr const char* kFile = "...";
//     static constexpr unsigned kPartnerLine = 181, kSampleModeLine = 235;
//     static constexpr int kBufferError = ...; static constexpr unsigned kBufferErrorLine = 330;
//     static constexpr int kOverrun = ...;     static constexpr unsigned kOverrunLine = 352;
//   };
//   class tTransfer : public tCDIO_DMATransfer<tTransfer, tRow> { ... };
#pragma once

#include <cstdint>

#include "frame/freshStatus.h"
#include "frame/statusCodes.h"
#include "frame/tDeployed.h"
#include "frame/tDeviceInfo.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "mrl/iDMAChannelSupervisor.h"
#include "orb/tGUID.h"
#include "primitives/cdio/tCDIO_FIFOObservable.h"
#include "primitives/cdio/tTransferEnd.h"
#include "primitives/common/tDeviceInfoPrimitive.h"
#include "sync/tSyncAtomicU32.h"

namespace nQoUdP100 {

// The partner of a DMA transfer of type tTransfer.
template <class tTransfer>
class iCDIO_DMAPartner {
 public:
  virtual ~iCDIO_DMAPartner() = default;
  // The end of the transfer or its first error, once per start.
  virtual void transferEnded(nQoMDBG100::tStatus2& status) = 0;
  // Finite transfers, at registerObservers.
  virtual void bindTransfer(tTransfer* transfer, nQoMDBG100::tStatus2& status) = 0;
};

template <class tTransfer, class tRow>
class tCDIO_DMATransfer : public tCDIO_FIFOObservable::iCDIOBufferErrorObserver,
                          public tCDIO_FIFOObservable::iCDIOOverrunObserver,
                          public tDeviceInfoPrimitive {
 public:
  using tFIFO = typename tRow::tFIFO;
  using iPartner = iCDIO_DMAPartner<tTransfer>;
  static constexpr uint32_t kNoChannel = 0xFFFFFFFF;
  enum tState : uint32_t { kBuilt = 1, kObserving = 2, kCommitted = 3, kLinked = 4 };

  // What a deploy sets: the sample mode (only in state 1), the channel (the
  // supervisor's, else its number) and the output's two counts.
  struct tSettings {
    uint32_t sampleMode = 0;
    nQoLMSDR100::iDMAChannelSupervisor* channel = nullptr;
    uint32_t channelNumber = kNoChannel;
    uint32_t firstCount = 0;
    uint32_t secondCount = 0;
  };
  // The setters write the settings; the registration, the commit and the
  // link take them.
  static constexpr const char* kDeploySteps[] = {"setSampleMode", "setDMAChannel",
                                                 "setDMAChannelNumber", "setCounts"};
  static constexpr const char* kProgrammingSteps[] = {"registerObservers", "commit", "linkDMA"};

  // Code 4101: a run still going stops first, with the report a stop owes,
  // so that nothing of the transfer runs after it; an end the link opened
  // with no run closes unreported; then the FIFO's link goes, each on a
  // status of its own.
  virtual void unlinkDMA(nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return;
    stopRun(status);
    takeLinkDown(status);
  }
  // Code 4: a link or a run still held goes first, as code 4101 takes it down.
  virtual void uncommit(nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return;
    if (_dmaLinked != 0 || isRunning())
      nQoUdR100::onFreshStatus(status, [&](nQoMDBG100::tStatus2& s) { unlinkDMA(s); });
    _state = kObserving;
  }

  void handleBufferErrorSecondary(tCDIO_FIFOObservable*, nQoMDBG100::tStatus2&) override {
    endWithError(_bufferErrorPassRun.get(), tRow::kBufferError, tRow::kBufferErrorLine);
  }
  uint32_t handleOverrun(tCDIO_FIFOObservable*, nQoMDBG100::tStatus2&) override {
    _overrunPassRun.set(_end.live());
    return 1;
  }
  void handleOverrunSecondary(tCDIO_FIFOObservable*, nQoMDBG100::tStatus2&) override {
    endWithError(_overrunPassRun.get(), tRow::kOverrun, tRow::kOverrunLine);
  }

  // Ready in every state but 2 (and a bad one); in state 2 with a partner and
  // the channel that the registration took.
  bool isReady() const {
    if (_fifo == nullptr || _identity == nullptr) return false;
    const tSettings& settings = _settings.programmed();
    switch (_state) {
      case kBuilt:
      case kCommitted:
      case kLinked: return true;
      case kObserving:
        return _partner != nullptr &&
               (settings.channel != nullptr || settings.channelNumber != kNoChannel);
      default: return false;
    }
  }

  // -223748 outside state 1.
  void setSampleMode(uint32_t mode, nQoMDBG100::tStatus2& status) {
    if (settable(status, tRow::kSampleModeLine)) _settings.deploying().sampleMode = mode;
  }
  void setDMAChannel(nQoLMSDR100::iDMAChannelSupervisor* channel) {
    _settings.deploying().channel = channel;
  }
  void setDMAChannelNumber(uint32_t number) { _settings.deploying().channelNumber = number; }
  // What the last registration, commit or link took.
  const tSettings& programmed() const { return _settings.programmed(); }
  uint32_t state() const { return _state; }
  // A start whose end has not come yet.
  bool isRunning() const { return _end.isRunning(); }
  // A link of the FIFO to the channel that no unlinkDMA gave back, whatever
  // the codes after it did to the state.
  bool isDMALinked() const { return _dmaLinked != 0; }
  iPartner* partner() const { return _partner; }

 protected:
  tCDIO_DMATransfer(const tDeviceInfo* deviceInfo, tFIFO* fifo, const nQoORB100::tGUID* identity,
                    nQoMDBG100::tStatus2& status)
      : _fifo(fifo), _identity(identity), _end(deviceInfo, status) {}
  ~tCDIO_DMATransfer() override = default;

  // -223748 outside state 1.
  void setPartner(iPartner* partner, nQoMDBG100::tStatus2& status) {
    if (settable(status, tRow::kPartnerLine)) _partner = partner;
  }
  // The channel the link took: the supervisor's, else the number set.
  uint32_t channelNumber(nQoMDBG100::tStatus2& status) const {
    const tSettings& settings = _settings.programmed();
    return settings.channel != nullptr ? settings.channel->getChannelNumber(status) & 0xFF
                                       : settings.channelNumber;
  }
  // A run still going stops, with its report, on a status of its own: a
  // step under a run (a link, an unlink, an uncommit) ends it first.
  void stopRun(nQoMDBG100::tStatus2& status) {
    if (!isRunning()) return;
    nQoUdR100::onFreshStatus(
        status, [&](nQoMDBG100::tStatus2& s) { static_cast<tTransfer*>(this)->stop(s); });
  }
  // The FIFO's link to the channel, noted before it is asked for: a failed
  // one may have written part of it.
  void linkFIFO(nQoMDBG100::tStatus2& status) {
    _dmaLinked = 1;
    _fifo->linkDMAChannel(channelNumber(status), status);
  }
  // Stops and resets the FIFO, each on a status of its own (also when the
  // end is an error), and reports the status to the partner, once.
  void end(nQoMDBG100::tStatus2& status) {
    nQoUdR100::onFreshStatus(status, [&](nQoMDBG100::tStatus2& s) { _fifo->stopFIFO(s); });
    nQoUdR100::onFreshStatus(status, [&](nQoMDBG100::tStatus2& s) { _fifo->resetFIFO(s); });
    if (_partner != nullptr) _partner->transferEnded(status);
  }
  // The link's end closed unreported and the FIFO's link gone, with no run
  // left to stop (the destructor's, once endSilently ran).
  void takeLinkDown(nQoMDBG100::tStatus2& status) {
    _end.close();
    nQoUdR100::onFreshStatus(status, [&](nQoMDBG100::tStatus2& s) { _fifo->unlinkDMAChannel(s); });
    _dmaLinked = 0;
    // An uncommit since leaves nothing committed.
    if (_state == kLinked) _state = kCommitted;
  }
  // For the destructor, first thing: no pass reports an end any more, and
  // the FIFO of a run still going stops and resets; nobody hears of it.
  void endSilently() {
    _end.claimSilently([&] {
      nQoMDBG100::tStatus2 scratch;
      _fifo->stopFIFO(scratch);
      _fifo->resetFIFO(scratch.clear());
    });
  }
  // The error end of the run that the primary pass noted, while it is live.
  void endWithError(uint32_t run, int code, unsigned line) {
    nQoMDBG100::tStatus2 fresh;
    _end.onceLocked(
        run,
        [&] {
          nQoUdR100::setCode(fresh, code, {tRow::kFile, line});
          end(fresh);
        },
        fresh);
  }

  // The transfer's records in the FIFO's buffer-error and overrun lists, each
  // noted when its registration succeeded, so that removeRecords takes out
  // exactly those, whatever step failed before.
  void addBufferErrorRecord(nQoMDBG100::tStatus2& status) {
    _fifo->addObserver(static_cast<tCDIO_FIFOObservable::iCDIOBufferErrorObserver*>(this), status);
    if (status.isNotFatal()) _bufferErrorRegistered = 1;
  }
  void addOverrunRecord(nQoMDBG100::tStatus2& status) {
    _fifo->addObserver(static_cast<tCDIO_FIFOObservable::iCDIOOverrunObserver*>(this), status);
    if (status.isNotFatal()) _overrunRegistered = 1;
  }
  // Each removal on a status of its own, merged into the status.
  void removeRecords(nQoMDBG100::tStatus2& status) {
    removeNoted(
        [&](nQoMDBG100::tStatus2& s) {
          _fifo->removeObserver(static_cast<tCDIO_FIFOObservable::iCDIOBufferErrorObserver*>(this),
                                s);
        },
        _bufferErrorRegistered, status);
    removeNoted(
        [&](nQoMDBG100::tStatus2& s) {
          _fifo->removeObserver(static_cast<tCDIO_FIFOObservable::iCDIOOverrunObserver*>(this), s);
        },
        _overrunRegistered, status);
  }
  // Runs a removal when its registration is noted, and clears the note.
  template <class tRemoval>
  static void removeNoted(tRemoval removal, uint32_t& registered, nQoMDBG100::tStatus2& status) {
    if (registered == 0) return;
    nQoUdR100::onFreshStatus(status, removal);
    registered = 0;
  }

  tFIFO* _fifo;
  iPartner* _partner = nullptr;
  uint32_t _state = kBuilt;
  const nQoORB100::tGUID* _identity;
  // The runs and their end; the run each primary pass served.
  tTransferEnd _end;
  tSyncAtomicU32 _bufferErrorPassRun;
  tSyncAtomicU32 _overrunPassRun;
  nQoUdR100::tDeployed<tSettings, tCDIO_DMATransfer> _settings;
  uint32_t _bufferErrorRegistered = 0;
  uint32_t _overrunRegistered = 0;
  uint32_t _dmaLinked = 0;
  // Set by a registration that succeeded, cleared by the unregistration:
  // what registerObservers goes by.
  uint32_t _observing = 0;

 private:
  bool settable(nQoMDBG100::tStatus2& status, unsigned line) {
    if (status.isFatal()) return false;
    if (_state == kBuilt) return true;
    nQoUdR100::setCode(status, nQoUdR100::kSettingWhileInUse, {tRow::kFile, line});
    return false;
  }
};

}  // namespace nQoUdP100
