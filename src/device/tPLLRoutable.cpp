#include "device/tPLLRoutable.h"

namespace nQoUdR100 {

void tPLLRoutable::route(uint32_t field, uint32_t value, nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || field >= kFieldCount) return;
  _pending[field] = {value, 1};
}

void tPLLRoutable::routeList(const nQoMRU210::tRouteList& list, nQoMDBG100::tStatus2& status) {
  for (const nQoMRU210::tRoute* pair = list.begin; pair != list.end; ++pair)
    route(pair->fieldId, pair->value, status);
}

bool tPLLRoutable::take(tField field, uint32_t& target) {
  if (_pending[field].pending == 0) return false;
  target = _pending[field].value;
  _pending[field].pending = 0;
  return true;
}

void tPLLRoutable::apply(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  using nQoUdP100::tPLLFields;
  uint32_t value = 0;
  if (take(kMultiplier, value)) _pll->deployField(&tPLLFields::multiplier, value);
  if (take(kDivider, value)) _pll->deployField(&tPLLFields::divider, value);
  if (!take(kReferenceSource, value)) return;
  _pll->deployField(&tPLLFields::referenceSource, value);
  _pll->commit(status);
}

}  // namespace nQoUdR100
