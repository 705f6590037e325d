// The board object: finds the board's node and capability record, builds the
// bus holder, puts the static AI control registers into their start state and
// builds every primitive and subsystem the record calls for. It owns them
// until it is destroyed; resource creation wraps them in pools.
//
//   tUdSeriesDevice board(handle, identity, &deviceInfo, status);
//   if (board.aiSubsystem() != nullptr) ... board.aiSubsystem()->converter() ...
//
// Construction stops at the first step that finds the status failed; what was
// built stays for the destructor. A member whose allocation fails stays null
// and sets kOutOfMemory.
#pragma once

#include <cstdint>

#include "device/tCapabilityTable.h"
#include "frame/tDeviceInfo.h"
#include "frame/tGrowableArray.h"
#include "frame/tModuleObject.h"
#include "frame/tProductDescriptor.h"
#include "mdbg/tStatus2.h"
#include "orb/tGUID.h"
#include "primitives/ai/tAISubsystem.h"
#include "primitives/ao/tTavikAOSubsystem.h"
#include "primitives/calibration/pwmPrimitives.h"
#include "primitives/calibration/tTavikAnalogTriggerPrimitive.h"
#include "primitives/calibration/tTavikFREQOUTPrimitive.h"
#include "primitives/calibration/tTavikLineFilterPrimitive.h"
#include "primitives/calibration/tTavikPLLPrimitive.h"
#include "primitives/cdio/tTavikCDIOSubsystem.h"
#include "primitives/dio/tDIOSubsystem.h"
#include "primitives/eeprom/tUdSeriesCalDeviceFunctions.h"
#include "tavik/tTavikBus.h"
#include "tavik/tTavikBusDescription.h"

namespace nQoUdP100 {

// The DMA part is what the bus holder reads; it is copied from the record.
class tUdSeriesDevice : public tTavikBusDescription, public nQoUdR100::tModuleObject {
 public:
  using tStatus2 = nQoMDBG100::tStatus2;
  using tLineFilters = nQoUdR100::tGrowableArray<tPCITavikLineFilterPrimitive*>;

  // Bus kinds 2, 3, 7 and 8.
  static constexpr uint32_t kServedBusKinds = 0x18C;
  static constexpr uint32_t kSecondRegisterBank = 4;
  static constexpr uint32_t kWideChannelCount = 64;

  // The record is looked up in the records given (by default the module's
  // capability table) by the product identifier of the handle's node.
  tUdSeriesDevice(
      uint32_t handle, const nQoORB100::tGUID& identity, const tDeviceInfo* info, tStatus2& status,
      nQoUdR100::tCapabilityTable::tRecords records = nQoUdR100::tCapabilityTable::records());
  // PLL, analog trigger, PWM 0, PWM 1, AO, frequency output, CDIO, DIO, the
  // line filters last to first, AI, calibration objects, bus holder.
  ~tUdSeriesDevice();
  tUdSeriesDevice(const tUdSeriesDevice&) = delete;
  tUdSeriesDevice& operator=(const tUdSeriesDevice&) = delete;

  tTavikBus* bus() const { return _bus; }
  const nQoUdR100::tProductDescriptor* record() const { return _record; }
  iDeviceNode* node() const { return _node; }
  const nQoORB100::tGUID& identity() const { return _identity; }
  const tDeviceInfo* deviceInfo() const { return _info; }
  tAISubsystem* aiSubsystem() const { return _ai; }
  tTavikGeneralPWMPrimitive* generalPWM(uint32_t channel) const {
    return channel == 0 ? _pwm0 : _pwm1;
  }
  tTavikAnalogTriggerPrimitive* analogTrigger() const { return _analogTrigger; }
  tTavikAOSubsystem* aoSubsystem() const { return _ao; }
  tTavikCDIOSubsystem* cdioSubsystem() const { return _cdio; }
  tTavikFREQOUTPrimitive* frequencyOutput() const { return _frequencyOutput; }
  const tCalibrationObjects& calibration() const { return _calibration; }
  tDIOSubsystem* dioSubsystem() const { return _dio; }
  tTavikPLLPrimitive* pll() const { return _pll; }
  const tLineFilters& lineFilters() const { return _lineFilters; }
  bool allocationFailed() const { return _allocationFailed; }

 private:
  bool findRecord(uint32_t handle, nQoUdR100::tCapabilityTable::tRecords records, tStatus2& status);
  void setStaticAIControlStart(tStatus2& status);
  void buildAI(tStatus2& status);
  void buildAO(tStatus2& status);
  void buildLineFilters(tStatus2& status);
  void buildAnalogTrigger(tStatus2& status);
  uint32_t readSimulated() const;
  bool unsupportedVariant(unsigned line, tStatus2& status);

  tTavikBus* _bus = nullptr;
  const nQoUdR100::tProductDescriptor* _record = nullptr;
  iDeviceNode* _node = nullptr;
  nQoORB100::tGUID _identity;
  tAISubsystem* _ai = nullptr;
  tTavikGeneralPWMPrimitive* _pwm1 = nullptr;
  tTavikGeneralPWMPrimitive* _pwm0 = nullptr;
  tTavikAnalogTriggerPrimitive* _analogTrigger = nullptr;
  tTavikAOSubsystem* _ao = nullptr;
  tTavikCDIOSubsystem* _cdio = nullptr;
  tTavikFREQOUTPrimitive* _frequencyOutput = nullptr;
  tCalibrationObjects _calibration;
  tDIOSubsystem* _dio = nullptr;
  tTavikPLLPrimitive* _pll = nullptr;
  tLineFilters _lineFilters;
  bool _allocationFailed = false;
  const tDeviceInfo* _info;
};

}  // namespace nQoUdP100
