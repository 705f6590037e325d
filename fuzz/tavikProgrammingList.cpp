// Register programming lists from outside: the bytes are {tId, value} pairs
// (little-endian 32-bit words; see pairAt for how they are shaped so that most
// pairs name a register and a small value) applied to a fresh Tavik map through the list
// function, and set one by one through setField and flushed on another fresh
// map. Every code is 0, -50003, -50005 or -50012, and every register write
// lands at the offset and width of a field-addressable register (an access
// outside the window halts in the simulated kernel layer).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "mdbg/tStatus2.h"
#include "registers/applyProgrammingList.h"
#include "registers/registerId.h"
#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"
#include "support/tFreshSimulation.h"
#include "tavik/tTavik.h"

namespace {

using nQoUdRLP100::tProgrammingPair;
using nQoUdRLP100::nTavik::tTavik;

constexpr std::size_t kMostPairs = 64;

void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz_tavikProgrammingList: %s\n", what);
  std::abort();
}

void checkCode(int code) {
  check(code == 0 || code == -50003 || code == -50005 || code == -50012, "unexpected code");
}

// Every write went to a field-addressable register, with its width.
void checkWrites(const tTavik& map, const nQoSim::tSimRegisterWindows& windows) {
  for (const auto& access : windows.writes()) {
    bool found = false;
    for (uint32_t index = 0; index < nQoUdRLP100::nTavik::kRegisterCount && !found; ++index)
      found = map.registerObject(index) != nullptr &&
              tTavik::windowOffset(index) == access.offset &&
              tTavik::accessWidth(index) == access.width;
    check(found, "write outside the field-addressable registers");
  }
}

uint32_t word(const uint8_t* bytes) {
  return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
         uint32_t(bytes[3]) << 24;
}

// The identifier word's bit 24 set: its 25 index bits stand as given; else
// bit 23 set: the index is taken modulo 180 (a few beyond the map); else it
// picks one of the field-addressable registers. Bit 22 set: the field bits
// stand as given; else the field is taken modulo 18. The value word's bit 31
// clear: the value is taken modulo 64; set: all 32 bits stand.
tProgrammingPair pairAt(const uint8_t* bytes, const std::vector<uint32_t>& addressable) {
  const uint32_t raw = word(bytes);
  const uint32_t pick = raw & 0xFFFF;
  uint32_t index;
  if ((raw & 0x1000000) != 0)
    index = nQoUdRLP100::registerIndex(raw);
  else if ((raw & 0x800000) != 0)
    index = pick % 180;
  else
    index = addressable[pick % addressable.size()];
  uint32_t field = nQoUdRLP100::fieldIdentifier(raw);
  if ((raw & 0x400000) == 0) field %= 18;
  uint32_t value = word(bytes + 4);
  if ((value & 0x80000000) == 0) value &= 0x3F;
  return {nQoUdRLP100::makeRegisterId(index, field), value};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  static nQoSim::tSimRegisterWindows windows;
  static const unsigned window = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  static nQoSim::tSimBus bus(windows);

  static const std::vector<uint32_t> addressable = [] {
    nQoMDBG100::tStatus2 status;
    tTavik map(&bus, window, &status);
    std::vector<uint32_t> indexes;
    for (uint32_t index = 0; index < nQoUdRLP100::nTavik::kRegisterCount; ++index)
      if (map.registerObject(index) != nullptr) indexes.push_back(index);
    return indexes;
  }();

  std::vector<tProgrammingPair> pairs;
  for (std::size_t at = 0; at + 8 <= size && pairs.size() < kMostPairs; at += 8)
    pairs.push_back(pairAt(data + at, addressable));

  {
    nQoMDBG100::tStatus2 status;
    tTavik map(&bus, window, &status);
    check(status.code == 0, "construction failed");
    windows.clearLog();
    nQoUdRLP100::applyProgrammingList(map, pairs.data(), pairs.size(), &status);
    checkCode(status.code);
    checkWrites(map, windows);
  }
  {
    nQoMDBG100::tStatus2 status;
    tTavik map(&bus, window, &status);
    windows.clearLog();
    for (const auto& pair : pairs) {
      tTavik::tRegister* object = map.registerObject(pair.id);
      if (object == nullptr) continue;
      status.clear();
      object->setField(nQoUdRLP100::fieldIdentifier(pair.id), pair.value, &status);
      checkCode(status.code);
      status.clear();
      object->flush(&status, 0);
      checkCode(status.code);
    }
    checkWrites(map, windows);
  }
  return 0;
}
