#include "supervisors/dio/tChangeDetectionSupervisor.h"

#include "frame/freshStatus.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mrl/iControlParameterBlock.h"
#include "mrl/iPrimitiveSupervisorMap.h"
#include "mrl/iResourceBroker.h"
#include "reservation/castAnswer.h"
#include "reservation/tSingularResourcePool.h"

namespace nQoUdR100 {

namespace {

using nQoMDBG100::tStatus2;
using tPool = tSingularResourcePool<tChangeDetectionPrimitive*>;

template <class Interface>
Interface* lookUp(nQoMRL100::iPrimitiveSupervisorMap& map, uint32_t key, tStatus2& status,
                  unsigned line) {
  if (status.isFatal() || key == tChangeDetectionSupervisor::kNoKey) return nullptr;
  return nQoMRTB100::castAnswer<Interface>(map.lookup(key, status), status,
                                           {tChangeDetectionSupervisor::kFile, line});
}

}  // namespace

void tChangeDetectionSupervisor::deploy(const nQoMRL100::iPrimitiveSettings& settings,
                                        tStatus2& status) {
  if (status.isFatal()) return;
  if (const tChangeDetectionSettings* own = castSettings(settings, status)) adopt(*own, status);
}

void tChangeDetectionSupervisor::link(nQoMRL100::iPrimitiveSupervisorMap& map, tStatus2& status) {
  if (status.isFatal()) return;
  const tChangeDetectionSettingsFields& deployed = _settings.deploying().supervisorRecord();
  _readable =
      lookUp<nQoCDR100::iDigReadablePrimSup>(map, deployed.readableSupervisorKey, status, 141);
  _cdiDMA =
      lookUp<iCDI_DMATransferSupervisor>(map, deployed.cdiDMATransferSupervisorKey, status, 147);
  auto* scheduler = lookUp<nQoMAS100::iSchedulerActionSupervisor>(
      map, deployed.schedulerActionSupervisorKey, status, 153);
  if (scheduler != nullptr) _action = scheduler->getSchedulerAction(status);
  if (status.isFatal()) {
    _readable = nullptr;
    _cdiDMA = nullptr;
    _action = nullptr;
    return;
  }
  _state = kPlainLinked;
}

void tChangeDetectionSupervisor::reserveResource(tStatus2& status) {
  if (status.isFatal()) return;
  nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(status);
  if (broker == nullptr || status.isFatal()) return;
  nQoMRL100::iLeafResourcePool* answer = broker->reserve(&_identifier.next(), _facade, status);
  const auto* pool = answer == nullptr
                         ? nullptr
                         : static_cast<tPool*>(answer->___CPPKRLDynamicCast(&tPool::___classID));
  tChangeDetectionPrimitive* const primitive = pool != nullptr ? pool->getResource() : nullptr;
  if (primitive == nullptr) {
    setCode(status, kNullDestination, {kFile, pool == nullptr ? 205u : 192u});
    if (answer != nullptr) {
      tStatus2 dropped;
      broker->release(&_identifier.next(), _facade, dropped);
    }
    return;
  }
  hold(primitive);
  _identifier.hold(true);
  const bool buffered = _settings.deploying().supervisorRecord().unbufferedFlag == 0;
  if (buffered && primitive->deviceInfo().simulated == 0 && _event != nullptr) {
    _event->registerEvent(nQoMRL110::kDoneEvent, status);
    _doneRegistered = status.isNotFatal();
  }
  if (status.isFatal()) {
    tStatus2 undo;
    releaseResource(undo);
    return;
  }
  _state = kPlainReserved;
}

// Out of the entries' reach, as unlinkResource resets it: a code, a read or a
// cancel under way on another thread (a stop reads the done target, a read
// the acquisition) has left the primitive before this fills it; a read that
// waits is ended first. The reads wait again from here on.
void tChangeDetectionSupervisor::linkResource(tStatus2& status) {
  if (status.isFatal()) return;
  const tChangeDetectionSettingsFields& deployed = _settings.deploying().supervisorRecord();
  resetOutOfReach([&](tChangeDetectionPrimitive* primitive) {
    if (primitive == nullptr) return;
    primitive->allowReads();
    if (_readable != nullptr) primitive->setReadable(_readable->getReadablePrimitive(status));
    if (_cdiDMA != nullptr) primitive->setCorrelatedTransfer(_cdiDMA->getPrimitive());
    _enabledMasks[0] = deployed.firstEdgeMask;
    _enabledMasks[1] = deployed.secondEdgeMask;
    primitive->enableLines(_enabledMasks[0], _enabledMasks[1], status);
    _linesEnabled = status.isNotFatal();
    _buffered = deployed.unbufferedFlag == 0;
    primitive->setAcquisition(deployed.finiteFlag != 0, deployed.samplesPerChannel,
                              _buffered ? _event : nullptr);
  });
  linked(status);
}

// Once the reads that wait have ended and a read, a code or a cancel under
// way on another thread has left the primitive: a run that a start under way
// began is stopped, the lines that linkResource enabled are disabled, and
// what it gave the primitive is taken back, whatever a deploy changed since.
void tChangeDetectionSupervisor::unlinkResource(tStatus2& status) {
  if (status.isFatal()) return;
  resetOutOfReach([&](tChangeDetectionPrimitive* primitive) {
    if (primitive != nullptr) reset(*primitive, status);
  });
  noteUnlinked();
}

// The same out of reach, from whatever the codes left since: also a run that
// a start after unlinkResource began, and the buffer of a commit. The reads
// have left by then, so the end that made them leave is lifted: the next
// owner's reads wait as a fresh primitive's do. Then the pool goes back
// under the identifier it was granted under.
void tChangeDetectionSupervisor::releaseResource(tStatus2& status) {
  if (status.isFatal()) return;
  handBackGrant(status, [&](tChangeDetectionPrimitive* primitive) {
    if (primitive == nullptr) return;
    reset(*primitive, status);
    onFreshStatus(status, [&](tStatus2& s) { primitive->releaseBuffer(s); });
    primitive->allowReads();
  });
  if (_doneRegistered && _event != nullptr) {
    tStatus2 local;
    _event->unregisterEvent(nQoMRL110::kDoneEvent, local);
    status.assign(local);
    _doneRegistered = false;
  }
  noteReleased();
}

// A run that a start began and no stop ended is stopped (its done report
// goes to the event the primitive still holds), then the lines that
// linkResource enabled disabled, once, and the readable lines, the
// correlated transfer, the action and the event taken back, on a status of
// their own merged into the caller's.
void tChangeDetectionSupervisor::reset(tChangeDetectionPrimitive& primitive, tStatus2& status) {
  tStatus2 local;
  if (_run.load()) stop(primitive, local);
  if (_linesEnabled) primitive.disableLines(_enabledMasks[0], _enabledMasks[1], local);
  _linesEnabled = false;
  status.assign(local);
  primitive.setReadable(nullptr);
  primitive.setCorrelatedTransfer(nullptr);
  primitive.setSchedulerAction(nullptr);
  primitive.setDoneTarget(nullptr);
}

void tChangeDetectionSupervisor::unlink(tStatus2& status) {
  if (status.isFatal()) return;
  _readable = nullptr;
  _cdiDMA = nullptr;
  _action = nullptr;
  _state = kPlainInitialized;
}

void tChangeDetectionSupervisor::onControl(tChangeDetectionPrimitive* primitive, uint32_t code,
                                           nQoMRL100::iControlParameterBlock*,
                                           nQoMRL100::iControlParameterBlock* out,
                                           tStatus2& status) {
  if (primitive == nullptr) {
    setCode(status, kNullPointer, {kFile, 384});
    return;
  }
  if (code == kQueryOverflow) {
    queryOverflow(*primitive, out, status);
    return;
  }
  primitive->underRunLock([&] { onRunCode(*primitive, code, status); }, status);
}

// Under the run lock, so that each code finds the run record as the last
// code left it and leaves it matching the board.
void tChangeDetectionSupervisor::onRunCode(tChangeDetectionPrimitive& primitive, uint32_t code,
                                           tStatus2& status) {
  switch (code) {
    case kPlainCommit:
      // The buffer a run fills is replaced only once the run is stopped,
      // with its done report; a buffer of the size asked for is kept.
      if (buffered() && _run.load() && primitive.wouldReplaceBuffer(_bufferSize))
        onFreshStatus(status, [&](tStatus2& s) { stop(primitive, s); });
      if (buffered()) primitive.allocateBuffer(_bufferSize, status);
      if (status.isFatal()) {
        tStatus2 undo;
        primitive.releaseBuffer(undo);
        return;
      }
      _state = kPlainCommitted;
      return;
    case kPlainStart:
      // A start under a run ends that run first, with the reports its stop
      // owes (the action's release, the done report): every start begins a
      // run afresh. A stop that failed answers and starts nothing.
      if (_run.load()) onFreshStatus(status, [&](tStatus2& s) { stop(primitive, s); });
      if (status.isNotFatal()) start(primitive, status);
      return;
    case kPlainStop:
      // Only a run is stopped: a stop with none (a second stop, a stop after
      // the uncommit) releases no action and reports nothing; it ends the
      // reads that wait for the next start all the same.
      if (_run.load())
        stop(primitive, status);
      else
        primitive.endRun();
      return;
    case kPlainUncommit:
      // A run is stopped first, with its done report; then the buffer of the
      // commit goes, also after a deploy to unbuffered or a failed stop.
      if (_run.load()) onFreshStatus(status, [&](tStatus2& s) { stop(primitive, s); });
      onFreshStatus(status, [&](tStatus2& s) { primitive.releaseBuffer(s); });
      _state = kPlainResourcesLinked;
      return;
    default: setCode(status, kNotSupported, {kFile, 476});
  }
}

// Every start begins a run afresh, so that each stop reports done once; a
// start that fails part way is stopped as a run.
void tChangeDetectionSupervisor::start(tChangeDetectionPrimitive& primitive, tStatus2& status) {
  primitive.clearForStart();
  _run = true;
  if (drivesHardware()) {
    if (_action != nullptr) {
      _action->started(status);
      primitive.setSchedulerAction(_action);
    }
    primitive.start(status);
  }
  if (status.isFatal()) {
    tStatus2 undo;
    stop(primitive, undo);
    return;
  }
  _state = kPlainRunning;
}

// The run ends first, with or without hardware, and its reads under way
// leave. The action is released only when one is held: a task with only
// readable lines has none. The done report goes to the event that linkResource gave
// the primitive, which a buffered task has and an unbuffered one has not.
void tChangeDetectionSupervisor::stop(tChangeDetectionPrimitive& primitive, tStatus2& status) {
  primitive.endRun();
  if (drivesHardware()) {
    tStatus2 local;
    primitive.stop(local);
    status.assign(local);
    if (_action != nullptr) {
      local.clear();
      _action->release(local);
      status.assign(local);
    }
  }
  const tStatus2 completion;
  primitive.signalDone(completion, status);
  _run = false;
  _state = kPlainCommitted;
}

// The flags are taken (and cleared) only when there is a block to answer in.
void tChangeDetectionSupervisor::queryOverflow(tChangeDetectionPrimitive& primitive,
                                               nQoMRL100::iControlParameterBlock* out,
                                               tStatus2& status) {
  const bool flagged = out != nullptr && primitive.takeErrorFlags();
  answer(out, flagged ? 1 : 0, status);
}

void tChangeDetectionSupervisor::endCalls(tChangeDetectionPrimitive& primitive) {
  primitive.endReads();
}

void tChangeDetectionSupervisor::onCancel(tChangeDetectionPrimitive& primitive, tStatus2&) {
  if (!_run.load()) return;
  primitive.abort();
  primitive.signalReaders();
}

void tChangeDetectionSupervisor::commitCancel(tStatus2& status) {
  if (status.isNotFatal()) tPlainSupervisor::commitCancel(status);
}

nQoMSRL100::iInputStream* tChangeDetectionSupervisor::getInputStreamPtr(tStatus2&) {
  return buffered() && held() != nullptr ? this : nullptr;
}

template <class tRead>
uint32_t tChangeDetectionSupervisor::readHeld(tStatus2& status, tRead read) {
  if (status.isFatal()) return 0;
  return use([&](tChangeDetectionPrimitive* primitive) -> uint32_t {
    if (primitive != nullptr) return read(*primitive);
    setCode(status, kNullPointer, {kFile, 384});
    return 0;
  });
}

uint32_t tChangeDetectionSupervisor::read(uint32_t count, uint32_t timeout, uint8_t* destination,
                                          const uint8_t* mask,
                                          nQoMSRL100::iStreamAttributes* attributes,
                                          tStatus2& status) {
  return readHeld(status, [&](tChangeDetectionPrimitive& primitive) {
    return primitive.read(count, timeout, destination, mask, attributes, status);
  });
}

uint32_t tChangeDetectionSupervisor::readAvailable(uint32_t count, uint8_t* destination,
                                                   tStatus2& status) {
  return readHeld(status, [&](tChangeDetectionPrimitive& primitive) {
    return primitive.readAvailable(count, destination, status);
  });
}

}  // namespace nQoUdR100
