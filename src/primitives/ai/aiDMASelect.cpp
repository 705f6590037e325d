#include "primitives/ai/aiDMASelect.h"

#include "tavik/tTavikTraits.h"

namespace nQoUdP100 {

using nQoUdRLP100::nTavik::tTavikTraits;

namespace {
constexpr uint8_t kSelectBits = 0x0F;
}  // namespace

void writeAIDMASelect(nQoUdRLP100::nTavik::tTavik& map, uint8_t code,
                      nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  nQoUdRLP100::tRegisterLockGroup* group = map.lockGroup(kDMASelectLockGroup);
  group->acquire(tTavikTraits::kSites.at(tTavikTraits::kSites.lockAcquire), &status);
  if (status.isFatal()) return;
  auto& select = map.Write_0009;
  select.writeRegister(static_cast<uint8_t>((select.getRegister() & ~kSelectBits) | code), &status,
                       1);
  nQoMDBG100::tStatus2 release;
  group->release(&release);
  status.assign(release);
  map.flushBus(&status);
}

}  // namespace nQoUdP100
