// Resource creation and pool registration of one board: builds the board
// object, one pool around every primitive it holds and the counter container,
// and registers the pools at the resource broker under {device GUID,
// primitive-type name, number}. The driver owns one, creates at bring-up and
// destroys it at teardown:
//
//   tBoardResources resources(&inUse);
//   resources.create(handle, guid, &deviceInfo, status);
//   resources.registerPools(status);
//   ...
//   resources.destroy();   // unregisters and destroys the pools, then the board
//
// Beside the pools it owns what resource creation builds of its own: the
// change-detection primitive, the device's two digital reservers (handed to
// the comm-routing primitive at registration) and the power-up primitive.
//
// Every counting pool raises the use count for each reservation it grants
// and lowers it for each release. A failure stops creation where it happened
// and leaves what was built for destroy.
#pragma once

#include <cstdint>

#include "counters/tTavikTIOCompositeContainer.h"
#include "device/tCapabilityTable.h"
#include "device/tUdSeriesDevice.h"
#include "frame/tDeviceInfo.h"
#include "frame/tGrowableArray.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "mrl/iLeafResourcePool.h"
#include "mrl/iProgPowerupPrim.h"
#include "mrl/tGeneralIdentifier.h"
#include "orb/tGUID.h"
#include "primitives/dio/tPCITavikChangeDetectionPrimitive.h"
#include "primitives/dio/tTavikPFIDigReserver.h"
#include "reservation/iReservationStrategy2.h"
#include "sync/tSyncAtomicU32.h"
#include "tior/iTIOCtrResource.h"

namespace nQoUdR100 {

// One pool of the board and the identifier it is registered under (the
// broker keeps a pointer to it).
struct tBoardPool : tModuleObject {
  // The pool is destroyed with the entry when it is owned.
  explicit tBoardPool(nQoMRL100::iLeafResourcePool* built, bool owned = true)
      : pool(built), ownsPool(owned) {}
  ~tBoardPool() {
    if (ownsPool) delete pool;
  }
  tBoardPool(const tBoardPool&) = delete;
  tBoardPool& operator=(const tBoardPool&) = delete;

  nQoMRL100::iLeafResourcePool* pool;
  bool ownsPool;
  nQoMRL100::tGeneralIdentifier identifier;
  bool registered = false;
  // Every object the pool was built over (its primitives) was there.
  bool backed = true;
};

class tBoardResources {
 public:
  using tStatus2 = nQoMDBG100::tStatus2;
  using tPools = tGrowableArray<tBoardPool*>;

  explicit tBoardResources(tSyncAtomicU32* useCount) : _useCount(useCount) {}
  ~tBoardResources() { destroy(); }
  tBoardResources(const tBoardResources&) = delete;
  tBoardResources& operator=(const tBoardResources&) = delete;

  // Nothing when the status holds an error. Builds the board object over the
  // handle (a failed board is destroyed again), then the pools. ready()
  // answers true when all of it succeeded.
  void create(uint32_t handle, const nQoORB100::tGUID& identity, const nQoUdP100::tDeviceInfo* info,
              tStatus2& status, tCapabilityTable::tRecords records = tCapabilityTable::records());
  // Nothing when the status holds an error. Registers every pool in the
  // board's registration order; a name that cannot be stored is
  // kOutOfMemory, a refused registration stops with the broker's code.
  void registerPools(tStatus2& status);
  // The board's terminal groups for its routable registrar, a null-ended
  // list that lives until destroy: "AI", "AO" with an AO part, "CTR0",
  // "CTR1", "TRIGBUS" with the routing part's trigger-bus word, "PFI8_15"
  // unless the DIO ports' second words are (2, 8) or (4, 4), "ATRIG" with the
  // analog-trigger pool, "APFI0" and "APFI1" where the AI or AO part names
  // them. Nothing (null) on an error status or before create.
  const char* const* buildTerminalGroups(tStatus2& status);
  // Writes the power-up states to static ports 0 and 1 by the DIO part's
  // kind: 0 clears both; 1 gives port 0 the first record and port 1 the
  // rest; 2 and 3 clear port 0 and give port 1 the one record. Nothing on an
  // error status, without a DIO part or for other kinds.
  void applyPowerupStates(tStatus2& status);
  // Takes the digital reservers back from the comm-routing primitive, the
  // PFI reserver first; each call on a fresh status whose result is dropped.
  void clearDigitalReservers();
  // Unregisters the registered pools, then destroys the pools and what
  // resource creation built beside them in the driver's teardown order (the
  // counter container after the frequency-output pool and before the CDIO
  // pools, change detection after the line-filter pools) and last the board
  // object; not ready afterwards.
  void destroy();

  bool ready() const { return _ready; }
  nQoUdP100::tUdSeriesDevice* board() const { return _board; }
  tTavikTIOCompositeContainer* counterContainer() const { return _counterContainer; }
  tPCITavikChangeDetectionPrimitive* changeDetection() const { return _changeDetection; }
  nQoSDR000::iProgPowerupPrim* powerup() const { return _powerup; }
  // The registered pools in registration order.
  const tGrowableArray<tBoardPool*>& registrations() const { return _registrations; }

 private:
  struct tRegistrationRow;
  static const tRegistrationRow kRegistrationOrder[];
  struct tTeardownStep;
  static const tTeardownStep kTeardownOrder[];

  template <class Pool, class... Args>
  void addPool(tPools& pools, tStatus2& status, Args&&... arguments);
  template <class P>
  void addSingular(tPools& pools, P* primitive, tStatus2& status);
  void createAI(tStatus2& status);
  void createAO(tStatus2& status);
  void createCDIO(tStatus2& status);
  void createChangeDetection(tStatus2& status);
  void createCounters(uint32_t handle, tStatus2& status);
  void createDigital(tStatus2& status);
  void createPorts(tStatus2& status);
  void createReservers(tStatus2& status);
  void createPowerup(tStatus2& status);
  void handOverDigitalReservers(tStatus2& status);
  void createLineFilters(tStatus2& status);
  void createCalibration(tStatus2& status);
  // The teardown steps that follow pools.
  void destroyPortStrategies();
  void destroyCounters();
  void destroyChangeDetection();

  tSyncAtomicU32* _useCount;
  nQoUdP100::tUdSeriesDevice* _board = nullptr;
  tTavikTIOCompositeContainer* _counterContainer = nullptr;
  nQoORB100::tGUID _identity;
  bool _ready = false;

  tPools _analogTrigger;
  tPools _adc;
  tPools _aiFIFO;
  tPools _aiDMA;
  tPools _aiImmediate;
  tPools _aiImmediateDMA;
  tPools _aiInterrupt;
  tPools _frontEnd;
  tPools _aiSubsystem;
  tPools _aiTiming;
  tPools _wfnsc;
  tPools _aoDACs;
  tPools _aoFIFO;
  tPools _aoGroundReference;
  tPools _aoTiming;
  tPools _frequencyOutput;
  // The counter library's counters 0 and 1; the entries do not own them.
  tPools _counters;
  tGrowableArray<nQoTIOR100::iTIOCtrResource*> _counterResources;
  tPools _cdiDMA;
  tPools _cdiFIFO;
  tPools _cdiInterrupt;
  tPools _cdiImmediate;
  tPools _cdoDMA;
  tPools _cdoFIFO;
  tPools _cdoInterrupt;
  tPools _cdoImmediate;
  tPools _redirector;
  tPCITavikChangeDetectionPrimitive* _changeDetection = nullptr;
  tPools _changeDetectionPool;
  tPools _hwTiming;
  tPools _swTiming;
  tPools _staticPorts;
  tPools _latchingPorts;
  tPools _teskLines;
  tPools _commRouting;
  nQoUdP100::iDigReserver* _portLineReserver = nullptr;
  nQoUdP100::iDigReserver* _pfiLineReserver = nullptr;
  tPools _lineFilters;
  nQoSDR000::iProgPowerupPrim* _powerup = nullptr;
  tPools _powerupPool;
  tPools _eeprom;
  tPools _referenceVoltage;
  // Not registered: the ports' pools behind the shared resources, and the
  // masked strategy that each port's two pools share.
  tPools _staticPortPools;
  tPools _latchingPortPools;
  tGrowableArray<iReservationStrategy2*> _portStrategies;
  tGrowableArray<tBoardPool*> _registrations;
  tGrowableArray<const char*> _terminalGroups;
};

}  // namespace nQoUdR100
