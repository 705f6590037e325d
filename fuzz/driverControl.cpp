// Control calls on a brought-up driver: each input is a run of calls, each
// call four bytes of code (taken modulo 48 unless the top bit is set) and one
// byte of out-block size (0-8; 0xFF: no block). Removal, re-arrival, rebuild,
// whole-device reservation and the answers all run; no write lands past a
// block, no call answers a warning, and after every call the driver is idle
// (no call counted, no pool held).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "device/tDriver.h"
#include "frame/moduleEntry.h"
#include "sim/simDevices.h"
#include "sim/simParameterBlock.h"
#include "sim/simResourceBroker.h"
#include "sim/simRouting.h"
#include "sim/tSimBoard.h"
#include "sim/tSimDeviceTable.h"
#include "support/tFreshSimulation.h"

namespace {

constexpr std::size_t kCallSize = 5;
constexpr std::size_t kMostCalls = 12;

void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz_driverControl: %s\n", what);
  std::abort();
}

// One board, its tree and a driver brought up once, kept for every input.
struct tWorld {
  tWorld() {
    moduleMessageEntry(0);
    nQoSim::resetResourceBroker();
    nQoSim::setDeviceTree(&tree);
    nQoSim::setRoutingLogging(false);
    tree.setNode(0, &board.node);
    nQoMDBG100::tStatus2 status;
    driver->initialize({1, 2}, 0, status);
    driver->control(8, nullptr, nullptr, status);
    check(status.code == 0, "bring-up failed");
  }
  ~tWorld() {
    driver.reset();
    nQoSim::setDeviceTree(nullptr);
    moduleMessageEntry(1);
  }
  nQoSim::tSimBoard board{0x5D01, 16};
  nQoSim::tSimDeviceTable tree{{&board.device}};
  std::unique_ptr<nQoUdR100::tDriver> driver = std::make_unique<nQoUdR100::tDriver>();
};

// Nothing here reads the board's logs: each input starts them empty, so that
// a long run of a driver that lives for all of them stays in bounded memory.
void clearLogs(tWorld& world) {
  world.board.windows.clearLog();
  world.board.bus.clearCalls();
  world.board.device.clearQueries();
  world.tree.clearLookups();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  static tWorld world;
  clearLogs(world);
  for (std::size_t call = 0; call < kMostCalls && size >= kCallSize;
       ++call, data += kCallSize, size -= kCallSize) {
    uint32_t code = uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 |
                    uint32_t(data[3]) << 24;
    if ((code & 0x80000000) == 0) code %= 48;
    const uint8_t blockSize = data[4];
    auto block = std::make_unique<nQoSim::tByteParameterBlock>(
        std::vector<uint8_t>(blockSize == 0xFF ? 0 : blockSize % 9, 0));
    nQoMDBG100::tStatus2 status;
    world.driver->control(code, nullptr, blockSize == 0xFF ? nullptr : block.get(), status);
    check(status.code == 0 || status.code < 0, "a warning from a control call");
    check(world.driver->isIdle(0, 0, nullptr), "a call or a hold left counted");
  }
  return 0;
}
