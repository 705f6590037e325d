#include "primitives/ai/tAIImmediateDMATransferPrimitive.h"

#include "orb/castToClass.h"
#include "primitives/common/dmaChannelSelectCode.h"
#include "tavik/tTavikTraits.h"

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;
using nQoUdRLP100::nTavik::tTavikTraits;

namespace {
constexpr uint8_t kSelectBits = 0x0F;
}  // namespace

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
  if (status.isFatal()) return;
  nQoUdRLP100::tRegisterLockGroup* group = _map->lockGroup(kSelectGroup);
  group->acquire(tTavikTraits::kSites.at(tTavikTraits::kSites.lockAcquire), &status);
  if (status.isFatal()) return;
  auto& target = _map->Write_0009;
  target.writeRegister(static_cast<uint8_t>((target.getRegister() & ~kSelectBits) | code), &status,
                       1);
  tStatus2 release;
  group->release(&release);
  status.assign(release);
  _map->flushBus(&status);
}

}  // namespace nQoUdP100
