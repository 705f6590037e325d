// EEPROM request 267 (64 bytes from the shadow copy) through the supervisor's
// request switch on a reserved tEEPROM, beside the same checks, block calls
// and device read by hand (the physical floor: a 64-byte memcpy). The device
// keeps its bytes in memory; the measured path must not allocate.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>

#include "frame/statusCodes.h"
#include "frame/tPassCount.h"
#include "mrl/iControlParameterBlock.h"
#include "mrl/iResourceBroker.h"
#include "opaque.h"
#include "primitives/eeprom/tEEPROM.h"
#include "primitives/eeprom/tPralEEPROMContentMap.h"
#include "sim/simAllocator.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "supervisors/eeprom/tEEPROMSupervisor.h"

namespace {

constexpr uint32_t kBytes = 64;

// Shadow and device share one array; nothing is pending.
class tArrayEEPROM : public nQoUdP100::iBaseEEPROM {
 public:
  void readFromDevice(uint32_t a, uint32_t n, uint8_t* b, nQoMDBG100::tStatus2&,
                      uint32_t) override {
    std::memcpy(b, bytes + a, n);
  }
  void writeToDevice(uint32_t a, uint32_t n, uint8_t* b, nQoMDBG100::tStatus2&, uint32_t) override {
    std::memcpy(bytes + a, b, n);
  }
  void read(uint32_t a, uint32_t n, uint8_t* b, nQoMDBG100::tStatus2& s, uint32_t o) override {
    readFromDevice(a, n, b, s, o);
  }
  void write(uint32_t a, uint32_t n, uint8_t* b, nQoMDBG100::tStatus2& s, uint32_t o) override {
    writeToDevice(a, n, b, s, o);
  }
  void revert(nQoMDBG100::tStatus2&) override {}
  void commit(nQoMDBG100::tStatus2&) override {}
  void enableRead(nQoMDBG100::tStatus2&) override {}
  void enableWrite(nQoMDBG100::tStatus2&) override {}
  void disableAccess(nQoMDBG100::tStatus2&) override {}
  uint8_t bytes[1024] = {};
};

// Address and length, read again from the start after rewind; the out side
// is a data area of its own.
class tBlock : public nQoMRL100::iControlParameterBlock {
 public:
  uint16_t readU16(int&) override { return 0; }
  int32_t readI32(int& s) override { return static_cast<int32_t>(readU32(s)); }
  uint32_t readU32(int&) override { return _position < 2 ? words[_position++] : 0; }
  void* getData() override { return data; }
  uint32_t getSize() const override { return kBytes; }
  void writeU32(uint32_t, int&) override {}
  void rewind() { _position = 0; }
  uint32_t words[2] = {128, kBytes};
  uint8_t data[kBytes] = {};

 private:
  uint32_t _position = 0;
};

// The device and the two blocks, in one piece so that the bytes copied lie at
// the same distance from the out block's data area in every benchmark.
struct tParts {
  tParts() {
    for (uint32_t i = 0; i < sizeof device.bytes; ++i) device.bytes[i] = static_cast<uint8_t>(i);
  }
  tArrayEEPROM device;
  tBlock in, out;
};

void BM_EEPROMRequest267(benchmark::State& state) {
  nQoSim::resetResourceBroker();
  nQoSim::setStatusLogging(false);
  tParts parts;
  tBlock& in = parts.in;
  tBlock& out = parts.out;
  nQoUdP100::tPralEEPROMContentMap map(4);
  nQoUdP100::tEEPROM eeprom(&map, &parts.device);
  nQoUdR100::tEEPROMResourcePool<nQoUdP100::tEEPROM*> pool(&eeprom);
  nQoUdR100::tEEPROMSettings settings;
  nQoMDBG100::tStatus2 status;
  settings.record<0>().identifier.setString("EEPROM", status);
  nQoMRL100::getResourceBroker(status)->registerPool(&settings.record<0>().identifier, &pool,
                                                     status);
  nQoUdR100::tEEPROMSupervisor supervisor;
  supervisor.initialize(settings, nullptr, status);
  supervisor.reserveResource(status);
  if (supervisor.getEEPROM() == nullptr) state.SkipWithError("nothing reserved");
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    in.rewind();
    supervisor.control(267, &in, &out, status);
    benchmark::DoNotOptimize(out.data);
  }
  if (status.code != 0 || out.data[0] != 128) state.SkipWithError("the request failed");
  if (nQoSim::totalAllocations() != before) state.SkipWithError("the measured path allocated");
  supervisor.releaseResource(status);
  nQoSim::resetResourceBroker();
  nQoSim::setStatusLogging(true);
}
BENCHMARK(BM_EEPROMRequest267);

// The floor's request table: a code's kind, by code from 255 on.
enum tHandKind : uint8_t { kHandOther, kHandByteRead };
constexpr tHandKind kHandKinds[32] = {kHandOther, kHandOther, kHandOther,   kHandOther, kHandOther,
                                      kHandOther, kHandOther, kHandOther,   kHandOther, kHandOther,
                                      kHandOther, kHandOther, kHandByteRead};

// What the floor holds of a reserved EEPROM: its device and the byte order
// that every access hands on.
struct tHandEEPROM {
  nQoUdP100::iBaseEEPROM* device;
  uint32_t byteOrder;
};

// Floor: the request's checks by hand (a clean status, a reserved EEPROM, a
// known code looked up in a table, both blocks), the address and length read
// through the in block's interface on a local status merged back, the length
// against the out block's size, the EEPROM's device present, and the read
// through the device's interface, with the EEPROM's byte order, into the out
// block's data area. The request is counted in and out while it reaches the
// EEPROM: the least that lets a release on another thread wait for it.
void BM_EEPROMRequest267_Floor(benchmark::State& state) {
  tParts parts;
  tBlock& in = parts.in;
  tBlock& out = parts.out;
  tHandEEPROM hand{&parts.device, 0};
  const tHandEEPROM* eeprom = nQoBench::opaque<const tHandEEPROM*>(&hand);
  nQoMRL100::iControlParameterBlock* inBlock =
      nQoBench::opaque<nQoMRL100::iControlParameterBlock*>(&in);
  nQoMRL100::iControlParameterBlock* outBlock =
      nQoBench::opaque<nQoMRL100::iControlParameterBlock*>(&out);
  const uint32_t code = nQoBench::opaque(267u);
  nQoUdR100::tPassCount requests;
  nQoMDBG100::tStatus2 status;
  for (auto _ : state) {
    in.rewind();
    if (status.isFatal()) continue;
    const nQoUdR100::tPassCount::tInside inside(requests);
    if (eeprom == nullptr || code < 255 || code >= 287 || kHandKinds[code - 255] != kHandByteRead ||
        inBlock == nullptr || outBlock == nullptr)
      continue;
    nQoMDBG100::tStatus2 local;
    const uint32_t where = inBlock->readU32(local.code);
    const uint32_t length = inBlock->readU32(local.code);
    if (local.isFatal() || local.code == nQoMRL100::iControlParameterBlock::kOutOfValues ||
        length > outBlock->getSize()) {
      status.code = nQoUdR100::kRefused;
      continue;
    }
    if (eeprom->device == nullptr) {
      status.code = nQoUdR100::kNullPointer;
      continue;
    }
    eeprom->device->read(where, length, static_cast<uint8_t*>(outBlock->getData()), status,
                         eeprom->byteOrder);
    benchmark::DoNotOptimize(out.data);
  }
  if (status.code != 0 || out.data[0] != 128) state.SkipWithError("the request failed");
}
BENCHMARK(BM_EEPROMRequest267_Floor);

// Physical floor: the 64 bytes copied.
void BM_EEPROMRequest267_PhysicalFloor(benchmark::State& state) {
  tParts parts;
  uint8_t* volatile source = parts.device.bytes + 128;
  for (auto _ : state) {
    std::memcpy(parts.out.data, source, kBytes);
    benchmark::DoNotOptimize(parts.out.data);
  }
}
BENCHMARK(BM_EEPROMRequest267_PhysicalFloor);

}  // namespace
