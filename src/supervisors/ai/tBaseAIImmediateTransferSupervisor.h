// The analog-input immediate transfers: the platform reads samples on demand
// through the supervisor's own input stream, and a read that is given an
// attributes object reports the time stamp of its first sample and the sample
// interval in 128-bit seconds. One template serves both transfers; a row names
// the primitive, its pool and how each step reaches it:
//
//   nQoUdR100::tAIImmediateTransferSupervisor transfer;   // programmed I/O
//   transfer.initialize(settings, facade, status);        // link, reserve, ...
//   uint32_t n = transfer.read(4, 1000, buffer, nullptr, &attributes, status);
//
// Reserving runs three steps in order and undoes them in reverse: the done
// and error events, the transfer's pool at the broker, the primitive's own
// reserve. Every control code ends with -50256 after its primitive operation,
// since none of the six control-enable flags is set.
//
// Reads, codes and cancels may come from other threads: they reach the
// primitive through a slot, as counted passes, that holds it from the end of
// a good reservation on. unlinkResource and the release change what they
// reach only out of their reach: the row first ends a read that may wait
// without end (releasing), the primitive is taken out and the passes under
// way are waited for; then the links unlink (and the primitive goes back in,
// its reads ended until the next linkResource), or the row brings the
// primitive down, the links unlink while they still hold what the last
// linkResource gave, and the reservers release, the primitive's own release among them. A failed
// linkResource is undone by the links' unlink the same way, and a supervisor
// destroyed while linked or reserved runs unlinkResource and the release
// before its members go.
#pragma once

#include <array>
#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tClassRegistration.h"
#include "frame/tDeployed.h"
#include "frame/tFixedPoint128.h"
#include "frame/tModuleObject.h"
#include "frame/tSinkSlot.h"
#include "frame/tStatusSite.h"
#include "mrl/iControlParameterBlock.h"
#include "mrl/iPrimitiveSettings.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "mrl/iPrimitiveSupervisorMap.h"
#include "msrl/iInputStream.h"
#include "msrl/iInputStreamPrimitiveSupervisor.h"
#include "orb/castToClass.h"
#include "pal/tPALSysInfo.h"
#include "reservation/supervisorEvents.h"
#include "reservation/tDoneAndErrorEventRegistrarAndLinker.h"
#include "reservation/tMultiLinker.h"
#include "reservation/tMultiReserver.h"
#include "reservation/tReservationIdentifier.h"
#include "reservation/tSchedulerActionLinker.h"
#include "reservation/tSingularReserver.h"
#include "reservation/tSupStateTracker.h"
#include "reservation/tSupStateTransition.h"
#include "settings/aiTransferSettings.h"
#include "settings/copyCheck.h"
#include "supervisors/controlOperations.h"
#include "time/tTimerTimeUnit.h"

namespace nQoUdR100 {

// The linking part of the programmed-I/O transfer: the event linker alone;
// unlink keeps the event object.
template <class Prim>
class tImmediateEventLinks {
 public:
  using tRegistrar = nQoMRTB100::tDoneAndErrorEventRegistrarAndLinker<Prim>;
  void add(tRegistrar& registrar, nQoMDBG100::tStatus2&) { _registrar = &registrar; }
  void configure(const tAIImmediateTransferFields&) {}
  void setPrimitive(Prim*) {}
  void link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) {
    _registrar->link(map, status);
  }
  void linkResource(nQoMDBG100::tStatus2& status) { _registrar->linkResource(status); }
  void unlinkResource(nQoMDBG100::tStatus2& status) { _registrar->unlinkResource(status); }
  void unlink(nQoMDBG100::tStatus2&) {}

 private:
  tRegistrar* _registrar = nullptr;
};

// The linking part of the DMA transfer: the event linker, then the
// scheduler-action linker (its key is settings word 16), in a multi linker;
// the reverse steps run on fresh statuses merged into the caller's.
template <class Prim>
class tImmediateSchedulerLinks {
 public:
  using tRegistrar = nQoMRTB100::tDoneAndErrorEventRegistrarAndLinker<Prim>;
  // -50352 for a member list that failed to grow before.
  void add(tRegistrar& registrar, nQoMDBG100::tStatus2& status) {
    _linkers.checkAllocation(status);
    nQoMRTB100::iLinker* const members[] = {&registrar, &_scheduler};
    for (nQoMRTB100::iLinker* member : members) {
      bool present = false;
      for (uint32_t i = 0; _linkers.getLinker(i) != nullptr; ++i)
        present = present || _linkers.getLinker(i) == member;
      if (!present) _linkers.addLinker(member, status);
    }
  }
  void configure(const tAIImmediateTransferFields& record) { _scheduler.setKey(record.word16); }
  void setPrimitive(Prim* primitive) { _scheduler.setPrimitive(primitive); }
  void link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) {
    _linkers.link(map, status);
  }
  // A failure undoes nothing: the frame runs unlinkResource out of reach.
  void linkResource(nQoMDBG100::tStatus2& status) { _linkers.linkResourceLeavingUndo(status); }
  void unlinkResource(nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return;
    nQoMDBG100::tStatus2 local;
    _linkers.unlinkResource(local);
    status.assign(local);
  }
  void unlink(nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return;
    nQoMDBG100::tStatus2 local;
    _linkers.unlink(local);
    status.assign(local);
  }

 private:
  nQoMRTB100::tSchedulerActionLinker<Prim> _scheduler;
  nQoMRTB100::tMultiLinker _linkers;
};

template <class Row>
class tBaseAIImmediateTransferSupervisor : public nQoMSRL100::iInputStream,
                                           public nQoMSRL100::iInputStreamPrimitiveSupervisor,
                                           public tModuleObject {
 public:
  static constexpr const char* kClassName = Row::kClassName;
  static inline void* ___classID = nullptr;
  using tPrimitive = typename Row::tPrimitive;
  using tStampClock = typename Row::tStampClock;
  using tFixed = nQoSS100::tFixedPoint128<64u, true>;
  using tStatus2 = nQoMDBG100::tStatus2;
  static constexpr const char kFile[] = "tBaseAIImmediateTransferSupervisor";

  tBaseAIImmediateTransferSupervisor() = default;
  // Gone while the links hold what a linkResource gave or while holding a
  // grant: unlinkResource, then the release, each on a status of its own
  // that is dropped, before the links, the shims and the reservers go.
  ~tBaseAIImmediateTransferSupervisor() override {
    tStatus2 dropped;
    const int32_t state = _tracker.getState(dropped);
    if (_linksHeld) tBaseAIImmediateTransferSupervisor::unlinkResource(dropped);
    dropped.clear();
    if (state >= nQoMRTB100::kStateReserved || _transfer.getPrimitive() != nullptr)
      tBaseAIImmediateTransferSupervisor::releaseResource(dropped);
  }
  tBaseAIImmediateTransferSupervisor(const tBaseAIImmediateTransferSupervisor&) = delete;
  tBaseAIImmediateTransferSupervisor& operator=(const tBaseAIImmediateTransferSupervisor&) = delete;

  void* ___CPPKRLDynamicCast(void* const* classID) override {
    return nQoORB100::castToClass<tBaseAIImmediateTransferSupervisor,
                                  nQoMSRL100::iInputStreamPrimitiveSupervisor>(this, classID);
  }
  const void* ___CPPKRLDynamicCast(void* const* classID) const override {
    return const_cast<tBaseAIImmediateTransferSupervisor*>(this)->___CPPKRLDynamicCast(classID);
  }
  nQoORB100::tClass getClass(int& status) const override {
    return tClassRegistration<tBaseAIImmediateTransferSupervisor>::getClass(*this, status);
  }

  // Reads count samples through the primitive. With attributes, the time
  // stamp is refreshed from the system time where the row says so, handed
  // over with the interval when samples came, and advanced by count ×
  // interval. Without a primitive: -50004 and 0. The read runs on the user's
  // thread inside a pass of the primitive's slot.
  uint32_t read(uint32_t count, uint32_t timeout, uint8_t* destination, const uint8_t*,
                nQoMSRL100::iStreamAttributes* attributes, tStatus2& status) override {
    if (status.isFatal()) return 0;
    uint32_t samples = 0;
    const bool held = _primitive.call([&](tPrimitive& primitive) {
      samples = readThrough(primitive, count, timeout, destination, attributes, status);
    });
    if (!held) setCode(status, kNullPointer, {kFile, 290});
    return samples;
  }

  // The stream offers no read of what is available.
  uint32_t readAvailable(uint32_t, uint8_t*, tStatus2& status) override {
    setCode(status, kStreamOperationNotOffered, {kFile, 332});
    return 0;
  }

  nQoMSRL100::iInputStream* getInputStreamPtr(tStatus2& status) override {
    return status.isFatal() ? nullptr : this;
  }

  // Clears the six control-enable flags, keeps the facade, adds the
  // reservers (and the row's linkers) once, then deploys.
  void initialize(const nQoMRL100::iPrimitiveSettings& settings, nQoMRL100::iRuntimeFacade* facade,
                  tStatus2& status) override {
    if (status.isFatal()) return;
    _tracker.setFlags(0, 0x3F, status);
    nQoMRTB100::tSupStateTransition transition(_tracker, nQoMRTB100::kEventInitialize, status);
    _facade = facade;
    _reservers.checkAllocation(status);
    nQoMRTB100::iReserver* const members[] = {&_registrar, &_transferShim, &_primitiveShim};
    for (nQoMRTB100::iReserver* member : members) addOnce(_reservers, member, status);
    _links.add(_registrar, status);
    _transfer.setRuntimeFacade(facade);
    deploy(settings, status);
  }

  // Settings of another class: -89000. Otherwise copies them and the
  // identifier of the next reservation, reserves done and error events only
  // while the last flag word is 0, and gives a held primitive its attributes
  // (the software-stamp word and the interval among them, for the next run
  // that a start begins).
  void deploy(const nQoMRL100::iPrimitiveSettings& settings, tStatus2& status) override {
    if (status.isFatal()) return;
    using tSettings = tAIImmediateTransferSettings;
    const auto* own =
        static_cast<const tSettings*>(settings.___CPPKRLDynamicCast(&tSettings::___classID));
    if (own == nullptr) {
      setCode(status, kCastFailed, {kFile, 120});
      return;
    }
    _settings.deploy(*own);
    const auto& record = _settings.deploying().supervisorRecord();
    _identifier.deploy(record.identifier);
    checkCopy(status, {kFile, 125}, _settings.deploying(), _identifier);
    if (status.isFatal()) return;
    _registrar.setRuntimeFacade(_facade);
    _registrar.setRegisterDone(record.word19 == 0 ? 1 : 0);
    _registrar.setRegisterError(record.word19 == 0 ? 1 : 0);
    if (_held != nullptr) Row::setPrimitiveAttributes(*_held, record, status);
    if (status.isNotFatal()) _links.configure(record);
  }

  void link(nQoMRL100::iPrimitiveSupervisorMap& map, tStatus2& status) override {
    if (status.isFatal()) return;
    nQoMRTB100::tSupStateTransition transition(_tracker, nQoMRTB100::kEventLink, status);
    _links.link(map, status);
  }

  // A failure after the steps gave back what they took, on a fresh status
  // merged into the caller's. The primitive goes into the entries' reach
  // once it is reserved and has its attributes.
  void reserveResource(tStatus2& status) override {
    if (status.isFatal()) return;
    nQoMRTB100::tSupStateTransition transition(_tracker, nQoMRTB100::kEventReserveResource, status);
    _reservers.reserveResource(status);
    if (status.isFatal()) return;
    _registrar.setPrimitive(_held);
    if (_held != nullptr)
      Row::setPrimitiveAttributes(*_held, _settings.deploying().supervisorRecord(), status);
    if (status.isNotFatal()) {
      if (_held != nullptr) reopenRowCalls<Row>(*_held);
      _primitive.set(_held);
      return;
    }
    tStatus2 local;
    _reservers.releaseResource(local);
    status.assign(local);
  }

  // A failure of the links is undone as unlinkResource undoes them, out of
  // the entries' reach, on a status that is dropped.
  void linkResource(tStatus2& status) override {
    if (status.isFatal()) return;
    nQoMRTB100::tSupStateTransition transition(_tracker, nQoMRTB100::kEventLinkResource, status);
    if (status.isFatal()) return;
    if (_held != nullptr) reopenRowCalls<Row>(*_held);
    _links.linkResource(status);
    _linksHeld = true;
    if (status.isNotFatal()) return;
    tStatus2 dropped;
    unlinkOutOfReach(dropped);
  }

  void unlinkResource(tStatus2& status) override {
    if (status.isFatal()) return;
    nQoMRTB100::tSupStateTransition transition(_tracker, nQoMRTB100::kEventUnlinkResource, status);
    if (status.isNotFatal()) unlinkOutOfReach(status);
  }

  // Once the reads and passes under way have left the primitive: the row
  // brings it down from what the codes left and, while the links still hold
  // what the last linkResource gave it, they take it back (on a status that
  // is dropped); then the reservers release.
  void releaseResource(tStatus2& status) override {
    if (status.isFatal()) return;
    nQoMRTB100::tSupStateTransition transition(_tracker, nQoMRTB100::kEventReleaseResource, status);
    _primitive.takeOut(endRowCalls<Row, tPrimitive>);
    _stampedRun = 0;
    if (_held != nullptr) {
      bringDownRow<Row>(*_held);
      tStatus2 dropped;
      if (_linksHeld) _links.unlinkResource(dropped);
      _linksHeld = false;
    }
    _registrar.setPrimitive(nullptr);
    tStatus2 local;
    _reservers.releaseResource(local);
    status.assign(local);
  }

  void unlink(tStatus2& status) override {
    if (status.isFatal()) return;
    nQoMRTB100::tSupStateTransition transition(_tracker, nQoMRTB100::kEventUnlink, status);
    _links.unlink(status);
  }

  // May come from another thread, so every code runs on the primitive
  // inside a pass of its slot, which the release waits for. The six codes
  // run the row's primitive operation (stop, disarm and uncommit on a fresh
  // status merged into the caller's); then a code whose flag is clear gives
  // -50256. Without a primitive: -50004.
  void control(uint32_t code, nQoMRL100::iControlParameterBlock*,
               nQoMRL100::iControlParameterBlock*, tStatus2& status) override {
    if (status.isFatal()) return;
    const int bit = nQoMRTB100::controlFlagBit(code);
    // The transition ends inside the use: a release or destructor that waits
    // for the uses finds the tracker no longer touched.
    const bool held = _primitive.call([&](tPrimitive& primitive) {
      const tCodeTransition transition(_tracker, bit, code, status);
      if (bit >= 0 && bit < 3) Row::kControls[bit](primitive, status);
      if (bit >= 3) {
        tStatus2 local;
        Row::kControls[bit](primitive, local);
        status.assign(local);
      }
      if (status.isNotFatal() &&
          _tracker.isControlEnabled(static_cast<int32_t>(code), status) == 0 && status.isNotFatal())
        setCode(status, kNotSupported, {kFile, 214});
    });
    if (held) return;
    const tCodeTransition transition(_tracker, bit, code, status);
    setCode(status, kNullPointer, {"tAutoController", 30});
  }

  // Asks a primitive of a prepared task to give up its wait; any thread,
  // inside a pass of the primitive's slot.
  void requestCancel(tStatus2& status) override {
    if (status.isFatal()) return;
    _primitive.call([&](tPrimitive& primitive) {
      if (_tracker.getState(status) >= nQoMRTB100::kStateResourcesLinked) Row::cancel(primitive);
    });
  }

  // The tracker frame's commit-cancel (cancelByTracker).
  void commitCancel(tStatus2& status) override { cancelByTracker(*this, _tracker, status); }

  nQoMRTB100::tSupStateTracker& getTracker() { return _tracker; }
  // The held primitive, for the lifecycle steps; the entries call through
  // the slot.
  tPrimitive* getPrimitive() const { return _held; }
  const tFixed& getTimeStamp() const { return _stamp; }

 private:
  // The transfer's pool at the broker; a held pool's primitive is cast to
  // the transfer class by the row (a failure gives the pool back). A row
  // that reserves no transfer refuses both steps.
  class tTransferShim final : public nQoMRTB100::iReserver {
   public:
    explicit tTransferShim(tBaseAIImmediateTransferSupervisor* owner) : _owner(owner) {}
    void reserveResource(tStatus2& status) override {
      if (status.isFatal()) return;
      if constexpr (!Row::kReservesTransfer) {
        setCode(status, kNotSupported, {kFile, 375});
        return;
      }
      _owner->_transfer.setIdentifier(&_owner->_identifier.next());
      _owner->_transfer.reserveResource(status);
      _owner->noteGrant();
      auto* held = _owner->_transfer.getPrimitive();
      if (held == nullptr || status.isFatal()) return;
      tPrimitive* const primitive = Row::castPrimitive(held, status);
      _owner->_held = primitive;
      _owner->_links.setPrimitive(primitive);
      if (primitive != nullptr) return;
      tStatus2 local;
      releaseResource(local);
    }
    void releaseResource(tStatus2& status) override {
      if (status.isFatal()) return;
      if constexpr (!Row::kReservesTransfer) {
        setCode(status, kNotSupported, {kFile, 382});
        return;
      }
      _owner->_held = nullptr;
      _owner->_links.setPrimitive(nullptr);
      _owner->_transfer.releaseResource(status);
      _owner->noteGrant();
    }

   private:
    tBaseAIImmediateTransferSupervisor* _owner;
  };

  // The primitive's own reserve and release; nothing without a primitive.
  // Both run while the primitive is out of the entries' reach.
  class tPrimitiveShim final : public nQoMRTB100::iReserver {
   public:
    explicit tPrimitiveShim(tBaseAIImmediateTransferSupervisor* owner) : _owner(owner) {}
    void reserveResource(tStatus2& status) override {
      tPrimitive* const primitive = _owner->_held;
      if (status.isNotFatal() && primitive != nullptr) Row::reservePrimitive(*primitive, status);
    }
    void releaseResource(tStatus2& status) override {
      tPrimitive* const primitive = _owner->_held;
      if (status.isNotFatal() && primitive != nullptr) Row::releasePrimitive(*primitive, status);
    }

   private:
    tBaseAIImmediateTransferSupervisor* _owner;
  };

  // The links' resets, once a read that may wait is ended and the passes
  // under way have left the primitive; it goes back after.
  void unlinkOutOfReach(tStatus2& status) {
    _primitive.resetOutOfReach(endRowCalls<Row, tPrimitive>,
                               [&](tPrimitive*) { _links.unlinkResource(status); });
    _linksHeld = false;
  }

  // Whether the transfer's reserver holds what it reserved under the
  // identifier; its release hands back the identifier of the grant.
  void noteGrant() { _identifier.hold(_transfer.getPrimitive() != nullptr); }

  // The read inside the pass. It stamps by the clock of the run it reads in,
  // as that run's start took it: a deploy under the run reaches the stamps
  // of the next one. The first read of a run that delivers samples takes the
  // system time where the row says so, and the run's clock, which the run
  // keeps: the reads after it go by that copy. A read that a start overtook
  // counts for its own run, not the new one. A read given with no live run
  // (the software stamp until then) goes by the run it waited for. Only the
  // reads write the stamp, the interval, the stamped run and its clock.
  uint32_t readThrough(tPrimitive& primitive, uint32_t count, uint32_t timeout,
                       uint8_t* destination, nQoMSRL100::iStreamAttributes* attributes,
                       tStatus2& status) {
    uint32_t run = Row::liveRun(primitive);
    tStampClock clock = _stampedClock;
    if (run == 0 || run != _stampedRun) clock = Row::runClock(primitive, run);
    const bool fresh = Row::kStampsRunStart && run != _stampedRun;
    if (attributes != nullptr && (fresh || clock.softwareStamp)) {
      tPALTime128 now;
      tPALSysInfo::getTime(now);
      _stamp = tFixed(now);
    }
    uint32_t bytes = 0;
    const uint32_t samples =
        primitive.read(destination, count, status, &bytes, timeout, kTimerTimeUnitMillisecond);
    if (samples != 0 && run == 0) clock = Row::readClock(primitive, run);
    if (samples != 0 && status.isNotFatal()) {
      _stampedRun = run;
      _stampedClock = clock;
    }
    if (attributes == nullptr) return samples;
    _interval = clock.softwareStamp ? tFixed(0) : tFixed(clock.interval);
    if (samples != 0) {
      tStatus2 local;
      attributes->setTimeStamp(_stamp.words(), local);
      status.assign(local);
      local.clear();
      attributes->setInterval(_interval.words(), local);
      status.assign(local);
    }
    tFixed advance(0);
    advance.integer = samples;
    advance *= _interval;
    _stamp += advance;
    return samples;
  }

  static void addOnce(nQoMRTB100::tMultiReserver& list, nQoMRTB100::iReserver* member,
                      tStatus2& status) {
    for (uint32_t i = 0; list.getReserver(i) != nullptr; ++i)
      if (list.getReserver(i) == member) return;
    list.addReserver(member, status);
  }

  nQoMRTB100::tSupStateTracker _tracker;
  nQoMRL100::iRuntimeFacade* _facade = nullptr;
  nQoMRTB100::tReservationIdentifier _identifier;
  // The primitive the transfer's pool granted, for the lifecycle steps.
  tPrimitive* _held = nullptr;
  // The same once reserved: reads, control codes and cancels call through
  // it from other threads.
  tSinkSlot<tPrimitive> _primitive;
  // Who reads the settings as deployed: deploy and the reservation, which
  // hand them on to the primitive (whose arm and start take them), the
  // registrar (whose reservation keeps what it registered) and the links. No
  // code of the supervisor itself programs the board from them.
  struct tSettingsSteps {
    static constexpr const char* kDeploySteps[] = {"deploy", "reserveResource"};
    static constexpr std::array<const char*, 0> kProgrammingSteps{};
  };
  tDeployed<tAIImmediateTransferSettings, tSettingsSteps> _settings;
  nQoMRTB100::tDoneAndErrorEventRegistrarAndLinker<tPrimitive> _registrar;
  tTransferShim _transferShim{this};
  tPrimitiveShim _primitiveShim{this};
  nQoMRTB100::tMultiReserver _reservers;
  nQoMRTB100::tSingularReserver<typename Row::tPoolPrimitive, typename Row::tPool> _transfer;
  typename Row::tLinks _links;
  // Set by a linkResource, cleared by the step that takes back what it gave
  // (unlinkResource, a failed link's undo, the release): the release and the
  // destructor reset the links by it, not by a state that codes move.
  bool _linksHeld = false;
  // The interval of the last read's run and the next sample's stamp: written
  // by the reads alone.
  tFixed _interval{0};
  tFixed _stamp{0};
  // The run whose first read took its stamp (0: none), and its clock:
  // another primitive's runs are numbered apart, so the release forgets it.
  uint32_t _stampedRun = 0;
  tStampClock _stampedClock{};
};

}  // namespace nQoUdR100
