// EEPROM and TEDS supervisor requests and the power-up primitives from
// outside. Byte 0 picks the part; then the EEPROM takes a code (255-288), an
// out size and in bytes; TEDS takes a code (409-416), an out size and in
// bytes; power-up takes port widths, an image and entries. Blocks and images
// are kept in storage of exactly their size, so every access outside them is
// caught by the address sanitizer, and only the parts' codes appear.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "frame/moduleEntry.h"
#include "mdbg/tStatus2.h"
#include "mrl/iResourceBroker.h"
#include "primitives/dio/tTavikProgPowerupPrimitive.h"
#include "primitives/eeprom/tEEPROM.h"
#include "primitives/eeprom/tPralEEPROMContentMap.h"
#include "sim/simParameterBlock.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "supervisors/calibration/tTEDSSupervisor.h"
#include "supervisors/eeprom/tEEPROMSupervisor.h"
#include "support/tFreshSimulation.h"

namespace {

using nQoMDBG100::tStatus2;

void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz_supervisorRequests: %s\n", what);
  std::abort();
}

bool oneOf(int code, std::initializer_list<int> codes) {
  for (int allowed : codes)
    if (code == allowed) return true;
  return false;
}

// An EEPROM of exactly its size; a run past it is -50010. A span of 0 bytes
// may come with a null pointer, so it copies nothing.
class tExactEEPROM : public nQoUdP100::iBaseEEPROM {
 public:
  explicit tExactEEPROM(std::vector<uint8_t> image) : bytes(std::move(image)) {}
  void readFromDevice(uint32_t a, uint32_t n, uint8_t* b, tStatus2& s, uint32_t) override {
    if (fits(a, n, s) && n != 0) std::memcpy(b, bytes.data() + a, n);
  }
  void writeToDevice(uint32_t a, uint32_t n, uint8_t* b, tStatus2& s, uint32_t) override {
    if (fits(a, n, s) && n != 0) std::memcpy(bytes.data() + a, b, n);
  }
  void read(uint32_t a, uint32_t n, uint8_t* b, tStatus2& s, uint32_t o) override {
    readFromDevice(a, n, b, s, o);
  }
  void write(uint32_t a, uint32_t n, uint8_t* b, tStatus2& s, uint32_t o) override {
    writeToDevice(a, n, b, s, o);
  }
  void revert(tStatus2& s) override {
    if (s.isNotFatal() && state != 1) s.setCode(-50009, "fuzz", "tExactEEPROM", 1);
  }
  void commit(tStatus2& s) override {
    if (s.isNotFatal() && state != 2) s.setCode(-50012, "fuzz", "tExactEEPROM", 2);
  }
  void enableRead(tStatus2&) override { state = 1; }
  void enableWrite(tStatus2&) override { state = 2; }
  void disableAccess(tStatus2&) override { state = 0; }
  std::vector<uint8_t> bytes;
  int state = 0;

 private:
  bool fits(uint32_t a, uint32_t n, tStatus2& s) {
    if (s.isFatal()) return false;
    if (nQoUdP100::inside(a, n, static_cast<uint32_t>(bytes.size()))) return true;
    s.setCode(-50010, "fuzz", "tExactEEPROM", 3);
    return false;
  }
};

// Touches every byte of the spans it is handed.
class tTouchingCommunicator : public nQoUdP100::iTEDSCommunicator {
 public:
  void readEEPROM(uint32_t, uint32_t n, uint32_t, uint8_t* out, tStatus2&) override {
    if (n != 0) std::memset(out, 0x5A, n);
  }
  void writeEEPROM(uint32_t, uint32_t n, uint32_t, const uint8_t* in, tStatus2&) override {
    for (uint32_t i = 0; i < n; ++i) sum += in[i];
  }
  void get8ByteIDBlock(uint32_t, uint8_t* out, tStatus2&) override { std::memset(out, 1, 8); }
  void read8BytePROM(uint32_t, uint8_t* out, tStatus2&) override { std::memset(out, 2, 8); }
  void write8BytePROM(uint32_t, const uint8_t* in, tStatus2&) override {
    for (int i = 0; i < 8; ++i) sum += in[i];
  }
  uint32_t isPROMWritten(uint32_t, tStatus2&) override { return 1; }
  uint32_t sum = 0;
};

struct tReader {
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  uint8_t byte() { return at < size ? data[at++] : 0; }
  std::vector<uint8_t> rest() { return {data + at, data + size}; }
};

constexpr nQoUdP100::tIndexedFieldRow kRows[] = {
    {{{0x00, 4}, {0x04, 4}, {0x08, 4}, {0x0C, 1}, {0x0D, 1}}},
    {{{0x10, 1}, {0x11, 1}, {0x12, 1}, {0x13, 1}, {0x14, 1}}},
    {{{0x18, 1}, {0x19, 1}, {0x1A, 1}, {0x1B, 1}, {0x1C, 1}}}};

class tIndexedMap : public nQoUdP100::tPralEEPROMContentMap {
 public:
  tIndexedMap() : tPralEEPROMContentMap(4, kRows, 3) {}
};

constexpr std::initializer_list<int> kCodes = {0,      -50003, -50004, -50005, -50009, -50010,
                                               -50012, -50150, -50256, -50352, -89000};

void eepromRequest(tReader& input) {
  const uint32_t code = 255 + input.byte() % 34;
  const uint32_t outSize = input.byte();
  tExactEEPROM device(std::vector<uint8_t>(512, 0xA5));
  nQoUdP100::tPralEEPROMContentMap map(4);
  nQoUdP100::tEEPROM eeprom(&map, &device);
  nQoUdR100::tEEPROMResourcePool<nQoUdP100::tEEPROM*> pool(&eeprom);
  nQoUdR100::tEEPROMSettings settings;
  tStatus2 status;
  nQoMRL100::getResourceBroker(status)->registerPool(&settings.record<0>().identifier, &pool,
                                                     status);
  nQoUdR100::tEEPROMSupervisor supervisor;
  supervisor.initialize(settings, nullptr, status);
  supervisor.reserveResource(status);
  check(status.code == 0 && supervisor.getEEPROM() == &eeprom, "EEPROM not reserved");
  nQoSim::tByteParameterBlock in(input.rest());
  nQoSim::tByteParameterBlock out(std::vector<uint8_t>(outSize, 0));
  tStatus2 result;
  supervisor.control(code, &in, &out, result);
  check(oneOf(result.code, kCodes), "an EEPROM code outside the parts");
  supervisor.releaseResource(status);
}

void tedsRequest(tReader& input) {
  const uint32_t code = 409 + input.byte() % 8;
  const uint32_t outSize = input.byte();
  tTouchingCommunicator teds;
  nQoUdR100::tSingularResourcePool<nQoUdP100::iTEDSCommunicator*> pool(&teds);
  nQoUdR100::tTEDSSettings settings;
  tStatus2 status;
  nQoMRL100::getResourceBroker(status)->registerPool(&settings.record<1>().identifier, &pool,
                                                     status);
  nQoUdR100::tTEDSSupervisor supervisor;
  supervisor.initialize(settings, nullptr, status);
  supervisor.reserveResource(status);
  check(status.code == 0 && supervisor.getPrimitive() == &teds, "TEDS not reserved");
  nQoSim::tByteParameterBlock in(input.rest());
  nQoSim::tByteParameterBlock out(std::vector<uint8_t>(outSize, 0));
  tStatus2 result;
  supervisor.control(code, &in, &out, result);
  check(oneOf(result.code, kCodes), "a TEDS code outside the parts");
  supervisor.releaseResource(status);
}

void powerup(tReader& input) {
  static constexpr uint32_t kWidths[] = {8, 16, 32, 40};
  nQoUdR100::tPowerupPorts ports;
  ports.kind = input.byte() % 4;
  for (uint32_t& width : ports.widths) width = kWidths[input.byte() % 4];
  const uint32_t portCount = input.byte() % 5;
  const uint32_t split = input.byte() % 2 == 0 ? 0 : 4;
  std::vector<uint8_t> image(0x20, 0xFF);
  for (uint8_t& byte : image) byte = input.byte();
  std::vector<nQoSDR000::tPowerupEntry> entries(input.byte() % 5);
  for (auto& entry : entries)
    for (uint32_t* word : {&entry.valid, &entry.enable, &entry.value})
      for (int i = 0; i < 4; ++i) *word = *word << 8 | input.byte();
  tExactEEPROM device(image);
  tIndexedMap map;
  nQoUdP100::tEEPROM eeprom(&map, &device);
  tStatus2 status;
  nQoUdR100::tTavikProgPowerupPrimitive multi(&eeprom, ports, portCount, status);
  uint32_t count = 0;
  multi.readPowerupStates(count, status);
  multi.writePowerupStates(entries.data(), static_cast<uint32_t>(entries.size()), status);
  check(oneOf(status.code, kCodes), "a multi-port code outside the parts");
  tStatus2 single;
  nQoUdR100::tTavikSinglePortProgPowerupPrimitive one(&eeprom, ports, 0, 1, split);
  one.readPowerupStates(count, single);
  one.writePowerupStates(entries.data(), static_cast<uint32_t>(entries.size()), single);
  check(oneOf(single.code, kCodes), "a single-port code outside the parts");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  static const bool loaded = [] {
    nQoSim::setStatusLogging(false);
    return moduleMessageEntry(0) == 0;
  }();
  check(loaded, "module not loaded");
  nQoSim::resetResourceBroker();
  tReader input{data, size};
  switch (input.byte() % 3) {
    case 0: eepromRequest(input); break;
    case 1: tedsRequest(input); break;
    default: powerup(input);
  }
  nQoSim::resetResourceBroker();
  return 0;
}
