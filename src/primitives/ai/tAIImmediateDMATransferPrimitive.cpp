#include "primitives/ai/tAIImmediateDMATransferPrimitive.h"

#include "orb/castToClass.h"
#include "primitives/ai/aiDMASelect.h"
#include "primitives/common/dmaChannelSelectCode.h"

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;

tAIImmediateDMATransferPrimitive::tAIImmediateDMATransferPrimitive(
    iBus* bus, const tDeviceInfo* deviceInfo, tBaseAIScanningFrontEndPrimitive* frontEnd,
    tBaseAI_ADCPrimitive* adc, tBaseAITimingControllerPrimitive* timing,
    tBaseAIDeviceFIFOPrimitive* fifo, nQoUdRLP100::nTavik::tTavik* map,
    nQoUdRLP100::tVESKChannel* const* channels, uint32_t count, tStatus2& status)
    : tBaseAIImmediateDMATransferPrimitive(bus, deviceInfo, frontEnd, adc, timing, fifo,
                                           kSampleWidth, kPortWidth, status),
      _map(map),
      _channels(channels),
      _count(count) {}

tAIImmediateDMATransferPrimitive::~tAIImmediateDMATransferPrimitive() { switchOffArmHeld(); }

void* tAIImmediateDMATransferPrimitive::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tAIImmediateDMATransferPrimitive,
                                tBaseAIImmediateDMATransferPrimitive>(this, classID);
}

const void* tAIImmediateDMATransferPrimitive::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tAIImmediateDMATransferPrimitive*>(this)->___CPPKRLDynamicCast(classID);
}

bool tAIImmediateDMATransferPrimitive::isReady() const {
  return tBaseAIImmediateDMATransferPrimitive::isReady() && _map != nullptr && _channels != nullptr;
}

nQoUdRLP100::tVESKChannel* tAIImmediateDMATransferPrimitive::channelMapFor(uint32_t number,
                                                                           tStatus2& status) {
  if (status.isFatal() || number >= _count) return nullptr;
  return _channels[number];
}

void tAIImmediateDMATransferPrimitive::routeFIFO(uint32_t number, tStatus2& status) {
  select(dmaChannelSelectCode(number & 0xFF), status);
}

void tAIImmediateDMATransferPrimitive::select(uint8_t code, tStatus2& status) {
  writeAIDMASelect(*_map, code, status);
}

}  // namespace nQoUdP100
