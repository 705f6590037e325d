// The CDIO dispatcher of a Tavik board: iCDIODispatcher over the board
// interrupt dispatcher, one row per source (its slot, the board dispatcher's
// switch operations and the source's bit in the CDIO status at 0x224). It
// owns nothing.
//
//   tTavikCDIODispatcher cdio(&boardDispatcher);
//   cdio.attachCDIOverrunHandler(&handler, &handler, status);   // board source 23
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "mdbg/tStatus2.h"
#include "primitives/cdio/iCDIODispatcher.h"
#include "tavik/tTavikInterruptDispatcher.h"

namespace nQoUdP100 {

struct tCDIOSourceRow {
  using tDispatcher = nQoUdRLP100::tTavikInterruptDispatcher;
  tCDIOSource slot;
  void (tDispatcher::*enable)(nQoMDBG100::tStatus2&);
  void (tDispatcher::*disable)(nQoMDBG100::tStatus2*);
  uint8_t statusBit;  // of the CDIO status, the read side of 0x224
};

// clang-format off
inline constexpr std::array<tCDIOSourceRow, kCDIOSourceCount> kCDIOSources{{
    {kCDIFIFOSource,        &tCDIOSourceRow::tDispatcher::enableCDIOSource0,
                            &tCDIOSourceRow::tDispatcher::disableCDIOSource0, 18},
    {kCDIBufferErrorSource, &tCDIOSourceRow::tDispatcher::enableCDIOSource1,
                            &tCDIOSourceRow::tDispatcher::disableCDIOSource1, 20},
    {kCDIOverrunSource,     &tCDIOSourceRow::tDispatcher::enableCDIOSource2,
                            &tCDIOSourceRow::tDispatcher::disableCDIOSource2, 19},
    {kCDOFIFOSource,        &tCDIOSourceRow::tDispatcher::enableCDIOSource4,
                            &tCDIOSourceRow::tDispatcher::disableCDIOSource4, 2},
    {kCDOBufferErrorSource, &tCDIOSourceRow::tDispatcher::enableCDIOSource5,
                            &tCDIOSourceRow::tDispatcher::disableCDIOSource5, 4},
    {kCDOOverrunSource,     &tCDIOSourceRow::tDispatcher::enableCDIOSource6,
                            &tCDIOSourceRow::tDispatcher::disableCDIOSource6, 3},
    {kCDOFIFOEmptySource,   &tCDIOSourceRow::tDispatcher::enableCDIOSource7,
                            &tCDIOSourceRow::tDispatcher::disableCDIOSource7, 0},
}};
// clang-format on

constexpr bool inSlotOrder() {
  for (uint32_t slot = 0; slot < kCDIOSources.size(); ++slot)
    if (kCDIOSources[slot].slot != slot) return false;
  return true;
}
static_assert(inSlotOrder(), "CDIO source rows out of slot order");

class tTavikCDIODispatcher final : public iCDIODispatcher {
 public:
  explicit tTavikCDIODispatcher(nQoUdRLP100::tTavikInterruptDispatcher* board) : _board(board) {}

#define QO_CDIO_ENABLE(name, slot) \
  void enable##name##Interrupt(nQoMDBG100::tStatus2& status) override { enable(slot, status); }
#define QO_CDIO_DISABLE(name, slot) \
  void disable##name##Interrupt(nQoMDBG100::tStatus2* status) override { disable(slot, status); }
#define QO_CDIO_DETACH(name, slot)                                                            \
  void detach##name##Handler(iPrimary*, iSecondary*, nQoMDBG100::tStatus2* status) override { \
    detach(slot, true, status);                                                               \
  }                                                                                           \
  void detach##name##Handler(iPrimary*, nQoMDBG100::tStatus2* status) override {              \
    detach(slot, false, status);                                                              \
  }
#define QO_CDIO_ATTACH(name, slot)                                                       \
  void attach##name##Handler(iPrimary* primary, iSecondary* secondary,                   \
                             nQoMDBG100::tStatus2& status) override {                    \
    attach(slot, primary, secondary, true, status);                                      \
  }                                                                                      \
  void attach##name##Handler(iPrimary* primary, nQoMDBG100::tStatus2& status) override { \
    attach(slot, primary, nullptr, false, status);                                       \
  }
  QO_CDIO_SOURCES(QO_CDIO_ENABLE)
  QO_CDIO_SOURCES(QO_CDIO_DISABLE)
  QO_CDIO_SOURCES(QO_CDIO_DETACH)
  QO_CDIO_SOURCES(QO_CDIO_ATTACH)
#undef QO_CDIO_ENABLE
#undef QO_CDIO_DISABLE
#undef QO_CDIO_DETACH
#undef QO_CDIO_ATTACH

  void enableWhileArmed(tCDIOSource slot, const std::atomic<uint32_t>& armed,
                        nQoMDBG100::tStatus2& status) override;
  void removeHandlers(tCDIOSource slot, const iPrimary* primary) override;

 private:
  // Each runs the source's switch as one bus atomic operation.
  void enable(tCDIOSource slot, nQoMDBG100::tStatus2& status);
  void disable(tCDIOSource slot, nQoMDBG100::tStatus2* status);
  void attach(tCDIOSource slot, iPrimary* primary, iSecondary* secondary, bool both,
              nQoMDBG100::tStatus2& status);
  void detach(tCDIOSource slot, bool both, nQoMDBG100::tStatus2* status);

  nQoUdRLP100::tTavikInterruptDispatcher* _board;
};

}  // namespace nQoUdP100
