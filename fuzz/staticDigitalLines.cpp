// Calls from outside on the static digital section: each record of the input
// picks a member (port 0, PFI, fixed input, fixed output, link lines, the
// link's hardware and software timing controllers, the comm routing over port
// 0 or over no port lines), an operation, a mode, a mask, a value and a
// line-state record, and runs it on a fresh status. Nothing crashes or
// reaches outside the window (the simulated windows trap that); the codes are
// only 0, -50003, -50004, -50150 and -223748; a refused call writes nothing.
//
// Layout: a first byte (bit 0: the routing's reservers are set), then records
// of 11 bytes: member, operation, mode (signed), mask (32 bits), value (32
// bits); missing bytes read as 0. At most 64 records are run.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "mdbg/tStatus2.h"
#include "primitives/dio/tTavikCommRoutingPrimitive.h"
#include "primitives/dio/tTavikFixedInputImmedDigPrimitive.h"
#include "primitives/dio/tTavikFixedOutputImmedDigPrimitive.h"
#include "primitives/dio/tTavikHWTimingControllerPrimitive.h"
#include "primitives/dio/tTavikImmedDigPrimitive.h"
#include "primitives/dio/tTavikPFIImmedDigPrimitive.h"
#include "primitives/dio/tTavikSWTimingControllerPrimitive.h"
#include "primitives/dio/tTavikTESKImmedDigPrimitive.h"
#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"
#include "support/tFreshSimulation.h"
#include "tavik/tTavik.h"

namespace {

using namespace nQoUdP100;
using nQoMDBG100::tStatus2;
using W = nQoSim::tSimRegisterWindows;

void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz_staticDigitalLines: %s\n", what);
  std::abort();
}

class tBytes {
 public:
  tBytes(const uint8_t* data, size_t size) : _data(data), _size(size) {}
  uint32_t take(unsigned bytes) {
    uint32_t value = 0;
    for (unsigned at = 0; at < bytes; ++at, ++_at)
      if (_at < _size) value |= uint32_t(_data[_at]) << (8 * at);
    return value;
  }
  bool more() const { return _at < _size; }

 private:
  const uint8_t* _data;
  size_t _size;
  size_t _at = 0;
};

struct tAcceptingReserver : iDigReserver {
  void reserve(uint32_t, tStatus2&) override {}
  void release(uint32_t, tStatus2&) override {}
};

size_t writeCount(const W& windows) {
  size_t count = 0;
  for (const auto& access : windows.log())
    if (access.direction == W::kWrite) ++count;
  return count;
}

bool allowed(int code) {
  return code == 0 || code == -50003 || code == -50004 || code == -50150 || code == -223748;
}

struct tSection {
  explicit tSection(nQoUdRLP100::nTavik::tTavik& map, tStatus2& status)
      : port(map, status),
        pfi(map, status),
        fixedInput(map),
        fixedOutput(map, status),
        link(map, status),
        hw(map, status),
        sw(map),
        routing(map, &port, status),
        fixedRouting(map, nullptr, status) {}

  nQoCDP100::iImmedDigPrim* lines(uint32_t member) {
    nQoCDP100::iImmedDigPrim* all[] = {&port, &pfi, &fixedInput, &fixedOutput, &link};
    return member < 5 ? all[member] : nullptr;
  }
  iImmedDigPrimitive* full(uint32_t member) {
    iImmedDigPrimitive* all[] = {&port, &pfi, &fixedInput, &fixedOutput};
    return member < 4 ? all[member] : nullptr;
  }

  tTavikImmedDigPrimitive port;
  tTavikPFIImmedDigPrimitive pfi;
  tTavikFixedInputImmedDigPrimitive fixedInput;
  tTavikFixedOutputImmedDigPrimitive fixedOutput;
  tTavikTESKImmedDigPrimitive link;
  tTavikHWTimingControllerPrimitive hw;
  tTavikSWTimingControllerPrimitive sw;
  tTavikCommRoutingPrimitive routing;
  tTavikCommRoutingPrimitive fixedRouting;
};

void run(tSection& section, uint32_t member, uint32_t operation, int32_t mode, uint32_t mask,
         uint32_t value, tStatus2& status) {
  uint32_t read = 0;
  if (member < 5) {
    nQoCDP100::iImmedDigPrim* lines = section.lines(member);
    switch (operation % 4) {
      case 0: lines->readLines(mask, &read, status); break;
      case 1: lines->writeLines(mask, value, status); break;
      case 2: lines->setLineMode(mask, mode, status); break;
      default:
        if (iImmedDigPrimitive* full = section.full(member)) {
          // Two records, as the PFI member reads them.
          const tLineState states[2] = {{1, mask, value}, {1, mask >> 8, value >> 8}};
          full->applyLineState(states, mode & 1, status);
        }
    }
    return;
  }
  if (member == 5) {
    switch (operation % 7) {
      case 0: section.hw.start(status); break;
      case 1: section.hw.stop(status); break;
      case 2: section.hw.setClockSource(mode, status); break;
      case 3: section.hw.strobe(status); break;
      case 4: section.hw.readStatus(status); break;
      case 5: section.hw.writeData(static_cast<uint8_t>(value), status); break;
      default: section.hw.isBusy(status);
    }
    return;
  }
  if (member == 6) {
    section.sw.setSoftwareClock(mode, status);
    return;
  }
  tTavikCommRoutingPrimitive& routing = member == 7 ? section.routing : section.fixedRouting;
  switch (operation % 3) {
    case 0: routing.connect(mode, status); break;
    case 1: routing.disconnect(mode, status); break;
    default: routing.reset(status);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  static W windows;
  static const unsigned window = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  static nQoSim::tSimBus bus(windows);
  bus.setLogging(false);
  windows.clearLog();

  tBytes bytes(data, size);
  const bool reservers = (bytes.take(1) & 1) != 0;
  {
    tStatus2 status;
    nQoUdRLP100::nTavik::tTavik map(&bus, window, &status);
    tSection section(map, status);
    tAcceptingReserver ports, pfis;
    if (reservers) {
      for (tTavikCommRoutingPrimitive* routing : {&section.routing, &section.fixedRouting}) {
        routing->setPortLineReserver(&ports, status);
        routing->setPFILineReserver(&pfis, status);
      }
    }
    check(status.code == 0, "set-up failed");
    for (int record = 0; record < 64 && bytes.more(); ++record) {
      const uint32_t member = bytes.take(1) % 9;
      const uint32_t operation = bytes.take(1);
      const int32_t mode = static_cast<int8_t>(bytes.take(1));
      const uint32_t mask = bytes.take(4);
      const uint32_t value = bytes.take(4);
      windows.clearLog();
      tStatus2 call;
      run(section, member, operation, mode, mask, value, call);
      check(allowed(call.code), "a code outside the set");
      if (call.code != 0) check(writeCount(windows) == 0, "a refused call wrote");
    }
  }
  return 0;
}
