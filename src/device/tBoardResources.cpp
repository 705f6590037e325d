#include "device/tBoardResources.h"

#include <type_traits>
#include <utility>

#include "device/boardParts.h"
#include "device/poolInstantiations.h"
#include "device/tCounterProductTable.h"
#include "frame/kernelShims.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mrl/digitalResourceNames.h"
#include "mrl/iResourceBroker.h"
#include "mrl/tDigMaskedReservationStrategy.h"
#include "mrl/tSharedImmedDigResource.h"
#include "primitives/dio/iImmedDigPrimitive.h"
#include "primitives/dio/tTavikProgPowerupPrimitive.h"
#include "reservation/primitiveTypeNames.h"
#include "reservation/tVirtualReservationStrategy2.h"

namespace nQoUdR100 {

using nQoMDBG100::tStatus2;

namespace {

constexpr char kFile[] = "tDriver";
// Growth of the driver's lists: pools, port strategies and registrations.
constexpr tStatusSite kChangeDetection{kFile, 1169};
constexpr tStatusSite kFrontConnectorReserver{kFile, 1186};
constexpr tStatusSite kPFIReserver{kFile, 1188};
constexpr tStatusSite kPoolList{kFile, 1194};
constexpr tStatusSite kStrategyList{kFile, 1196};
constexpr tStatusSite kRegistrationList{kFile, 1198};
constexpr tStatusSite kPoolAllocation{kFile, 1201};
constexpr tStatusSite kCounterContainer{kFile, 1213};
constexpr tStatusSite kPowerupPrimitive{kFile, 1262};
constexpr tStatusSite kTerminalGroups{kFile, 1402};

// The counters' type name, which the shared table of pool type names lacks.
constexpr char kCounterName[] = "nQoTIOR100::tTIOCounterResource";

constexpr uint32_t kCounterCount = 2;

// The number of the pools of the digital timing entry.
constexpr uint32_t kTimingNumber = 2;

// The device's PFI reserver: no table, every PFI line.
constexpr uint32_t kPFILines = 16;

// The power-up kinds of the DIO part.
enum : uint32_t { kClearPowerup = 0, kEveryPort = 1, kSinglePort = 2, kSinglePortFixed = 3 };
// The single-port primitive: its EEPROM entry, its port, the nibble split
// used when the record carries a digital power-up value.
constexpr uint32_t kSinglePortEntry = 0;
constexpr uint32_t kSinglePortNumber = 1;
constexpr uint32_t kNibbleSplit = 4;

// Deletes the elements last to first and gives the array's block back.
template <class T>
void destroyAll(tGrowableArray<T*>& array) {
  for (std::size_t i = array.size(); i > 0; --i) delete array[i - 1];
  array.clear();
  tGrowableArray<T*> released(std::move(array));
}

template <class P>
using tCountedSingular = tRefCountingResourcePoolWrapper<tSingularResourcePool<P*>, P*>;
template <class Pool, class P>
using tCounted = tRefCountingResourcePoolWrapper<Pool, P>;
using tPortStrategy = tVirtualReservationStrategy2<nQoCDR110::tDigMaskedReservationStrategy>;
using tPowerupPoolWrapper = tCounted<tProgPowerupPool, nQoSDR000::iProgPowerupPrim*>;

// Builds a module-owned object into member when the status is clean; a
// failed allocation sets kOutOfMemory at the site.
template <class T, class M, class... Args>
void build(M*& member, const tStatusSite& site, tStatus2& status, Args&&... arguments) {
  if (status.isFatal()) return;
  member = new tModuleOwned<T>(std::forward<Args>(arguments)...);
  if (member == nullptr) setCode(status, kOutOfMemory, site);
}

template <class T>
void deleteMember(T*& member) {
  delete member;
  member = nullptr;
}

// The record of the power-up primitive as a port's line state: its mask
// means 1 = input where the record's enable mask means 1 = drives.
nQoUdP100::tLineState lineState(const nQoSDR000::tPowerupEntry& entry) {
  return {1, ~entry.enable, entry.value};
}

// Port 1 takes n - 1 records of the multi-port primitive: n is 2 when the
// first two ports' second words are (2, 8), else 3.
uint32_t powerupPortCount(const nQoUdP100::tDIODescription& dio) {
  return dio.ports[0].secondWord == 2 && dio.ports[1].secondWord == 8 ? 2 : 3;
}

// A pointer a pool is built over is one of its primitives; null is none.
template <class T>
bool isBacking(const T& argument) {
  if constexpr (std::is_pointer_v<T>) return argument != nullptr;
  return true;
}

}  // namespace

// A row names its pools by the shared table of pool type names, or, where
// typeName is kPrimitiveTypeNameCount, by a fixed name of the platform's.
struct tBoardResources::tRegistrationRow {
  tPrimitiveTypeName typeName;
  uint32_t number;
  const char* fixedName;
  tPools tBoardResources::*pools;
  // What follows the row's registrations, if anything.
  void (tBoardResources::*then)(tStatus2& status) = nullptr;

  const char* name() const {
    return typeName == kPrimitiveTypeNameCount ? fixedName : primitiveTypeName(typeName).c_str();
  }
};

// Within a row of several pools the numbers count up from the row's.
const tBoardResources::tRegistrationRow tBoardResources::kRegistrationOrder[] = {
    {kAI_ADCName, 0, nullptr, &tBoardResources::_adc},
    {kAIDeviceFIFOName, 0, nullptr, &tBoardResources::_aiFIFO},
    {kAI_DMATransferName, 0, nullptr, &tBoardResources::_aiDMA},
    {kAIImmediateTransferName, 0, nullptr, &tBoardResources::_aiImmediate},
    {kAIImmediateDMATransferName, 0, nullptr, &tBoardResources::_aiImmediateDMA},
    {kAIInterruptTransferName, 0, nullptr, &tBoardResources::_aiInterrupt},
    {kAIScanningFrontEndName, 0, nullptr, &tBoardResources::_frontEnd},
    {kAISubsystemName, 0, nullptr, &tBoardResources::_aiSubsystem},
    {kAITimingControllerName, 0, nullptr, &tBoardResources::_aiTiming},
    {kAI_WFNSCPrimitiveName, 0, nullptr, &tBoardResources::_wfnsc},
    {kAnalogTriggerName, 0, nullptr, &tBoardResources::_analogTrigger},
    {kAO_DACName, 0, nullptr, &tBoardResources::_aoDACs},
    {kAO_FIFOName, 0, nullptr, &tBoardResources::_aoFIFO},
    {kAOGroundRefName, 0, nullptr, &tBoardResources::_aoGroundReference},
    {kAOTimingName, 0, nullptr, &tBoardResources::_aoTiming},
    {kPrimitiveTypeNameCount, 0, kCounterName, &tBoardResources::_counters},
    {kFREQ_OUTName, 0, nullptr, &tBoardResources::_frequencyOutput},
    {kCDI_DMATransferName, 0, nullptr, &tBoardResources::_cdiDMA},
    {kCDI_FIFOName, 0, nullptr, &tBoardResources::_cdiFIFO},
    {kCDIInterruptTransferName, 0, nullptr, &tBoardResources::_cdiInterrupt},
    {kCDIImmediateTransferName, 0, nullptr, &tBoardResources::_cdiImmediate},
    {kCDO_DMATransferName, 0, nullptr, &tBoardResources::_cdoDMA},
    {kCDO_FIFOName, 0, nullptr, &tBoardResources::_cdoFIFO},
    {kCDOInterruptTransferName, 0, nullptr, &tBoardResources::_cdoInterrupt},
    {kCDOImmediateTransferName, 0, nullptr, &tBoardResources::_cdoImmediate},
    {kImmedDigWriteRedirectorName, 0, nullptr, &tBoardResources::_redirector},
    {kChangeDetectionPrimName, 0, nullptr, &tBoardResources::_changeDetectionPool},
    {kPrimitiveTypeNameCount, kTimingNumber, nQoCDR100::kHWTimingControllerName,
     &tBoardResources::_hwTiming},
    {kPrimitiveTypeNameCount, kTimingNumber, nQoCDR100::kSWTimingControllerName,
     &tBoardResources::_swTiming},
    {kPrimitiveTypeNameCount, 0, nQoCDR100::kImmedDigPrimName, &tBoardResources::_staticPorts},
    {kImmedDigLatchingPrimName, 0, nullptr, &tBoardResources::_latchingPorts},
    {kPrimitiveTypeNameCount, kTimingNumber, nQoCDR100::kImmedDigPrimName,
     &tBoardResources::_teskLines},
    {kPrimitiveTypeNameCount, kTimingNumber, nQoCDR100::kTESKCommRoutingPrimName,
     &tBoardResources::_commRouting, &tBoardResources::handOverDigitalReservers},
    {kTavikLineFilterPrimitiveName, 0, nullptr, &tBoardResources::_lineFilters},
    {kPrimitiveTypeNameCount, 0, nQoSDR000::kProgPowerupPrimName, &tBoardResources::_powerupPool},
    {kEEPROMName, 0, nullptr, &tBoardResources::_eeprom},
    {kCalibrationPWMName, 0, nullptr, &tBoardResources::_referenceVoltage},
};

// One step of the teardown: a member's pools, then what goes with them.
struct tBoardResources::tTeardownStep {
  tPools tBoardResources::*pools;
  void (tBoardResources::*then)() = nullptr;
};

// The driver's teardown order. destroy() takes the power-up pool and
// primitive and the digital reservers down before all of these. The shared
// port resources go before the ports' pools they stand in front of, those
// before the strategies the pools share; the counters' pools before the
// counter resources and the container; the change-detection pool before its
// primitive.
const tBoardResources::tTeardownStep tBoardResources::kTeardownOrder[] = {
    {&tBoardResources::_commRouting},
    {&tBoardResources::_teskLines},
    {&tBoardResources::_swTiming},
    {&tBoardResources::_hwTiming},
    {&tBoardResources::_latchingPorts},
    {&tBoardResources::_staticPorts},
    {&tBoardResources::_latchingPortPools},
    {&tBoardResources::_staticPortPools, &tBoardResources::destroyPortStrategies},
    {&tBoardResources::_frequencyOutput},
    {&tBoardResources::_counters, &tBoardResources::destroyCounters},
    {&tBoardResources::_cdiInterrupt},
    {&tBoardResources::_cdiImmediate},
    {&tBoardResources::_cdiFIFO},
    {&tBoardResources::_cdiDMA},
    {&tBoardResources::_cdoImmediate},
    {&tBoardResources::_cdoInterrupt},
    {&tBoardResources::_cdoFIFO},
    {&tBoardResources::_cdoDMA},
    {&tBoardResources::_redirector},
    {&tBoardResources::_aoTiming},
    {&tBoardResources::_aoGroundReference},
    {&tBoardResources::_aoFIFO},
    {&tBoardResources::_aoDACs},
    {&tBoardResources::_wfnsc},
    {&tBoardResources::_aiTiming},
    {&tBoardResources::_aiSubsystem},
    {&tBoardResources::_frontEnd},
    {&tBoardResources::_aiInterrupt},
    {&tBoardResources::_aiImmediateDMA},
    {&tBoardResources::_aiImmediate},
    {&tBoardResources::_aiDMA},
    {&tBoardResources::_aiFIFO},
    {&tBoardResources::_adc},
    {&tBoardResources::_lineFilters},
    {&tBoardResources::_changeDetectionPool, &tBoardResources::destroyChangeDetection},
    {&tBoardResources::_eeprom},
    {&tBoardResources::_referenceVoltage},
    {&tBoardResources::_analogTrigger},
};

template <class Pool, class... Args>
void tBoardResources::addPool(tPools& pools, tStatus2& status, Args&&... arguments) {
  if (status.isFatal()) return;
  auto* pool = new tModuleOwned<Pool>(std::forward<Args>(arguments)...);
  tBoardPool* entry = pool != nullptr ? new tBoardPool(pool) : nullptr;
  if (entry == nullptr) {
    delete pool;
    setCode(status, kOutOfMemory, kPoolAllocation);
  } else if (!pools.append(entry)) {
    delete entry;
    setCode(status, kOutOfMemory, kPoolList);
  } else {
    entry->backed = (isBacking(arguments) && ...);
  }
}

template <class P>
void tBoardResources::addSingular(tPools& pools, P* primitive, tStatus2& status) {
  addPool<tCountedSingular<P>>(pools, status, _useCount, primitive);
}

void tBoardResources::create(uint32_t handle, const nQoORB100::tGUID& identity,
                             const nQoUdP100::tDeviceInfo* info, tStatus2& status,
                             tCapabilityTable::tRecords records) {
  if (status.isFatal()) return;
  _identity = identity;
  _board = new nQoUdP100::tUdSeriesDevice(handle, identity, info, status, records);
  if (_board == nullptr) {
    setCode(status, kOutOfMemory, kPoolAllocation);
    return;
  }
  if (status.isFatal()) {
    delete _board;
    _board = nullptr;
    return;
  }
  if (_board->analogTrigger() != nullptr)
    addPool<tSingularResourcePool<nQoUdP100::tBaseAnalogTriggerPrimitive*>>(
        _analogTrigger, status, _board->analogTrigger());
  createAI(status);
  createAO(status);
  createCDIO(status);
  createCounters(handle, status);
  createDigital(status);
  createLineFilters(status);
  createCalibration(status);
  _ready = status.isNotFatal();
}

void tBoardResources::createAI(tStatus2& status) {
  const nQoUdP100::tAISubsystem* ai = _board->aiSubsystem();
  if (ai == nullptr) return;
  const nQoUdP100::tAITransferList* transfers = _board->record()->ai->transfers;
  addSingular<nQoUdP100::tBaseAI_ADCPrimitive>(_adc, ai->converter(), status);
  addSingular<nQoUdP100::tBaseAIDeviceFIFOPrimitive>(_aiFIFO, ai->fifo(), status);
  if (transfers != nullptr) {
    if (transfers->dma != 0)
      addSingular<nQoUdP100::tBaseAI_DMATransferPrimitive>(_aiDMA, ai->dma(), status);
    if (transfers->immediate != 0)
      addSingular<nQoUdP100::iAIImmediateTransferPrimitive>(_aiImmediate, ai->immediate(), status);
    if (transfers->immediateDMA != 0)
      addSingular<nQoUdP100::tBaseAIImmediateDMATransferPrimitive>(_aiImmediateDMA,
                                                                   ai->immediateDMA(), status);
    if (transfers->interrupt != 0)
      addSingular<nQoUdP100::tBaseAIInterruptTransferPrimitive>(_aiInterrupt, ai->interrupt(),
                                                                status);
  }
  addSingular<nQoUdP100::tBaseAIScanningFrontEndPrimitive>(_frontEnd, ai->frontEnd(), status);
  addSingular<nQoUdP100::tBaseAITimingControllerPrimitive>(_aiTiming, ai->timing(), status);
  addSingular<nQoUdP100::tBaseAISubsystem>(_aiSubsystem, _board->aiSubsystem(), status);
  if (ai->wfnsc() != nullptr)
    addSingular<nQoUdP100::tBaseAI_WFNSCPrimitive>(_wfnsc, ai->wfnsc(), status);
}

// One pool per DAC of the AO part's count, in DAC order; past the DACs the
// subsystem holds, a pool holds no primitive.
void tBoardResources::createAO(tStatus2& status) {
  const nQoUdP100::tTavikAOSubsystem* ao = _board->aoSubsystem();
  if (ao == nullptr || status.isFatal()) return;
  const nQoUdP100::tAODescription& part = *_board->record()->ao;
  if (!_aoDACs.reserve(part.channelCount)) {
    setCode(status, kOutOfMemory, kPoolList);
    return;
  }
  for (uint32_t i = 0; i < part.channelCount && status.isNotFatal(); ++i)
    addSingular<nQoUdP100::tBaseAO_DACPrimitive>(_aoDACs, ao->dac(i), status);
  addSingular<nQoUdP100::tBaseAO_FIFOPrimitive>(_aoFIFO, ao->fifo(), status);
  if (part.groundReference != 0)
    addSingular<nQoUdP100::tBaseAOGroundRefPrimitive>(_aoGroundReference, ao->groundReference(),
                                                      status);
  addSingular<nQoUdP100::tBaseAOTimingControllerPrimitive>(_aoTiming, ao->timingController(),
                                                           status);
}

void tBoardResources::createCDIO(tStatus2& status) {
  const nQoUdP100::tTavikCDIOSubsystem* cdio = _board->cdioSubsystem();
  if (cdio == nullptr) return;
  addSingular<nQoUdP100::tBaseCDI_DMATransferPrimitive>(_cdiDMA, cdio->cdiDMATransfer(), status);
  addSingular<nQoUdP100::tBaseCDI_FIFOPrimitive>(_cdiFIFO, cdio->cdiFIFO(), status);
  addSingular<nQoUdP100::tBaseCDIImmediateTransferPrimitive>(_cdiImmediate,
                                                             cdio->cdiImmediateTransfer(), status);
  addSingular<nQoUdP100::tBaseCDO_DMATransferPrimitive>(_cdoDMA, cdio->cdoDMATransfer(), status);
  addSingular<nQoUdP100::tBaseCDO_FIFOPrimitive>(_cdoFIFO, cdio->cdoFIFO(), status);
  addSingular<nQoUdP100::tBaseCDOImmediateTransferPrimitive>(_cdoImmediate,
                                                             cdio->cdoImmediateTransfer(), status);
  addPool<tCounted<tInfiniteResourcePool<nQoUdP100::iImmedDigWriteRedirector*>,
                   nQoUdP100::iImmedDigWriteRedirector*>>(_redirector, status, _useCount,
                                                          cdio->redirector());
  addSingular<nQoUdP100::tBaseCDIInterruptTransferPrimitive>(_cdiInterrupt,
                                                             cdio->cdiInterruptTransfer(), status);
  addSingular<nQoUdP100::tBaseCDOInterruptTransferPrimitive>(_cdoInterrupt,
                                                             cdio->cdoInterruptTransfer(), status);
  createChangeDetection(status);
}

// Change detection watches the static lines through the DIO subsystem's
// latching primitives, so it needs that subsystem.
void tBoardResources::createChangeDetection(tStatus2& status) {
  nQoUdP100::tDIOSubsystem* dio = _board->dioSubsystem();
  if (dio == nullptr || status.isFatal()) return;
  const auto& latchings = dio->getLatchingPrimitives();
  _changeDetection = new tPCITavikChangeDetectionPrimitive(
      _board->bus()->map(), _board->bus()->dispatcher(), *_board->deviceInfo(), latchings.begin(),
      latchings.size(), status);
  if (_changeDetection == nullptr) {
    setCode(status, kOutOfMemory, kChangeDetection);
    return;
  }
  addSingular<tChangeDetectionPrimitive>(_changeDetectionPool, _changeDetection, status);
}

// Products of the counter product table: the frequency output's pool and the
// counter container over the board's bus holder.
void tBoardResources::createCounters(uint32_t handle, tStatus2& status) {
  if (status.isFatal() || _board->frequencyOutput() == nullptr) return;
  addSingular<nQoUdP100::iTavikFREQOUTPrimitive>(_frequencyOutput, _board->frequencyOutput(),
                                                 status);
  if (status.isFatal()) return;
  _counterContainer = new tTavikTIOCompositeContainer(handle, *_board->bus(), status);
  if (_counterContainer == nullptr) setCode(status, kOutOfMemory, kCounterContainer);
  if (status.isFatal()) return;
  if (!_counterResources.reserve(kCounterCount) || !_counters.reserve(kCounterCount)) {
    setCode(status, kOutOfMemory, kPoolList);
    return;
  }
  for (uint32_t number = 0; number < kCounterCount && status.isNotFatal(); ++number) {
    nQoTIOR100::iTIOCtrResource* counter = nQoTIOR100::createTIOCtrResource(
        _useCount, number, &_counterContainer->helper(), &_counterContainer->dispatcher(),
        &_counterContainer->dma(), status);
    if (counter == nullptr) return;
    _counterResources.append(counter);
    auto* entry = new tBoardPool(counter, false);
    if (entry == nullptr) {
      setCode(status, kOutOfMemory, kPoolAllocation);
      return;
    }
    _counters.append(entry);
  }
}

void tBoardResources::createDigital(tStatus2& status) {
  nQoUdP100::tDIOSubsystem* dio = _board->dioSubsystem();
  if (dio == nullptr || status.isFatal()) return;
  if (_board->record()->dio->timing != 0) {
    using tHW = nQoCDP100::iTESK_HWTimingController*;
    using tSW = nQoCDP100::iTESK_SWTimingController*;
    using tRouting = nQoCDP100::iTESKCommRoutingPrim*;
    addPool<tCounted<nQoCDR120::tDigSingularResourcePool<tHW>, tHW>>(_hwTiming, status, _useCount,
                                                                     dio->getHWTimingController());
    addPool<tCounted<nQoCDR120::tDigSingularResourcePool<tSW>, tSW>>(_swTiming, status, _useCount,
                                                                     dio->getSWTimingController());
    addPool<tCounted<nQoCDR110::tImmedDigResource, nQoCDP100::iImmedDigPrim*>>(
        _teskLines, status, _useCount, dio->getTESKLines());
    addPool<tCounted<nQoCDR120::tDigSingularResourcePool<tRouting>, tRouting>>(
        _commRouting, status, _useCount, dio->getCommRouting());
    createReservers(status);
  }
  createPorts(status);
  createPowerup(status);
}

// The device's own reservers of its front-connector lines and PFI terminals.
void tBoardResources::createReservers(tStatus2& status) {
  build<tTavikFrontConnectorDigReserver>(_portLineReserver, kFrontConnectorReserver, status,
                                         _identity);
  build<tTavikPFIDigReserver>(_pfiLineReserver, kPFIReserver, status, _identity, nullptr,
                              kPFILines);
}

// The power-up primitive of the DIO part's kind over the board's EEPROM, its
// pool, and the states it reads written to the ports. Kind 0 has no
// primitive and only clears the ports.
void tBoardResources::createPowerup(tStatus2& status) {
  const nQoUdP100::tDIODescription& dio = *_board->record()->dio;
  nQoUdP100::tEEPROM* eeprom = _board->calibration().eeprom;
  if (status.isFatal()) return;
  tPowerupPorts ports{dio.kind, {}};
  for (uint32_t i = 0; i < tPowerupPorts::kMaxPorts; ++i) ports.widths[i] = dio.powerupWidths[i];
  if (eeprom != nullptr && dio.kind == kEveryPort) {
    build<tTavikProgPowerupPrimitive>(_powerup, kPowerupPrimitive, status, eeprom, ports,
                                      powerupPortCount(dio), status);
  } else if (eeprom != nullptr && (dio.kind == kSinglePort || dio.kind == kSinglePortFixed)) {
    const uint32_t split = _board->record()->digitalPowerup != 0 ? kNibbleSplit : 0;
    build<tTavikSinglePortProgPowerupPrimitive>(_powerup, kPowerupPrimitive, status, eeprom, ports,
                                                kSinglePortEntry, kSinglePortNumber, split);
  }
  if (_powerup != nullptr) addPool<tPowerupPoolWrapper>(_powerupPool, status, _useCount, _powerup);
  applyPowerupStates(status);
}

void tBoardResources::applyPowerupStates(tStatus2& status) {
  if (status.isFatal() || _board == nullptr || _board->dioSubsystem() == nullptr) return;
  auto& primitives = _board->dioSubsystem()->getImmedDigPrimitives();
  // The subsystem builds its two static ports as full line primitives.
  auto* port0 = static_cast<nQoUdP100::iImmedDigPrimitive*>(primitives[0]);
  auto* port1 = static_cast<nQoUdP100::iImmedDigPrimitive*>(primitives[1]);
  const uint32_t kind = _board->record()->dio->kind;
  if (kind == kClearPowerup) {
    port0->applyLineState(nullptr, 0, status);
    port1->applyLineState(nullptr, 0, status);
    return;
  }
  if (_powerup == nullptr) return;
  uint32_t count = 0;
  const nQoSDR000::tPowerupEntry* entries = _powerup->readPowerupStates(count, status);
  if (entries == nullptr || status.isFatal()) return;
  // Entries past the ones read keep every line an input.
  nQoUdP100::tLineState states[tPowerupPorts::kMaxPorts];
  for (uint32_t i = 0; i < count && i < tPowerupPorts::kMaxPorts; ++i)
    states[i] = lineState(entries[i]);
  if (kind == kEveryPort) {
    port0->applyLineState(&states[0], 1, status);
    port1->applyLineState(&states[1], 1, status);
  } else {
    port0->applyLineState(nullptr, 0, status);
    port1->applyLineState(&states[0], 1, status);
  }
}

void tBoardResources::handOverDigitalReservers(tStatus2& status) {
  if (_portLineReserver == nullptr || _pfiLineReserver == nullptr) return;
  nQoUdP100::iCommRoutingPrimitive* routing = _board->dioSubsystem()->getCommRouting();
  routing->setPortLineReserver(_portLineReserver, status);
  routing->setPFILineReserver(_pfiLineReserver, status);
}

void tBoardResources::clearDigitalReservers() {
  if (_board == nullptr || _board->dioSubsystem() == nullptr) return;
  nQoUdP100::iCommRoutingPrimitive* routing = _board->dioSubsystem()->getCommRouting();
  if (routing == nullptr) return;
  tStatus2 pfi;
  routing->setPFILineReserver(nullptr, pfi);
  tStatus2 port;
  routing->setPortLineReserver(nullptr, port);
}

// Per static port: one masked strategy shared by a pool over the port and one
// over the latching port of the same index, and a shared resource in front of
// each pool.
void tBoardResources::createPorts(tStatus2& status) {
  nQoUdP100::tDIOSubsystem& dio = *_board->dioSubsystem();
  auto& ports = dio.getImmedDigPrimitives();
  auto& latchings = dio.getLatchingPrimitives();
  const std::size_t count = ports.size();
  if (status.isFatal()) return;
  if (!_portStrategies.reserve(count) || !_staticPortPools.reserve(count) ||
      !_latchingPortPools.reserve(count) || !_staticPorts.reserve(count) ||
      !_latchingPorts.reserve(count)) {
    setCode(status, kOutOfMemory, kStrategyList);
    return;
  }
  for (std::size_t i = 0; i < count && status.isNotFatal(); ++i) {
    auto* strategy = new tModuleOwned<tPortStrategy>();
    if (strategy == nullptr || !_portStrategies.append(strategy)) {
      delete strategy;
      setCode(status, kOutOfMemory, kStrategyList);
      return;
    }
    nQoCDP100::iImmedDigPrim* latching = i < latchings.size() ? latchings[i] : nullptr;
    addPool<tImmedDigPortPool>(_staticPortPools, status, ports[i], strategy, _useCount);
    addPool<tImmedDigPortPool>(_latchingPortPools, status, latching, strategy, _useCount);
    if (status.isFatal()) return;
    addPool<nQoSDR000::tSharedImmedDigResource>(_staticPorts, status, _staticPortPools[i]->pool);
    addPool<nQoSDR000::tSharedImmedDigResource>(_latchingPorts, status,
                                                _latchingPortPools[i]->pool);
  }
}

void tBoardResources::createLineFilters(tStatus2& status) {
  const auto& filters = _board->lineFilters();
  if (status.isFatal() || filters.size() == 0) return;
  if (!_lineFilters.reserve(filters.size())) {
    setCode(status, kOutOfMemory, kPoolList);
    return;
  }
  using tFilter = nQoUdP100::tTavikLineFilterPrimitive*;
  for (nQoUdP100::tPCITavikLineFilterPrimitive* filter : filters)
    addPool<tCounted<tTavikLineFilterResourcePool<tFilter>, tFilter>>(_lineFilters, status,
                                                                      _useCount, filter);
}

void tBoardResources::createCalibration(tStatus2& status) {
  const nQoUdP100::tCalibrationObjects& calibration = _board->calibration();
  if (_board->record()->calibration == nullptr) return;
  addPool<tCounted<tEEPROMResourcePool<nQoUdP100::tEEPROM*>, nQoUdP100::tEEPROM*>>(
      _eeprom, status, _useCount, calibration.eeprom);
  addSingular<nQoUdP100::iReferenceVoltagePrimitive>(_referenceVoltage, calibration.pwm, status);
}

namespace {

bool names(const char* const* list, const char* name) {
  if (list != nullptr)
    for (; *list != nullptr; ++list)
      if (strCmp(*list, name) == 0) return true;
  return false;
}

// The DIO ports' second words (2, 8) or (4, 4) mean no PFI lines 8 to 15.
bool hasUpperPFILines(const nQoUdP100::tDIODescription* dio) {
  if (dio == nullptr) return false;
  const uint32_t first = dio->ports[0].secondWord;
  const uint32_t second = dio->ports[1].secondWord;
  return !((first == 2 && second == 8) || (first == 4 && second == 4));
}

}  // namespace

const char* const* tBoardResources::buildTerminalGroups(tStatus2& status) {
  if (status.isFatal() || _board == nullptr) return nullptr;
  const tProductDescriptor& record = *_board->record();
  _terminalGroups.clear();
  bool complete = true;
  auto add = [&](const char* name) { complete = _terminalGroups.append(name) && complete; };
  add("AI");
  if (record.ao != nullptr) add("AO");
  add("CTR0");
  add("CTR1");
  if (record.routing != nullptr && record.routing->triggerBus != 0) add("TRIGBUS");
  if (hasUpperPFILines(record.dio)) add("PFI8_15");
  if (_analogTrigger.size() != 0) add("ATRIG");
  for (const char* analogPFI : {"APFI0", "APFI1"})
    if ((record.ai != nullptr && names(record.ai->terminalNames, analogPFI)) ||
        (record.ao != nullptr && names(record.ao->terminalNames, analogPFI)))
      add(analogPFI);
  add(nullptr);
  if (!complete) {
    setCode(status, kOutOfMemory, kTerminalGroups);
    return nullptr;
  }
  return _terminalGroups.begin();
}

void tBoardResources::registerPools(tStatus2& status) {
  if (status.isFatal()) return;
  nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(status);
  if (broker == nullptr) return;
  for (const tRegistrationRow& row : kRegistrationOrder) {
    const tPools& pools = this->*row.pools;
    for (std::size_t i = 0; i < pools.size(); ++i) {
      tBoardPool& entry = *pools[i];
      entry.identifier.setDeviceGUID(_identity);
      entry.identifier.setString(row.name(), status);
      entry.identifier.setIndex(row.number + static_cast<uint32_t>(i));
      if (status.isFatal()) return;
      if (!_registrations.append(&entry)) {
        setCode(status, kOutOfMemory, kRegistrationList);
        return;
      }
      broker->registerPool(&entry.identifier, entry.pool, status);
      if (status.isFatal()) return;
      entry.registered = true;
    }
    if (row.then != nullptr) (this->*row.then)(status);
    if (status.isFatal()) return;
  }
}

void tBoardResources::destroy() {
  tStatus2 scratch;
  nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(scratch);
  for (tBoardPool* entry : _registrations)
    if (entry->registered && broker != nullptr)
      broker->unregisterPool(entry->pool, scratch.clear());
  tGrowableArray<tBoardPool*> registrations(std::move(_registrations));
  destroyAll(_powerupPool);
  deleteMember(_powerup);
  deleteMember(_pfiLineReserver);
  deleteMember(_portLineReserver);
  for (const tTeardownStep& step : kTeardownOrder) {
    destroyAll(this->*step.pools);
    if (step.then != nullptr) (this->*step.then)();
  }
  tGrowableArray<const char*> terminalGroups(std::move(_terminalGroups));
  delete _board;
  _board = nullptr;
  _ready = false;
}

void tBoardResources::destroyPortStrategies() { destroyAll(_portStrategies); }

void tBoardResources::destroyCounters() {
  for (std::size_t i = _counterResources.size(); i > 0; --i)
    nQoTIOR100::destroyTIOCtrResource(_counterResources[i - 1]);
  tGrowableArray<nQoTIOR100::iTIOCtrResource*> counters(std::move(_counterResources));
  deleteMember(_counterContainer);
}

void tBoardResources::destroyChangeDetection() { deleteMember(_changeDetection); }

}  // namespace nQoUdR100
