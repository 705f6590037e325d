// The frame of the correlated digital supervisors (CDI and CDO FIFO, DMA,
// interrupt and immediate transfer). They embed no state tracker, reserver
// or linker: each keeps a plain lifecycle word, reserves its one primitive
// through the broker itself and maps every control code straight onto the
// primitive. A supervisor is a row:
//
//   struct tCDI_FIFORow {
//     static constexpr const char* kClassName = "nQoUdR100::tBaseCDI_FIFOSupervisor";
//     using tSettings = tCDI_FIFOSettings;
//     using tPrimitive = nQoUdP100::tBaseCDI_FIFOPrimitive;
//     template <class Self>
//     using tBase = nQoMRL100::iPrimitiveSupervisor;           // or a stream part over it
//     using tLinks = tCorrelatedFIFOLinks<tCDIDirection>;      // the position's own part
//     static constexpr tStatusSite kNoPrimitive{"tBaseCDI_FIFOSupervisor", 166};
//     static constexpr tStatusSite kNotSupported{"tBaseCDI_FIFOSupervisor", 231};
//     // Codes 1, 4100, 2, 3, 4101, 4.
//     static constexpr tCorrelatedControls<tPrimitive> kControls = {...};
//   };
//
// cdioSupervisors.h writes each position's row once over a direction row.
//
// Lifecycle word: 0 constructed, 1 initialized, 2 linked, 3 reserved, 4
// resources linked, then the words of the control table. No operation is
// refused because of the word; it picks the undo steps of commitCancel
// (only: the teardown steps look at the primitive itself).
//
// The entries that may come from another thread at any step (control, every
// code; requestCancel; the reads and writes of a row's stream part, through
// reach()) reach the primitive only through a slot, as counted uses, and read
// the word, which is atomic; the raw primitive is left to the lifecycle
// steps and to other supervisors' links while they run theirs. commitCancel
// runs its undo codes through the slot too. reserveResource prepares the
// grant before it puts it into the slot. The steps that reset or hand back
// what the slot holds run the position's work only out of the entries'
// reach: the frame first lets the position end the calls that may wait
// without end (a links part with endCalls(primitive), which marks them ended
// until its next reserved or linkResource), then takes the primitive out and
// waits for the uses under way, and only then works on it: unlinkResource
// brings the primitive down by what it holds now (the undo codes of the
// row, each when the primitive still holds what it takes down) and runs the
// links' step (the primitive goes back afterwards); the release does the
// same, then releasing, hand-back and released. A failed linkResource runs
// unlinkResource's work the same way, and a supervisor destroyed while
// linked or reserved runs unlinkResource and the release before its links go.
//
// A deploy is not run beside another call of the same supervisor, those
// entries included: it rewrites the settings and what the links give the
// held primitive, which they read without a lock.
//
// The settings are deployed apart from the record of what a run was
// programmed with (tDeployed): the deploy and the reservation hand them to
// the primitive's setters, which hold them for the primitive's next
// programming step, where the record its runs go by is taken; the link looks
// up the partners they name. No other step, code or answer reads them.
#pragma once

#include <array>
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
#include "mrl/iResourceBroker.h"
#include "mrl/tGeneralIdentifier.h"
#include "orb/castToClass.h"
#include "reservation/castAnswer.h"
#include "reservation/tReservationIdentifier.h"
#include "reservation/tSingularResourcePool.h"
#include "settings/copyCheck.h"
#include "supervisors/tPlainSupervisor.h"

namespace nQoUdR100 {

// One control code: up to two primitive operations (none: the code is not
// served) and the lifecycle word it leads to; an undo code served also says
// whether the primitive, as it is now, holds what it takes down (a run, an
// arm, a commit).
template <class Prim>
struct tCorrelatedStep {
  void (*first)(Prim&, nQoMDBG100::tStatus2&) = nullptr;
  void (*second)(Prim&, nQoMDBG100::tStatus2&) = nullptr;
  uint32_t word = 0;
  bool (*holds)(const Prim&) = nullptr;
};

// In code order 1, 4100, 2, 3, 4101, 4.
template <class Prim>
using tCorrelatedControls = std::array<tCorrelatedStep<Prim>, 6>;

namespace nCorrelated {

inline constexpr uint32_t kInitialized = 1;
inline constexpr uint32_t kLinked = 2;
inline constexpr uint32_t kReserved = 3;
inline constexpr uint32_t kResourcesLinked = 4;
inline constexpr uint32_t kRunning = 7;

inline constexpr std::array<uint32_t, 6> kCodes = {1, 4100, 2, 3, 4101, 4};
// Codes 3, 4101 and 4 undo: they run on fresh statuses merged into the
// caller's and set their word whatever the outcome.
inline constexpr int kFirstUndo = 3;

// The steps that may read a supervisor's deployed settings (tDeployed): the
// deploy and the reservation hand them to the primitive, the link looks up
// the partners they name. No step of the supervisor programs the board.
struct tSettingsSteps {
  static constexpr const char* kDeploySteps[] = {"deploy", "reserveResource", "link"};
};

// The code's place in kCodes, or -1.
constexpr int indexOf(uint32_t code) {
  for (int i = 0; i < 6; ++i)
    if (kCodes[i] == code) return i;
  return -1;
}

// Every undo code a row serves says when the primitive holds what it takes
// down.
template <class Prim>
constexpr bool undoCodesLookAtThePrimitive(const std::array<tCorrelatedStep<Prim>, 6>& controls) {
  for (int i = kFirstUndo; i < 6; ++i)
    if (controls[i].first != nullptr && controls[i].holds == nullptr) return false;
  return true;
}

}  // namespace nCorrelated

template <class Row>
class tCorrelatedSupervisor : public Row::template tBase<tCorrelatedSupervisor<Row>>,
                              public tModuleObject {
 public:
  static constexpr const char* kClassName = Row::kClassName;
  static inline void* ___classID = nullptr;
  using tSettings = typename Row::tSettings;
  using tPrimitive = typename Row::tPrimitive;
  using tPool = tSingularResourcePool<tPrimitive*>;
  using tBase = typename Row::template tBase<tCorrelatedSupervisor<Row>>;
  static_assert(nCorrelated::undoCodesLookAtThePrimitive(Row::kControls));

  tCorrelatedSupervisor() = default;
  // Gone while still linked or holding a grant: unlinkResource, then the
  // release, each on a status of its own that is dropped, before the links
  // and what they handed out are freed.
  ~tCorrelatedSupervisor() override {
    nQoMDBG100::tStatus2 dropped;
    if (_word >= nCorrelated::kResourcesLinked) tCorrelatedSupervisor::unlinkResource(dropped);
    dropped.clear();
    if (_word >= nCorrelated::kReserved || _primitive != nullptr ||
        _identifier.granted() != nullptr)
      tCorrelatedSupervisor::releaseResource(dropped);
  }
  tCorrelatedSupervisor(const tCorrelatedSupervisor&) = delete;
  tCorrelatedSupervisor& operator=(const tCorrelatedSupervisor&) = delete;

  void* ___CPPKRLDynamicCast(void* const* classID) override {
    if (classID == &___classID) return this;
    return tBase::___CPPKRLDynamicCast(classID);
  }
  const void* ___CPPKRLDynamicCast(void* const* classID) const override {
    return const_cast<tCorrelatedSupervisor*>(this)->___CPPKRLDynamicCast(classID);
  }
  nQoORB100::tClass getClass(int& status) const override {
    return tClassRegistration<tCorrelatedSupervisor>::getClass(*this, status);
  }

  void initialize(const nQoMRL100::iPrimitiveSettings& settings, nQoMRL100::iRuntimeFacade* facade,
                  nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    _facade = facade;
    _links.initialize(facade, status);
    deploy(settings, status);
    if (status.isNotFatal()) _word = nCorrelated::kInitialized;
  }

  // Settings of another class: -89000. Otherwise copies them and gives a
  // held primitive them at once.
  void deploy(const nQoMRL100::iPrimitiveSettings& settings,
              nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    const auto* own =
        static_cast<const tSettings*>(settings.___CPPKRLDynamicCast(&tSettings::___classID));
    if (own == nullptr) {
      setCode(status, kCastFailed, {Row::kNoPrimitive.file, 120});
      return;
    }
    _settings.deploy(*own);
    const tSettings& deployed = _settings.deploying();
    // A held grant keeps the identifier it was granted under; this one names
    // the next reservation.
    _identifier.deploy(deployed.template record<0>().identifier);
    checkCopy(status, {Row::kNoPrimitive.file, 125}, deployed, _identifier);
    if (status.isFatal()) return;
    if (_primitive != nullptr) _links.apply(*_primitive, deployed, status);
  }

  // The partners the deployed settings name.
  void link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    _links.link(map, _settings.deploying(), status);
    if (status.isNotFatal()) _word = nCorrelated::kLinked;
  }

  // No broker: nothing reserved and no error. A refused request (null
  // answer) or a pool of another class is -89000; a granted pool of another
  // class is handed back at once. The primitive stays held when the settings
  // fail afterwards; the word then stays below 3.
  void reserveResource(nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(status);
    if (broker == nullptr || status.isFatal()) return;
    nQoMRL100::iLeafResourcePool* answer = broker->reserve(&_identifier.next(), _facade, status);
    if (status.isFatal()) return;
    tPool* pool = nQoMRTB100::castAnswer<tPool>(answer, status, {Row::kNoPrimitive.file, 140});
    if (pool == nullptr) {
      if (answer != nullptr) {
        nQoMDBG100::tStatus2 local;
        broker->release(&_identifier.next(), _facade, local);
      }
      return;
    }
    _primitive = pool->getResource();
    _identifier.hold(true);
    if (_primitive == nullptr) return;
    const tSettings& deployed = _settings.deploying();
    _links.reserved(*_primitive, deployed, status);
    _links.apply(*_primitive, deployed, status);
    _reached.set(_primitive);
    if (status.isNotFatal()) _word = nCorrelated::kReserved;
  }

  // The links fill the primitive out of the entries' reach (see fill). A
  // failure is undone as unlinkResource undoes it, out of the entries'
  // reach, on a status that is dropped.
  void linkResource(nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    fill([&] { _links.linkResource(_primitive, _word, status); });
    if (status.isNotFatal()) return;
    nQoMDBG100::tStatus2 dropped;
    resetOutOfReach([&](tPrimitive& primitive) { takeDown(primitive, dropped); });
  }

  // Out of the entries' reach (see resetOutOfReach): the primitive is
  // brought down from what the codes left, then the links' step runs; the
  // primitive stays held.
  void unlinkResource(nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    resetOutOfReach([&](tPrimitive& primitive) { takeDown(primitive, status); });
    _word = nCorrelated::kReserved;
  }

  // Hands back only a grant this supervisor holds, on a fresh status merged
  // into the caller's, once the calls under way (a code, a cancel, a read or
  // write that the position ended first) have left it and it is taken down
  // as unlinkResource takes it down (again: a code may have come since), on
  // a status that is dropped; forgets the primitive in any case.
  void releaseResource(nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    takeOut();
    if (_primitive != nullptr) {
      nQoMDBG100::tStatus2 dropped;
      takeDown(*_primitive, dropped);
    }
    _links.releasing(_primitive, status);
    if (const nQoMRL100::tGeneralIdentifier* granted = _identifier.granted())
      handBack(granted, _facade, status);
    _primitive = nullptr;
    _identifier.hold(false);
    _links.released(status);
    _word = nCorrelated::kLinked;
  }

  void unlink(nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    _word = nCorrelated::kInitialized;
  }

  // May come from another thread, so it runs on the held primitive inside a
  // use that the release waits for. Without a primitive: -50004. A code the
  // row does not serve: -50256. Otherwise its operations run and the word
  // follows the table.
  void control(uint32_t code, nQoMRL100::iControlParameterBlock*,
               nQoMRL100::iControlParameterBlock*, nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    const bool held = _reached.call([&](tPrimitive& primitive) {
      const int index = nCorrelated::indexOf(code);
      if (index < 0 || Row::kControls[index].first == nullptr) {
        setCode(status, kNotSupported, Row::kNotSupported);
        return;
      }
      if (index == 2) _links.starting(primitive);
      run(primitive, index, status);
    });
    if (!held) setCode(status, kNullPointer, Row::kNoPrimitive);
  }

  void requestCancel(nQoMDBG100::tStatus2& status) override {
    _reached.call([&](tPrimitive& primitive) { _links.requestCancel(primitive, _word, status); });
  }

  // How the calls of a row's stream part reach the primitive: runs
  // call(primitive) inside a use that the release waits for; false when no
  // primitive is held.
  template <class tCall>
  bool reach(tCall call) {
    return _reached.call(call);
  }

  // Undoes from the word at entry: every undo code whose word lies below it
  // runs (stop, disarm, uncommit, as the row serves them), each on a fresh
  // status merged into the caller's; then the word is 4.
  void commitCancel(nQoMDBG100::tStatus2& status) override {
    const uint32_t word = _word;
    if (status.isFatal() || word <= nCorrelated::kResourcesLinked) return;
    if (word <= nCorrelated::kRunning)
      _reached.call([&](tPrimitive& primitive) { undoFrom(primitive, word, status); });
    _word = nCorrelated::kResourcesLinked;
  }

  uint32_t getLifecycle() const { return _word; }
  // The held primitive, for the lifecycle steps (this supervisor's and the
  // links of others while they run theirs); the entries use the slot.
  tPrimitive* getReservedPrimitive() const { return _primitive; }
  typename Row::tLinks& getLinks() { return _links; }

 private:
  // Every undo code whose word lies below word, in order.
  void undoFrom(tPrimitive& primitive, uint32_t word, nQoMDBG100::tStatus2& status) {
    for (int index = nCorrelated::kFirstUndo; index < 6; ++index)
      if (Row::kControls[index].first != nullptr && Row::kControls[index].word < word)
        run(primitive, index, status);
  }

  // Out of reach: each undo code the row serves (stop, disarm, uncommit, in
  // that order) whose step the primitive, as it is now, still holds, each on
  // a status of its own, dropped, so that the links' step runs whatever they
  // report; then the links' step (observers, endpoints). A task that no
  // commit-cancel undid, or a code that came from another thread after it or
  // after unlinkResource, leaves nothing set up. The word is the calling
  // step's to set.
  void takeDown(tPrimitive& primitive, nQoMDBG100::tStatus2& status) {
    nQoMDBG100::tStatus2 dropped;
    for (int index = nCorrelated::kFirstUndo; index < 6; ++index) {
      const tCorrelatedStep<tPrimitive>& step = Row::kControls[index];
      if (step.first != nullptr && step.holds(primitive)) undo(primitive, step, dropped);
    }
    _links.unlinkResource(primitive, status);
  }

  void run(tPrimitive& primitive, int index, nQoMDBG100::tStatus2& status) {
    const tCorrelatedStep<tPrimitive>& step = Row::kControls[index];
    if (index < nCorrelated::kFirstUndo) {
      step.first(primitive, status);
      if (step.second != nullptr) step.second(primitive, status);
      if (status.isNotFatal()) _word = step.word;
      return;
    }
    undo(primitive, step, status);
    _word = step.word;
  }
  // An undo code's operations, each on a fresh status merged into status.
  static void undo(tPrimitive& primitive, const tCorrelatedStep<tPrimitive>& step,
                   nQoMDBG100::tStatus2& status) {
    onFreshStatus(status, [&](nQoMDBG100::tStatus2& s) { step.first(primitive, s); });
    if (step.second != nullptr)
      onFreshStatus(status, [&](nQoMDBG100::tStatus2& s) { step.second(primitive, s); });
  }

  // The position ends the calls that may still wait in the held primitive.
  void endCalls(tPrimitive& primitive) {
    if constexpr (requires { _links.endCalls(primitive); }) _links.endCalls(primitive);
  }
  // Takes the primitive out of the slot that other threads call through, its
  // calls that may wait ended first; returns once the uses under way have
  // left.
  void takeOut() {
    _reached.takeOut([&](tPrimitive& primitive) { endCalls(primitive); });
  }
  // For linkResource's links step: runs it while the slot holds nothing (the
  // uses under way, which read what it fills, have left), then puts the
  // primitive back. A position whose calls may wait without end (it ends
  // them with endCalls) only reopens them there, which it does in reach.
  template <class tFill>
  void fill(tFill step) {
    if constexpr (requires(tPrimitive& primitive) { _links.endCalls(primitive); })
      step();
    else
      _reached.setAfter(step, _reached.get());
  }
  // For a step that resets the held primitive and keeps it: change(primitive)
  // runs taken out as takeOut does, then the primitive goes back.
  template <class tChange>
  void resetOutOfReach(tChange change) {
    _reached.resetOutOfReach([&](tPrimitive& primitive) { endCalls(primitive); },
                             [&](tPrimitive* primitive) {
                               if (primitive != nullptr) change(*primitive);
                             });
  }

  tPrimitive* _primitive = nullptr;
  nQoMRL100::iRuntimeFacade* _facade = nullptr;
  nQoMRTB100::tReservationIdentifier _identifier;
  // Written by the lifecycle steps and by the codes from other threads.
  std::atomic<uint32_t> _word{0};
  tDeployed<tSettings, nCorrelated::tSettingsSteps> _settings;
  typename Row::tLinks _links;
  // The reserved primitive as the entries reach it.
  tSinkSlot<tPrimitive> _reached;
};

}  // namespace nQoUdR100
