// The frame of every supervisor that embeds the state tracker: the platform
// creates it by class name and drives it through iPrimitiveSupervisor (one
// that keeps a plain state word is a row of tPlainSupervisor.h). A
// supervisor is one row:
//
//   struct tBaseAI_ADCSupervisorRow {
//     static constexpr const char* kClassName = "nQoUdR100::tBaseAI_ADCSupervisor";
//     using tSettings = tAI_ADCSettings;                  // its settings class
//     using tPrimitive = nQoUdP100::tBaseAI_ADCPrimitive;
//     using tPool = tSingularResourcePool<tPrimitive*>;   // what the broker answers
//     using tLinks = tNoLinks<tPrimitive>;                // or tDMAEventLinks<tPrimitive>
//     static constexpr uint32_t kControlFlags = 0;        // bits 0-5: codes 1, 4100, 2, 3, 4101, 4
//     static constexpr tStatusSite kSite{"tBaseAI_ADCSupervisor", 210};   // its -50256
//     static constexpr auto kControls = namedControls<tPrimitive>();
//     // optional: identifier(const tSettings&) names the resource identifier
//     // when the supervisor record has more than one;
//     // applyRecord(tPrimitive&, const tSettings&, tStatus2&) gives the
//     // held primitive its record; configureLinks(tLinks&, const tSettings&)
//     // copies the linkers' keys and flags; controlFlags(const tSettings&)
//     // answers the flags (bits as kControlFlags) that settings give it;
//     // struct tRecord and takeRecord(const tSettings&) name what else code 1
//     // keeps of the settings as deployed (a small plain record): the
//     // row's codes and waits read record(), whatever a deploy wrote since;
//     // requestCancel(tSupervisor&, tPrimitive&, tStatus2&) ends a pending
//     // wait; controlOwn(tSupervisor&, tPrimitive&, code, in, out, tStatus2&)
//     // answers true for a class-specific code it handled;
//     // releasing(tPrimitive&) ends the calls from other threads that may
//     // still wait in the primitive (waits) with a mark of the primitive's
//     // own, and reopening(tPrimitive&) lifts it; bringDown(tPrimitive&)
//     // brings it down from what the codes left before the release;
//     // template <class Self> using tExtraBase = ... names a further
//     // interface the supervisor offers, whose calls reach the primitive
//     // through reach().
//   };
//   using tBaseAI_ADCSupervisor = tSupervisor<tBaseAI_ADCSupervisorRow>;
//
// Every lifecycle operation does nothing on a status that holds an error, and
// otherwise runs inside a state transition for its event. The reservation
// uses the framework's singular reserver; the settings' last record holds the
// identifier of the primitive's resource, which every deploy copies for the
// next reservation while a held one is handed back under its own.
//
// The entries that the platform may call on another thread while a
// lifecycle operation runs (control, every code; requestCancel; the calls of
// a row's further interface, through reach()) reach the primitive only
// through a slot, as counted uses, and read the tracker's atomic state; the
// raw getter is left to the lifecycle steps and to other supervisors' links
// while they run theirs. The steps that reset or hand back what the entries
// reach (unlinkResource: the links' resets of the primitive; releaseResource:
// the hand-back) run out of their reach: the frame first lets the row end
// the calls that may wait without end (releasing), then takes the primitive
// out of the slot and waits for the uses under way, and only then runs the
// step. unlinkResource puts the primitive back after; its calls stay ended
// until the next linkResource or reservation reopens them. A release while
// the links still hold what the last linkResource gave (a record that only
// linkResource sets and only the steps that take it back clear) runs the
// links' resets too, after the row's bring-down and before the hand-back. A failed
// linkResource is undone through the same steps (the links leave their own
// fills to it), and a supervisor destroyed while linked or reserved runs
// unlinkResource and the release before any member goes.
//
// The settings as deployed reach only the steps that hand them on
// (initialize, deploy and the reservation: to the primitive's record and
// the links) and code 1, which programs the board from them: it takes the
// control-enable flags and the row's record, which every code after it
// goes by, whatever a deploy writes since. Until the first code 1, and
// again from a release on, they are what initialize took of the first
// settings, as a fresh reservation finds them.
//
// A deploy is not run beside another call of the same supervisor, those
// entries included: it rewrites the settings and the held primitive's
// record, which they read without a lock. An entry still reads what decides
// it once per call.
#pragma once

#include <atomic>
#include <cstdint>

#include "frame/freshStatus.h"
#include "frame/statusCodes.h"
#include "frame/tClassRegistration.h"
#include "frame/tDeployed.h"
#include "frame/tModuleObject.h"
#include "frame/tSinkSlot.h"
#include "frame/tStatusSite.h"
#include "mrl/iControlParameterBlock.h"
#include "mrl/iPrimitiveSettings.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "mrl/iResourceIdentifier.h"
#include "orb/castToClass.h"
#include "reservation/supervisorEvents.h"
#include "reservation/tReservationIdentifier.h"
#include "reservation/tSingularReserver.h"
#include "reservation/tSupStateTracker.h"
#include "reservation/tSupStateTransition.h"
#include "settings/copyCheck.h"
#include "supervisors/controlOperations.h"

namespace nQoUdR100 {

// The further base a row names, or nothing.
struct tNoExtraBase {};
template <class Row, class Self>
struct tExtraBaseOf {
  using type = tNoExtraBase;
};
template <class Row, class Self>
  requires requires { typename Row::template tExtraBase<Self>; }
struct tExtraBaseOf<Row, Self> {
  using type = typename Row::template tExtraBase<Self>;
};

// The record a row keeps of its settings at code 1, or nothing.
struct tNoRecord {};
template <class Row>
struct tRecordOf {
  using type = tNoRecord;
};
template <class Row>
  requires requires { typename Row::tRecord; }
struct tRecordOf<Row> {
  using type = typename Row::tRecord;
};

template <class Row>
class tSupervisor : public nQoMRL100::iPrimitiveSupervisor,
                    public tModuleObject,
                    public tExtraBaseOf<Row, tSupervisor<Row>>::type {
 public:
  static constexpr const char* kClassName = Row::kClassName;
  static inline void* ___classID = nullptr;
  using tSettings = typename Row::tSettings;
  using tPrimitive = typename Row::tPrimitive;
  using tLinks = typename Row::tLinks;

  tSupervisor() = default;
  // Gone while the links hold what a linkResource gave or while holding a
  // grant: unlinkResource, then the release, each on a status of its own that
  // is dropped, before any member (the links, what they handed out) is freed.
  ~tSupervisor() override {
    nQoMDBG100::tStatus2 dropped;
    const int32_t state = _tracker.getState(dropped);
    if (_linksHeld) tSupervisor::unlinkResource(dropped);
    dropped.clear();
    if (state >= nQoMRTB100::kStateReserved || _reserver.getPrimitive() != nullptr)
      tSupervisor::releaseResource(dropped);
  }
  tSupervisor(const tSupervisor&) = delete;
  tSupervisor& operator=(const tSupervisor&) = delete;

  void* ___CPPKRLDynamicCast(void* const* classID) override {
    return nQoORB100::castToClass<tSupervisor, nQoMRL100::iPrimitiveSupervisor>(this, classID);
  }
  const void* ___CPPKRLDynamicCast(void* const* classID) const override {
    return const_cast<tSupervisor*>(this)->___CPPKRLDynamicCast(classID);
  }
  nQoORB100::tClass getClass(int& status) const override {
    return tClassRegistration<tSupervisor>::getClass(*this, status);
  }

  // Sets the control-enable flags of the row, keeps the facade, hands it to
  // the reserver, adds the linkers and reservers, then deploys the settings
  // and takes what code 1 would take of them: the codes go by it until the
  // first code 1.
  void initialize(const nQoMRL100::iPrimitiveSettings& settings, nQoMRL100::iRuntimeFacade* facade,
                  nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    _first = {};
    keep(_first, status);
    nQoMRTB100::tSupStateTransition transition(_tracker, nQoMRTB100::kEventInitialize, status);
    _facade = facade;
    _links.addLinkers(status);
    if (status.isNotFatal()) _reserver.setRuntimeFacade(facade);
    _settings.deploying().supervisorRecord().checkStatus(status);
    _links.addReservers(_reserver, status);
    deploy(settings, status);
    if (status.isFatal()) return;
    _first = takenOf(_settings.deploying());
    keep(_first, status);
  }

  // Settings of another class: -89000 and nothing else. Otherwise copies
  // them and their identifier for the next reservation (a copy that lost an
  // allocation: -50352 at the row's file, line 125, and nothing more), gives
  // a held primitive its record at once, and hands the linkers their keys
  // and flags. The codes go by what the last code 1 took.
  void deploy(const nQoMRL100::iPrimitiveSettings& settings,
              nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    const auto* own =
        static_cast<const tSettings*>(settings.___CPPKRLDynamicCast(&tSettings::___classID));
    if (own == nullptr) {
      setCode(status, kCastFailed, {"tSupervisor", 120});
      return;
    }
    _settings.deploy(*own);
    const tSettings& deployed = _settings.deploying();
    _identifier.deploy(identifierOf(deployed));
    checkCopy(status, {Row::kSite.file, 125}, deployed, _identifier);
    if (status.isFatal()) return;
    if (tPrimitive* primitive = _reserver.getPrimitive()) applyRecord(*primitive, deployed, status);
    if (status.isFatal()) return;
    _links.setRuntimeFacade(_facade);
    if constexpr (requires { Row::configureLinks(_links, deployed); })
      Row::configureLinks(_links, deployed);
  }

  void link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    nQoMRTB100::tSupStateTransition transition(_tracker, nQoMRTB100::kEventLink, status);
    _links.link(map, status);
  }

  // Reserves under the identifier of the last deploy, then gives the
  // primitive its record; a failure after the reservation releases it again
  // on a fresh status that is dropped.
  void reserveResource(nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    nQoMRTB100::tSupStateTransition transition(_tracker, nQoMRTB100::kEventReserveResource, status);
    _reserver.setIdentifier(&_identifier.next());
    _links.reserve(_reserver, status);
    noteGrant();
    _links.setPrimitive(_reserver.getPrimitive());
    tPrimitive* primitive = _reserver.getPrimitive();
    if (primitive == nullptr || status.isFatal()) return;
    applyRecord(*primitive, _settings.deploying(), status);
    if (status.isNotFatal()) {
      reopenRowCalls<Row>(*primitive);
      _reached.set(primitive);
      return;
    }
    nQoMDBG100::tStatus2 local;
    _links.release(_reserver, local);
    noteGrant();
    _links.setPrimitive(_reserver.getPrimitive());
  }

  // A failure of the links is undone as unlinkResource undoes them, out of
  // the entries' reach, on a status that is dropped.
  void linkResource(nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    nQoMRTB100::tSupStateTransition transition(_tracker, nQoMRTB100::kEventLinkResource, status);
    if (status.isFatal()) return;
    if (tPrimitive* primitive = _reached.get()) reopenRowCalls<Row>(*primitive);
    _links.linkResource(status);
    _linksHeld = true;
    if (status.isNotFatal()) return;
    nQoMDBG100::tStatus2 dropped;
    unlinkOutOfReach(dropped);
  }

  void unlinkResource(nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    nQoMRTB100::tSupStateTransition transition(_tracker, nQoMRTB100::kEventUnlinkResource, status);
    if (status.isNotFatal()) unlinkOutOfReach(status);
  }

  // Hands back a held primitive under the identifier it was granted under,
  // once the calls under way from other threads have left it, the row
  // brought it down from whatever the codes left and, when the links still
  // hold what the last linkResource gave it, the links took that back (on a
  // status that is dropped), as unlinkResource would have. The codes go by
  // what initialize took again.
  void releaseResource(nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    nQoMRTB100::tSupStateTransition transition(_tracker, nQoMRTB100::kEventReleaseResource, status);
    if (tPrimitive* primitive = _reached.takeOut(endRowCalls<Row, tPrimitive>)) {
      bringDownRow<Row>(*primitive);
      nQoMDBG100::tStatus2 dropped;
      if (_linksHeld) _links.unlinkResource(dropped);
      _linksHeld = false;
    }
    _links.release(_reserver, status);
    noteGrant();
    _links.setPrimitive(nullptr);
    nQoMDBG100::tStatus2 dropped;
    keep(_first, dropped);
  }

  void unlink(nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    nQoMRTB100::tSupStateTransition transition(_tracker, nQoMRTB100::kEventUnlink, status);
    _links.unlink(status);
  }

  // May come from another thread, so every code runs on the held primitive
  // inside a use that the release waits for. The six codes run the
  // primitive's operation (stop, disarm and uncommit on a fresh status merged
  // into the caller's) and move the state; a code whose flag is clear, and
  // any code no class-specific branch takes, ends with -50256 at the row's
  // site. Without a primitive: -50004.
  void control(uint32_t code, nQoMRL100::iControlParameterBlock* in,
               nQoMRL100::iControlParameterBlock* out, nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    const int bit = nQoMRTB100::controlFlagBit(code);
    // The transition ends inside the use: a release or destructor that waits
    // for the uses finds the tracker no longer touched.
    const bool held = _reached.call([&](tPrimitive& primitive) {
      const tCodeTransition transition(_tracker, bit, code, status);
      runCode(primitive, code, bit, in, out, status);
    });
    if (held) return;
    const tCodeTransition transition(_tracker, bit, code, status);
    setCode(status, kNullPointer, {"tAutoController.ipp", 30});
  }

  // May come from another thread at any step: the row's cancel runs on the
  // held primitive inside a use that the release waits for.
  void requestCancel(nQoMDBG100::tStatus2& status) override {
    if constexpr (requires(tPrimitive& p) { Row::requestCancel(*this, p, status); })
      _reached.call([&](tPrimitive& p) { Row::requestCancel(*this, p, status); });
  }

  // How the calls of a row's further interface reach the primitive: runs
  // call(primitive) inside a use that the release waits for; false when no
  // primitive is held.
  template <class tCall>
  bool reach(tCall call) {
    return _reached.call(call);
  }

  // The tracker frame's commit-cancel (cancelByTracker).
  void commitCancel(nQoMDBG100::tStatus2& status) override {
    cancelByTracker(*this, _tracker, status);
  }

  nQoMRTB100::tSupStateTracker& getTracker() { return _tracker; }
  nQoMRL100::iRuntimeFacade* getRuntimeFacade() const { return _facade; }
  // What the last code 1 kept of the settings (a row that keeps a record).
  typename tRecordOf<Row>::type record() const { return _record.load(); }
  // The held primitive, for the lifecycle steps (this supervisor's and the
  // links of others while they run theirs); the entries use reach().
  tPrimitive* getPrimitive() const { return _reserver.getPrimitive(); }
  tLinks& getLinks() { return _links; }

 private:
  using tRecord = typename tRecordOf<Row>::type;
  // What code 1 takes of the settings: the control-enable flags and the
  // row's record.
  struct tTaken {
    uint32_t flags = Row::kControlFlags;
    tRecord record{};
  };

  // The resource identifier inside the settings: the supervisor record's
  // own, unless the row names another.
  static const nQoMRL100::tGeneralIdentifier& identifierOf(const tSettings& settings) {
    if constexpr (requires { Row::identifier(settings); })
      return Row::identifier(settings);
    else
      return settings.supervisorRecord().identifier;
  }

  // Whether code 1 takes anything of the settings: flags they decide, or a
  // record.
  static constexpr bool kTakes = requires(const tSettings& settings) {
    Row::controlFlags(settings);
  } || requires(const tSettings& settings) { Row::takeRecord(settings); };

  static tTaken takenOf(const tSettings& settings) {
    tTaken taken;
    if constexpr (requires { Row::controlFlags(settings); })
      taken.flags = Row::controlFlags(settings);
    if constexpr (requires { Row::takeRecord(settings); }) taken.record = Row::takeRecord(settings);
    return taken;
  }
  // Code 1 programs the board from the settings as deployed: the codes
  // after it go by what it takes of them.
  void takeRecord(nQoMDBG100::tStatus2& status) { keep(takenOf(_settings.take()), status); }
  void keep(const tTaken& taken, nQoMDBG100::tStatus2& status) {
    _tracker.setFlags(1, taken.flags, status);
    _tracker.setFlags(0, ~taken.flags & 0x3F, status);
    _record = taken.record;
  }

  // The links' resets of the primitive, once the row's blocking calls are
  // ended and the uses under way have left it; it goes back after.
  void unlinkOutOfReach(nQoMDBG100::tStatus2& status) {
    _reached.resetOutOfReach(endRowCalls<Row, tPrimitive>,
                             [&](tPrimitive*) { _links.unlinkResource(status); });
    _linksHeld = false;
  }

  // Whether the reserver holds what it reserved under the identifier.
  void noteGrant() { _identifier.hold(_reserver.getPrimitive() != nullptr); }

  static void applyRecord(tPrimitive& primitive, const tSettings& settings,
                          nQoMDBG100::tStatus2& status) {
    if constexpr (requires { Row::applyRecord(primitive, settings, status); })
      Row::applyRecord(primitive, settings, status);
  }

  // One code on the held primitive: its operation, then the row's own
  // branch, then the check of its flag.
  void runCode(tPrimitive& primitive, uint32_t code, int bit, nQoMRL100::iControlParameterBlock* in,
               nQoMRL100::iControlParameterBlock* out, nQoMDBG100::tStatus2& status) {
    if constexpr (kTakes)
      if (code == 1 && status.isNotFatal()) takeRecord(status);
    if (bit >= 0) runControl(primitive, bit, status);
    if (status.isFatal()) return;
    if constexpr (requires { Row::controlOwn(*this, primitive, code, in, out, status); })
      if (Row::controlOwn(*this, primitive, code, in, out, status)) return;
    if (_tracker.isControlEnabled(static_cast<int32_t>(code), status) == 0 && status.isNotFatal())
      setCode(status, kNotSupported, Row::kSite);
  }

  void runControl(tPrimitive& primitive, int bit, nQoMDBG100::tStatus2& status) {
    if (bit < 3) {
      Row::kControls[bit](primitive, status);
      return;
    }
    onFreshStatus(status, [&](nQoMDBG100::tStatus2& s) { Row::kControls[bit](primitive, s); });
  }

  nQoMRTB100::tSupStateTracker _tracker;
  nQoMRL100::iRuntimeFacade* _facade = nullptr;
  // Who reads the settings as deployed: the steps that hand them on to the
  // primitive and the links, and code 1, which takes what the codes go by.
  struct tSettingsSteps {
    static constexpr const char* kDeploySteps[] = {"initialize", "deploy", "reserveResource"};
    static constexpr const char* kProgrammingSteps[] = {"takeRecord"};
  };
  tDeployed<tSettings, tSettingsSteps> _settings;
  // What initialize took of the first settings, for the codes until the
  // first code 1 and after a release.
  tTaken _first;
  // Written by code 1 while entries on other threads (waits) read it.
  std::atomic<tRecord> _record{};
  nQoMRTB100::tReservationIdentifier _identifier;
  tLinks _links;
  // Set by a linkResource, cleared by the step that takes back what it gave
  // (unlinkResource, a failed link's undo, the release): the release and the
  // destructor reset the links by it, not by a state that codes move.
  bool _linksHeld = false;
  nQoMRTB100::tSingularReserver<tPrimitive, typename Row::tPool> _reserver;
  // The reserved primitive once its record is applied, as the entries reach
  // it; taken out before the release hands it back.
  tSinkSlot<tPrimitive> _reached;
};

}  // namespace nQoUdR100
