// The two analog-input immediate transfers as rows of the immediate transfer
// template: programmed reads of the AI data FIFO, and a DMA channel that fills
// a buffer the client maps.
//
//   nQoUdR100::tAIImmediateDMATransferSupervisor transfer;
//   transfer.initialize(settings, facade, status);   // then link, reserve, ...
#pragma once

#include <cstdint>

#include "frame/freshStatus.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "primitives/ai/iAIImmediateTransferPrimitive.h"
#include "primitives/ai/tBaseAIImmediateDMATransferPrimitive.h"
#include "primitives/ai/tBaseAIImmediateTransferPrimitive.h"
#include "reservation/tSingularResourcePool.h"
#include "settings/aiTransferSettings.h"
#include "supervisors/ai/tBaseAIImmediateTransferSupervisor.h"
#include "supervisors/controlOperations.h"

namespace nQoUdR100 {

// Programmed I/O. The primitive's transfer states run one step ahead of the
// supervisor's codes: reserving takes it to committed (3), code 1 registers
// its listener (4), 4100 starts the reads (5) and sets the first-read flag.
// The first read with attributes after that takes a fresh system time.
struct tAIImmediateTransferSupervisorRow {
  static constexpr const char* kClassName = "nQoUdR100::tAIImmediateTransferSupervisor";
  static constexpr const char* kTemplateClassName =
      "nQoUdR100::tBaseAIImmediateTransferSupervisor<nQoMIOP::tBaseAIImmediateTransferPrimitive>";
  static constexpr bool kReservesTransfer = true;
  using tPrimitive = nQoUdP100::tBaseAIImmediateTransferPrimitive;
  using tPoolPrimitive = nQoUdP100::iAIImmediateTransferPrimitive;
  using tPool = tSingularResourcePool<tPoolPrimitive*>;
  using tLinks = tImmediateEventLinks<tPrimitive>;
  static constexpr tControlOperations<tPrimitive> kControls{
      [](tPrimitive& p, nQoMDBG100::tStatus2& s) { p.armTransfer(s); },
      [](tPrimitive& p, nQoMDBG100::tStatus2& s) { p.startTransfer(s); },
      [](tPrimitive& p, nQoMDBG100::tStatus2& s) { p.startUnsupported(s); },
      [](tPrimitive& p, nQoMDBG100::tStatus2& s) { p.notifyDone(s); },
      [](tPrimitive& p, nQoMDBG100::tStatus2& s) { p.stopTransfer(s); },
      [](tPrimitive& p, nQoMDBG100::tStatus2& s) { p.disarmTransfer(s); }};

  // The pool's primitive as the transfer class, or -89000.
  static tPrimitive* castPrimitive(tPoolPrimitive* held, nQoMDBG100::tStatus2& status) {
    auto* primitive = static_cast<tPrimitive*>(held->___CPPKRLDynamicCast(&tPrimitive::___classID));
    if (primitive == nullptr) setCode(status, kCastFailed, {"tAIImmediateTransferSupervisor", 150});
    return primitive;
  }
  static void reservePrimitive(tPrimitive& primitive, nQoMDBG100::tStatus2& status) {
    primitive.reserveTransfer(status);
    primitive.commitTransfer(status);
  }
  // Before the release: the run and the listener that codes 4100 and 1 left.
  static void bringDown(tPrimitive& primitive) { primitive.bringDown(); }
  static void releasePrimitive(tPrimitive& primitive, nQoMDBG100::tStatus2& status) {
    primitive.uncommitTransfer(status);
    primitive.unreserveTransfer(status);
  }
  // The first read of each run stamps from the system time.
  static constexpr bool kStampsRunStart = true;
  using tStampClock = tPrimitive::tStampClock;
  static uint32_t liveRun(const tPrimitive& primitive) { return primitive.liveRun(); }
  static tStampClock runClock(tPrimitive& primitive, uint32_t& run) {
    return primitive.runClock(run);
  }
  static tStampClock readClock(tPrimitive& primitive, uint32_t& run) {
    return primitive.readClock(run);
  }
  static void cancel(tPrimitive& primitive) { primitive.requestCancel(); }
  // A read under way when the frame takes the primitive out, and those that
  // begin until the next linkResource or reservation, end as a cancel ends
  // them.
  static void releasing(tPrimitive& primitive) { primitive.endReads(); }
  static void reopening(tPrimitive& primitive) { primitive.openReads(); }

  // The read configuration in the primitive's order: listener key, option 1
  // (the software time stamp), option 2, the read-count limit and whether
  // exceeding it only warns, option 3, the waiter (word 6), the time-out;
  // and the stamp clock of the next run: the software stamp and the
  // interval.
  static void setPrimitiveAttributes(tPrimitive& primitive, const tAIImmediateTransferFields& words,
                                     nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return;
    primitive.setStampClock({words.word1 != 0, words.sampleInterval.words()});
    primitive.setListenerKey(words.longWord);
    primitive.setReadOption1(words.word1 != 0);
    primitive.setReadOption2(words.word2 != 0);
    primitive.setReadCountLimit(words.word3);
    primitive.setReadCountIsWarning(words.word4);
    primitive.setReadOption3(words.word5 != 0);
    primitive.setWaitMode(words.word6);
    primitive.setTimeout(words.word7, words.word8);
  }
};
using tAIImmediateTransferSupervisor =
    tBaseAIImmediateTransferSupervisor<tAIImmediateTransferSupervisorRow>;

// DMA. Reserving takes a channel and commits it (3); the six codes reach the
// primitive's own operations, of which start and stop refuse. Its kernel-side
// read delivers nothing; the time stamp comes from the system time only while
// the software-time-stamp word is set.
struct tAIImmediateDMATransferSupervisorRow {
  static constexpr const char* kClassName = "nQoUdR100::tAIImmediateDMATransferSupervisor";
  static constexpr const char* kTemplateClassName =
      "nQoUdR100::tBaseAIImmediateTransferSupervisor<nQoMIOP::"
      "tBaseAIImmediateDMATransferPrimitive>";
  static constexpr bool kReservesTransfer = true;
  using tPrimitive = nQoUdP100::tBaseAIImmediateDMATransferPrimitive;
  using tPoolPrimitive = tPrimitive;
  using tPool = tSingularResourcePool<tPrimitive*>;
  using tLinks = tImmediateSchedulerLinks<tPrimitive>;
  static constexpr auto kControls = namedControls<tPrimitive>();

  static tPrimitive* castPrimitive(tPrimitive* held, nQoMDBG100::tStatus2&) { return held; }
  static void reservePrimitive(tPrimitive& primitive, nQoMDBG100::tStatus2& status) {
    primitive.reserveDMAChannel(status);
    primitive.commitChannel(status);
  }
  // Before the release: the transfer comes down from what the codes left,
  // before its channel commit is undone.
  static void bringDown(tPrimitive& primitive) { primitive.bringDown(); }
  // Each step on a status of its own: the channel goes back also after a
  // failed uncommit.
  static void releasePrimitive(tPrimitive& primitive, nQoMDBG100::tStatus2& status) {
    onFreshStatus(status, [&](nQoMDBG100::tStatus2& s) { primitive.uncommitChannel(s); });
    onFreshStatus(status, [&](nQoMDBG100::tStatus2& s) { primitive.releaseDMAChannel(s); });
  }
  static constexpr bool kStampsRunStart = false;
  // Its reads deliver no samples: each is stamped by its own start alone.
  using tStampClock = nQoUdP100::tBaseAIImmediateTransferPrimitive::tStampClock;
  static uint32_t liveRun(const tPrimitive&) { return 0; }
  static tStampClock runClock(tPrimitive&, uint32_t& run) {
    run = 0;
    return {};
  }
  static tStampClock readClock(tPrimitive& primitive, uint32_t& run) {
    return runClock(primitive, run);
  }
  static void cancel(tPrimitive& primitive) {
    const nQoMDBG100::tStatus2 reason;
    nQoMDBG100::tStatus2 local;
    primitive.requestCancel(reason, local);
  }

  // Listener key; options 2 and 3 as the header's two flags; the read-count
  // limit and warning word as its two words; a sample size of 2 sets the first
  // size flag, a larger one the second, and one that is 0 or negative is
  // refused (-50150).
  static void setPrimitiveAttributes(tPrimitive& primitive, const tAIImmediateTransferFields& words,
                                     nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return;
    primitive.setListenerKey(words.longWord);
    const auto size = static_cast<int32_t>(words.word6);
    primitive.deployHeaderWords({.word12 = words.word2 != 0 ? 1u : 0u,
                                 .word16 = words.word5 != 0 ? 1u : 0u,
                                 .word24 = words.word3,
                                 .word32 = words.word4,
                                 .setFlag8 = size == 2,
                                 .setWord20 = size > 2});
    if (size <= 0) setCode(status, kRefused, {"tAIImmediateDMATransferSupervisor", 190});
  }
};
using tAIImmediateDMATransferSupervisor =
    tBaseAIImmediateTransferSupervisor<tAIImmediateDMATransferSupervisorRow>;

// The template itself, instantiated for an instance's primitive and
// registered under its own name: it reserves no transfer (both steps refuse
// with -50256), gives the primitive no attributes and links its events only.
template <class Instance>
struct tTemplateInstanceRow : Instance {
  static constexpr const char* kClassName = Instance::kTemplateClassName;
  using tLinks = tImmediateEventLinks<typename Instance::tPrimitive>;
  static constexpr bool kReservesTransfer = false;
  static void setPrimitiveAttributes(typename Instance::tPrimitive&,
                                     const tAIImmediateTransferFields&, nQoMDBG100::tStatus2&) {}
};
using tBaseAIImmediateTransferSupervisorOfTransfer =
    tBaseAIImmediateTransferSupervisor<tTemplateInstanceRow<tAIImmediateTransferSupervisorRow>>;
using tBaseAIImmediateTransferSupervisorOfDMATransfer =
    tBaseAIImmediateTransferSupervisor<tTemplateInstanceRow<tAIImmediateDMATransferSupervisorRow>>;

}  // namespace nQoUdR100
