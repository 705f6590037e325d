// Route lists from the routing library, applied to a fresh Tavik map through
// the board's routable: the first byte picks the plain routable or the
// 37-pin wrapper and whether it was committed, the rest are {route
// identifier, value} pairs (shaped as pairAt says, so that most name a
// field-addressable register, a few name none or one beyond the map). The code is 0,
// -50003, -50005 or -50012 (a read-only register refuses the write), every
// lock taken is given back, every write lands on a field-addressable
// register, and nothing reaches a protected register before commit.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "device/tTavikRoutable.h"
#include "mdbg/tStatus2.h"
#include "registers/registerId.h"
#include "sim/simStatusLog.h"
#include "sim/simSync.h"
#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"
#include "support/tFreshSimulation.h"
#include "tavik/tTavik.h"

namespace {

using nQoUdRLP100::nTavik::tTavik;

constexpr std::size_t kMostPairs = 16;
constexpr uint32_t kProtectedOffsets[] = {0x028, 0x172, 0x1D0, 0x1D2, 0x1D4, 0x1D6, 0x1D8, 0x1DA};

void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz_routeList: %s\n", what);
  std::abort();
}

uint32_t word(const uint8_t* bytes) {
  return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
         uint32_t(bytes[3]) << 24;
}

// Bits 23..20 of the identifier word all set: its 25 index bits stand as
// given; 0xE there: the index is taken modulo 180 (some beyond the map); else
// it picks one of the field-addressable registers. Bit 19 set: the field bits
// stand; else the field is taken modulo 18. The value's bit 31 clear: it is
// taken modulo 64.
nQoMRU210::tRoute pairAt(const uint8_t* bytes, const std::vector<uint32_t>& addressable) {
  const uint32_t raw = word(bytes);
  const uint32_t pick = raw & 0xFFFF;
  uint32_t index = addressable[pick % addressable.size()];
  if (((raw >> 20) & 0xF) == 0xF) index = nQoUdRLP100::registerIndex(raw);
  if (((raw >> 20) & 0xF) == 0xE) index = pick % 180;
  uint32_t field = nQoUdRLP100::fieldIdentifier(raw);
  if ((raw & 0x80000) == 0) field %= 18;
  uint32_t value = word(bytes + 4);
  if ((value & 0x80000000) == 0) value &= 0x3F;
  return {nQoUdRLP100::makeRegisterId(index, field), value};
}

bool isProtected(uint32_t offset) {
  for (uint32_t protectedOffset : kProtectedOffsets)
    if (offset == protectedOffset) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  static nQoSim::tSimRegisterWindows windows;
  static const unsigned window = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  static nQoSim::tSimBus bus(windows);
  nQoSim::setStatusLogging(false);
  static const std::vector<uint32_t> addressable = [] {
    nQoMDBG100::tStatus2 status;
    tTavik map(&bus, window, &status);
    std::vector<uint32_t> indexes;
    for (uint32_t index = 0; index < nQoUdRLP100::nTavik::kRegisterCount; ++index)
      if (map.registerObject(index) != nullptr) indexes.push_back(index);
    return indexes;
  }();

  const uint8_t mode = size > 0 ? data[0] : 0;
  std::vector<nQoMRU210::tRoute> pairs;
  for (std::size_t at = 1; at + 8 <= size && pairs.size() < kMostPairs; at += 8)
    pairs.push_back(pairAt(data + at, addressable));
  {
    nQoMDBG100::tStatus2 status;
    tTavik map(&bus, window, &status);
    check(status.code == 0, "construction failed");
    nQoUdR100::tTavikRoutable plain(&map);
    nQoUdR100::tTavikWrapperFor37PinUdSeriesRoutable wrapper(&map);
    nQoUdR100::tTavikRoutable& routable = (mode & 1) != 0 ? wrapper : plain;
    const bool committed = (mode & 2) != 0;
    if (committed) routable.commit(status);
    windows.clearLog();
    nQoSim::clearSyncLog();
    routable.routeList({pairs.data(), pairs.data() + pairs.size()}, status);
    check(
        status.code == 0 || status.code == -50003 || status.code == -50005 || status.code == -50012,
        "unexpected code");

    for (uint32_t id = 1; id <= nQoUdRLP100::nTavik::kLockGroupCount; ++id) {
      int held = 0;
      for (const auto& record : nQoSim::syncLog()) {
        if (record.object != map.lockGroup(id)->lock()) continue;
        if (record.operation == nQoSim::tSyncRecord::kAcquire) ++held;
        if (record.operation == nQoSim::tSyncRecord::kRelease) --held;
      }
      check(held == 0, "a lock group left held");
    }
    for (const auto& access : windows.writes()) {
      bool found = false;
      for (uint32_t index = 0; index < nQoUdRLP100::nTavik::kRegisterCount && !found; ++index)
        found = map.registerObject(index) != nullptr &&
                tTavik::windowOffset(index) == access.offset &&
                tTavik::accessWidth(index) == access.width;
      check(found, "write outside the field-addressable registers");
      check(committed || !isProtected(access.offset), "a protected register written");
    }
  }
  nQoSim::setStatusLogging(true);
  return 0;
}
