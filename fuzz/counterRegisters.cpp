// Register operations from outside on the counter-pair map, through its
// identifier table, on both layouts (layout 1 lent the board map's DMA control
// and interrupt enable registers). Each record of 8 bytes is one operation on a
// fresh status: register index (beyond the map too), field, operation (its
// low bits; bit 4 forces, bit 5 picks the layout) and a 32-bit value. The
// codes are only 0, -50003, -50005, -50009 and -50012; every access lies in
// the board window at the operated register's offset and width; in layout 1
// nothing is written to the board's four shared registers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "counters/tCtrPair.h"
#include "mdbg/tStatus2.h"
#include "registers/registerId.h"
#include "sim/simDevices.h"
#include "sim/tSimBus.h"
#include "sim/tSimDevice.h"
#include "sim/tSimDeviceTable.h"
#include "sim/tSimRegisterWindows.h"
#include "support/tFreshSimulation.h"
#include "tavik/tTavik.h"

namespace {

using W = nQoSim::tSimRegisterWindows;
using nQoTIO100::tCtrPair;

void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz_counterRegisters: %s\n", what);
  std::abort();
}

bool allowed(int code) {
  return code == 0 || code == -50003 || code == -50005 || code == -50009 || code == -50012;
}

// Runs one operation; answers its code.
int operate(tCtrPair& pair, uint32_t id, uint32_t operation, uint32_t value) {
  nQoMDBG100::tStatus2 status;
  const unsigned force = (operation >> 4) & 1;
  if ((operation & 7) == 7) {
    pair.markDirty(id, &status);
    return status.code;
  }
  tCtrPair::tRegister* target = pair.registerObject(id);
  if (target == nullptr) return -50003;  // what the table's users report
  const uint32_t field = nQoUdRLP100::fieldIdentifier(id);
  switch (operation & 7) {
    case 0: target->setField(field, value, &status); break;
    case 1: target->writeField(field, value, &status, force); break;
    case 2: target->getField(field, &status); break;
    case 3: target->readField(field, &status); break;
    case 4: target->flush(&status, force); break;
    case 5: target->refresh(&status); break;
    default: target->setField(0, value, &status); break;
  }
  return status.code;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  static W windows;
  static const unsigned board = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  static nQoSim::tSimBus bus(windows);
  static nQoSim::tSimDevice device(&bus);
  static nQoSim::tSimDeviceTable tree({&device});
  static const bool viewAnswered = (bus.answerView(256, windows.addView(board, 0x100, 196)), true);
  (void)viewAnswered;
  bus.setLogging(false);
  windows.clearLog();
  tree.clearLookups();
  device.clearQueries();
  nQoSim::setDeviceTree(&tree);
  {
    nQoMDBG100::tStatus2 status;
    nQoUdRLP100::nTavik::tTavik boardMap(&bus, board, &status);
    tCtrPair pairs[2] = {{&bus, 256, &status}, {0u, 256, boardMap, &status}};
    check(status.code == 0, "set-up failed");
    for (size_t at = 0; at + 8 <= size; at += 8) {
      const uint32_t index = data[at] % 48;
      const uint32_t operation = data[at + 2];
      const uint32_t id = nQoUdRLP100::makeRegisterId(index, data[at + 1] % 48);
      const uint32_t value = uint32_t(data[at + 4]) | uint32_t(data[at + 5]) << 8 |
                             uint32_t(data[at + 6]) << 16 | uint32_t(data[at + 7]) << 24;
      const uint32_t layout = (operation >> 5) & 1;
      windows.clearLog();
      check(allowed(operate(pairs[layout], id, operation, value)), "unexpected code");
      for (const W::tAccess& access : windows.log()) {
        check(index < 46, "an access for an index beyond the map");
        check(access.window == board && access.offset == 0x100 + tCtrPair::windowOffset(index) &&
                  access.width == tCtrPair::accessWidth(index),
              "an access outside the register's place");
        const bool shared = access.offset == 0x192 || access.offset == 0x196 ||
                            access.offset == 0x1B8 || access.offset == 0x1BA;
        check(layout == 0 || access.direction != W::kWrite || !shared,
              "layout 1 wrote a register of the board");
      }
    }
  }
  nQoSim::setDeviceTree(nullptr);
  return 0;
}
