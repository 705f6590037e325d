// A route list of 700 pairs through the committed Tavik routable, on a map
// whose window keeps no log: the pairs alternate between two registers of two
// lock groups (RIVO_Trig_A_Output field 1, PFI_Output_Select_1 field 2) and
// nine in ten leave their field as it was. Beside it the floor: the same
// checks per pair (index in the map, status and link, field identifier in the
// register's field table, value within the field), the two groups' locks taken
// and given back once, the soft copies and dirty bytes kept and the changed
// values written through the kernel layer, each register reached through an
// indirect call.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <memory>

#include "device/tTavikRoutable.h"
#include "kal/nQoKAL.h"
#include "mdbg/tStatus2.h"
#include "registers/registerId.h"
#include "sim/simAllocator.h"
#include "sync/iSync.h"
#include "tavik/tTavik.h"
#include "tavikWindow.h"

namespace {

using nQoUdRLP100::nTavik::tTavik;

constexpr std::size_t kPairs = 700;
constexpr uint32_t kTrigIndex = 49;    // RIVO_Trig_A_Output, 0x19E, group 12, field 1: bits 3..0
constexpr uint32_t kSelectIndex = 87;  // PFI_Output_Select_1, 0x1D0, group 14, field 2: bits 9..5
constexpr uint32_t kTrigOffset = 0x19E;
constexpr uint32_t kSelectOffset = 0x1D0;

// Pair i routes register A (even i) or B (odd i); the value flips every 20
// pairs, so one pair in ten changes its field, and a pass ends as it began.
std::array<nQoMRU210::tRoute, kPairs> makeList() {
  std::array<nQoMRU210::tRoute, kPairs> list{};
  for (std::size_t i = 0; i < kPairs; ++i) {
    const uint32_t value = (i / 20) % 2 == 0 ? 5 : 9;
    list[i] = {i % 2 == 0 ? nQoUdRLP100::makeRegisterId(kTrigIndex, 1)
                          : nQoUdRLP100::makeRegisterId(kSelectIndex, 2),
               value};
  }
  return list;
}
const std::array<nQoMRU210::tRoute, kPairs> kList = makeList();

struct tQuietMap : nQoBench::tTavikWindow {
  tQuietMap() {
    windows.setLogging(false);
    bus.setLogging(false);
  }
};

void BM_TavikRouteList(benchmark::State& state) {
  const auto held = std::make_unique<tQuietMap>();
  tQuietMap& quiet = *held;
  nQoUdR100::tTavikRoutable routable(&quiet.map);
  routable.commit(quiet.status);
  const nQoMRU210::tRouteList list{kList.data(), kList.data() + kList.size()};
  routable.routeList(list, quiet.status);
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) routable.routeList(list, quiet.status);
  if (quiet.status.code != 0) state.SkipWithError("route list failed");
  if (nQoSim::totalAllocations() != before) state.SkipWithError("route list allocated");
  state.SetItemsProcessed(state.iterations() * kPairs);
}
BENCHMARK(BM_TavikRouteList);

// A row of a register's field table: the field's offset, its mask in place
// and whether the register serves it; field 0 is the whole register.
struct tHandFieldRow {
  uint32_t offset;
  uint32_t mask;
  bool served;
};
constexpr tHandFieldRow kTrigFields[] = {
    {0, 0xFFFF, true}, {0, 0xF, true}, {4, 0xF0, true}, {8, 0xF00, true}, {12, 0xF000, true}};
constexpr tHandFieldRow kSelectFields[] = {
    {0, 0xFFFF, true}, {0, 0x1F, true}, {5, 0x3E0, true}, {10, 0x7C00, true}};

// A hand register: soft copy and dirty byte (reached through a pointer, as
// the real register reaches its map's), its address and its write (an
// indirect call, as a register found by id must be: any of the map's classes
// can answer).
struct tHandRegister;
using tHandWrite = void (*)(tHandRegister&, uint32_t, uint32_t, const nQoMDBG100::tStatus2&);
struct tHandRegister {
  uint16_t soft;
  uint8_t* dirty;
  uintptr_t address;
  tHandWrite write;
};

// The status and link checks, the field looked up in the register's own table
// and the value checked against it, the soft copy and dirty byte, and the
// write of a changed value; one function a register, as each of the map's
// registers answers through its own class with its own table.
template <const tHandFieldRow* kFields, uint32_t kFieldCount>
void handWrite(tHandRegister& hand, uint32_t field, uint32_t value,
               const nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || hand.dirty == nullptr || field >= kFieldCount || !kFields[field].served)
    return;
  const tHandFieldRow& row = kFields[field];
  if (value > row.mask >> row.offset) return;
  const auto next =
      static_cast<uint16_t>((hand.soft & ~row.mask) | ((value << row.offset) & row.mask));
  if (next != hand.soft) {
    hand.soft = next;
    *hand.dirty = 1;
  }
  if (*hand.dirty == 0) return;
  nQoKAL100_memoryWrite16(hand.address, hand.soft);
  *hand.dirty = 0;
}

// Floor: per pair the map-index check and the register's table entry with
// its lock group selected, then under the selected groups' locks each pair's
// register called with the field decoded from the pair: the status and link
// checks, the field and value checks, the soft copy and dirty byte, and the
// write of a changed value.
void BM_TavikRouteList_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tQuietMap>();
  tQuietMap& quiet = *held;
  std::array<iSync*, 23> locks{};
  for (uint32_t id = 1; id < locks.size(); ++id) locks[id] = quiet.map.lockGroup(id)->lock();
  std::array<tHandRegister*, 174> registers{};
  std::array<uint32_t, 174> groups{};
  uint8_t dirtyTable[174] = {};
  tHandRegister trig{0, &dirtyTable[kTrigIndex], quiet.address(kTrigOffset),
                     &handWrite<kTrigFields, std::size(kTrigFields)>};
  tHandRegister select{0, &dirtyTable[kSelectIndex], quiet.address(kSelectOffset),
                       &handWrite<kSelectFields, std::size(kSelectFields)>};
  registers[kTrigIndex] = &trig;
  registers[kSelectIndex] = &select;
  groups[kTrigIndex] = 12;
  groups[kSelectIndex] = 14;
  benchmark::DoNotOptimize(registers.data());
  benchmark::DoNotOptimize(groups.data());
  bool known = true;
  for (auto _ : state) {
    if (quiet.status.isFatal()) continue;
    uint32_t selection = 0;
    for (const nQoMRU210::tRoute& pair : kList) {
      const uint32_t index = nQoUdRLP100::registerIndex(pair.fieldId);
      known = known && index < registers.size() && registers[index] != nullptr;
      if (known) selection |= 1u << groups[index];
    }
    if (!known) break;
    int code = 0;
    for (uint32_t id = 1; id < locks.size(); ++id)
      if ((selection & (1u << id)) != 0) locks[id]->waitOrAcquire(iSync::kWaitForever, &code);
    for (const nQoMRU210::tRoute& pair : kList) {
      tHandRegister& hand = *registers[nQoUdRLP100::registerIndex(pair.fieldId)];
      hand.write(hand, nQoUdRLP100::fieldIdentifier(pair.fieldId), pair.value, quiet.status);
    }
    for (uint32_t id = locks.size() - 1; id >= 1; --id)
      if ((selection & (1u << id)) != 0) locks[id]->releaseOrSet(&code);
  }
  if (!known) state.SkipWithError("an unknown register");
  state.SetItemsProcessed(state.iterations() * kPairs);
}
BENCHMARK(BM_TavikRouteList_Floor);

}  // namespace
