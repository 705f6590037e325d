#include "counters/tCtrPair.h"

namespace nQoTIO100 {

namespace {
constexpr nQoUdR100::tStatusSite kNoMapping{"tMemMappedAddressSpace", 68,
                                            nQoUdR100::kCounterComponent};
constexpr nQoUdRLP100::tDeviceTreeSites kShortFormSites{ctrPairSite(kNoBusLine),
                                                        ctrPairSite(kNoBusLine), kNoMapping};
constexpr nQoUdRLP100::tDeviceTreeSites kLongFormSites{ctrPairSite(kNoBusMappedLine),
                                                       ctrPairSite(kNoBusMappedLine), kNoMapping};
}  // namespace

tCtrPair::tCtrPair(uint32_t device, uint32_t window, nQoMDBG100::tStatus2* status)
    : _groups(kSites, status) {
  if (_space.openFromDeviceTree(device, 0, 0, window, kCtrPairWindowLength, kShortFormSites,
                                status))
    setUpTables(nullptr, status);
}

tCtrPair::tCtrPair(uint32_t device, uint32_t first, uint32_t second, uint32_t window,
                   nQoMDBG100::tStatus2* status)
    : _groups(kSites, status) {
  if (_space.openFromDeviceTree(device, first, second, window, kCtrPairWindowLength, kLongFormSites,
                                status))
    setUpTables(nullptr, status);
}

tCtrPair::tCtrPair(uint32_t device, uint32_t window, const nQoUdRLP100::nTavik::tTavik& board,
                   nQoMDBG100::tStatus2* status)
    : _groups(kSites, status) {
  if (_space.openFromDeviceTree(device, 0, 0, window, kCtrPairWindowLength, kShortFormSites,
                                status))
    setUpTables(&board, status);
}

tCtrPair::tCtrPair(iBus* bus, uint32_t window, nQoMDBG100::tStatus2* status)
    : _groups(kSites, status) {
  if (_space.openOverBus(bus, window, ctrPairSite(kNullBusLine), status))
    setUpTables(nullptr, status);
}

tCtrPair::~tCtrPair() { _space.close(); }

void tCtrPair::setUpTables(const nQoUdRLP100::nTavik::tTavik* board, nQoMDBG100::tStatus2* status) {
  if (nQoUdRLP100::failed(status)) return;
#define QO_CTR_PAIR_LINK(at, name, place, bits, kind, lockGroup, ...) \
  name.attach(this, _groups.group(lockGroup));                        \
  enterObject(name);
  QO_CTR_PAIR_REGISTERS(QO_CTR_PAIR_LINK)
#undef QO_CTR_PAIR_LINK
  _groups.setUp(kCtrPairGroupMembers);
  clearDirtyTable();
  if (board != nullptr) {
    G0_DMA_Control.shareWith(board->Write_01B8);
    G1_DMA_Control.shareWith(board->Write_01BA);
    Interrupt_G0_Enable.shareWith(board->Interrupt_A_Enable);
    Interrupt_G1_Enable.shareWith(board->Interrupt_B_Enable);
  }
  reset(status);
}

void tCtrPair::reset(nQoMDBG100::tStatus2* status) {
  if (nQoUdRLP100::failed(status)) return;
#define QO_CTR_PAIR_RESTORE(at, name, ...) \
  if (!name.restore(status) && nQoUdRLP100::failed(status)) return;
  QO_CTR_PAIR_REGISTERS(QO_CTR_PAIR_RESTORE)
#undef QO_CTR_PAIR_RESTORE
}

}  // namespace nQoTIO100
