// The Tavik map's register operations on a window with logging off, each
// beside a floor that does the same work by hand: the same status and link
// checks, the same soft copy and dirty byte, the same kernel-layer accesses.
// Field changes with flush run 10^6 times, nine in ten values unchanged; the
// physical floors only store the changed values to a volatile register.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "kal/nQoKAL.h"
#include "mdbg/tStatus2.h"
#include "opaque.h"
#include "registers/applyProgrammingList.h"
#include "registers/registerId.h"
#include "sim/simAllocator.h"
#include "sim/tSimRegisterWindows.h"
#include "sync/iSync.h"
#include "tavik/tTavik.h"
#include "tavik/tTavikHelper.h"
#include "tavikWindow.h"

namespace {

using nQoUdRLP100::nTavik::tDir;
using nQoUdRLP100::nTavik::tTavik;
using W = nQoSim::tSimRegisterWindows;

constexpr int kPasses = 1000000;
constexpr int kShortPasses = 10000;
constexpr uint32_t kPinIndex = 44;  // IO_Bidirection_Pin, 0x172, 16 bits, group 14
constexpr uint32_t kPinOffset = 0x172;
constexpr uint32_t kPinField = 11;  // PFI10_Pin_Dir, bit 10
constexpr uint32_t kStatusIndex = 46;
constexpr uint32_t kStatusOffset = 0x13A;  // Joint_Status_2, 16 bits
constexpr uint32_t kStatusField = 6;       // AO_Update_Pending, bit 5

// The value changes on every tenth pass.
std::array<uint32_t, 1000> makeValues() {
  std::array<uint32_t, 1000> values{};
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = (i / 10) % 2;
  return values;
}
const std::array<uint32_t, 1000> kValues = makeValues();

// What the physical floor writes to: a register the compiler may not elide.
volatile uint16_t gPinRegister;

// A map over a window that keeps no log.
struct tQuietMap : nQoBench::tTavikWindow {
  tQuietMap() {
    windows.setLogging(false);
    bus.setLogging(false);
    map.IO_Bidirection_Pin.flush(&status, 0);
  }
};

// The hand-written register: a soft copy and a dirty byte reached through a
// map pointer, as the real register reaches them.
struct tHandRegister {
  uint16_t soft = 0;
  uint8_t* dirty = nullptr;
};

// The checks every register operation makes: a clean status and a linked map.
inline bool usable(const nQoMDBG100::tStatus2& status, const tHandRegister& hand) {
  return !status.isFatal() && hand.dirty != nullptr;
}

inline void handStoreAndFlush(tHandRegister& hand, uint16_t next, uintptr_t address) {
  if (next != hand.soft) {
    hand.soft = next;
    *hand.dirty = 1;
  }
  if (*hand.dirty == 0) return;
  nQoKAL100_memoryWrite16(address, hand.soft);
  *hand.dirty = 0;
}

void BM_TavikSetFieldAndFlush(benchmark::State& state) {
  const auto held = std::make_unique<tQuietMap>();
  tQuietMap& quiet = *held;
  auto& pin = quiet.map.IO_Bidirection_Pin;
  for (auto _ : state) {
    for (int i = 0; i < kPasses; ++i) {
      pin.set_PFI10_Pin_Dir(static_cast<tDir>(kValues[i % kValues.size()]), &quiet.status);
      pin.flush(&quiet.status, 0);
    }
  }
  benchmark::DoNotOptimize(pin.getRegister());
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_TavikSetFieldAndFlush)->Unit(benchmark::kMillisecond);

// Floor: the setter's checks, soft copy and dirty byte, then the flush's
// checks and the kernel-layer write of a dirty register.
void BM_TavikSetFieldAndFlush_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tQuietMap>();
  tQuietMap& quiet = *held;
  uint8_t dirtyTable[256] = {};
  tHandRegister hand{0, &dirtyTable[kPinIndex]};
  const uintptr_t address = quiet.address(kPinOffset);
  for (auto _ : state) {
    for (int i = 0; i < kPasses; ++i) {
      if (!usable(quiet.status, hand)) continue;
      const auto next =
          static_cast<uint16_t>((hand.soft & ~0x400u) | (kValues[i % kValues.size()] << 10));
      if (!usable(quiet.status, hand)) continue;
      handStoreAndFlush(hand, next, address);
    }
  }
  benchmark::DoNotOptimize(hand.soft);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_TavikSetFieldAndFlush_Floor)->Unit(benchmark::kMillisecond);

// Physical floor: compare with the last value, store only a change.
void BM_TavikSetFieldAndFlush_PhysicalFloor(benchmark::State& state) {
  uint16_t soft = 0;
  for (auto _ : state) {
    for (int i = 0; i < kPasses; ++i) {
      const uint16_t next =
          static_cast<uint16_t>((soft & ~0x400u) | (kValues[i % kValues.size()] << 10));
      if (next != soft) {
        soft = next;
        gPinRegister = soft;
      }
    }
  }
  benchmark::DoNotOptimize(soft);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_TavikSetFieldAndFlush_PhysicalFloor)->Unit(benchmark::kMillisecond);

void BM_TavikWriteFieldById(benchmark::State& state) {
  const auto held = std::make_unique<tQuietMap>();
  tQuietMap& quiet = *held;
  const uint32_t id = nQoUdRLP100::makeRegisterId(kPinIndex, kPinField);
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    for (int i = 0; i < kPasses; ++i) {
      tTavik::tRegister* pin = quiet.map.registerObject(id);
      pin->writeField(nQoUdRLP100::fieldIdentifier(id), kValues[i % kValues.size()], &quiet.status,
                      0);
    }
  }
  benchmark::DoNotOptimize(quiet.map.IO_Bidirection_Pin.getRegister());
  state.SetItemsProcessed(state.iterations() * kPasses);
  if (nQoSim::totalAllocations() != before) state.SkipWithError("the writes allocated");
  // The last pass wrote 1 to bit 10 and left the register clean.
  if (quiet.status.code != 0 || quiet.map.IO_Bidirection_Pin.getRegister() != 0x400 ||
      quiet.map.isDirty(kPinIndex, &quiet.status) != 0)
    state.SkipWithError("the writes did not end as written");
}
BENCHMARK(BM_TavikWriteFieldById)->Unit(benchmark::kMillisecond);

// The field table row the floor looks up: offset, mask, served.
struct tHandField {
  uint32_t offset;
  uint32_t mask;
  bool served;
};

// A register reached by id: its soft copy and dirty byte, its field table,
// its address and its write (an indirect call, as a register found by id
// must be: any of the map's classes can answer).
struct tHandObject;
using tHandWrite = void (*)(tHandObject&, uint32_t, uint32_t, const nQoMDBG100::tStatus2&);
struct tHandObject {
  tHandRegister reg;
  const tHandField* fields;
  uint32_t fieldCount;
  uintptr_t address;
  tHandWrite write;
};

void handWriteField(tHandObject& object, uint32_t field, uint32_t value,
                    const nQoMDBG100::tStatus2& status) {
  if (!usable(status, object.reg) || field >= object.fieldCount || !object.fields[field].served ||
      value > object.fields[field].mask >> object.fields[field].offset)
    return;
  const tHandField& row = object.fields[field];
  const auto next =
      static_cast<uint16_t>((object.reg.soft & ~row.mask) | ((value << row.offset) & row.mask));
  handStoreAndFlush(object.reg, next, object.address);
}

// Floor: the id decoded, the register found in a table and called, the field
// looked up and range-checked, then the checks, soft copy, dirty byte and write.
void BM_TavikWriteFieldById_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tQuietMap>();
  tQuietMap& quiet = *held;
  uint8_t dirtyTable[256] = {};
  std::array<tHandField, 17> fields{};
  fields[kPinField] = {10, 0x400, true};
  tHandObject pin{
      {0, &dirtyTable[kPinIndex]}, fields.data(), 17, quiet.address(kPinOffset), &handWriteField};
  std::array<tHandObject*, 174> objects{};
  objects[kPinIndex] = &pin;
  benchmark::DoNotOptimize(objects.data());
  const uint32_t id = nQoUdRLP100::makeRegisterId(kPinIndex, kPinField);
  for (auto _ : state) {
    for (int i = 0; i < kPasses; ++i) {
      const uint32_t index = nQoUdRLP100::registerIndex(id);
      tHandObject* object = index < objects.size() ? objects[index] : nullptr;
      object->write(*object, nQoUdRLP100::fieldIdentifier(id), kValues[i % kValues.size()],
                    quiet.status);
    }
  }
  benchmark::DoNotOptimize(pin.reg.soft);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_TavikWriteFieldById_Floor)->Unit(benchmark::kMillisecond);

void BM_TavikForcedFlush(benchmark::State& state) {
  const auto held = std::make_unique<tQuietMap>();
  tQuietMap& quiet = *held;
  auto& pin = quiet.map.IO_Bidirection_Pin;
  for (auto _ : state)
    for (int i = 0; i < kPasses; ++i) pin.flush(&quiet.status, 1);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_TavikForcedFlush)->Unit(benchmark::kMillisecond);

// Floor: the checks, the write and the dirty byte cleared.
void BM_TavikForcedFlush_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tQuietMap>();
  tQuietMap& quiet = *held;
  uint8_t dirtyTable[256] = {};
  tHandRegister hand{0x400, &dirtyTable[kPinIndex]};
  const uintptr_t address = quiet.address(kPinOffset);
  for (auto _ : state)
    for (int i = 0; i < kPasses; ++i) {
      if (!usable(quiet.status, hand)) continue;
      nQoKAL100_memoryWrite16(address, hand.soft);
      *hand.dirty = 0;
    }
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_TavikForcedFlush_Floor)->Unit(benchmark::kMillisecond);

void BM_TavikRefresh(benchmark::State& state) {
  const auto held = std::make_unique<tQuietMap>();
  tQuietMap& quiet = *held;
  quiet.windows.setRead(quiet.window, kStatusOffset, 16, 0x0020);
  tTavik::tRegister* joint = quiet.map.registerObject(kStatusIndex);
  uint32_t sum = 0;
  for (auto _ : state)
    for (int i = 0; i < kPasses; ++i) sum += joint->refresh(&quiet.status);
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_TavikRefresh)->Unit(benchmark::kMillisecond);

// A read register reached through the map's table: its read behind an
// indirect call, as any register found by id must be.
struct tHandReadRegister {
  tHandRegister reg;
  uintptr_t address;
  const tHandField* fields;
  uint32_t fieldCount;
};
uint32_t handRefresh(tHandReadRegister& object, const nQoMDBG100::tStatus2& status) {
  if (!usable(status, object.reg)) return 0xFFFFFFFF;
  object.reg.soft = nQoKAL100_memoryRead16(object.address);
  return object.reg.soft;
}
uint32_t handReadField(tHandReadRegister& object, uint32_t field,
                       const nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || field >= object.fieldCount || !object.fields[field].served ||
      !usable(status, object.reg))
    return 0xFFFFFFFF;
  object.reg.soft = nQoKAL100_memoryRead16(object.address);
  return (object.reg.soft & object.fields[field].mask) >> object.fields[field].offset;
}

// Floor: through an indirect call, the checks, the kernel-layer read into the
// soft copy.
void BM_TavikRefresh_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tQuietMap>();
  tQuietMap& quiet = *held;
  quiet.windows.setRead(quiet.window, kStatusOffset, 16, 0x0020);
  uint8_t dirtyTable[256] = {};
  tHandReadRegister joint{{0, &dirtyTable[kStatusIndex]}, quiet.address(kStatusOffset), nullptr, 0};
  uint32_t (*refresh)(tHandReadRegister&, const nQoMDBG100::tStatus2&) =
      nQoBench::opaque(&handRefresh);
  uint32_t sum = 0;
  for (auto _ : state)
    for (int i = 0; i < kPasses; ++i) sum += refresh(joint, quiet.status);
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_TavikRefresh_Floor)->Unit(benchmark::kMillisecond);

void BM_TavikReadField(benchmark::State& state) {
  const auto held = std::make_unique<tQuietMap>();
  tQuietMap& quiet = *held;
  quiet.windows.setRead(quiet.window, kStatusOffset, 16, 0x0020);
  tTavik::tRegister* joint = quiet.map.registerObject(kStatusIndex);
  uint32_t sum = 0;
  for (auto _ : state)
    for (int i = 0; i < kPasses; ++i) sum += joint->readField(kStatusField, &quiet.status);
  benchmark::DoNotOptimize(sum);
  if (quiet.status.code != 0 || sum == 0) state.SkipWithError("read failed");
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_TavikReadField)->Unit(benchmark::kMillisecond);

// Floor: through an indirect call, the checks, the field looked up, the
// read, the field extracted.
void BM_TavikReadField_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tQuietMap>();
  tQuietMap& quiet = *held;
  quiet.windows.setRead(quiet.window, kStatusOffset, 16, 0x0020);
  uint8_t dirtyTable[256] = {};
  std::array<tHandField, 14> fields{};
  fields[kStatusField] = {5, 0x20, true};
  tHandReadRegister joint{
      {0, &dirtyTable[kStatusIndex]}, quiet.address(kStatusOffset), fields.data(), 14};
  uint32_t (*readField)(tHandReadRegister&, uint32_t, const nQoMDBG100::tStatus2&) =
      nQoBench::opaque(&handReadField);
  uint32_t sum = 0;
  for (auto _ : state)
    for (int i = 0; i < kPasses; ++i) sum += readField(joint, kStatusField, quiet.status);
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * kPasses);
}
BENCHMARK(BM_TavikReadField_Floor)->Unit(benchmark::kMillisecond);

void BM_TavikMarkAllDirty(benchmark::State& state) {
  const auto held = std::make_unique<tQuietMap>();
  tQuietMap& quiet = *held;
  for (auto _ : state)
    for (int i = 0; i < kShortPasses; ++i) quiet.map.markAllDirty(&quiet.status);
  if (quiet.status.code != 0) state.SkipWithError("markAllDirty failed");
  state.SetItemsProcessed(state.iterations() * kShortPasses);
}
BENCHMARK(BM_TavikMarkAllDirty)->Unit(benchmark::kMillisecond);

// Floor: for each of the map's 174 registers the status check, then for the
// writable ones the soft copy cleared where the catalogue says so and the
// dirty byte set (the catalogue's two columns read from tables).
void BM_TavikMarkAllDirty_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tQuietMap>();
  tQuietMap& quiet = *held;
  constexpr std::size_t kRegisters = 174;
  std::array<uint8_t, kRegisters> writable{};
  std::array<uint8_t, kRegisters> zero{};
  std::array<uint8_t, kRegisters> dirty{};
  std::array<uint32_t, kRegisters> soft{};
  for (std::size_t i = 0; i < kRegisters; i += 2) writable[i] = 1;
  for (std::size_t i = 0; i < kRegisters; i += 4) zero[i] = 1;
  benchmark::DoNotOptimize(writable.data());
  benchmark::DoNotOptimize(zero.data());
  for (auto _ : state)
    for (int i = 0; i < kShortPasses; ++i) {
      for (std::size_t r = 0; r < kRegisters; ++r) {
        if (quiet.status.isFatal() || writable[r] == 0) continue;
        if (zero[r] != 0 && soft[r] != 0) soft[r] = 0;
        dirty[r] = 1;
      }
      benchmark::DoNotOptimize(dirty.data());
    }
  state.SetItemsProcessed(state.iterations() * kShortPasses);
}
BENCHMARK(BM_TavikMarkAllDirty_Floor)->Unit(benchmark::kMillisecond);

void BM_TavikLockGroupReadModifyWrite(benchmark::State& state) {
  const auto held = std::make_unique<tQuietMap>();
  tQuietMap& quiet = *held;
  auto& pin = quiet.map.IO_Bidirection_Pin;
  tTavik::tSelection selection;
  tTavik::makeSelection(selection, {14});
  for (auto _ : state)
    for (int i = 0; i < kShortPasses; ++i) {
      const nQoUdRLP100::tScopedLockSelection<tTavik> locked(quiet.map, selection, &quiet.status);
      pin.set_PFI10_Pin_Dir(static_cast<tDir>(kValues[i % kValues.size()]), &quiet.status);
      pin.flush(&quiet.status, 0);
    }
  if (quiet.status.code != 0) state.SkipWithError("locked write failed");
  state.SetItemsProcessed(state.iterations() * kShortPasses);
}
BENCHMARK(BM_TavikLockGroupReadModifyWrite)->Unit(benchmark::kMillisecond);

// Floor: the group's lock taken and given back through the platform lock,
// the field written as the set-and-flush floor does.
void BM_TavikLockGroupReadModifyWrite_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tQuietMap>();
  tQuietMap& quiet = *held;
  iSync* lock = quiet.map.lockGroup(14)->lock();
  uint8_t dirtyTable[256] = {};
  tHandRegister hand{0, &dirtyTable[kPinIndex]};
  const uintptr_t address = quiet.address(kPinOffset);
  for (auto _ : state)
    for (int i = 0; i < kShortPasses; ++i) {
      int code = 0;
      lock->waitOrAcquire(iSync::kWaitForever, &code);
      if (usable(quiet.status, hand)) {
        const auto next =
            static_cast<uint16_t>((hand.soft & ~0x400u) | (kValues[i % kValues.size()] << 10));
        handStoreAndFlush(hand, next, address);
      }
      lock->releaseOrSet(&code);
    }
  state.SetItemsProcessed(state.iterations() * kShortPasses);
}
BENCHMARK(BM_TavikLockGroupReadModifyWrite_Floor)->Unit(benchmark::kMillisecond);

const nQoUdRLP100::tProgrammingPair kList[] = {
    {nQoUdRLP100::makeRegisterId(kPinIndex, kPinField), 1},
    {nQoUdRLP100::makeRegisterId(kPinIndex, kPinField), 0}};

void BM_TavikApplyProgrammingList(benchmark::State& state) {
  const auto held = std::make_unique<tQuietMap>();
  tQuietMap& quiet = *held;
  for (auto _ : state)
    for (int i = 0; i < kShortPasses; ++i)
      nQoUdRLP100::applyProgrammingList(quiet.map, kList, 2, &quiet.status);
  if (quiet.status.code != 0) state.SkipWithError("list failed");
  state.SetItemsProcessed(state.iterations() * kShortPasses);
}
BENCHMARK(BM_TavikApplyProgrammingList)->Unit(benchmark::kMillisecond);

// Floor: the groups of the listed registers selected, taken, the two field
// writes by id (each register called through its indirect write, as a
// register found by id must be), the groups given back.
void BM_TavikApplyProgrammingList_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tQuietMap>();
  tQuietMap& quiet = *held;
  iSync* lock = quiet.map.lockGroup(14)->lock();
  uint8_t dirtyTable[256] = {};
  std::array<tHandField, 17> fields{};
  fields[kPinField] = {10, 0x400, true};
  tHandObject pin{
      {0, &dirtyTable[kPinIndex]}, fields.data(), 17, quiet.address(kPinOffset), &handWriteField};
  std::array<tHandObject*, 174> objects{};
  objects[kPinIndex] = &pin;
  std::array<uint32_t, 174> groups{};
  groups[kPinIndex] = 14;
  benchmark::DoNotOptimize(objects.data());
  benchmark::DoNotOptimize(groups.data());
  for (auto _ : state)
    for (int i = 0; i < kShortPasses; ++i) {
      uint32_t selection = 0;
      for (const auto& pair : kList) {
        const uint32_t index = nQoUdRLP100::registerIndex(pair.id);
        if (index < objects.size() && objects[index] != nullptr) selection |= 1u << groups[index];
      }
      int code = 0;
      if ((selection & (1u << 14)) != 0) lock->waitOrAcquire(iSync::kWaitForever, &code);
      for (const auto& pair : kList) {
        tHandObject* object = objects[nQoUdRLP100::registerIndex(pair.id)];
        object->write(*object, nQoUdRLP100::fieldIdentifier(pair.id), pair.value, quiet.status);
      }
      if ((selection & (1u << 14)) != 0) lock->releaseOrSet(&code);
    }
  benchmark::DoNotOptimize(pin.reg.soft);
  state.SetItemsProcessed(state.iterations() * kShortPasses);
}
BENCHMARK(BM_TavikApplyProgrammingList_Floor)->Unit(benchmark::kMillisecond);

// A command sequence: the helper's AI counter A set-up, its accesses taken
// from one logged pass.
struct tSequenceMap : tQuietMap {
  tSequenceMap() {
    windows.setLogging(true);
    run();
    windows.clearLog();
    run();
    accesses = windows.log();
    windows.setLogging(false);
  }
  // The log keeps the bus flushes as markers; the floor makes them itself.
  static bool isAccess(const W::tAccess& access) {
    return access.direction == W::kRead || access.direction == W::kWrite;
  }
  void run() {
    helper.aiConfigureCounterA(1000, 2000, nQoUdRLP100::nTavik::tAI_Load_Select{}, 1, &status);
  }
  nQoUdRLP100::tTavikHelper helper{&map};
  std::vector<W::tAccess> accesses;
};

void BM_TavikCommandSequence(benchmark::State& state) {
  tSequenceMap board;
  for (auto _ : state)
    for (int i = 0; i < kShortPasses; ++i) board.run();
  if (board.status.code != 0) state.SkipWithError("sequence failed");
  state.SetItemsProcessed(state.iterations() * kShortPasses);
}
BENCHMARK(BM_TavikCommandSequence)->Unit(benchmark::kMillisecond);

// Floor: the sequence's eleven register operations (bracket open, two load
// writes, select, flush, load command, flush, mode, select, forced flush,
// bracket close), each with its status and link checks and its soft copy and
// dirty byte; the accesses one real pass made, through the kernel layer; and
// its two flushes of the bus.
void BM_TavikCommandSequence_Floor(benchmark::State& state) {
  tSequenceMap board;
  const uint64_t base = board.windows.base(board.window);
  iBus& bus = *nQoBench::opaque<iBus*>(&board.bus);
  uint8_t dirtyTable[256] = {};
  std::array<tHandRegister, 11> operations{};
  for (std::size_t k = 0; k < operations.size(); ++k) operations[k].dirty = &dirtyTable[k];
  uint32_t sum = 0;
  for (auto _ : state)
    for (int i = 0; i < kShortPasses; ++i) {
      for (tHandRegister& hand : operations) {
        if (!usable(board.status, hand)) continue;
        const auto next = static_cast<uint16_t>(hand.soft | 1u);
        if (next != hand.soft) hand.soft = next;
        *hand.dirty = 0;
      }
      for (const W::tAccess& access : board.accesses) {
        if (!tSequenceMap::isAccess(access)) continue;
        const uintptr_t address = static_cast<uintptr_t>(base + access.offset);
        if (access.direction == W::kRead)
          sum += access.width == 16 ? nQoKAL100_memoryRead16(address)
                                    : nQoKAL100_memoryRead32(address);
        else if (access.width == 16)
          nQoKAL100_memoryWrite16(address, static_cast<uint16_t>(access.value));
        else
          nQoKAL100_memoryWrite32(address, access.value);
      }
      for (int flushes = 0; flushes < 2; ++flushes)
        if (!board.status.isFatal()) sum += static_cast<uint32_t>(bus.flush(&board.status.code));
    }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * kShortPasses);
}
BENCHMARK(BM_TavikCommandSequence_Floor)->Unit(benchmark::kMillisecond);

}  // namespace
