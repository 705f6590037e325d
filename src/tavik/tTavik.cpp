#include "tavik/tTavik.h"

#include <type_traits>

namespace nQoUdRLP100::nTavik {

namespace {
constexpr nQoUdR100::tStatusSite kNoBus{kTavikFile, 1118};
constexpr nQoUdR100::tStatusSite kNoMapping{"regmapsupport/tMemMappedAddressSpace", 68};
constexpr tMemMappedAddressSpace::tDeviceTreeSites kShortFormSites{
    {kTavikFile, 1140}, {kTavikFile, 1140}, kNoMapping};
constexpr tMemMappedAddressSpace::tDeviceTreeSites kLongFormSites{
    {kTavikFile, 1166}, {kTavikFile, 1166}, kNoMapping};
}  // namespace

tTavik::tTavik(iBus* bus, uint32_t window, nQoMDBG100::tStatus2* status) : _groups(kSites, status) {
  if (_space.openOverBus(bus, window, kNoBus, status)) setUpTables(status);
}

tTavik::tTavik(uint32_t device, uint32_t window, nQoMDBG100::tStatus2* status)
    : _groups(kSites, status) {
  if (_space.openFromDeviceTree(device, 0, 0, window, kWindowLength, kShortFormSites, status))
    setUpTables(status);
}

tTavik::tTavik(uint32_t device, uint32_t first, uint32_t second, uint32_t window,
               nQoMDBG100::tStatus2* status)
    : _groups(kSites, status) {
  if (_space.openFromDeviceTree(device, first, second, window, kWindowLength, kLongFormSites,
                                status))
    setUpTables(status);
}

tTavik::~tTavik() { _space.close(); }

void tTavik::setUpTables(nQoMDBG100::tStatus2* status) {
  if (failed(status)) return;
#define QO_TAVIK_LINK(index, name, offset, width, kind, group, ...) link(name, group);
#define QO_TAVIK_LINK_ELEMENT(at, array, element, offset, width, kind, group, ...) \
  static_assert(t##array::kRow.index + (element) == (at));                         \
  static_assert((element) < std::extent_v<decltype(array)>);                       \
  array[element].place(offset, at);                                                \
  link(array[element], group);
  QO_TAVIK_REGISTERS(QO_TAVIK_LINK, QO_TAVIK_LINK_ELEMENT)
#undef QO_TAVIK_LINK
#undef QO_TAVIK_LINK_ELEMENT
  _groups.setUp(kTavikGroupMembers);
  clearDirtyTable();
  markAllDirty(status);
}

// The status is checked once; a register that cannot be reached has reported
// it, and the walk stops there.
void tTavik::markAllDirty(nQoMDBG100::tStatus2* status) {
  if (failed(status)) return;
#define QO_TAVIK_RESTORE(index, name, ...) \
  if (!name.restore(status) && failed(status)) return;
#define QO_TAVIK_RESTORE_ELEMENT(index, array, element, ...) \
  if (!array[element].restore(status) && failed(status)) return;
  QO_TAVIK_REGISTERS(QO_TAVIK_RESTORE, QO_TAVIK_RESTORE_ELEMENT)
#undef QO_TAVIK_RESTORE
#undef QO_TAVIK_RESTORE_ELEMENT
}

}  // namespace nQoUdRLP100::nTavik
