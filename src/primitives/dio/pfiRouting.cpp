#include "primitives/dio/pfiRouting.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "registers/registerId.h"

namespace nQoUdP100 {
namespace {

constexpr uint32_t kFirstSelect = 87;  // tPFI_Output_Select_1
constexpr uint32_t kSelectCount = 6;

}  // namespace

void routeToOutputLatch(nQoUdRLP100::nTavik::tTavik& map, uint32_t lines, unsigned force,
                        nQoMDBG100::tStatus2& status) {
  for (uint32_t line = 0; line < 16; ++line) {
    if ((lines & (1u << line)) == 0) continue;
    auto* select = map.registerObject(kFirstSelect + line / 3);
    if (select == nullptr) {
      nQoUdR100::setCode(status, nQoUdR100::kBadIndex, {"tTavik", 425});
      return;
    }
    select->setField(line % 3 + 1, kStaticOutputSelect, &status);
  }
  for (uint32_t i = 0; i < kSelectCount; ++i) {
    auto* select = map.registerObject(kFirstSelect + i);
    if (select == nullptr) {
      nQoUdR100::setCode(status, nQoUdR100::kBadIndex, {"tTavik", 388});
      return;
    }
    select->flush(&status, force);
  }
}

}  // namespace nQoUdP100
