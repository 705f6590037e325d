// The supervisors of the analog-input path that follow the plain model: one
// primitive from a singular pool, no linkers. Each is a row of the supervisor
// frame; the platform creates them by class name.
//
//   nQoUdR100::tBaseAI_ADCSupervisor converter;
//   converter.initialize(settings, facade, status);   // then link, reserve, ...
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "mrl/iControlParameterBlock.h"
#include "primitives/ai/tAISubsystem.h"
#include "primitives/ai/tBaseAIDeviceFIFOPrimitive.h"
#include "primitives/ai/tBaseAIScanningFrontEndPrimitive.h"
#include "primitives/ai/tBaseAITimingControllerPrimitive.h"
#include "primitives/ai/tBaseAI_ADCPrimitive.h"
#include "primitives/ai/tBaseAI_WFNSCPrimitive.h"
#include "reservation/tSingularResourcePool.h"
#include "reservation/tSupStateTracker.h"
#include "settings/aiSettings.h"
#include "settings/aiTransferSettings.h"
#include "settings/tParameterBlockValidateHelper.h"
#include "supervisors/controlOperations.h"
#include "supervisors/iWaitForNextSampleClockSupervisor.h"
#include "supervisors/tNoLinks.h"
#include "supervisors/tSchedulerLinks.h"
#include "supervisors/tSupervisor.h"

namespace nQoUdR100 {

// The converter takes part in no control code. Code 4102 reaches the
// converter's empty preparation step, so it ends clean once a primitive is
// held and moves no state.
struct tBaseAI_ADCSupervisorRow {
  static constexpr const char* kClassName = "nQoUdR100::tBaseAI_ADCSupervisor";
  using tSettings = tAI_ADCSettings;
  using tPrimitive = nQoUdP100::tBaseAI_ADCPrimitive;
  using tPool = tSingularResourcePool<tPrimitive*>;
  using tLinks = tNoLinks<tPrimitive>;
  static constexpr uint32_t kControlFlags = 0;
  static constexpr tStatusSite kSite{"tBaseAI_ADCSupervisor", 161};
  static constexpr auto kControls = namedControls<tPrimitive>();

  static void applyRecord(tPrimitive& primitive, const tSettings& settings,
                          nQoMDBG100::tStatus2& status) {
    primitive.setConfiguration(settings.record<0>(), status);
  }
  // Its commit and arm still run: the release undoes what they left.
  static void bringDown(tPrimitive& primitive) { disarmAndUncommit(primitive); }
  template <class tSupervisor>
  static bool controlOwn(tSupervisor&, tPrimitive&, uint32_t code,
                         nQoMRL100::iControlParameterBlock*, nQoMRL100::iControlParameterBlock*,
                         nQoMDBG100::tStatus2&) {
    return code == 4102;
  }
};
using tBaseAI_ADCSupervisor = tSupervisor<tBaseAI_ADCSupervisorRow>;

// The subsystem takes part in all six codes; start only while the first
// value of its supervisor record, as code 1 took it, is non-zero.
struct tBaseAISubsystemSupervisorRow {
  static constexpr const char* kClassName = "nQoUdR100::tBaseAISubsystemSupervisor";
  using tSettings = tAISubsystemSettings;
  using tPrimitive = nQoUdP100::tBaseAISubsystem;
  using tPool = tSingularResourcePool<tPrimitive*>;
  using tLinks = tNoLinks<tPrimitive>;
  static constexpr uint32_t kControlFlags = 0x3F;
  static constexpr tStatusSite kSite{"tBaseAISubsystemSupervisor", 156};
  static constexpr auto kControls = namedControls<tPrimitive>();

  static void applyRecord(tPrimitive& primitive, const tSettings& settings,
                          nQoMDBG100::tStatus2& status) {
    primitive.setConfiguration(settings.record<0>(), status);
  }
  static uint32_t controlFlags(const tSettings& settings) {
    return settings.supervisorRecord().word1 != 0 ? kControlFlags : kControlFlags & ~(1u << 2);
  }
  // A task released without a commit-cancel, or a code after unlinkResource:
  // the run, the arm and the commit (with its transfer link) go by what the
  // subsystem holds.
  static void bringDown(tPrimitive& primitive) { primitive.bringDown(); }
};
using tBaseAISubsystemSupervisor = tSupervisor<tBaseAISubsystemSupervisorRow>;

// The scanning front end takes part in codes 1, 4100, 4101 and 4 only while
// the first value of its supervisor record, as code 1 took it, is non-zero,
// never in 2 and 3. Its start is the settling wait and its stop an undo step
// with nothing to do; arm leaves the channel programming to the subsystem's
// arm chain. Codes 4103 and 4104 set one channel's range or input codes from
// the in block.
struct tBaseAIScanningFrontEndSupervisorRow {
  static constexpr const char* kClassName = "nQoUdR100::tBaseAIScanningFrontEndSupervisor";
  using tSettings = tAIScanningFrontEndSettings;
  using tPrimitive = nQoUdP100::tBaseAIScanningFrontEndPrimitive;
  using tPool = tSingularResourcePool<tPrimitive*>;
  using tLinks = tNoLinks<tPrimitive>;
  static constexpr uint32_t kControlFlags = 0;
  static constexpr tStatusSite kSite{"tBaseAIScanningFrontEndSupervisor", 199};
  static constexpr tControlOperations<tPrimitive> kControls{
      [](tPrimitive& p, nQoMDBG100::tStatus2& s) { p.commit(s); },
      [](tPrimitive& p, nQoMDBG100::tStatus2& s) { p.arm(1, s); },
      [](tPrimitive& p, nQoMDBG100::tStatus2& s) { p.waitForSettling(s); },
      [](tPrimitive&, nQoMDBG100::tStatus2&) {},
      [](tPrimitive& p, nQoMDBG100::tStatus2& s) { p.disarm(s); },
      [](tPrimitive& p, nQoMDBG100::tStatus2& s) { p.uncommit(s); }};

  static void applyRecord(tPrimitive& primitive, const tSettings& settings,
                          nQoMDBG100::tStatus2& status) {
    settings.record<0>().checkStatus(status);
    primitive.setConfiguration(settings.record<0>(), status);
  }
  static uint32_t controlFlags(const tSettings& settings) {
    return settings.supervisorRecord().word1 != 0 ? 0x33u : kControlFlags;
  }
  // A commit the codes left, and the settling it started, go by what the
  // front end holds.
  static void bringDown(tPrimitive& primitive) { primitive.bringDown(); }
  template <class tSupervisor>
  static bool controlOwn(tSupervisor&, tPrimitive& primitive, uint32_t code,
                         nQoMRL100::iControlParameterBlock* in, nQoMRL100::iControlParameterBlock*,
                         nQoMDBG100::tStatus2& status) {
    if (code != 4103 && code != 4104) return false;
    tParameterBlockValidateHelper::checkNotNull(in, status);
    if (status.isFatal()) return true;
    nQoMDBG100::tStatus2 local;
    const uint32_t index = in->readU32(local.code);
    if (code == 4103) {
      nQoUdRLP100::tInterval range{};
      range.lower.readExternal(*in, local.code);
      range.upper.readExternal(*in, local.code);
      tParameterBlockValidateHelper::mergeValidationStatus(local, status);
      if (status.isNotFatal()) primitive.setChannelRange(index, range, status);
      return true;
    }
    const uint32_t first = in->readU32(local.code);
    const uint32_t second = in->readU32(local.code);
    tParameterBlockValidateHelper::mergeValidationStatus(local, status);
    if (status.isNotFatal())
      primitive.setChannelParameters(index, static_cast<int32_t>(first),
                                     static_cast<int32_t>(second), status);
    return true;
  }
};
using tBaseAIScanningFrontEndSupervisor = tSupervisor<tBaseAIScanningFrontEndSupervisorRow>;

// The AI timing controller takes part in no control code; the first value of
// its supervisor record is the map key of the scheduler-action supervisor
// whose action the primitive gets while linked.
struct tBaseAITimingControllerSupervisorRow {
  static constexpr const char* kClassName = "nQoUdR100::tBaseAITimingControllerSupervisor";
  using tSettings = tAITimingControllerSettings;
  using tPrimitive = nQoUdP100::tBaseAITimingControllerPrimitive;
  using tPool = tSingularResourcePool<tPrimitive*>;
  using tLinks = tSchedulerLinks<tPrimitive>;
  static constexpr uint32_t kControlFlags = 0;
  static constexpr tStatusSite kSite{"tBaseAITimingControllerSupervisor", 165};
  static constexpr auto kControls = namedControls<tPrimitive>();

  static void applyRecord(tPrimitive& primitive, const tSettings& settings,
                          nQoMDBG100::tStatus2& status) {
    primitive.setConfiguration(settings.record<0>(), status);
  }
  static void configureLinks(tLinks& links, const tSettings& settings) {
    links.schedulerLinker().setKey(settings.supervisorRecord().word1);
  }
  // What a commit, arm or start left goes by what the engine holds, before
  // the links take the task's action back (its disarmed report still
  // reaches the action).
  static void bringDown(tPrimitive& primitive) { primitive.bringDown(); }
};
using tBaseAITimingControllerSupervisor = tSupervisor<tBaseAITimingControllerSupervisorRow>;

// The AI device FIFO takes part in no control code; the transfer
// supervisors find it in the map and read its reserved primitive.
struct tBaseAIDeviceFIFOSupervisorRow {
  static constexpr const char* kClassName = "nQoUdR100::tBaseAIDeviceFIFOSupervisor";
  using tSettings = tAIDeviceFIFOSettings;
  using tPrimitive = nQoUdP100::tBaseAIDeviceFIFOPrimitive;
  using tPool = tSingularResourcePool<tPrimitive*>;
  using tLinks = tNoLinks<tPrimitive>;
  static constexpr uint32_t kControlFlags = 0;
  static constexpr tStatusSite kSite{"tBaseAIDeviceFIFOSupervisor", 181};
  static constexpr auto kControls = namedControls<tPrimitive>();

  static void applyRecord(tPrimitive& primitive, const tSettings& settings,
                          nQoMDBG100::tStatus2& status) {
    settings.record<0>().checkStatus(status);
    primitive.setConfiguration(settings.record<0>(), status);
  }
  // Its commit and arm still run: the release undoes what they left.
  static void bringDown(tPrimitive& primitive) { disarmAndUncommit(primitive); }
};
using tBaseAIDeviceFIFOSupervisor = tSupervisor<tBaseAIDeviceFIFOSupervisorRow>;

// Wait for the next sample clock: takes part in commit, arm, disarm and
// uncommit. Code 400 waits, 401 sets a time-out from the in block and waits;
// waits are allowed from state 50 on, and the fifth settings value that the
// last code 1 took, when non-zero, turns them off. A wait (400, 401 or the second interface's) and
// a cancel may come from another thread: like every entry they run inside a
// use of the frame's slot, and the release (and unlinkResource) end the
// primitive's waits and wait for them to leave before they change it.
struct tBaseAI_WFNSCSupervisorRow {
  static constexpr const char* kClassName = "nQoUdR100::tBaseAI_WFNSCSupervisor";
  using tSettings = tAI_WFNSCSettings;
  using tPrimitive = nQoUdP100::tBaseAI_WFNSCPrimitive;
  using tPool = tSingularResourcePool<tPrimitive*>;
  using tLinks = tNoLinks<tPrimitive>;
  static constexpr uint32_t kControlFlags = 0x33;
  static constexpr tStatusSite kSite{"tBaseAI_WFNSCSupervisor", 255};
  static constexpr auto kControls = namedControls<tPrimitive>();

  // The supervisor's second interface: its wait operation.
  template <class Self>
  class tExtraBase : public iWaitForNextSampleClockSupervisor {
   public:
    void waitForNextSampleClock(nQoMDBG100::tStatus2& status) override {
      tBaseAI_WFNSCSupervisorRow::waitForNextSampleClock(static_cast<Self&>(*this), status);
    }
  };

  // The four wait parameters, in this order, deployed to the primitive,
  // whose next commit takes them.
  static void applyRecord(tPrimitive& primitive, const tSettings& settings, nQoMDBG100::tStatus2&) {
    const auto& words = settings.supervisorRecord();
    primitive.setOptions({words.word1, words.word2, words.word3, words.word4});
  }
  // The fifth value as code 1 took it (before the first code 1 and after a
  // release: as initialize took it): the waits go by it until the next code
  // 1, whatever a deploy wrote since.
  struct tRecord {
    uint32_t waitsOff = 0;
  };
  static tRecord takeRecord(const tSettings& settings) {
    return {settings.supervisorRecord().word5};
  }
  template <class tSupervisor>
  static void requestCancel(tSupervisor& supervisor, tPrimitive& primitive,
                            nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return;
    if (supervisor.getTracker().getState(status) >= nQoMRTB100::kStateCommitted)
      primitive.requestStop();
  }
  // The waits under way when the frame takes the primitive out, and those
  // that begin until the next linkResource or reservation, return.
  static void releasing(tPrimitive& primitive) { primitive.endWaits(); }
  static void reopening(tPrimitive& primitive) { primitive.openWaits(); }
  // A task released without a commit-cancel: the event and the controller's
  // record of a commit go, and so does a stop that a cancel left.
  static void bringDown(tPrimitive& primitive) {
    disarmAndUncommit(primitive);
    primitive.clearStop();
  }
  template <class tSupervisor>
  static bool controlOwn(tSupervisor& supervisor, tPrimitive& primitive, uint32_t code,
                         nQoMRL100::iControlParameterBlock* in, nQoMRL100::iControlParameterBlock*,
                         nQoMDBG100::tStatus2& status) {
    if (code != 400 && code != 401) return false;
    const bool off = supervisor.record().waitsOff != 0;
    if (code == 401) {
      tParameterBlockValidateHelper::checkNotNull(in, status);
      if (status.isFatal()) return true;
      nQoMDBG100::tStatus2 local;
      const uint32_t timeout = in->readU32(local.code);
      tParameterBlockValidateHelper::mergeValidationStatus(local, status);
      if (status.isFatal() || off) return true;
      checkState(supervisor, status);
      primitive.setTimeout(timeout, status);
    } else {
      if (off) return true;
      checkState(supervisor, status);
    }
    primitive.waitForNextSampleClock(status);
    return true;
  }
  // The class's extra operation, also its second interface's one: a wait
  // bracketed by the facade's blocking calls; nothing when the facade says
  // the caller may not block.
  template <class tSupervisor>
  static void waitForNextSampleClock(tSupervisor& supervisor, nQoMDBG100::tStatus2& status) {
    if (status.isFatal() || supervisor.record().waitsOff != 0) return;
    checkState(supervisor, status);
    nQoMRL100::iRuntimeFacade* facade = supervisor.getRuntimeFacade();
    if (status.isFatal()) return;
    const bool held = facade != nullptr && supervisor.reach([&](tPrimitive& primitive) {
      if (facade->mayBlock(status) == 0 || status.isFatal()) return;
      primitive.waitForNextSampleClock(status);
      nQoMDBG100::tStatus2 local;
      facade->endBlocking(local);
      status.assign(local);
    });
    if (!held) setCode(status, kNullPointer, kSite);
  }
  template <class tSupervisor>
  static void checkState(tSupervisor& supervisor, nQoMDBG100::tStatus2& status) {
    if (status.isNotFatal() &&
        supervisor.getTracker().getState(status) < nQoMRTB100::kStateCommitted)
      setCode(status, kWaitBeforeCommit, {"tBaseAI_WFNSCSupervisor", 89});
  }
};
using tBaseAI_WFNSCSupervisor = tSupervisor<tBaseAI_WFNSCSupervisorRow>;

}  // namespace nQoUdR100
