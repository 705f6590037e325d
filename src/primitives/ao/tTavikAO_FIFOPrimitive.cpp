#include "primitives/ao/tTavikAO_FIFOPrimitive.h"

#include <algorithm>

#include "frame/freshStatus.h"
#include "frame/statusCodes.h"
#include "frame/tDeviceGUIDStatusDescriptionISRSafe.h"
#include "frame/tStatusSite.h"
#include "frame/transferLock.h"
#include "orb/castToClass.h"
#include "primitives/ao/tBaseAOTimingControllerPrimitive.h"
#include "primitives/common/dmaChannelSelectCode.h"
#include "registers/tScopedLockSelection.h"
#include "tavik/tTavikInterruptDispatcherBinders.h"
#include "tavik/tavikCodeConverters.h"

namespace nQoUdP100 {

namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::onFreshStatus;
using nQoUdRLP100::tScopedLockSelection;
using nQoUdRLP100::tTavikInterruptDispatcher;
using nQoUdRLP100::nTavik::tTavik;
namespace nTavik = nQoUdRLP100::nTavik;

constexpr const char kFile[] = "tTavikAO_FIFOPrimitive";
constexpr unsigned kLockLine = 75;

constexpr uint32_t kAOConfigurationLock = 4;
constexpr uint32_t kDMASelectLock = 19;
constexpr uint32_t kFIFOLockKind = 4;

constexpr uint32_t kErrorSource = 14;
constexpr uint32_t kRefillSource = 9;
constexpr uint32_t kSerialSource = 10;
constexpr uint32_t kSerialLines = 4;
constexpr uint32_t kAOErrorEnableBit = 5;
constexpr uint32_t kRefillEnableBit = 8;
constexpr uint32_t kUpdateFlag = 5;
constexpr uint16_t kAckAOError = 8192;
constexpr uint16_t kAckUpdate = 1024;
constexpr uint32_t kNotInSequence = 15;
constexpr uint32_t kDMARequestBit = 12;

using tEnable = void (tTavikInterruptDispatcher::*)(tStatus2&);
using tDisable = void (tTavikInterruptDispatcher::*)(tStatus2*);
constexpr tEnable kSerialEnables[] = {&tTavikInterruptDispatcher::enableAOSerialInterruptBit0,
                                      &tTavikInterruptDispatcher::enableAOSerialInterruptBit1,
                                      &tTavikInterruptDispatcher::enableAOSerialInterruptBit2,
                                      &tTavikInterruptDispatcher::enableAOSerialInterruptBit3};
constexpr tDisable kSerialDisables[] = {&tTavikInterruptDispatcher::disableAOSerialInterruptBit0,
                                        &tTavikInterruptDispatcher::disableAOSerialInterruptBit1,
                                        &tTavikInterruptDispatcher::disableAOSerialInterruptBit2,
                                        &tTavikInterruptDispatcher::disableAOSerialInterruptBit3};

bool bit(uint32_t value, uint32_t n) { return ((value >> n) & 1) != 0; }

// The FIFO mode a record programs: 2 with regeneration, whatever mode was
// deployed.
uint32_t fifoModeOf(const nQoUdP100::tAOFIFOFields& record) {
  return record.regenerateFromFIFO != 0 ? 2 : record.fifoMode;
}

void enable(tTavikInterruptDispatcher* dispatcher, tEnable which, tStatus2& status) {
  tTavikInterruptDispatcher::tAtomicStatusRefDispatcher binder(dispatcher, which, status);
  binder.exec();
}

void disable(tTavikInterruptDispatcher* dispatcher, tDisable which) {
  tStatus2 fresh;
  tTavikInterruptDispatcher::tAtomicStatusPtrDispatcher binder(dispatcher, which);
  binder.exec(&fresh);
}

}  // namespace

tTavikAO_FIFOPrimitive::tTavikAO_FIFOPrimitive(const tAODescription* description,
                                               const tAOResources& resources, tStatus2& status)
    : tBaseAO_FIFOPrimitive(description, status),
      _map(resources.map),
      _helper(resources.helper),
      _dispatcher(resources.dispatcher),
      _device(resources.device) {
  if (status.isFatal()) return;
  iSync::tParam param;
  param.kind = kFIFOLockKind;
  _lock = syncOpen(param, &status.code);
}

tTavikAO_FIFOPrimitive::~tTavikAO_FIFOPrimitive() {
  tStatus2 ignored;
  // An arm that no completion followed leaves the board first; its data
  // source, which may be gone, hears nothing.
  if (_runs.live() != 0) {
    tStatus2 locking;
    underLock(_lock,
              [&] {
                _runs.end();
                switchArmOff(ignored);
              },
              locking, {kFile, kLockLine});
  }
  // The FIFO routed to a DMA channel by a commit goes back, by its record.
  if (_writtenDMASelect != kNoDMASelect) {
    tStatus2 deselecting;
    writeDMASelect(0, deselecting);
  }
  detachHandlers(ignored);
  if (_lock != nullptr) syncClose(_lock);
}

void* tTavikAO_FIFOPrimitive::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tTavikAO_FIFOPrimitive, tBaseAO_FIFOPrimitive>(this, classID);
}

void tTavikAO_FIFOPrimitive::setTimingController(tBaseAOTimingControllerPrimitive* timing) {
  _timing.store(timing);
  _secondaryPasses.waitForPasses();
}

// Commit and uncommit ----------------------------------------------------------------

bool tTavikAO_FIFOPrimitive::validOrder(const tAOFIFOFields& settings) const {
  const uint32_t count = settings.channelCount;
  if (count == 0 || count > std::min(_maxChannels, kOrderRegisters)) return false;
  for (uint32_t k = 0; k < count; ++k)
    if (_channelOrder[k] >= kOrderRegisters) return false;
  return true;
}

void tTavikAO_FIFOPrimitive::programChannelOrder(const tAOFIFOFields& record, tStatus2& status) {
  tStatus2* s = &status;
  _helper->aoConfigureFifoOutput(true, record.channelCount - 1, s);
  for (auto& order : _map->Array_00C2) order.setBits(0xF, 0, kNotInSequence, s);
  for (uint32_t k = 0; k < record.channelCount; ++k)
    _map->Array_00C2[_channelOrder[k]].setBits(0xF, 0, k & 0xF, s);
  for (auto& order : _map->Array_00C2) order.flush(s, 0);
  _map->flushBus(s);
}

void tTavikAO_FIFOPrimitive::writeDMASelect(uint32_t code, tStatus2& status) {
  {
    const tScopedLockSelection<tTavik> locked(*_map, {kDMASelectLock}, &status);
    _map->Write_0009.setBits(0xF0, 4, code, &status);
    _map->Write_0009.flush(&status, 0);
  }
  _map->flushBus(&status);
}

void tTavikAO_FIFOPrimitive::changeDMARequest(bool on, tStatus2& status) {
  {
    const tScopedLockSelection<tTavik> locked(*_map, {kAOConfigurationLock}, &status);
    underLock(_lock,
              [&] {
                _map->Write_0184.setBits(1u << kDMARequestBit, kDMARequestBit, on ? 1 : 0, &status);
                _map->Write_0184.flush(&status, 0);
              },
              status, {kFile, kLockLine});
  }
  _map->flushBus(&status);
}

void tTavikAO_FIFOPrimitive::attachHandlers(uint32_t mechanism, tStatus2& status) {
  auto attach = [&](uint32_t source, auto& handler) {
    return _dispatcher->installHandlers(source, &handler, &handler, status);
  };
  if (_attachedError == 0 && attach(kErrorSource, _errorHandler)) _attachedError = 1;
  if (mechanism == tAOFIFOFields::kInterrupt && _attachedRefill == 0 &&
      attach(kRefillSource, _refillHandler))
    _attachedRefill = 1;
  if (_attachedSerial == 0 && attach(kSerialSource, _serial0Handler) &&
      attach(kSerialSource + 1, _serial1Handler) && attach(kSerialSource + 2, _serial2Handler) &&
      attach(kSerialSource + 3, _serial3Handler))
    _attachedSerial = 1;
}

void tTavikAO_FIFOPrimitive::detachHandlers(tStatus2& status, uint32_t kept) {
  auto detach = [&](uint32_t source) {
    if (_dispatcher->primaryHandlers[source] != nullptr)
      _dispatcher->removeHandlers(source, &status);
  };
  if (_attachedError != 0 && (kept & kErrorHandlers) == 0) {
    detach(kErrorSource);
    _attachedError = 0;
  }
  if (_attachedRefill != 0 && (kept & kRefillHandlers) == 0) {
    detach(kRefillSource);
    _attachedRefill = 0;
  }
  if ((kept & kSerialHandlers) != 0) return;
  // Serial sources attached before a failure are detached too.
  for (uint32_t line = 0; line < kSerialLines; ++line) detach(kSerialSource + line);
  _attachedSerial = 0;
}

// A commit after one that holds handlers or the data-loaded registration
// attaches and registers only what it finds missing; its failure gives back
// only those and leaves the rest as the commit before left them. A failure
// of a commit that found nothing held uncommits.

void tTavikAO_FIFOPrimitive::commit(tStatus2& status) {
  if (status.isFatal()) return;
  if (!validOrder(_fields.take())) {
    nQoUdR100::setCode(status, nQoUdR100::kBadArgument, {kFile, 170});
    return;
  }
  // An arm still outstanding is completed first, with its report: the commit
  // rewrites the channel order, the FIFO mode and the DMA select that the
  // armed generation runs on. The writes under way leave the record first.
  if (_runs.live() != 0) onFreshStatus(status, [&](tStatus2& s) { complete(s); });
  endWrites();
  const tAOFIFOFields& f = _fields.program();
  noteProgrammed(f);
  const bool dma = f.transferMechanism == tAOFIFOFields::kDMA;
  const bool regenerate = f.regenerateFromFIFO != 0;
  const uint32_t select = dmaChannelSelectCode(f.dmaChannel);
  const uint32_t handlersHeld = attachedHandlers();
  const bool observerHeld = _observed != nullptr;
  programChannelOrder(f, status);
  _helper->aoConfigureMode2(nTavik::tAO_FIFO_Mode{nTavik::encodeAOFifoMode(fifoModeOf(f))},
                            regenerate, &status);
  if (dma) {
    _writtenDMASelect = select;
    writeDMASelect(select, status);
  } else if (_writtenDMASelect != kNoDMASelect) {
    // The select of a DMA commit before a deploy of another mechanism goes;
    // a failed write leaves it to the uncommit.
    writeDMASelect(0, status);
    if (status.isNotFatal()) _writtenDMASelect = kNoDMASelect;
  }
  if (f.transferMechanism != tAOFIFOFields::kDirect) attachHandlers(f.transferMechanism, status);
  if (regenerate && dma) registerDataLoadedObserver(status);
  _writes.begin();
  _state.setCommitted();
  if (status.isNotFatal()) return;
  tStatus2 fresh;
  if (handlersHeld == 0 && !observerHeld) {
    uncommit(fresh);
    return;
  }
  detachHandlers(fresh, handlersHeld);
  if (!observerHeld) unregisterDataLoadedObserver(fresh);
}

void tTavikAO_FIFOPrimitive::uncommit(tStatus2& status) {
  if (_state.isUncommitted()) return;
  // An arm not yet completed is completed too (a commit since leaves its
  // sources on), so no source stays enabled without its handler; the writes
  // under way leave first.
  if (_runs.live() != 0) onFreshStatus(status, [&](tStatus2& s) { complete(s); });
  endWrites();
  // Each step on a status of its own: a failed removal still clears the
  // DMA select.
  onFreshStatus(status, [&](tStatus2& s) { detachHandlers(s); });
  // A failed write keeps the record, for the destructor.
  if (_writtenDMASelect != kNoDMASelect)
    onFreshStatus(status, [&](tStatus2& s) {
      writeDMASelect(0, s);
      if (s.isNotFatal()) _writtenDMASelect = kNoDMASelect;
    });
  onFreshStatus(status, [&](tStatus2& s) { unregisterDataLoadedObserver(s); });
  _state.setUncommitted();
}

// Arm, start and completion -------------------------------------------------------------

void tTavikAO_FIFOPrimitive::clearFIFO(tStatus2& status) {
  auto& clear = _map->Write_01A8;
  clear.setBits(1, 0, 1, &status);
  clear.flush(&status, 1);
  clear.setBits(1, 0, 0, &status);
  _map->flushBus(&status);
  _clearTimeout.stop(nullptr);
  _clearTimeout.clear();
  _clearTimeout.setTimeout(kClearTime, kTimerTimeUnitNanosecond, nullptr);
  _clearTimeout.start(nullptr);
  _samplesWritten = 0;
}

// The run goes by what the commit programmed (with none held, by the record
// as the last commit left it), whatever a deploy set since: a deploy of
// another mechanism finds no refill handler or no DMA select behind it.
void tTavikAO_FIFOPrimitive::arm(tStatus2& status) {
  if (status.isFatal()) return;
  tStatus2* s = &status;
  // An arm still outstanding is completed first, by its record, with its
  // report: this arm replaces the record of the mechanism that the
  // completion undoes, and its generation's one report would stand for both.
  if (_runs.live() != 0) onFreshStatus(status, [&](tStatus2& fresh) { complete(fresh); });
  const tAOFIFOFields& record = _fields.programmed();
  _armedMechanism = record.transferMechanism;
  _runTotal = record.totalSamples;
  // A new run, begun under the lock that the second pass of an error of the
  // run before looks at it in: that pass leaves this run alone.
  underLock(_lock,
            [&] {
              _runs.begin();
              _errorSeen = 0;
            },
            status, {kFile, kLockLine});
  // The writes of the run before leave the FIFO before it is cleared.
  _writes.begin();
  _writes.waitForAccesses();
  clearFIFO(status);
  for (uint32_t n = 0; n < record.channelCount; ++n) _map->Write_00A4.writeRegister(0, s, 1);
  clearFIFO(status);
  _map->Interrupt_B_Ack.writeRegister(kAckAOError, s);
  for (uint32_t line = 0; line < kSerialLines; ++line) {
    _map->AO_Serial_Interrupt_Ack.setBits(1u << line, line, 1, s);
    _map->AO_Serial_Interrupt_Ack.flush(s, 1);
  }
  // A source goes on only while a commit holds its handler in the slot.
  if (_armedMechanism != tAOFIFOFields::kDirect) {
    if (_attachedError != 0)
      enable(_dispatcher, &tTavikInterruptDispatcher::enableAOErrorInterrupt, status);
    if (_attachedSerial != 0)
      for (tEnable serial : kSerialEnables) enable(_dispatcher, serial, status);
  }
  _wroteSinceArm = 0;
  _ownStatus.clear();
  _clearTimeout.waitForTimeout(nullptr);
  _clearTimeout.stop(nullptr);
  resetDataLoaded();
  if (_armedMechanism == tAOFIFOFields::kDMA) {
    changeDMARequest(true, status);
  } else if (_armedMechanism == tAOFIFOFields::kInterrupt) {
    _samplesWritten = 0;
    _done = 0;
    if (_fifoDepth != 0) preload();
    if (_attachedRefill != 0)
      enable(_dispatcher, &tTavikInterruptDispatcher::enableGroupBInterruptBit8, status);
  }
  _state.setArmed();
  _completionReported = 0;
  if (status.isFatal()) {
    tStatus2 fresh;
    complete(fresh);
  }
}

// Only an armed FIFO starts, and by the mechanism its arm took.
void tTavikAO_FIFOPrimitive::start(tStatus2& status) {
  if (status.isFatal() || _runs.live() == 0) return;
  if (_fields.programmed().regenerateFromFIFO != 0 && _armedMechanism == tAOFIFOFields::kDMA) {
    waitForDataLoaded(status);
    changeDMARequest(false, status);
  }
  _state.setRunning();
  if (status.isFatal()) {
    tStatus2 fresh;
    restoreArmed(fresh);
  }
}

void tTavikAO_FIFOPrimitive::restoreArmed(tStatus2& status) {
  if (status.isNotFatal()) _state.setArmed();
}

void tTavikAO_FIFOPrimitive::disableSources(uint32_t groupB, uint32_t serial) {
  if (bit(groupB, kAOErrorEnableBit))
    disable(_dispatcher, &tTavikInterruptDispatcher::disableAOErrorInterrupt);
  if (bit(groupB, kRefillEnableBit))
    disable(_dispatcher, &tTavikInterruptDispatcher::disableGroupBInterruptBit8);
  for (uint32_t line = 0; line < kSerialLines; ++line)
    if (bit(serial, line)) disable(_dispatcher, kSerialDisables[line]);
}

// What completes a run runs also when the FIFO lock refused, on the caller's
// status; the refusal is merged in after it.
void tTavikAO_FIFOPrimitive::complete(tStatus2& status) {
  tStatus2 locking;
  underLock(_lock, [&] { completeLocked(status); }, locking, {kFile, kLockLine});
  status.assign(locking);
}

void tTavikAO_FIFOPrimitive::completeLocked(tStatus2& status) {
  _runs.end();
  switchArmOff(status);
  if (_completionReported == 0 && _armedMechanism != tAOFIFOFields::kDirect) {
    if (_dataSource != nullptr) _dataSource->finish(_ownStatus);
    _completionReported = 1;
  }
  // Back to committed from the arm or the run only: the timing engine's stop
  // completes a FIFO that its own codes may have uncommitted.
  if (_state.isArmed() || _state.isRunning()) _state.setCommitted();
}

void tTavikAO_FIFOPrimitive::switchArmOff(tStatus2& status) {
  _errorSeen = 1;
  // Outside a pass: the soft copies are read under the lock the passes take.
  disableSources(_dispatcher->enableSoftCopy(nQoUdRLP100::tSwitchRegister::kEnableB),
                 _dispatcher->enableSoftCopy(nQoUdRLP100::tSwitchRegister::kAOSerialEnable));
  if (_armedMechanism == tAOFIFOFields::kDMA) {
    _map->Write_0184.setBits(1u << kDMARequestBit, kDMARequestBit, 0, &status);
    _map->Write_0184.flush(&status, 0);
    _map->flushBus(&status);
  }
}

// Data ---------------------------------------------------------------------------------

void tTavikAO_FIFOPrimitive::setOwnCode(int code, unsigned line) {
  nQoUdR100::setCode(_ownStatus, code, {kFile, line});
}

void tTavikAO_FIFOPrimitive::setOwnCodeNamingDevice(int code, unsigned line) {
  auto* description =
      _device != nullptr && _ownStatus.code == 0
          ? new nQoUdR100::nQoKABBO_1_0::tDeviceGUIDStatusDescriptionISRSafe(*_device)
          : nullptr;
  nQoUdR100::setCode(_ownStatus, code, {kFile, line}, description);
}

void tTavikAO_FIFOPrimitive::preload() {
  const tAOFIFOFields& record = _fields.programmed();
  const uint32_t fifoMode = fifoModeOf(record);
  uint64_t steps = record.channelCount;
  if (fifoMode == 1) steps += _halfFIFODepth;
  if (fifoMode >= 2) steps = _fifoDepth;
  const uint64_t total = _runTotal;
  for (uint64_t n = 0; n < steps; ++n) {
    const uint32_t wrote =
        _dataSource != nullptr ? _dataSource->writeSample(_ownStatus, _samplesWritten) : 0;
    _samplesWritten += wrote;
    if (wrote == 0 || (total != 0 && _samplesWritten >= total)) {
      _done = 1;
      if (_samplesWritten != total) setOwnCodeNamingDevice(nQoUdR100::kPreloadShort, 310);
      return;
    }
  }
}

void tTavikAO_FIFOPrimitive::refill() {
  const uint64_t total = _runTotal;
  const tAOFIFOFields& record = _fields.programmed();
  const uint32_t fifoMode = fifoModeOf(record);
  while (_done == 0 && testStatusBit1(nullptr)) {
    uint64_t chunk = _bit13RefillChunk;
    if (!testStatusBit13(nullptr))
      chunk = fifoMode == 1 || fifoMode == 2 ? _halfFIFODepth : record.channelCount;
    if (total != 0) chunk = std::min(chunk, total - std::min(total, _samplesWritten));
    _refillChunk = static_cast<uint32_t>(chunk);
    const uint32_t wrote = _dataSource != nullptr
                               ? _dataSource->writeSamples(static_cast<uint32_t>(chunk), _ownStatus)
                               : 0;
    _samplesWritten += wrote;
    const bool reached = total != 0 && _samplesWritten >= total;
    if (wrote == 0 || reached) {
      _done = 1;
      if (!reached) setOwnCode(nQoUdR100::kNothingToWrite, 330);
    }
  }
}

bool tTavikAO_FIFOPrimitive::testStatusBit(uint32_t n, tStatus2* status) {
  return bit(_map->Read_0106.refresh(status), n);
}

bool tTavikAO_FIFOPrimitive::hasError(tStatus2* status) {
  const uint32_t serial = _map->Read_00A1.refresh(status);
  const uint32_t groupB = _map->Read_0106.refresh(status);
  return bit(groupB, 9) || (serial & 0xF) != 0;
}

void tTavikAO_FIFOPrimitive::writeData(const int16_t* samples, uint32_t count, tStatus2& status) {
  for (uint32_t n = 0; n < count; ++n)
    _map->Write_00A4.writeRegister(static_cast<uint32_t>(int32_t{samples[n]}), &status, 1);
  _map->flushBus(&status);
  _wroteSinceArm = 1;
}

void tTavikAO_FIFOPrimitive::endWrites() {
  _writes.end();
  _writes.waitForAccesses();
}

uint32_t tTavikAO_FIFOPrimitive::writeSamples(const int16_t* samples, uint32_t count,
                                              tStatus2& status) {
  if (status.isFatal()) return 0;
  uint32_t written = 0;
  _writes.access(_writes.live(), [&] { written = writeInRun(samples, count, status); });
  return written;
}

uint32_t tTavikAO_FIFOPrimitive::writeInRun(const int16_t* samples, uint32_t count,
                                            tStatus2& status) {
  const tAOFIFOFields& record = _fields.programmed();
  if (record.transferMechanism != tAOFIFOFields::kDirect) {
    writeData(samples, count, status);
    return count;
  }
  if (record.pulseBeforeWrite != 0) {
    const bool wroteBefore = _wroteSinceArm != 0;
    tBaseAOTimingControllerPrimitive* timing = _timing.load();
    if (!testStatusBit(kUpdateFlag, &status) && timing != nullptr)
      timing->softwareUpdatePulse(status);
    writeData(samples, count, status);
    _map->Interrupt_B_Ack.writeRegister(kAckUpdate, &status);
    if (hasError(&status)) {
      if (wroteBefore && status.code == 0)
        nQoUdR100::setCode(status, nQoUdR100::kAfterFIFOError, {kFile, 400});
      _map->Interrupt_B_Ack.write_AO_Error_Interrupt_Ack(1, &status);
      _map->AO_Serial_Interrupt_Ack.setBits(0xF, 0, 0xF, &status);
      _map->AO_Serial_Interrupt_Ack.flush(&status, 1);
    }
    return count;
  }
  const bool refused = _fifoDepth != 0 ? testStatusBit14(&status) || count >= _fifoDepth
                                       : !testStatusBit12(&status) || count >= record.channelCount;
  if (refused) {
    nQoUdR100::setCode(status, nQoUdR100::kFIFOFull, {kFile, 420});
    return 0;
  }
  writeData(samples, count, status);
  return count;
}

uint32_t tTavikAO_FIFOPrimitive::writeSample(const int16_t* sample, tStatus2& status) {
  if (status.isFatal()) return 0;
  uint32_t written = 0;
  _writes.access(_writes.live(), [&] {
    const tAOFIFOFields& record = _fields.programmed();
    const bool direct = record.transferMechanism == tAOFIFOFields::kDirect;
    if (direct && record.pulseBeforeWrite != 0) {
      written = writeInRun(sample, 1, status);
      return;
    }
    written = 1;
    if (direct && ((_fifoDepth > 1 && testStatusBit14(&status)) ||
                   (_fifoDepth == 0 && !testStatusBit12(&status)))) {
      nQoUdR100::setCode(status, nQoUdR100::kFIFOFull, {kFile, 440});
      _wroteSinceArm = 1;
      return;
    }
    writeData(sample, 1, status);
  });
  return written;
}

// Interrupts ------------------------------------------------------------------------------

tTavikAO_FIFOPrimitive::tAnswer tTavikAO_FIFOPrimitive::serveError() {
  tStatus2* none = nullptr;
  _map->Joint_Reset.write_AO_Configuration_Start(true, none);
  _map->AO_Command_1.write_AO_Disarm(true, none, 1);
  _map->Joint_Reset.write_AO_Configuration_End(true, none);
  const uint32_t groupStatus = _map->Read_0106.getRegister();
  if (bit(groupStatus, 7)) {
    disable(_dispatcher, &tTavikInterruptDispatcher::disableAOErrorInterrupt);
    _map->Interrupt_B_Ack.write_AO_Error_Interrupt_Ack(1, none);
    return tAnswer::kHandled;
  }
  disableSources(_map->Interrupt_B_Enable.getRegister(), _map->Write_00A0.getRegister());
  _map->Interrupt_B_Ack.writeRegister(kAckAOError, none);
  setOwnCode(bit(groupStatus, 12) ? nQoUdR100::kOutputBufferError : nQoUdR100::kAOError, 500);
  _done = 1;
  _errorSeen = 1;
  return tAnswer::kHandledWantsSecondary;
}

tTavikAO_FIFOPrimitive::tAnswer tTavikAO_FIFOPrimitive::serveSerial(uint32_t line) {
  disableSources(_map->Interrupt_B_Enable.getRegister(), _map->Write_00A0.getRegister());
  _map->AO_Serial_Interrupt_Ack.setBits(1u << line, line, 1, nullptr);
  _map->AO_Serial_Interrupt_Ack.flush(nullptr, 1);
  setOwnCode(nQoUdR100::kAOError, 520);
  _done = 1;
  _errorSeen = 1;
  return tAnswer::kHandledWantsSecondary;
}

tTavikAO_FIFOPrimitive::tAnswer tTavikAO_FIFOPrimitive::handleInterruptCode(uint32_t code) {
  const uint32_t groupStatus = _map->Read_0106.getRegister();
  const uint32_t groupEnable = _map->Interrupt_B_Enable.getRegister();
  tAnswer answer = tAnswer::kNothingPending;
  if (code == 0) {
    if (bit(groupEnable, kAOErrorEnableBit) && bit(groupStatus, 9)) answer = serveError();
  } else if (code == 1) {
    const bool stalled = bit(groupStatus, 14) && bit(groupStatus, 13) && !bit(groupStatus, 12);
    if (bit(groupEnable, kRefillEnableBit) && !stalled) {
      refill();
      answer = tAnswer::kHandled;
    }
  } else if (code < kCodeCount) {
    const uint32_t line = code - 2;
    if (bit(_map->Write_00A0.getRegister(), line) && bit(_map->Read_00A1.getRegister(), line))
      answer = serveSerial(line);
  }
  if (_errorSeen != 0 || (code == 1 && _done != 0)) {
    if (bit(_map->Interrupt_B_Enable.getRegister(), kRefillEnableBit))
      disable(_dispatcher, &tTavikInterruptDispatcher::disableGroupBInterruptBit8);
    if (_errorSeen != 0) answer = tAnswer::kHandledWantsSecondary;
  }
  if (answer == tAnswer::kHandledWantsSecondary) _erroredRun = _runs.live();
  return answer;
}

// Each step on a status of its own, dropped: a failed completion still
// disarms the timing controller. A pass whose run ended since (the task
// completed, and maybe armed again, before it ran) touches neither.
void tTavikAO_FIFOPrimitive::handleSecondaryInterruptCode(uint32_t) {
  const nQoUdR100::tPassCount::tInside inside(_secondaryPasses);
  tStatus2 fresh;
  tStatus2 locking;
  const bool own = _runs.actOn(
      _erroredRun.load(),
      [&](auto step) {
        underLock(_lock, step, locking, {kFile, kLockLine});
      },
      [&] { completeLocked(fresh); });
  if (!own) return;
  if (tBaseAOTimingControllerPrimitive* timing = _timing.load()) timing->disarm(fresh.clear());
}

}  // namespace nQoUdP100
