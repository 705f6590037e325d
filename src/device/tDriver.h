// The per-board driver: the platform creates one by class name for every
// board it finds, binds it to the board's device-tree node with initialize and
// drives it with control codes: 8 brings the board up (resources, routing
// node, pools), 1 rebuilds it, 2 and 3 follow its removal and re-arrival, 12
// and 13 reserve and release the whole device, 5 and 6 claim the routing
// registrar, and 7, 11, 19, 28, 32, 35, 36 answer queries.
//
//   nQoUdR100::tDriver* driver = ...;   // through the class registry
//   driver->initialize(guid, handle, status);
//   driver->control(8, nullptr, nullptr, status);
//   bool idle = driver->isIdle(0, 0, nullptr);   // no call running, no pool held
//
// The driver counts the control calls in progress and, apart, the
// reservations its pools hold; it is idle when both are 0.
#pragma once

#include <cstdint>

#include "bus/iDeviceNode.h"
#include "bus/iDeviceTree.h"
#include "device/tBoardResources.h"
#include "device/tBoardRouting.h"
#include "device/tChildDeviceGUIDList.h"
#include "device/tMIO_GUIDIdentifier.h"
#include "frame/tClassRegistration.h"
#include "frame/tDeviceInfo.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "mrl/iControlParameterBlock.h"
#include "mrl/iDriver.h"
#include "mrl/iResourceBroker.h"
#include "mrl/tDeviceEventRegistration.h"
#include "mrl/tGeneralIdentifier.h"
#include "orb/tGUID.h"
#include "reservation/tDriverLoadFailureResourcePool.h"
#include "sync/tSyncAtomicU32.h"

namespace nQoUdR100 {

class tPlaceholderPool;

class tDriver final : public nQoMRL100::tBaseDriver,
                      public nQoMRL100::iDriver,
                      public iDeviceNodeObserver,
                      public tModuleObject {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tDriver";
  static inline void* ___classID = nullptr;
  // The product kind whose boards announce themselves through a device event.
  static constexpr uint32_t kEventBusKind = 4;
  static constexpr uint32_t kDeviceEventKind = 36;

  tDriver() = default;
  // Not removed: releases a load failure, unregisters the device and tears
  // down; removed: removes the placeholder. Then the device-event record.
  ~tDriver() override;
  tDriver(const tDriver&) = delete;
  tDriver& operator=(const tDriver&) = delete;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;
  nQoORB100::tClass getClass(int& status) const override;

  void initialize(const nQoORB100::tGUID& identifier, uint32_t deviceHandle,
                  nQoMDBG100::tStatus2& status) override;
  void control(uint32_t code, nQoMRL100::iControlParameterBlock* in,
               nQoMRL100::iControlParameterBlock* out, nQoMDBG100::tStatus2& status) override;
  bool isIdle(uint32_t first, uint32_t second, const int* code) const override;

  // Every reservation of the device meets the failure's code until released;
  // a second failure replaces the first once its own pool is registered (when
  // that fails, the first keeps answering).
  void registerLoadFailure(const nQoMDBG100::tStatus2& failure, nQoMDBG100::tStatus2& status);
  void releaseLoadFailure(nQoMDBG100::tStatus2& status);

  // The device event of a board of kind 4 only announces it; removal and
  // re-arrival come as control codes.
  bool nodeArrived(iDeviceNode*, int* status) override { return *status >= 0; }
  void nodeRemoved(iDeviceNode*, int*) override {}

  const nQoUdP100::tDeviceInfo& deviceInfo() const { return _info; }
  const tBoardResources& resources() const { return _resources; }
  const tBoardRouting& routing() const { return _routing; }
  bool removed() const { return _removed; }

 private:
  using tStatus2 = nQoMDBG100::tStatus2;
  using tBlock = nQoMRL100::iControlParameterBlock;
  struct tCode;
  static const tCode kCodes[];
  struct tLoadFailure;

  void rebuild(tBlock* out, tStatus2& status);
  void removal(tBlock* out, tStatus2& status);
  void rearrival(tBlock* out, tStatus2& status);
  void claim(tBlock* out, tStatus2& status);
  void unclaim(tBlock* out, tStatus2& status);
  void bringUp(tBlock* out, tStatus2& status);
  void reserveDevice(tBlock* out, tStatus2& status);
  void releaseDevice(tBlock* out, tStatus2& status);
  void answer(uint32_t code, tBlock* out, tStatus2& status);
  void writeChildren(tBlock* out, tStatus2& status);
  void reserveLoadFailure(tBlock* out, tStatus2& status);

  void createResources(tStatus2& status);
  void registerPools(tStatus2& status);
  void unregisterDevice(tStatus2& status);
  void tearDown();
  void installPlaceholder(tStatus2& status);
  void removePlaceholder();
  // Unregisters the load-failure pools from link on, each by pool (status
  // dropped), and destroys those the broker gave back; a refused one stays in
  // the chain for the next drop.
  void dropLoadFailures(tLoadFailure** link);
  // At destruction: drops the pools, then unregisters those the broker still
  // holds by the device identifier they were registered under.
  void dropLoadFailuresForGood();
  void registerDeviceEvent(tStatus2& status);
  bool deviceGUIDIsZero() const { return _guid.low == 0 && _guid.high == 0; }

  nQoORB100::tGUID _guid{};
  uint32_t _deviceHandle = nQoUdP100::tDeviceInfo::kNoDeviceHandle;
  iDeviceNode* _node = nullptr;
  tDeviceNodeListenerRecord _eventRecord{kDeviceEventKind, 1, 0, ~0u, this};
  tDeviceNodeListenerRecord* _eventRecords[1] = {&_eventRecord};
  bool _eventRegistered = false;
  // Control calls in progress, and reservations the board's pools hold.
  tSyncAtomicU32 _calls;
  tSyncAtomicU32 _holds;
  const tProductDescriptor* _descriptor = nullptr;
  tChildDeviceGUIDList* _children = nullptr;
  tBoardResources _resources{&_holds};
  tBoardRouting _routing;
  nQoMRL100::tDeviceEventRegistration* _deviceEvents = nullptr;
  uint32_t _productId = 0;
  uint32_t _attribute9 = 0x3F3F3F3F;  // "????"
  nQoMRL100::iResourceBroker* _broker = nullptr;
  bool _removed = false;
  tPlaceholderPool* _placeholder = nullptr;
  // The newest load-failure pool first, then older ones the broker has not
  // given back yet.
  tLoadFailure* _loadFailure = nullptr;
  tMIO_GUIDIdentifier _deviceIdentifier;
  bool _deviceReserved = false;
  bool _registrarClaimed = false;
  // Never set here; pool registration and code 32 still honour it.
  uint32_t _registrationSuppressed = 0;
  nQoUdP100::tDeviceInfo _info;
};

}  // namespace nQoUdR100
