#include "supervisors/tTavikFREQOUTSupervisor.h"

#include "frame/statusCodes.h"
#include "frame/tClassRegistration.h"
#include "frame/tStatusSite.h"
#include "mrl/iResourceBroker.h"
#include "orb/castToClass.h"
#include "reservation/tSingularResourcePool.h"
#include "settings/copyCheck.h"
#include "supervisors/ownStateWord.h"

namespace nQoUdR100 {

namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::iTavikFREQOUTPrimitive;
using tPool = tSingularResourcePool<iTavikFREQOUTPrimitive*>;

constexpr const char kFile[] = "tTavikFREQOUTSupervisor";

bool isSimulated(const iTavikFREQOUTPrimitive& primitive) {
  const nQoUdP100::tDeviceInfo* info = primitive.getDeviceInfo();
  return info != nullptr && info->simulated != 0;
}

}  // namespace

tTavikFREQOUTSupervisor::~tTavikFREQOUTSupervisor() { delete _observer; }

void* tTavikFREQOUTSupervisor::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tTavikFREQOUTSupervisor, nQoMRL100::iPrimitiveSupervisor>(this,
                                                                                          classID);
}
const void* tTavikFREQOUTSupervisor::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tTavikFREQOUTSupervisor*>(this)->___CPPKRLDynamicCast(classID);
}
nQoORB100::tClass tTavikFREQOUTSupervisor::getClass(int& status) const {
  return tClassRegistration<tTavikFREQOUTSupervisor>::getClass(*this, status);
}

void tTavikFREQOUTSupervisor::initialize(const nQoMRL100::iPrimitiveSettings& settings,
                                         nQoMRL100::iRuntimeFacade* facade, tStatus2& status) {
  if (status.isFatal()) return;
  _facade = facade;
  _event = lookupTaskEvent(facade, status, {kFile, 120});
  deploy(settings, status);
  if (status.isNotFatal()) _state = kInitialized;
}

void tTavikFREQOUTSupervisor::deploy(const nQoMRL100::iPrimitiveSettings& settings,
                                     tStatus2& status) {
  if (status.isFatal()) return;
  const auto* own = static_cast<const tTavikFREQOUTPrimitiveSettings*>(
      settings.___CPPKRLDynamicCast(&tTavikFREQOUTPrimitiveSettings::___classID));
  if (own == nullptr) {
    setCode(status, kCastFailed, {kFile, 140});
    return;
  }
  _identifier = own->supervisorRecord().identifier;
  _settings = *own;
  checkCopy(status, {kFile, 125}, _identifier, _settings);
  if (_primitive != nullptr && status.isNotFatal()) applyValues(status);
}

// The setters only store; control 1 programs the values.
void tTavikFREQOUTSupervisor::applyValues(tStatus2& status) {
  _primitive->setTimebase(_settings.supervisorRecord().timebaseSelect, status);
  _primitive->setDivider(_settings.supervisorRecord().divisor, status);
}

void tTavikFREQOUTSupervisor::link(nQoMRL100::iPrimitiveSupervisorMap&, tStatus2& status) {
  if (status.isNotFatal()) _state = kLinked;
}

void tTavikFREQOUTSupervisor::reserveResource(tStatus2& status) {
  if (status.isFatal()) return;
  nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(status);
  if (broker == nullptr || status.isFatal()) return;
  nQoMRL100::iLeafResourcePool* answer = broker->reserve(&_identifier, _facade, status);
  if (answer == nullptr) return;
  auto* pool = static_cast<tPool*>(answer->___CPPKRLDynamicCast(&tPool::___classID));
  if (pool == nullptr) {
    setCode(status, kCastFailed, {kFile, 190});
    tStatus2 dropped;
    broker->release(&_identifier, _facade, dropped);
    return;
  }
  _primitive = pool->getResource();
  if (_primitive == nullptr) return;
  if (_observer == nullptr) {
    _observer = new (status) tDoneObserver(_event);
    if (_observer == nullptr) return;
  }
  if (!isSimulated(*_primitive) && _event != nullptr) {
    _event->registerEvent(nQoMRL110::kDoneEvent, status);
    _event->registerEvent(nQoMRL110::kErrorEvent, status);
    _kindsRegistered = true;
  }
  applyValues(status);
  if (status.isNotFatal()) _state = kReserved;
}

void tTavikFREQOUTSupervisor::linkResource(tStatus2& status) {
  if (status.isNotFatal()) _state = kResourcesLinked;
}
void tTavikFREQOUTSupervisor::unlinkResource(tStatus2&) { _state = kReserved; }

void tTavikFREQOUTSupervisor::releaseResource(tStatus2& status) {
  if (_primitive != nullptr) {
    _primitive = nullptr;
    handBack(&_identifier, _facade, status);
  }
  if (_kindsRegistered) {
    for (const uint32_t kind : {nQoMRL110::kDoneEvent, nQoMRL110::kErrorEvent}) {
      tStatus2 local;
      _event->unregisterEvent(kind, local);
      status.assign(local);
    }
    _kindsRegistered = false;
  }
  _state = kLinked;
}

void tTavikFREQOUTSupervisor::unlink(tStatus2&) { _state = kInitialized; }
void tTavikFREQOUTSupervisor::requestCancel(tStatus2&) {}

void tTavikFREQOUTSupervisor::control(uint32_t code, nQoMRL100::iControlParameterBlock*,
                                      nQoMRL100::iControlParameterBlock*, tStatus2& status) {
  if (status.isFatal()) return;
  if (_primitive == nullptr) {
    setCode(status, kNullPointer, {kFile, 285});
    return;
  }
  switch (code) {
    case kCommit:
      _primitive->commit(status);
      if (status.isNotFatal()) _state = kCommitted;
      return;
    case kStart:
      _primitive->start(status);
      if (status.isNotFatal()) _state = kRunning;
      return;
    case kStop: stop(status); return;
    case kUncommit:
      _primitive->reset(status);
      if (status.isNotFatal()) _state = kResourcesLinked;
      return;
    default: setCode(status, kNotSupported, {kFile, 337});
  }
}

// The is-done action reaches the task's event before the output goes off.
void tTavikFREQOUTSupervisor::stop(tStatus2& status) {
  if (_observer == nullptr) {
    setCode(status, kNullPointer, {kFile, 315});
    return;
  }
  const tStatus2 done;
  tStatus2 local;
  _observer->notifyDoneWithStatus(done, local);
  status.assign(local);
  local.clear();
  _primitive->stop(local);
  status.assign(local);
  if (status.isNotFatal()) _state = kCommitted;
}

void tTavikFREQOUTSupervisor::commitCancel(tStatus2& status) {
  cancelByState(*this, _state, status);
}

}  // namespace nQoUdR100
