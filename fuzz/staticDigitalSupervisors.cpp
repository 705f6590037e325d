// The static digital supervisors from outside. Byte 0 picks the part. The
// CDIO supervisor takes a code byte (1, 4, 256, 257 or another), a flags byte
// (no block, no redirector, skip flag, mode) and the in-block bytes, kept in
// storage of exactly their size so that a read past the block is caught by
// the address sanitizer. The 37-pin supervisor takes a direction, a 16-bit
// line mask and a 16-bit mask of PFI terminals held elsewhere; after a
// refused reservation, or a granted one and its release, exactly those
// terminals are held. Only the supervisors' codes appear.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "cdp/iImmedDigPrim.h"
#include "frame/moduleEntry.h"
#include "mdbg/tStatus2.h"
#include "mrl/iControlParameterBlock.h"
#include "mrl/iResourceBroker.h"
#include "mrl/tGeneralIdentifier.h"
#include "mrl/tImmedDigResource.h"
#include "mrl/tTESKMaskedIdentifier.h"
#include "mru/tTerminalReservation.h"
#include "primitives/cdio/iImmedDigWriteRedirector.h"
#include "reservation/tInfiniteResourcePool.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "sim/simTerminalReservation.h"
#include "supervisors/dio/tCDIOImmedDigSupervisor.h"
#include "supervisors/dio/tavikDigSupervisors.h"
#include "support/tFreshSimulation.h"

namespace {

using nQoMDBG100::tStatus2;

void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz_staticDigitalSupervisors: %s\n", what);
  std::abort();
}

bool oneOf(int code, std::initializer_list<int> codes) {
  for (int allowed : codes)
    if (code == allowed) return true;
  return false;
}

constexpr std::initializer_list<int> kCodes = {0, -50004, -50150, -50256, -88708, -200022};

struct tReader {
  const uint8_t* data;
  size_t size;
  uint8_t byte() {
    if (size == 0) return 0;
    --size;
    return *data++;
  }
  uint32_t half() { return byte() | (uint32_t{byte()} << 8); }
};

// A block whose data area is a heap copy of exactly the given bytes.
class tExactBlock : public nQoMRL100::iControlParameterBlock {
 public:
  tExactBlock(const uint8_t* data, size_t size) : _bytes(new uint8_t[size]), _size(size) {
    for (size_t i = 0; i < size; ++i) _bytes[i] = data[i];
  }
  ~tExactBlock() override { delete[] _bytes; }
  tExactBlock(const tExactBlock&) = delete;
  tExactBlock& operator=(const tExactBlock&) = delete;
  uint16_t readU16(int&) override { return 0; }
  int32_t readI32(int&) override { return 0; }
  uint32_t readU32(int&) override { return 0; }
  void* getData() override { return _bytes; }
  uint32_t getSize() const override { return static_cast<uint32_t>(_size); }
  void writeU32(uint32_t, int&) override {}

 private:
  uint8_t* _bytes;
  size_t _size;
};

// Registers the pool under the device's name for it; the name must outlive
// the registration.
void offer(nQoMRL100::tGeneralIdentifier& name, const char* type,
           nQoMRL100::iLeafResourcePool* pool) {
  tStatus2 s;
  name.setDeviceGUID({2, 2});
  name.setString(type, s);
  nQoMRL100::getResourceBroker(s)->registerPool(&name, pool, s);
  check(s.code == 0, "pool not registered");
}

class tLines : public nQoUdP100::iImmedDigWriteRedirector {
 public:
  uint32_t readLines(uint32_t, uint32_t* value, tStatus2&) override {
    *value = 0x5A;
    return 1;
  }
  uint32_t writeLines(uint32_t, uint32_t, tStatus2&) override { return 1; }
  void setLineMode(uint32_t, int32_t, tStatus2&) override {}
  void setRedirectTarget(nQoCDP100::iImmedDigPrim*) override {}
};

void cdioSupervisor(tReader& input) {
  static const uint32_t kControlCodes[] = {1, 4, 256, 257, 2};
  const uint32_t code = kControlCodes[input.byte() % 5];
  const uint8_t flags = input.byte();
  tLines lines;
  nQoCDR110::tImmedDigResource primitivePool(&lines);
  nQoUdR100::tInfiniteResourcePool<nQoUdP100::iImmedDigWriteRedirector*> redirectorPool(
      (flags & 2) != 0 ? nullptr : &lines);
  nQoMRL100::tGeneralIdentifier primitiveName, redirectorName;
  offer(primitiveName, nQoCDR100::kImmedDigPrimName, &primitivePool);
  offer(redirectorName, nQoUdR100::tCDIOImmedDigSupervisor::kRedirectorName, &redirectorPool);
  nQoUdR100::tCDIOImmedDigSupervisor supervisor;
  supervisor.deviceGUID = {2, 2};
  supervisor.lineMask = supervisor.words.lineMask = 0xFF;
  supervisor.words.skip = (flags >> 2) & 1;
  supervisor.words.mode = flags >> 4;
  supervisor.words.writeMask = 0xFF;
  tStatus2 s;
  supervisor.reserveResource(s);
  check(oneOf(s.code, kCodes), "a reservation code outside the supervisor's");
  tExactBlock block(input.data, input.size);
  tStatus2 c;
  supervisor.control(code, (flags & 1) != 0 ? nullptr : &block, nullptr, c);
  check(oneOf(c.code, kCodes), "a control code outside the supervisor's");
  tStatus2 r;
  supervisor.releaseResource(r);
  check(r.code == 0, "release failed");
}

void thirtySevenPin(tReader& input) {
  nQoSim::resetTerminalReservation();
  const uint32_t direction = input.byte() & 1;
  const uint32_t mask = input.half();
  const uint32_t held = input.half();
  std::vector<std::string> elsewhere;
  for (uint32_t terminal = 0; terminal < 16; ++terminal) {
    if ((held & (1u << terminal)) == 0) continue;
    elsewhere.push_back("PFI" + std::to_string(terminal));
    tStatus2 other;
    nQoMRU210::tTerminalReservation::reserve({1, 1}, elsewhere.back().c_str(), 0, L"", other);
  }
  nQoCDR110::tImmedDigResource pool(nullptr);
  nQoMRL100::tGeneralIdentifier name;
  offer(name, nQoCDR100::kImmedDigPrimName, &pool);
  nQoUdR100::tTavik37PinDigSupervisor supervisor;
  supervisor.deviceGUID = {2, 2};
  supervisor.direction = direction;
  supervisor.lineMask = mask;
  tStatus2 s;
  supervisor.reserveResource(s);
  check(oneOf(s.code, kCodes), "a reservation code outside the supervisor's");
  if (s.code == 0) {
    tStatus2 r;
    supervisor.releaseResource(r);
    check(r.code == 0, "release failed");
  }
  check(nQoSim::heldTerminals() == elsewhere, "a terminal kept or taken from its holder");
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
  if (input.byte() % 2 == 0)
    cdioSupervisor(input);
  else
    thirtySevenPin(input);
  nQoSim::resetResourceBroker();
  return 0;
}
