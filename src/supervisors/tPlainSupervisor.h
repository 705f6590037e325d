// The frame of the supervisors that keep a plain state word in place of the
// state tracker (a supervisor whose steps the tracker's transitions and the
// framework's reservers and linkers serve is a row of tSupervisor.h
// instead). tPlainSupervisor holds the facade, the word, the settings
// copy, the resource identifier, the task's event and a slot with what the
// entries from other threads reach (Reached: the held primitive, or a table
// of borrowed ones); tReservingSupervisor reserves one primitive through the
// singular reserver under that identifier and keeps it in the slot. A class
// that reserves by itself asks under _identifier.next(), notes a grant with
// _identifier.hold(true), stores what it took with hold() and hands back
// _identifier.granted(): a deploy while a grant is held names the identifier
// of the next reservation only. Whatever a reservation gives what it took
// (settings, observers, a notifier) it gives before hold(): from hold() on,
// the entries from other threads reach it. A class names itself, its
// interface, its settings (and primitive) and its site file, and writes only
// what it does besides:
//
//   class tBaseAOGroundRefSupervisor final
//       : public tReservingSupervisor<tBaseAOGroundRefSupervisor, nQoMRL100::iPrimitiveSupervisor,
//                                     tAOGroundRefSettings, nQoUdP100::tBaseAOGroundRefPrimitive> {
//    public:
//     static constexpr const char* kClassName = "nQoUdR100::tBaseAOGroundRefSupervisor";
//     static constexpr const char* kFile = "tBaseAOGroundRefSupervisor";
//     static inline void* ___classID = nullptr;
//    private:
//     friend tPlainSupervisor;
//     // Its codes, on the primitive as held (null: none).
//     void onControl(nQoUdP100::tBaseAOGroundRefPrimitive* groundRef, uint32_t code, ...);
//   };
//
// The platform may call control, requestCancel and the class's own stream,
// wait and query entries on another thread than the lifecycle's. They reach
// what the slot holds only as counted uses: the frame's control and
// requestCancel run the class's onControl and onCancel inside one, and a
// class's own entries run through use() or reach(). A lifecycle step that
// hands back, frees or resets what the slot holds hands its work to the frame
// (takeOut, resetOutOfReach, the reserving frame's handBack), which first
// runs the class's endCalls on it (a class whose entries may block sets its
// own end mark there, which only its next reservation or link clears, and
// wakes every waiter), then takes it out of the slot and waits for the uses
// under way, and only then runs the work. hold() stores what a reservation
// or link took; held() is the raw pointer, for the lifecycle steps only. A
// deploy is not run beside another call of the same supervisor, those
// entries included: it rewrites the settings (and what applySettings gives
// the primitive), which they read without a lock. An entry still reads what
// decides it once per call.
//
// The frame cannot run a class's own steps from its destructor, since the
// class is gone by then: a class that links or reserves calls retire() first
// thing in its destructor, which runs its unlinkResource and release as the
// lifecycle would.
//
// The frame's steps, each of which a class may take over:
//   initialize      keeps the facade, looks up the task's event (a class that
//                   names kEventLine; none, or one of another class: -89000
//                   there), deploys (a class with kFixedIdentifier: copies
//                   the settings and their identifier, and deploy leaves the
//                   identifier); initialized on a good status
//   deploy          the settings as the class's own (-89000 at line 120, or
//                   the class's kCastLine), copies them and their identifier
//                   (a copy that lost an allocation: -50352 at line 125), then
//                   on a good status applySettings
//   link, linkResource       move the word up on a good status
//   unlinkResource, unlink   move it down whatever the status holds
//   reserveResource (reserving) the pool's primitive, held in the slot;
//                   reserved on a good status (a class that prepares the
//                   primitive takes the step over: reservePrimitive, its
//                   preparation, then hold)
//   releaseResource (reserving) the calls ended and the primitive taken out
//                   of the slot (the uses under way waited for), the class's
//                   resetLinks while still linked, then handed back on a
//                   fresh status, under the identifier it was granted under;
//                   linked
//   control         nothing on a status that holds an error; otherwise a
//                   code that programs the board (1, or the class's
//                   kProgrammingCodes) first gives the class's takeRecord
//                   the settings as deployed, then the class's onControl,
//                   inside a use;
//                   runStep walks a table of tPlainStep (the primitive's
//                   operation and the word it leads to)
//   requestCancel   the class's onCancel on a held primitive, inside a use
//                   (none: nothing)
//   commitCancel    by the word at entry: running, control 3 then 4;
//                   committed, control 4; each on a fresh status merged into
//                   the caller's, so that a failed stop still uncommits
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "frame/freshStatus.h"
#include "frame/statusCodes.h"
#include "frame/tClassRegistration.h"
#include "frame/tDeployed.h"
#include "frame/tModuleObject.h"
#include "frame/tSinkSlot.h"
#include "frame/tStatusSite.h"
#include "mrl/iControlParameterBlock.h"
#include "mrl/iEvent.h"
#include "mrl/iPrimitiveSettings.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "mrl/iResourceBroker.h"
#include "mrl/iResourceIdentifier.h"
#include "mrl/iRuntimeFacade.h"
#include "mrl/tEventIdentifier.h"
#include "orb/castToClass.h"
#include "reservation/castAnswer.h"
#include "reservation/tReservationIdentifier.h"
#include "reservation/tSingularReserver.h"
#include "reservation/tSingularResourcePool.h"
#include "settings/copyCheck.h"
#include "settings/tParameterBlockValidateHelper.h"

namespace nQoUdR100 {

// The plain state word.
enum tPlainState : uint32_t {
  kPlainConstructed = 0,
  kPlainInitialized = 1,      // also after unlink
  kPlainLinked = 2,           // also after releaseResource
  kPlainReserved = 3,         // also after unlinkResource
  kPlainResourcesLinked = 4,  // also after uncommit
  kPlainCommitted = 5,
  kPlainRunning = 6,
};

// The control codes that move the word.
enum tPlainControl : uint32_t {
  kPlainCommit = 1,
  kPlainStart = 2,
  kPlainStop = 3,
  kPlainUncommit = 4,
};

// The task's event object, or null with kCastFailed at the site (no facade,
// no object, or one of another class).
inline nQoMRL110::iEvent* lookupTaskEvent(nQoMRL100::iRuntimeFacade* facade,
                                          nQoMDBG100::tStatus2& status, const tStatusSite& site) {
  if (status.isFatal()) return nullptr;
  nQoORB100::tObject* object = nullptr;
  if (facade != nullptr) {
    const nQoMRL110::tEventIdentifier identifier(status);
    object = facade->getEventObject(identifier, status);
  }
  return nQoMRTB100::castAnswer<nQoMRL110::iEvent>(object, status, site);
}

// Gives a reservation back at the broker: the broker's lookup and its
// release each on a fresh status merged into the caller's (whose first
// error stays). Nothing without a broker.
inline void handBack(const nQoMRL100::iResourceIdentifier* identifier,
                     nQoMRL100::iRuntimeFacade* facade, nQoMDBG100::tStatus2& status) {
  nQoMDBG100::tStatus2 local;
  nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(local);
  status.assign(local);
  if (broker == nullptr || local.isFatal()) return;
  local.clear();
  broker->release(identifier, facade, local);
  status.assign(local);
}

// One control code of a class's table: the primitive's operation (none: the
// code only moves the word) and the word it leads to, on a good status or,
// for an undo, whatever the status holds.
template <class Prim>
struct tPlainStep {
  static constexpr uint32_t kKeep = 0xFFFFFFFF;  // the word stays
  uint32_t code;
  void (Prim::*operation)(nQoMDBG100::tStatus2&);
  uint32_t next;
  bool always = false;
};

template <class Self, class Interface, class Settings, class Reached>
class tPlainSupervisor : public Interface, public tModuleObject {
 public:
  void* ___CPPKRLDynamicCast(void* const* classID) override {
    return nQoORB100::castToClass<Self, Interface>(self(), classID);
  }
  const void* ___CPPKRLDynamicCast(void* const* classID) const override {
    return const_cast<tPlainSupervisor*>(this)->___CPPKRLDynamicCast(classID);
  }
  nQoORB100::tClass getClass(int& status) const override {
    return tClassRegistration<Self>::getClass(*this, status);
  }

  void initialize(const nQoMRL100::iPrimitiveSettings& settings, nQoMRL100::iRuntimeFacade* facade,
                  nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    _facade = facade;
    if constexpr (requires { Self::kEventLine; })
      _event = lookupTaskEvent(facade, status, {Self::kFile, Self::kEventLine});
    if constexpr (fixedIdentifier()) {
      if (const Settings* own = castSettings(settings, status)) adopt(*own, status);
    } else {
      this->deploy(settings, status);
    }
    if (status.isNotFatal()) _state = kPlainInitialized;
  }
  void deploy(const nQoMRL100::iPrimitiveSettings& settings,
              nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    const Settings* own = castSettings(settings, status);
    if (own == nullptr) return;
    if constexpr (fixedIdentifier())
      adoptSettings(*own, status);
    else
      adopt(*own, status);
    if (status.isNotFatal()) applySettings(status);
  }
  void link(nQoMRL100::iPrimitiveSupervisorMap&, nQoMDBG100::tStatus2& status) override {
    if (status.isNotFatal()) _state = kPlainLinked;
  }
  void linkResource(nQoMDBG100::tStatus2& status) override {
    if (status.isNotFatal()) noteLinked();
  }
  void unlinkResource(nQoMDBG100::tStatus2&) override { noteUnlinked(); }
  void unlink(nQoMDBG100::tStatus2&) override { _state = kPlainInitialized; }
  // Every code, from any thread.
  void control(uint32_t code, nQoMRL100::iControlParameterBlock* in,
               nQoMRL100::iControlParameterBlock* out, nQoMDBG100::tStatus2& status) final {
    if (status.isFatal()) return;
    if (programs(code)) keepRecord();
    _reached.use([&](Reached* reached) { self()->onControl(reached, code, in, out, status); });
  }
  // From any thread, at any step.
  void requestCancel(nQoMDBG100::tStatus2& status) final {
    _reached.call([&](Reached& reached) { self()->onCancel(reached, status); });
  }
  void commitCancel(nQoMDBG100::tStatus2& status) override {
    const uint32_t state = _state;
    const auto run = [&](uint32_t code) {
      onFreshStatus(status,
                    [&](nQoMDBG100::tStatus2& s) { this->control(code, nullptr, nullptr, s); });
    };
    if (state == kPlainRunning) run(kPlainStop);
    if (state == kPlainRunning || state == kPlainCommitted) run(kPlainUncommit);
  }

  uint32_t getState() const { return _state; }

 protected:
  // What deploy gives a held primitive of the settings just copied.
  virtual void applySettings(nQoMDBG100::tStatus2&) {}
  // What a code that programs the board (1, or the class's
  // kProgrammingCodes) keeps of the settings as deployed, before the class
  // runs it: the record that its codes and answers go by, whatever a deploy
  // writes since (a class whose codes read its settings hides it).
  void takeRecord(const Settings&) {}
  // What a cancel does to a held primitive (a class that has one hides it).
  void onCancel(Reached&, nQoMDBG100::tStatus2&) {}
  // Ends the calls on what the slot holds that may block, before a step takes
  // it out: a class whose entries may block hides it, sets its end mark and
  // wakes every waiter.
  void endCalls(Reached&) {}

  // Runs call(reached) for an entry from another thread, inside a use that
  // hold() waits for; reached is null when the slot holds nothing. Answers
  // what call answers.
  template <class tCall>
  decltype(auto) use(tCall call) {
    return _reached.use(call);
  }
  // The same for an entry that does nothing without a primitive: false then.
  template <class tCall>
  bool reach(tCall call) {
    return _reached.call(call);
  }
  // Stores what a reservation or a link took, for the entries to reach. For
  // the lifecycle steps, never with a lock that a use takes.
  void hold(Reached* reached) { _reached.set(reached); }
  // What the slot holds, for the lifecycle steps (the entries use use()).
  Reached* held() const { return _reached.get(); }
  // For a lifecycle step that frees or hands back what the slot holds: the
  // class's endCalls on it, then the slot emptied (the uses under way on
  // other threads have left), and only then change(held) (null when the slot
  // held nothing). The slot stays empty.
  template <class tChange>
  void takeOut(tChange change) {
    change(_reached.takeOut(endOf()));
  }
  // The same for a step that resets what the slot holds and keeps it: put
  // back after change.
  template <class tChange>
  void resetOutOfReach(tChange change) {
    _reached.resetOutOfReach(endOf(), change);
  }
  // The release of a class that reserves by itself: takes what the slot
  // holds out as takeOut does, runs undo(held) (what the class brings down
  // on it; null when none was held), then hands back a grant under the
  // identifier it was granted under.
  template <class tUndo>
  void handBackGrant(nQoMDBG100::tStatus2& status, tUndo undo) {
    takeOut([&](Reached* reached) {
      undo(reached);
      unlinkAtRelease(reached);
      if (const nQoMRL100::tGeneralIdentifier* granted = _identifier.granted())
        handBack(granted, _facade, status);
      _identifier.hold(false);
    });
  }
  void handBackGrant(nQoMDBG100::tStatus2& status) {
    handBackGrant(status, [](Reached*) {});
  }
  // What a class's linkResource filled in what the slot holds (null: none),
  // taken back; a class whose link fills it hides this. unlinkOutOfReach
  // runs it for the class's unlinkResource; a release runs it after the
  // class's undo while the links still hold what the last linkResource gave.
  void resetLinks(Reached*, nQoMDBG100::tStatus2&) {}
  // The unlinkResource of a class whose link fills what the slot holds: its
  // resetLinks out of the entries' reach; the word moves down.
  void unlinkOutOfReach(nQoMDBG100::tStatus2& status) {
    resetOutOfReach([&](Reached* reached) { self()->resetLinks(reached, status); });
    noteUnlinked();
  }
  // In a release, out of the entries' reach: while the links still hold what
  // the last linkResource gave, the class's resetLinks on a status that is
  // dropped, so the next owner finds nothing of this task's links.
  void unlinkAtRelease(Reached* reached) {
    if (!_linksHeld) return;
    nQoMDBG100::tStatus2 dropped;
    self()->resetLinks(reached, dropped);
  }
  // The end of a class's own linkResource: on a good status the word moves
  // up; a failure is undone by the class's unlinkResource, which resets
  // what the link filled out of the entries' reach, on a status that is
  // dropped.
  void linked(const nQoMDBG100::tStatus2& status) {
    if (status.isNotFatal()) {
      noteLinked();
      return;
    }
    nQoMDBG100::tStatus2 dropped;
    self()->unlinkResource(dropped);
  }
  // First thing in the destructor of a class that links or reserves: while
  // the links hold what a linkResource gave, its own unlinkResource, then while it holds a
  // reservation, its own releaseResource, each on a status of its own that
  // is dropped. So a supervisor that goes without the release takes back
  // what the entries, its primitive or a partner still reach (ending the
  // calls, taking out, waiting) before any part of it is freed, and hands
  // its primitive back as a fresh reservation finds it.
  void retire() {
    nQoMDBG100::tStatus2 dropped;
    if (_linksHeld) self()->unlinkResource(dropped);
    dropped.clear();
    if (_state >= kPlainReserved || _identifier.granted() != nullptr || held() != nullptr)
      self()->releaseResource(dropped);
  }
  // A linkResource that took, and the steps that take back what it gave
  // (unlinkResource, the release): the word, and the record that the
  // release and the destructor go by, since codes after unlinkResource move
  // the word up again.
  void noteLinked() {
    _state = kPlainResourcesLinked;
    _linksHeld = true;
  }
  void noteUnlinked() {
    _state = kPlainReserved;
    _linksHeld = false;
  }
  void noteReleased() {
    _state = kPlainLinked;
    _linksHeld = false;
  }
  // For a lifecycle step that fills what the slot holds: runs change(held)
  // while the slot holds nothing (the uses under way have left), then puts
  // it back; no call is ended.
  template <class tChange>
  void outOfReach(tChange change) {
    Reached* const reached = held();
    _reached.setAfter([&] { change(reached); }, reached);
  }

  // The settings as the class's own, or -89000 and null.
  static const Settings* castSettings(const nQoMRL100::iPrimitiveSettings& settings,
                                      nQoMDBG100::tStatus2& status) {
    const auto* own =
        static_cast<const Settings*>(settings.___CPPKRLDynamicCast(&Settings::___classID));
    if (own == nullptr) setCode(status, kCastFailed, {Self::kFile, castLine()});
    return own;
  }

  // Runs the step of code from the class's table on the primitive and
  // answers true: -50004 at line noPrimitive without a primitive. False for
  // a code the table lacks.
  template <class Prim, std::size_t N>
  bool runStep(const tPlainStep<Prim> (&steps)[N], Prim* primitive, uint32_t code,
               nQoMDBG100::tStatus2& status, unsigned noPrimitive) {
    if (primitive == nullptr) {
      setCode(status, kNullPointer, {Self::kFile, noPrimitive});
      return true;
    }
    for (const tPlainStep<Prim>& step : steps) {
      if (step.code != code) continue;
      if (step.operation != nullptr) (primitive->*step.operation)(status);
      if (step.next != step.kKeep && (step.always || status.isNotFatal())) _state = step.next;
      return true;
    }
    return false;
  }

  // Copies the settings and the identifier of their supervisor record for
  // the next reservation (a class whose settings hold none takes its own); a
  // copy that lost an allocation gives -50352 at line 125.
  void adopt(const Settings& own, nQoMDBG100::tStatus2& status) {
    if constexpr (requires { own.supervisorRecord().identifier; })
      _identifier.deploy(own.supervisorRecord().identifier);
    _settings.deploy(own);
    checkCopy(status, {Self::kFile, 125}, _identifier, _settings.deploying());
  }
  // The settings alone, checked the same way.
  void adoptSettings(const Settings& own, nQoMDBG100::tStatus2& status) {
    _settings.deploy(own);
    checkCopy(status, {Self::kFile, 125}, _settings.deploying());
  }

  // A query's answer: the out block checked (null: -50004), one 32-bit
  // value written, the block's status merged.
  static void answer(nQoMRL100::iControlParameterBlock* out, uint32_t value,
                     nQoMDBG100::tStatus2& status) {
    tParameterBlockValidateHelper::checkNotNull(out, status);
    if (out == nullptr || status.isFatal()) return;
    nQoMDBG100::tStatus2 local;
    out->writeU32(value, local.code);
    tParameterBlockValidateHelper::mergeValidationStatus(local, status);
  }
  // The in block's next 32-bit value, checked and merged the same way.
  static uint32_t readValue(nQoMRL100::iControlParameterBlock* in, nQoMDBG100::tStatus2& status) {
    tParameterBlockValidateHelper::checkNotNull(in, status);
    if (in == nullptr || status.isFatal()) return 0;
    nQoMDBG100::tStatus2 local;
    const uint32_t value = in->readU32(local.code);
    tParameterBlockValidateHelper::mergeValidationStatus(local, status);
    return value;
  }

  // The task's event object from the kept facade: null without a facade, and
  // null with -89000 at line 150 when the answer is null or of another class.
  nQoMRL110::iEvent* lookUpEvent(nQoMDBG100::tStatus2& status) const {
    if (_facade == nullptr) return nullptr;
    return lookupTaskEvent(_facade, status, {Self::kFile, 150});
  }

  nQoMRL100::iRuntimeFacade* _facade = nullptr;
  nQoMRL110::iEvent* _event = nullptr;
  // Written by the lifecycle steps and by the codes from other threads.
  std::atomic<uint32_t> _state{kPlainConstructed};
  // Set by a linkResource that took, cleared by the step that takes back
  // what it gave (unlinkResource, a failed link's undo, the release);
  // lifecycle steps only.
  bool _linksHeld = false;
  nQoMRTB100::tReservationIdentifier _identifier;
  // Who reads the deployed settings: the frame's adopt and the class's
  // applySettings, which hand them on to its primitive, and the class's
  // own steps that do (Self::kSettingsDeploySteps); a code that programs
  // the board hands them to the class's takeRecord in keepRecord, which no
  // other code reaches.
  struct tSettingsSteps {
    static constexpr const char* kFrameDeploySteps[] = {"adopt", "adoptSettings", "applySettings"};
    static constexpr auto kDeploySteps = [] {
      if constexpr (requires { Self::kSettingsDeploySteps; })
        return joinSteps(kFrameDeploySteps, Self::kSettingsDeploySteps);
      else
        return std::to_array(kFrameDeploySteps);
    }();
    static constexpr const char* kProgrammingSteps[] = {"keepRecord"};
  };
  tDeployed<Settings, tSettingsSteps> _settings;

 private:
  // A class whose reservation keeps the identifier of its first settings
  // (kFixedIdentifier = true) takes it at initialize, which gives nothing
  // to a primitive, and deploy leaves it.
  static constexpr bool fixedIdentifier() {
    if constexpr (requires { Self::kFixedIdentifier; })
      return Self::kFixedIdentifier;
    else
      return false;
  }
  // Whether code programs the board from the settings: 1, or the class's
  // kProgrammingCodes.
  static constexpr bool programs(uint32_t code) {
    if constexpr (requires { Self::kProgrammingCodes; })
      return std::ranges::find(Self::kProgrammingCodes, code) != std::end(Self::kProgrammingCodes);
    else
      return code == kPlainCommit;
  }
  // The step of a code that programs the board, and of no other: the
  // class's takeRecord keeps the settings as deployed.
  void keepRecord() { self()->takeRecord(_settings.take()); }
  static constexpr unsigned castLine() {
    if constexpr (requires { Self::kCastLine; })
      return Self::kCastLine;
    else
      return 120;
  }
  Self* self() { return static_cast<Self*>(this); }
  // The class's end of the calls, as the slot's steps take it.
  auto endOf() {
    return [this](Reached& reached) { self()->endCalls(reached); };
  }

  // What the entries from other threads reach.
  tSinkSlot<Reached> _reached;
};

template <class Self, class Interface, class Settings, class Prim,
          class Pool = tSingularResourcePool<Prim*>>
class tReservingSupervisor : public tPlainSupervisor<Self, Interface, Settings, Prim> {
 public:
  void reserveResource(nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    this->hold(reservePrimitive(status));
    if (status.isNotFatal()) this->_state = kPlainReserved;
  }
  void releaseResource(nQoMDBG100::tStatus2& status) override {
    handBack(status);
    this->noteReleased();
  }

  // The reserved primitive, for the lifecycle steps and other supervisors'
  // links during the lifecycle (the entries reach it through use()).
  Prim* getPrimitive() const { return _reserver.getPrimitive(); }

 protected:
  // The pool's primitive under the identifier, or null (no broker, nothing
  // granted, a foreign pool: -89000 and the reservation handed back). It is
  // not in the slot yet: the class prepares it, then holds it.
  Prim* reservePrimitive(nQoMDBG100::tStatus2& status) {
    _reserver.setRuntimeFacade(this->_facade);
    _reserver.setIdentifier(&this->_identifier.next());
    _reserver.reserveResource(status);
    this->_identifier.hold(_reserver.getPrimitive() != nullptr);
    return _reserver.getPrimitive();
  }
  // Takes the primitive out as takeOut does, runs undo(primitive) (what the
  // class gives back on it, also on one whose preparation failed before it
  // was held; null when none was reserved), then hands it back, under the
  // identifier it was granted under, on a fresh status merged into the
  // caller's, and forgets it.
  template <class tUndo>
  void handBack(nQoMDBG100::tStatus2& status, tUndo undo) {
    this->takeOut([&](Prim*) {
      Prim* const primitive = _reserver.getPrimitive();
      undo(primitive);
      this->unlinkAtRelease(primitive);
      nQoMDBG100::tStatus2 local;
      _reserver.releaseResource(local);
      status.assign(local);
      this->_identifier.hold(false);
    });
  }
  void handBack(nQoMDBG100::tStatus2& status) {
    handBack(status, [](Prim*) {});
  }

 private:
  nQoMRTB100::tSingularReserver<Prim, Pool> _reserver;
};

}  // namespace nQoUdR100
