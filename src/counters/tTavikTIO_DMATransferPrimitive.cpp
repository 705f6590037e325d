#include "counters/tTavikTIO_DMATransferPrimitive.h"

#include "counters/tCtrPairTraits.h"
#include "frame/statusCodes.h"
#include "primitives/common/dmaChannelSelectCode.h"
#include "registers/tScopedLockSelection.h"

namespace nQoUdR100 {

namespace {
template <class tRegister>
void update(tRegister& target, uint32_t value, nQoMDBG100::tStatus2& status) {
  target.setRegister(static_cast<typename tRegister::tValue>(value), &status);
  target.flush(&status, 0);
}
}  // namespace

tTavikTIO_DMATransferPrimitive::~tTavikTIO_DMATransferPrimitive() {
  for (uint32_t counter = 0; counter < 2; ++counter) {
    nQoMDBG100::tStatus2 disconnected;
    if ((_joined >> counter & 1) != 0)
      tTavikTIO_DMATransferPrimitive::disconnect(0, counter, disconnected);
  }
}

void tTavikTIO_DMATransferPrimitive::connect(uint32_t channel, uint32_t counter,
                                             nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || counter > 1) return;
  if (channel >= kChannelCount) {
    setCode(status, kRefused, nQoTIO100::ctrPairSite(nQoTIO100::kBadChannelLine));
    return;
  }
  _joined |= 1u << counter;
  select(counter, nQoUdP100::dmaChannelSelectCode(channel), status);
  requests(counter, true, status);
}

void tTavikTIO_DMATransferPrimitive::disconnect(uint32_t, uint32_t counter,
                                                nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || counter > 1) return;
  // Each step on a status of its own: a failed select still stops the
  // requests. A failed step keeps the record, for the destructor.
  nQoMDBG100::tStatus2 selected, stopped;
  select(counter, 0, selected);
  requests(counter, false, stopped);
  if (selected.isNotFatal() && stopped.isNotFatal()) _joined &= ~(1u << counter);
  status.assign(selected);
  status.assign(stopped);
}

void tTavikTIO_DMATransferPrimitive::enableDMA(uint32_t counter, nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || counter > 1) return;
  _joined |= 1u << counter;
  requests(counter, true, status);
}

void tTavikTIO_DMATransferPrimitive::disableDMA(uint32_t counter, nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || counter > 1) return;
  requests(counter, false, status);
}

void tTavikTIO_DMATransferPrimitive::select(uint32_t counter, uint32_t code,
                                            nQoMDBG100::tStatus2& status) {
  const nQoUdRLP100::tScopedLockSelection<nQoUdRLP100::nTavik::tTavik> locked(*_map, {kSelectGroup},
                                                                              &status);
  if (status.isFatal()) return;
  auto& target = _map->Write_000B;
  const unsigned shift = 4 * counter;
  update(target, (target.getRegister() & ~(0xFu << shift)) | (code << shift), status);
}

void tTavikTIO_DMATransferPrimitive::requests(uint32_t counter, bool on,
                                              nQoMDBG100::tStatus2& status) {
  auto change = [&](auto& target) {
    const uint32_t soft = target.getRegister();
    update(target, on ? soft | 1u : soft & ~1u, status);
  };
  if (counter == 0)
    change(_map->Write_01B8);
  else
    change(_map->Write_01BA);
}

}  // namespace nQoUdR100
