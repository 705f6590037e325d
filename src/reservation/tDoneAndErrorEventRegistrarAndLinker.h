// Gives a primitive the event object through which it signals done and error
// events, and registers the event kinds that the supervisor asked for. link
// gets the event object from the runtime facade; linkResource hands it to the
// primitive; its reserving side registers done (kind 1) and error (kind 2)
// and its releasing side unregisters the kinds that reserve registered, also
// when a deploy changed the flags in between. The supervisor sets the facade,
// the flags and, once reserved, the primitive.
#pragma once

#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tDeployed.h"
#include "frame/tStatusSite.h"
#include "mrl/iEvent.h"
#include "mrl/iRuntimeFacade.h"
#include "reservation/castAnswer.h"
#include "reservation/iLinker.h"
#include "reservation/iReserver.h"

namespace nQoMRTB100 {

template <class Prim>
class tDoneAndErrorEventRegistrarAndLinker : public iLinker, public iReserver {
 public:
  void setRuntimeFacade(nQoMRL100::iRuntimeFacade* facade) { _facade = facade; }
  void setPrimitive(Prim* primitive) { _primitive = primitive; }
  // The kinds the next reservation registers.
  void setRegisterDone(uint32_t flag) { _kinds.deploying().done = flag; }
  void setRegisterError(uint32_t flag) { _kinds.deploying().error = flag; }
  nQoMRL110::iEvent* getEvent() const { return _event; }

  // The event object, or null after a failure: no facade (kNullPointer), no
  // event object or one of another class (kCastFailed). The map is not used.
  void link(nQoMRL100::iPrimitiveSupervisorMap&, nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    _event = nullptr;
    if (_facade == nullptr) {
      nQoUdR100::setCode(status, nQoUdR100::kNullPointer, {kFile, 60});
      return;
    }
    const nQoMRL110::tEventIdentifier identifier(status);
    nQoORB100::tObject* answer = _facade->getEventObject(identifier, status);
    _event = castAnswer<nQoMRL110::iEvent>(answer, status, {kFile, 66});
  }

  void unlink(nQoMDBG100::tStatus2& status) override {
    if (status.isNotFatal()) _event = nullptr;
  }

  void linkResource(nQoMDBG100::tStatus2& status) override { giveEvent(_event, status, 82); }
  void unlinkResource(nQoMDBG100::tStatus2& status) override { giveEvent(nullptr, status, 101); }

  // Registers done, then error, each with the caller's status; the second is
  // registered even when the first failed. Both are kept for the release.
  void reserveResource(nQoMDBG100::tStatus2& status) override {
    const tKinds& kinds = _kinds.take();
    if (!canUseEvent(status, 120, kinds.done != 0, kinds.error != 0)) return;
    _doneRegistered = kinds.done != 0;
    _errorRegistered = kinds.error != 0;
    if (_doneRegistered) _event->registerEvent(nQoMRL110::kDoneEvent, status);
    if (_errorRegistered) _event->registerEvent(nQoMRL110::kErrorEvent, status);
  }

  // Unregisters the kinds that reserve registered, done, then error, each on
  // a fresh status merged into the caller's.
  void releaseResource(nQoMDBG100::tStatus2& status) override {
    if (!canUseEvent(status, 130, _doneRegistered, _errorRegistered)) return;
    if (_doneRegistered) unregisterKind(nQoMRL110::kDoneEvent, status);
    if (_errorRegistered) unregisterKind(nQoMRL110::kErrorEvent, status);
    _doneRegistered = _errorRegistered = false;
  }

 private:
  static constexpr const char kFile[] = "tDoneAndErrorEventRegistrarAndLinker";

  void giveEvent(nQoMRL110::iEvent* event, nQoMDBG100::tStatus2& status, unsigned line) {
    if (status.isFatal()) return;
    if (_primitive == nullptr) {
      nQoUdR100::setCode(status, nQoUdR100::kNullPointer, {kFile, line});
      return;
    }
    // A primitive whose event is the target of its is-done action names the
    // setter after it; the others call it setEvent.
    if constexpr (requires { _primitive->setDoneTarget(event, status); })
      _primitive->setDoneTarget(event, status);
    else
      _primitive->setEvent(event, status);
  }

  void unregisterKind(uint32_t kind, nQoMDBG100::tStatus2& status) {
    nQoMDBG100::tStatus2 local;
    _event->unregisterEvent(kind, local);
    status.assign(local);
  }

  // False when there is nothing to do; a kind to (un)register without an
  // event object gives kNullPointer at the line.
  bool canUseEvent(nQoMDBG100::tStatus2& status, unsigned line, bool done, bool error) const {
    if (status.isFatal() || (!done && !error)) return false;
    if (_event != nullptr) return true;
    nQoUdR100::setCode(status, nQoUdR100::kNullPointer, {kFile, line});
    return false;
  }

  nQoMRL100::iRuntimeFacade* _facade = nullptr;
  Prim* _primitive = nullptr;
  nQoMRL110::iEvent* _event = nullptr;
  // The deploys write the kinds; only the reservation takes them.
  struct tKinds {
    uint32_t done = 0;
    uint32_t error = 0;
  };
  struct tKindSteps {
    static constexpr const char* kDeploySteps[] = {"setRegisterDone", "setRegisterError"};
    static constexpr const char* kProgrammingSteps[] = {"reserveResource"};
  };
  nQoUdR100::tDeployed<tKinds, tKindSteps> _kinds;
  bool _doneRegistered = false;
  bool _errorRegistered = false;
};

}  // namespace nQoMRTB100
