// The correlated digital immediate transfer supervisors: the task's stream
// itself. The platform reads from the CDI one (each read reports the time
// stamp of its first sample and the sample period, and moves the stamp on by
// the samples read) and writes to the CDO one. Rows of tCorrelatedSupervisor
// like the other positions, with a stream part over the supervisor interface.
//
// The stamps go by the run the samples belong to: code 2 hands the primitive
// the time it starts at, the deploy the sample period, and the start that
// begins a run takes both into the run's record; a read tells the run its
// samples came from and that run's clock, and the stamp starts again at the
// clock of each run it has not stamped yet. A start on another thread thus
// never moves the stamp of a read under way, nor a read the clock of another
// run.
#pragma once

#include <atomic>
#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tFixedPoint128.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "msrl/iInputStream.h"
#include "msrl/iInputStreamPrimitiveSupervisor.h"
#include "msrl/iOutputStream.h"
#include "msrl/iStreamAttributes.h"
#include "pal/tPALSysInfo.h"
#include "primitives/cdio/tBaseCDIImmediateTransferPrimitive.h"
#include "primitives/cdio/tBaseCDOImmediateTransferPrimitive.h"
#include "settings/tCDIImmediateTransferSettings.h"
#include "settings/tCDOImmediateTransferSettings.h"
#include "supervisors/cdio/correlatedLinks.h"
#include "supervisors/cdio/tCorrelatedSupervisor.h"
#include "supervisors/tDoneAndStatusObserver.h"
#include "supervisors/tPlainSupervisor.h"

namespace nQoUdR100 {

// The immediate position's part: the settings words, the time-out of each
// request, the done observer that turns the primitive's end into the task's
// events, and (input) the stamp of the reads: the run they stamp, its sample
// period and its next sample's time stamp, which only the reads write.
template <class Dir>
class tCorrelatedImmediateLinks : public tCorrelatedLinksBase {
 public:
  using tPrimitive = typename Dir::tPrimitive;
  using tTime = nQoSS100::tFixedPoint128<64u, true>;

  tCorrelatedImmediateLinks() = default;
  ~tCorrelatedImmediateLinks() { delete _observer; }
  tCorrelatedImmediateLinks(const tCorrelatedImmediateLinks&) = delete;
  tCorrelatedImmediateLinks& operator=(const tCorrelatedImmediateLinks&) = delete;

  // The task's event (none or another class: -89000) and the observer aimed
  // at it; a failed allocation is -50352 and leaves the observer null.
  void initialize(nQoMRL100::iRuntimeFacade* facade, nQoMDBG100::tStatus2& status) {
    _event = lookupTaskEvent(facade, status, {Dir::kFile, 118});
    if (status.isFatal()) return;
    if (_observer == nullptr) _observer = new (status) tDoneAndStatusObserver(_event);
    if (_observer != nullptr) _observer->setTarget(_event);
  }
  // The calls that the last release ended are open again, and the primitive
  // reports its end to the observer. A board that is not simulated needs the
  // done kind registered with the task's event.
  template <class Settings>
  void reserved(tPrimitive& transfer, const Settings&, nQoMDBG100::tStatus2& status) {
    _stampedRun = 0;
    transfer.reopenCalls();
    transfer.setDoneObserver(_observer);
    if (transfer.simulated() || _event == nullptr) return;
    _event->registerEvent(nQoMRL110::kDoneEvent, status);
    _doneRegistered = status.isNotFatal();
  }
  void releasing(tPrimitive* transfer, nQoMDBG100::tStatus2&) {
    if (transfer != nullptr) transfer->setDoneObserver(nullptr);
  }
  // After the hand-back: the done kind goes, when this task registered it.
  void released(nQoMDBG100::tStatus2& status) {
    if (!_doneRegistered) return;
    nQoMDBG100::tStatus2 local;
    _event->unregisterEvent(nQoMRL110::kDoneEvent, local);
    status.assign(local);
    _doneRegistered = false;
  }

  // Mode and total only on a good status, the third word and (input) the
  // sample period always.
  void apply(tPrimitive& transfer, const typename Dir::tSettings& settings,
             nQoMDBG100::tStatus2& status) {
    const auto& fields = settings.template record<0>();
    if (status.isNotFatal()) transfer.setSampleMode(static_cast<uint32_t>(fields.transferMode));
    if (status.isNotFatal()) transfer.setTotal(fields.transferWord2);
    Dir::setThirdWord(transfer, fields.transferWord3);
    if constexpr (Dir::kStamped) transfer.setSamplePeriod(fields.samplePeriod.words());
  }

  // The calls that an unlink ended are open again.
  void linkResource(tPrimitive* transfer, std::atomic<uint32_t>& word,
                    nQoMDBG100::tStatus2& status) {
    if (transfer != nullptr) transfer->reopenCalls();
    if (status.isNotFatal()) word = 4;
  }
  void unlinkResource(tPrimitive&, nQoMDBG100::tStatus2&) {}
  // Code 2: the stream's time starts now, for the run that the start begins
  // (a start under a run keeps the run and so its clock).
  void starting(tPrimitive& transfer) {
    if constexpr (Dir::kStamped) {
      tPALTime128 now{};
      tPALSysInfo::getTime(now);
      transfer.setStartTime(now);
    }
  }
  void requestCancel(tPrimitive& transfer, uint32_t word, nQoMDBG100::tStatus2&) {
    if (word > 3) transfer.requestCancel();
  }
  // Before the release or an unlink waits: a read or write under way, which
  // may wait without limit, ends at once, also when a commit or start under
  // way clears the run's cancel after this.
  void endCalls(tPrimitive& transfer) {
    transfer.requestCancel();
    transfer.endCalls();
  }

  // Without a primitive: 0 and -50004. The time-out goes into the primitive
  // before each request.
  tPrimitive* prepare(tPrimitive* transfer, uint32_t timeout, nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return nullptr;
    if (transfer == nullptr) {
      setCode(status, kNullPointer, {Dir::kFile, 250});
      return nullptr;
    }
    transfer->setTimeout(timeout);
    return transfer;
  }

  // A read that delivered samples reports the time stamp of its first sample
  // and the period (fresh statuses merged into the caller's); the stamp then
  // moves on by the samples read. The first read of a run stamps from the
  // clock the run's start took.
  template <class tRunStamp>
  void stamp(uint32_t samples, const tRunStamp& run, nQoMSRL100::iStreamAttributes* attributes,
             nQoMDBG100::tStatus2& status) {
    if (samples == 0) return;
    if (run.run != _stampedRun) {
      _stampedRun = run.run;
      _period = tTime(run.clock.period);
      _next = tTime(run.clock.start);
    }
    if (attributes != nullptr) {
      nQoMDBG100::tStatus2 local;
      attributes->setTimeStamp(_next.words(), local);
      status.assign(local);
      local.clear();
      attributes->setInterval(_period.words(), local);
      status.assign(local);
    }
    tTime step = _period;
    step *= tTime(tPALTime128{0, static_cast<int64_t>(samples)});
    _next += step;
  }

  const tTime& nextStamp() const { return _next; }
  tDoneAndStatusObserver* observer() const { return _observer; }

 private:
  nQoMRL110::iEvent* _event = nullptr;
  tDoneAndStatusObserver* _observer = nullptr;
  bool _doneRegistered = false;
  // The run the reads stamp (0: none yet), its period and its next sample's
  // stamp: written by the reads alone.
  uint32_t _stampedRun = 0;
  tTime _period{0};
  tTime _next{0};
};

// The input stream part: a read reaches the primitive through the frame's
// slot, so the release, which cancels it first, waits for it to leave.
template <class Self>
class tCDIImmediateStream : public nQoMSRL100::iInputStreamPrimitiveSupervisor,
                            public nQoMSRL100::iInputStream {
 public:
  nQoMSRL100::iInputStream* getInputStreamPtr(nQoMDBG100::tStatus2& status) override {
    return status.isFatal() ? nullptr : this;
  }
  uint32_t read(uint32_t count, uint32_t timeout, uint8_t* destination, const uint8_t*,
                nQoMSRL100::iStreamAttributes* attributes, nQoMDBG100::tStatus2& status) override {
    auto& self = static_cast<Self&>(*this);
    uint32_t samples = 0;
    const bool held = self.reach([&](typename Self::tPrimitive& primitive) {
      auto* transfer = self.getLinks().prepare(&primitive, timeout, status);
      if (transfer == nullptr) return;
      typename Self::tPrimitive::tRunStamp run;
      samples = transfer->read(destination, count, status, &run);
      self.getLinks().stamp(samples, run, attributes, status);
    });
    if (!held) self.getLinks().prepare(nullptr, timeout, status);
    return samples;
  }
  // Reading what is there without waiting is not offered.
  uint32_t readAvailable(uint32_t, uint8_t*, nQoMDBG100::tStatus2& status) override {
    setCode(status, kStreamOperationNotOffered, {"tBaseCDIImmediateTransferSupervisor", 376});
    return 0;
  }
};

// The output stream part: a write reaches the primitive through the frame's
// slot, so the release, which cancels it first, waits for it to leave.
template <class Self>
class tCDOImmediateStream : public nQoMSRL100::iOutputStreamPrimitiveSupervisor,
                            public nQoMSRL100::iOutputStream {
 public:
  nQoMSRL100::iOutputStream* getOutputStreamPtr(nQoMDBG100::tStatus2& status) override {
    return status.isFatal() ? nullptr : this;
  }
  uint32_t write(uint32_t count, uint32_t timeout, const void* source, const void*,
                 nQoMDBG100::tStatus2& status) override {
    auto& self = static_cast<Self&>(*this);
    uint32_t written = 0;
    const bool held = self.reach([&](typename Self::tPrimitive& primitive) {
      auto* transfer = self.getLinks().prepare(&primitive, timeout, status);
      if (transfer != nullptr)
        written = transfer->write(count, static_cast<const uint8_t*>(source), status);
    });
    if (!held) self.getLinks().prepare(nullptr, timeout, status);
    return written;
  }
  uint32_t getAvailable(nQoMDBG100::tStatus2& status) override {
    setCode(status, kOutputStreamOperationNotOffered, {"tBaseCDOImmediateTransferSupervisor", 352});
    return 0;
  }
};

struct tCDIImmediateDirection {
  using tPrimitive = nQoUdP100::tBaseCDIImmediateTransferPrimitive;
  using tSettings = tCDIImmediateTransferSettings;
  static constexpr const char* kName = "nQoUdR100::tBaseCDIImmediateTransferSupervisor";
  static constexpr const char* kFile = "tBaseCDIImmediateTransferSupervisor";
  static constexpr unsigned kNotSupportedLine = 297;
  static constexpr bool kStamped = true;
  template <class Self>
  using tStream = tCDIImmediateStream<Self>;
  static void setThirdWord(tPrimitive& transfer, uint32_t word) { transfer.setNewestSamples(word); }
};

struct tCDOImmediateDirection {
  using tPrimitive = nQoUdP100::tBaseCDOImmediateTransferPrimitive;
  using tSettings = tCDOImmediateTransferSettings;
  static constexpr const char* kName = "nQoUdR100::tBaseCDOImmediateTransferSupervisor";
  static constexpr const char* kFile = "tBaseCDOImmediateTransferSupervisor";
  static constexpr unsigned kNotSupportedLine = 295;
  static constexpr bool kStamped = false;
  template <class Self>
  using tStream = tCDOImmediateStream<Self>;
  static void setThirdWord(tPrimitive& transfer, uint32_t word) { transfer.setWriteMode(word); }
};

template <class Dir>
struct tCorrelatedImmediateRow {
  static constexpr const char* kClassName = Dir::kName;
  template <class Self>
  using tBase = typename Dir::template tStream<Self>;
  using tSettings = typename Dir::tSettings;
  using tPrimitive = typename Dir::tPrimitive;
  using tLinks = tCorrelatedImmediateLinks<Dir>;
  static constexpr tStatusSite kNoPrimitive{Dir::kFile, 229};
  static constexpr tStatusSite kNotSupported{Dir::kFile, Dir::kNotSupportedLine};
  using P = tPrimitive;
  // Each code runs the transfer's step, then the channel's.
  static constexpr tCorrelatedControls<P> kControls = {{
      {[](P& p, nQoMDBG100::tStatus2& s) { p.commitTransfer(s); },
       [](P& p, nQoMDBG100::tStatus2& s) { p.commitChannel(s); }, 5},
      {},
      {[](P& p, nQoMDBG100::tStatus2& s) { p.startTransfer(s); },
       [](P& p, nQoMDBG100::tStatus2& s) { p.startChannel(s); }, 6},
      {.first = [](P& p, nQoMDBG100::tStatus2& s) { p.stopTransfer(s); },
       .second = [](P& p, nQoMDBG100::tStatus2& s) { p.stopChannel(s); },
       .word = 5,
       .holds = [](const P& p) { return p.holdsRun(); }},
      {},
      {.first = [](P& p, nQoMDBG100::tStatus2& s) { p.uncommitTransfer(s); },
       .second = [](P& p, nQoMDBG100::tStatus2& s) { p.uncommitChannel(s); },
       .word = 4,
       .holds = [](const P& p) { return p.state() >= P::kTransferCommitted; }},
  }};
};

using tBaseCDIImmediateTransferSupervisor =
    tCorrelatedSupervisor<tCorrelatedImmediateRow<tCDIImmediateDirection>>;
using tBaseCDOImmediateTransferSupervisor =
    tCorrelatedSupervisor<tCorrelatedImmediateRow<tCDOImmediateDirection>>;

}  // namespace nQoUdR100
