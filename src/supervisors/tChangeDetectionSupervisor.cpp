#include "supervisors/tChangeDetectionSupervisor.h"

#include "frame/statusCodes.h"
#include "frame/tClassRegistration.h"
#include "frame/tStatusSite.h"
#include "mrl/iControlParameterBlock.h"
#include "mrl/iPrimitiveSupervisorMap.h"
#include "mrl/iResourceBroker.h"
#include "orb/castToClass.h"
#include "reservation/castAnswer.h"
#include "reservation/tSingularResourcePool.h"
#include "settings/copyCheck.h"
#include "settings/tParameterBlockValidateHelper.h"
#include "supervisors/ownStateWord.h"

namespace nQoUdR100 {

namespace {

using nQoMDBG100::tStatus2;
using tPool = tSingularResourcePool<tChangeDetectionPrimitive*>;

constexpr const char kFile[] = "tChangeDetectionSupervisor";

template <class Interface>
Interface* lookUp(nQoMRL100::iPrimitiveSupervisorMap& map, uint32_t key, tStatus2& status,
                  unsigned line) {
  if (status.isFatal() || key == tChangeDetectionSupervisor::kNoKey) return nullptr;
  return nQoMRTB100::castAnswer<Interface>(map.lookup(key, status), status, {kFile, line});
}

}  // namespace

void* tChangeDetectionSupervisor::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tChangeDetectionSupervisor,
                                nQoMSRL100::iInputStreamPrimitiveSupervisor>(this, classID);
}
const void* tChangeDetectionSupervisor::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tChangeDetectionSupervisor*>(this)->___CPPKRLDynamicCast(classID);
}
nQoORB100::tClass tChangeDetectionSupervisor::getClass(int& status) const {
  return tClassRegistration<tChangeDetectionSupervisor>::getClass(*this, status);
}

void tChangeDetectionSupervisor::initialize(const nQoMRL100::iPrimitiveSettings& settings,
                                            nQoMRL100::iRuntimeFacade* facade, tStatus2& status) {
  if (status.isFatal()) return;
  _facade = facade;
  _event = lookupTaskEvent(facade, status, {kFile, 95});
  deploy(settings, status);
  if (status.isNotFatal()) _state = kInitialized;
}

void tChangeDetectionSupervisor::deploy(const nQoMRL100::iPrimitiveSettings& settings,
                                        tStatus2& status) {
  if (status.isFatal()) return;
  const auto* own = static_cast<const tChangeDetectionSettings*>(
      settings.___CPPKRLDynamicCast(&tChangeDetectionSettings::___classID));
  if (own == nullptr) {
    setCode(status, kCastFailed, {kFile, 110});
    return;
  }
  _settings = own->supervisorRecord();
  checkCopy(status, {kFile, 125}, _settings);
}

void tChangeDetectionSupervisor::link(nQoMRL100::iPrimitiveSupervisorMap& map, tStatus2& status) {
  if (status.isFatal()) return;
  _readable =
      lookUp<nQoCDR100::iDigReadablePrimSup>(map, _settings.readableSupervisorKey, status, 141);
  _cdiDMA =
      lookUp<iCDI_DMATransferSupervisor>(map, _settings.cdiDMATransferSupervisorKey, status, 147);
  auto* scheduler = lookUp<nQoMAS100::iSchedulerActionSupervisor>(
      map, _settings.schedulerActionSupervisorKey, status, 153);
  if (scheduler != nullptr) _action = scheduler->getSchedulerAction(status);
  if (status.isFatal()) {
    _readable = nullptr;
    _cdiDMA = nullptr;
    _action = nullptr;
    return;
  }
  _state = kLinked;
}

void tChangeDetectionSupervisor::reserveResource(tStatus2& status) {
  if (status.isFatal()) return;
  nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(status);
  if (broker == nullptr || status.isFatal()) return;
  nQoMRL100::iLeafResourcePool* answer = broker->reserve(&_settings.identifier, _facade, status);
  const auto* pool = answer == nullptr
                         ? nullptr
                         : static_cast<tPool*>(answer->___CPPKRLDynamicCast(&tPool::___classID));
  _primitive = pool != nullptr ? pool->getResource() : nullptr;
  if (_primitive == nullptr) {
    setCode(status, kNullDestination, {kFile, pool == nullptr ? 205u : 192u});
    if (answer != nullptr) {
      tStatus2 dropped;
      broker->release(&_settings.identifier, _facade, dropped);
    }
    return;
  }
  if (buffered() && _primitive->deviceInfo().simulated == 0 && _event != nullptr) {
    _event->registerEvent(nQoMRL110::kDoneEvent, status);
    _doneRegistered = status.isNotFatal();
  }
  if (status.isFatal()) {
    tStatus2 undo;
    releaseResource(undo);
    return;
  }
  _state = kReserved;
}

void tChangeDetectionSupervisor::linkResource(tStatus2& status) {
  if (status.isFatal()) return;
  if (_primitive != nullptr) {
    if (_readable != nullptr) _primitive->setReadable(_readable->getReadablePrimitive(status));
    if (_cdiDMA != nullptr) _primitive->setCorrelatedTransfer(_cdiDMA->getPrimitive());
    _primitive->enableLines(_settings.firstEdgeMask, _settings.secondEdgeMask, status);
    _primitive->setAcquisition(_settings.finiteFlag != 0, _settings.samplesPerChannel,
                               buffered() ? _event : nullptr);
  }
  if (status.isFatal()) {
    tStatus2 undo;
    unlinkResource(undo);
    return;
  }
  _state = kResourcesLinked;
}

void tChangeDetectionSupervisor::unlinkResource(tStatus2& status) {
  if (status.isFatal()) return;
  if (_primitive != nullptr) {
    tStatus2 local;
    _primitive->disableLines(_settings.firstEdgeMask, _settings.secondEdgeMask, local);
    status.assign(local);
    _primitive->setReadable(nullptr);
    _primitive->setCorrelatedTransfer(nullptr);
    _primitive->setSchedulerAction(nullptr);
    if (buffered()) _primitive->setDoneTarget(nullptr);
  }
  _state = kReserved;
}

void tChangeDetectionSupervisor::releaseResource(tStatus2& status) {
  if (status.isFatal()) return;
  if (_primitive != nullptr) handBack(&_settings.identifier, _facade, status);
  _primitive = nullptr;
  if (_doneRegistered && _event != nullptr) {
    tStatus2 local;
    _event->unregisterEvent(nQoMRL110::kDoneEvent, local);
    status.assign(local);
    _doneRegistered = false;
  }
  _state = kLinked;
}

void tChangeDetectionSupervisor::unlink(tStatus2& status) {
  if (status.isFatal()) return;
  _readable = nullptr;
  _cdiDMA = nullptr;
  _action = nullptr;
  _state = kInitialized;
}

void tChangeDetectionSupervisor::control(uint32_t code, nQoMRL100::iControlParameterBlock*,
                                         nQoMRL100::iControlParameterBlock* out, tStatus2& status) {
  if (status.isFatal()) return;
  if (_primitive == nullptr) {
    setCode(status, kNullPointer, {kFile, 384});
    return;
  }
  switch (code) {
    case kCommit:
      if (buffered()) _primitive->allocateBuffer(_settings.bufferSize, status);
      if (status.isFatal()) {
        tStatus2 undo;
        _primitive->releaseBuffer(undo);
        return;
      }
      _state = kCommitted;
      return;
    case kStart: start(status); return;
    case kStop: stop(status); return;
    case kUncommit:
      if (buffered()) _primitive->releaseBuffer(status);
      _state = kResourcesLinked;
      return;
    case kQueryOverflow: queryOverflow(out, status); return;
    default: setCode(status, kNotSupported, {kFile, 476});
  }
}

void tChangeDetectionSupervisor::start(tStatus2& status) {
  if (drivesHardware()) {
    _primitive->clearForStart();
    if (_action != nullptr) {
      _action->started(status);
      _primitive->setSchedulerAction(_action);
    }
    _primitive->start(status);
  }
  if (status.isFatal()) {
    tStatus2 undo;
    stop(undo);
    return;
  }
  _state = kRunning;
}

// The action is released only when one is held: a task with only readable
// lines has none.
void tChangeDetectionSupervisor::stop(tStatus2& status) {
  if (drivesHardware()) {
    tStatus2 local;
    _primitive->stop(local);
    status.assign(local);
    if (_action != nullptr) {
      local.clear();
      _action->release(local);
      status.assign(local);
    }
  }
  if (buffered()) {
    const tStatus2 completion;
    _primitive->signalDone(completion, status);
  }
  _state = kCommitted;
}

void tChangeDetectionSupervisor::queryOverflow(nQoMRL100::iControlParameterBlock* out,
                                               tStatus2& status) {
  tParameterBlockValidateHelper::checkNotNull(out, status);
  if (out == nullptr || status.isFatal()) return;
  tStatus2 local;
  out->writeU32(_primitive->takeErrorFlags() ? 1 : 0, local.code);
  tParameterBlockValidateHelper::mergeValidationStatus(local, status);
}

void tChangeDetectionSupervisor::requestCancel(tStatus2&) {
  if (_state != kRunning || _primitive == nullptr) return;
  _primitive->abort();
  _primitive->signalReaders();
}

void tChangeDetectionSupervisor::commitCancel(tStatus2& status) {
  if (status.isNotFatal()) cancelByState(*this, _state, status);
}

nQoMSRL100::iInputStream* tChangeDetectionSupervisor::getInputStreamPtr(tStatus2&) {
  return buffered() ? _primitive : nullptr;
}

}  // namespace nQoUdR100
