#include "primitives/ai/tAISubsystem.h"

#include "frame/freshStatus.h"
#include "orb/castToClass.h"

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;
using nQoUdR100::onFreshStatus;
using nQoUdRLP100::nTavik::tAI_Output_Mode;
using nQoUdRLP100::nTavik::tAI_Output_Select;

namespace {
// Code A from first-entry word 7, code B from word 8.
uint32_t outputSelectCode(uint32_t word) {
  constexpr uint32_t kCodes[] = {2, 3};
  return word < 2 ? kCodes[word] : 0;
}
uint32_t personalBitCode(uint32_t word) {
  constexpr uint32_t kCodes[] = {1, 0};
  return word == 1 || word == 2 ? kCodes[word - 1] : 0;
}
}  // namespace

void* tBaseAISubsystem::___CPPKRLDynamicCast(void* const* classID) {
  return classID == &___classID ? this : nullptr;
}

const void* tBaseAISubsystem::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tBaseAISubsystem*>(this)->___CPPKRLDynamicCast(classID);
}

void tBaseAISubsystem::setConfiguration(const tAISubsystemPrimitiveConfig& configuration,
                                        tStatus2& status) {
  if (status.isFatal()) return;
  _fields.deploy(configuration);
  _fields.deploying().checkStatus(status);
}

tAISubsystem::tAISubsystem(const tAIDescription* description, const tAIBoardResources& resources,
                           tStatus2& status)
    : _description(description), _resources(resources) {
  if (status.isNotFatal()) tAISubsystem::initializeHardware(status);
  const tDeviceInfo& info = *resources.deviceInfo;
  _frontEnd = new (status)
      tAIScanningFrontEndPrimitive(description->frontEnd, resources.map, resources.helper, status);
  _converter = new (status)
      tAI_ADCPrimitive(description->firstEntry, resources.map, resources.dispatcher, status);
  _timing = new (status) tTavikAITimingControllerPrimitive(
      description->firstEntry, resources.map, resources.helper, resources.dispatcher, status);
  _fifo = new (status)
      tAIDeviceFIFOPrimitive(description->fifo, resources.map, resources.dispatcher, status);
  _wfnsc = new (status) tBaseAI_WFNSCPrimitive(_timing, _converter);
  _immediate = new (status) tBaseAIImmediateTransferPrimitive(
      resources.bus, &info, _frontEnd, _wfnsc, _converter, _timing, _fifo, description, status);
  if (status.isFatal()) return;
  _immediateDMA = new (status) tAIImmediateDMATransferPrimitive(
      resources.bus, &info, _frontEnd, _converter, _timing, _fifo, resources.map,
      resources.channels, resources.channelCount, status);
  _interrupt = new (status) tAIInterruptTransferPrimitive(description, _converter, _timing, _fifo,
                                                          info, resources.map, status);
  _dma = new (status)
      tAI_DMATransferPrimitive(_converter, _timing, _fifo, info, resources.map, status);
}

tAISubsystem::~tAISubsystem() {
  delete _interrupt;
  delete _dma;
  delete _immediateDMA;
  delete _immediate;
  delete _fifo;
  delete _wfnsc;
  delete _timing;
  delete _converter;
  delete _frontEnd;
}

void* tAISubsystem::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tAISubsystem, tBaseAISubsystem>(this, classID);
}

const void* tAISubsystem::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tAISubsystem*>(this)->___CPPKRLDynamicCast(classID);
}

bool tAISubsystem::isReady() const {
  return _resources.map != nullptr && _frontEnd != nullptr && _converter != nullptr &&
         _timing != nullptr && _fifo != nullptr && _immediate != nullptr && _interrupt != nullptr;
}

void tAISubsystem::initializeHardware(tStatus2& status) {
  nQoUdRLP100::nTavik::tTavik& map = *_resources.map;
  const tAIFirstEntry* entry = _description->firstEntry;
  const tAITimingDescription* timing = _description->timing;
  const uint32_t codeA = entry != nullptr ? outputSelectCode(entry->outputSelectWord) : 0;
  const uint32_t codeB = entry != nullptr ? personalBitCode(entry->personalWord) : 0;
  _resources.helper->aiReset(&status);
  map.Joint_Reset.write_AI_Configuration_Start(true, &status);
  _resources.helper->aiConfigureOutputControl(
      tAI_Output_Select{codeA}, tAI_Output_Mode{timing != nullptr ? timing->outputMode : 0},
      codeB != 0, &status);
  map.Joint_Reset.write_AI_Configuration_End(true, &status);
  auto& bc = map.Write_00BC;
  bc.setBits(1, 0, timing != nullptr ? timing->word2 & 1 : 0, &status);
  bc.flush(&status, 0);
  map.flushBus(status.isFatal() ? nullptr : &status);
}

void tAISubsystem::transferLink(tStatus2& status) {
  switch (_committedMechanism) {
    case kImmediate: return _immediate->commitTransfer(status);
    case kInterrupt: return _interrupt->link(status);
    case kImmediateDMA: return _immediateDMA->commitChannel(status);
    case kDMA: return _dma->link(status);
    default: return;
  }
}

void tAISubsystem::transferCommit(tStatus2& status) {
  switch (_committedMechanism) {
    case kImmediate: return _immediate->armTransfer(status);
    case kInterrupt: return _interrupt->commit(status);
    case kImmediateDMA: return _immediateDMA->commit(status);
    case kDMA: return _dma->commit(status);
    default: return;
  }
}

void tAISubsystem::transferArm(tStatus2& status) {
  switch (_committedMechanism) {
    case kImmediate: return _immediate->startTransfer(status);
    case kInterrupt: return _interrupt->arm(status);
    case kImmediateDMA: return _immediateDMA->arm(status);
    case kDMA: return _dma->arm(status);
    default: return;
  }
}

void tAISubsystem::transferDisarm(tStatus2& status) {
  switch (_committedMechanism) {
    case kImmediate: return _immediate->stopTransfer(status);
    case kInterrupt: return _interrupt->disarm(status);
    case kImmediateDMA: return _immediateDMA->disarm(status);
    case kDMA: return _dma->disarm(status);
    default: return;
  }
}

void tAISubsystem::transferUncommit(tStatus2& status) {
  switch (_committedMechanism) {
    case kImmediate: return _immediate->disarmTransfer(status);
    case kInterrupt: return _interrupt->uncommit(status);
    case kImmediateDMA: return _immediateDMA->uncommit(status);
    case kDMA: return _dma->uncommit(status);
    default: return;
  }
}

void tAISubsystem::transferUnlink(tStatus2& status) {
  switch (_committedMechanism) {
    case kImmediate: return _immediate->uncommitTransfer(status);
    case kInterrupt: return _interrupt->unlink(status);
    case kImmediateDMA: return _immediateDMA->uncommitChannel(status);
    case kDMA: return _dma->unlink(status);
    default: return;
  }
}

// An arm that no disarm followed is disarmed first, in the disarm's order and
// by the transfer it armed: the members' commits reprogram the engine and
// replace or re-route what it and the transfer's channel run on.
void tAISubsystem::commit(tStatus2& status) {
  if (status.isFatal()) return;
  if (_armHeld != 0) onFreshStatus(status, [&](tStatus2& s) { disarm(s); });
  const int32_t next = _fields.take().transferMechanism;
  if (_commitHeld != 0 && _committedMechanism != next)
    onFreshStatus(status, [&](tStatus2& s) { leaveTransfer(s); });
  _committedMechanism = next;
  // Step a, the front end's first commit step, has nothing to do.
  transferLink(status);
  const uint32_t stageB = status.isNotFatal() ? 5 : 1;
  uint32_t stageA = 0;
  _frontEnd->commit(status);
  if (status.isNotFatal()) stageA = 1;
  _timing->commit(status);
  if (status.isNotFatal()) stageA = 2;
  _converter->commit(status);
  if (status.isNotFatal()) stageA = 3;
  _fifo->commit(status);
  if (status.isNotFatal()) stageA = 4;
  transferCommit(status);
  if (status.isNotFatal()) {
    _commitHeld = 1;
    return;
  }
  // A commit of a committed subsystem leaves what the commit before holds:
  // each member's failed commit gave back only what it added.
  if (_commitHeld != 0) return;
  tStatus2 undo;
  runUncommit(stageA, stageB, undo);
}

// The transfer of the last commit, when a configuration since names another:
// uncommitted and unlinked by that commit's record, each step on a status of
// its own, so that its records leave the FIFO, the converter and the
// controller before the next transfer takes them (an interrupt transfer's
// FIFO observer left behind would switch the data interrupt on at the next
// arm and drain the FIFO by programmed I/O beside a DMA channel).
void tAISubsystem::leaveTransfer(tStatus2& status) {
  onFreshStatus(status, [&](tStatus2& s) { transferUncommit(s); });
  onFreshStatus(status, [&](tStatus2& s) { transferUnlink(s); });
}

// An arm that no disarm followed (a commit since leaves it on) is disarmed
// first, in the disarm's order, so no member lets its handlers go while the
// arm's sources, channel select and run are still on.
void tAISubsystem::uncommit(tStatus2& status) {
  if (status.isFatal()) return;
  if (_armHeld != 0) onFreshStatus(status, [&](tStatus2& s) { disarm(s); });
  _commitHeld = 0;
  // A failed disarm stops none of the uncommits.
  onFreshStatus(status, [&](tStatus2& s) { runUncommit(kAllStages, kAllStages, s); });
}

// Each step on a status of its own, so that a failed step skips none after it.
void tAISubsystem::runUncommit(uint32_t stageA, uint32_t stageB, tStatus2& status) {
  if (status.isFatal()) return;
  if (stageA == 5) onFreshStatus(status, [&](tStatus2& s) { transferUncommit(s); });
  if (stageA >= 4) onFreshStatus(status, [&](tStatus2& s) { _fifo->uncommit(s); });
  if (stageA >= 3) onFreshStatus(status, [&](tStatus2& s) { _converter->uncommit(s); });
  if (stageA >= 2) onFreshStatus(status, [&](tStatus2& s) { _timing->uncommit(s); });
  if (stageA >= 1) onFreshStatus(status, [&](tStatus2& s) { _frontEnd->uncommit(s); });
  if (stageB == 5) onFreshStatus(status, [&](tStatus2& s) { transferUnlink(s); });
}

// The members and the transfer that the commit holds, and only those: an
// arm without a commit arms none and holds no arm. An arm that no disarm
// followed is disarmed first, in the disarm's order and with its reports (a
// run it holds stopped first): the arm clears the FIFO and rewrites the
// engine's registers that the held arm runs on, and each arm is answered
// once.
void tAISubsystem::arm(tStatus2& status) {
  if (status.isFatal() || _commitHeld == 0) return;
  if (_armHeld != 0) onFreshStatus(status, [&](tStatus2& s) { disarm(s); });
  _frontEnd->arm(_timing->isIdle() ? 1 : 0, status);
  _fifo->clearFIFO(&status);
  _timing->rewriteRegisters(status);
  transferArm(status);
  const bool transferArmed = status.isNotFatal();
  _fifo->arm(status);
  const bool fifoArmed = status.isNotFatal();
  _converter->arm(status);
  const bool converterArmed = status.isNotFatal();
  _frontEnd->waitForSettling(status);
  const bool settled = status.isNotFatal();
  _timing->arm(status);
  if (status.isNotFatal()) {
    _armHeld = 1;
    return;
  }
  const uint32_t stageA = settled ? 1 : converterArmed ? 3 : fifoArmed ? 4 : transferArmed ? 5 : 0;
  tStatus2 undo;
  runDisarm(stageA, undo);
}

// The steps that undo the front end's arm and the controller's register
// rewrite do nothing on this board. Each step on a status of its own.
void tAISubsystem::runDisarm(uint32_t stageA, tStatus2& status) {
  if (status.isFatal()) return;
  if (stageA == 2) onFreshStatus(status, [&](tStatus2& s) { _timing->disarm(s); });
  if (stageA >= 1 && stageA <= 3)
    onFreshStatus(status, [&](tStatus2& s) { _converter->disarm(s); });
  if (stageA >= 1 && stageA <= 4) onFreshStatus(status, [&](tStatus2& s) { _fifo->disarm(s); });
  if (stageA >= 1 && stageA <= 5) onFreshStatus(status, [&](tStatus2& s) { transferDisarm(s); });
}

// Only an arm that no disarm followed; a run that no stop ended is stopped
// first, so its record end and done report go out (its answer dropped).
void tAISubsystem::disarm(tStatus2& status) {
  if (status.isFatal() || _armHeld == 0) return;
  if (_runHeld != 0) {
    tStatus2 stopped;
    tAISubsystem::stop(stopped);
  }
  _armHeld = 0;
  runDisarm(kTimingStage, status);
}

void tAISubsystem::start(tStatus2& status) {
  _timing->start(status);
  if (status.isNotFatal()) _runHeld = 1;
}

void tAISubsystem::stop(tStatus2& status) {
  _runHeld = 0;
  _timing->stop(status);
  if (_committedMechanism == kImmediate) _immediate->notifyDone(status);
}

void tAISubsystem::bringDown() {
  tStatus2 stopped, disarmed, uncommitted;
  if (_runHeld != 0) stop(stopped);
  if (_armHeld != 0) disarm(disarmed);
  if (_commitHeld != 0) uncommit(uncommitted);
}

}  // namespace nQoUdP100
