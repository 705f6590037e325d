#include "primitives/ai/tAIInterruptTransferPrimitive.h"

#include "orb/castToClass.h"

namespace nQoUdP100 {

namespace {
constexpr const char kFile[] = "source/qomiop/tavik/udseries/ai/tAIInterruptTransferPrimitive";
constexpr unsigned kEndTimeoutLine = 270;
constexpr unsigned kLastDrainLine = 298;
}  // namespace

tAIInterruptTransferPrimitive::tAIInterruptTransferPrimitive(
    const tAIDescription* description, tBaseAI_ADCPrimitive* converter,
    tBaseAITimingControllerPrimitive* timing, tBaseAIDeviceFIFOPrimitive* fifo,
    const tDeviceInfo& deviceInfo, nQoUdRLP100::nTavik::tTavik* map, tStatus2& status)
    : tBaseAIInterruptTransferPrimitive(description, converter, timing, fifo, deviceInfo,
                                        {kFile, kLastDrainLine}, status),
      _map(map),
      _lastConversion(map, kEndTimeout, {kFile, kEndTimeoutLine}) {}

void* tAIInterruptTransferPrimitive::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tAIInterruptTransferPrimitive, tBaseAIInterruptTransferPrimitive>(
      this, classID);
}

const void* tAIInterruptTransferPrimitive::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tAIInterruptTransferPrimitive*>(this)->___CPPKRLDynamicCast(classID);
}

bool tAIInterruptTransferPrimitive::isReady() const {
  return tBaseAIInterruptTransferPrimitive::isReady() && _map != nullptr;
}

}  // namespace nQoUdP100
