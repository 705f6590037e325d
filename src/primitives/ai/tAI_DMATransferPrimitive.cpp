#include "primitives/ai/tAI_DMATransferPrimitive.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "orb/castToClass.h"
#include "primitives/ai/aiDMASelect.h"

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;

namespace {
constexpr const char kFile[] = "source/qomiop/tavik/udseries/ai/tAI_DMATransferPrimitive";
constexpr unsigned kDrainLine = 242;
}  // namespace

tAI_DMATransferPrimitive::tAI_DMATransferPrimitive(tBaseAI_ADCPrimitive* converter,
                                                   tBaseAITimingControllerPrimitive* timing,
                                                   tBaseAIDeviceFIFOPrimitive* fifo,
                                                   const tDeviceInfo& deviceInfo,
                                                   nQoUdRLP100::nTavik::tTavik* map,
                                                   tStatus2& status)
    : tBaseAI_DMATransferPrimitive(converter, timing, fifo, deviceInfo, status), _map(map) {}

tAI_DMATransferPrimitive::~tAI_DMATransferPrimitive() { switchOffArmHeld(); }

void* tAI_DMATransferPrimitive::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tAI_DMATransferPrimitive, tBaseAI_DMATransferPrimitive>(this,
                                                                                        classID);
}

const void* tAI_DMATransferPrimitive::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tAI_DMATransferPrimitive*>(this)->___CPPKRLDynamicCast(classID);
}

bool tAI_DMATransferPrimitive::isReady() const {
  return tBaseAI_DMATransferPrimitive::isReady() && _map != nullptr;
}

void tAI_DMATransferPrimitive::selectChannel(uint8_t code, tStatus2& status) {
  writeAIDMASelect(*_map, code, status);
}

void tAI_DMATransferPrimitive::waitForLastConversion(tStatus2& status) {
  tLastConversionWait(_map, kDrainTimeout, {kFile, kDrainLine}).wait(status);
}

}  // namespace nQoUdP100
