// The EEPROM facade from outside. The input, read as a tape that wraps
// round, gives the 1,024 bytes the board's EEPROM holds and the map format
// (1, 2 or another), then up to 64 facade calls after load: field, indexed,
// coefficient and string reads and writes with any ids, kinds, indexes,
// ranges, addresses and lengths, area selections and the map's words. An
// access outside the shadow (sanitizers) or the window (the simulated bus
// halts) aborts; every code is 0, -50003, -50005, -50010, -50013, -50150 or
// -50256; nothing leaks.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "frame/moduleEntry.h"
#include "mdbg/tStatus2.h"
#include "primitives/eeprom/tUdSeriesCalDeviceFunctions.h"
#include "sim/simAllocator.h"
#include "sim/simStatusLog.h"
#include "sim/tSimBus.h"
#include "sim/tSimEEPROM.h"
#include "sim/tSimRegisterWindows.h"
#include "support/tFreshSimulation.h"
#include "tavik/tTavik.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tEEPROM;

void check(bool condition) {
  if (!condition) std::abort();
}

bool allowed(int code) {
  return code == 0 || code == -50003 || code == -50005 || code == -50010 || code == -50013 ||
         code == -50150 || code == -50256;
}

class tTape {
 public:
  tTape(const uint8_t* data, size_t size) : _data(data), _size(size) {}
  uint8_t byte() { return _data[_at++ % _size]; }
  uint32_t word() {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = value << 8 | byte();
    return value;
  }

 private:
  const uint8_t* _data;
  size_t _size;
  size_t _at = 0;
};

// The board: a Tavik window with the EEPROM behind it, the bus-interface
// window and the lent enable window; no logs.
struct tBoard {
  tBoard() {
    windows.setLogging(false);
    bus.setLogging(false);
    bus.answerSubWindowOf(1, 2, vesk);
    bus.answerSubWindowOf(1, 3, tavik);
    bus.answerSubWindowOf(3, 1, enable);
  }
  nQoSim::tSimRegisterWindows windows;
  const unsigned pad = windows.addWindow(4);
  const unsigned tavik = windows.addWindow(0x800);
  const unsigned vesk = windows.addWindow(0x400);
  const unsigned enable = windows.addWindow(0x100);
  nQoSim::tSimBus bus{windows};
  nQoSim::tSimEEPROM model{windows, tavik};
  tStatus2 mapStatus;
  nQoUdRLP100::nTavik::tTavik map{&bus, tavik, &mapStatus};
};

constexpr uint32_t kFields[] = {14687, 14688, 14689, 15914, 14690, 14691, 14692, 1};
constexpr int16_t kExponents[] = {0, -3, 3, -6, 30000};

uint32_t fieldId(tTape& tape) {
  const uint8_t pick = tape.byte();
  return pick < 224 ? kFields[pick % 8] : tape.word();
}

nQoUdRLP100::tInterval range(tTape& tape) {
  const int16_t exponent = kExponents[tape.byte() % 5];
  if (tape.byte() < 128) {
    const int32_t high = static_cast<int32_t>(tape.byte() % 12) * (exponent == -3 ? 100 : 1);
    return {{-high, exponent, 1}, {high, exponent, 1}};
  }
  return {{static_cast<int32_t>(tape.word()), exponent, static_cast<uint16_t>(tape.byte() % 3)},
          {static_cast<int32_t>(tape.word()), exponent, 1}};
}

void call(tEEPROM& eeprom, tTape& tape) {
  uint8_t buffer[64];
  std::memset(buffer, 0x5C, sizeof buffer);
  const uint32_t length = tape.byte() % 65;
  tStatus2 status;
  switch (tape.byte() % 16) {
    case 0: eeprom.readField(fieldId(tape), length, buffer, status); break;
    case 1: eeprom.writeField(fieldId(tape), length, buffer, status); break;
    case 2: eeprom.readFieldFromDevice(fieldId(tape), length, buffer, status); break;
    case 3:
      eeprom.readIndexedField(tape.byte() % 7, tape.byte() % 5, length, buffer, status);
      break;
    case 4:
      eeprom.writeIndexedField(tape.byte() % 7, tape.byte() % 5, length, buffer, status);
      break;
    case 5:
    case 6: {
      const tEEPROM::tCoefficient which{tape.byte() % 7u, tape.byte() % 4u, tape.byte() % 4u,
                                        range(tape), tape.byte() % 6u};
      if (tape.byte() % 2 == 0)
        eeprom.readCalibrationCoefficient(which, length, buffer, status);
      else
        eeprom.writeCalibrationCoefficient(which, length, buffer, status);
      break;
    }
    case 7: eeprom.readStringField(fieldId(tape), length, buffer, status); break;
    case 8: eeprom.writeStringField(fieldId(tape), length, buffer, status); break;
    case 9: eeprom.readStringFieldFromDevice(fieldId(tape), length, buffer, status); break;
    case 10: eeprom.read(tape.word(), length, buffer, status); break;
    case 11: eeprom.write(tape.word(), length, buffer, status); break;
    case 12: eeprom.readFromDevice(tape.word(), length, buffer, status); break;
    case 13: {
      const uint32_t size = tape.byte() % 9;
      const uint32_t count = size == 0 ? tape.byte() : 64 / size;
      eeprom.readArray(tape.word(), count, size, buffer, status);
      break;
    }
    case 14: eeprom.selectArea(tape.byte() < 128 ? 14693 : tape.word(), status); break;
    default:
      eeprom.getFormatByte(status);
      eeprom.getAreaAddress(tape.word(), status);
      eeprom.getAreaSize(tape.word(), status);
      if (tape.byte() % 4 == 0) eeprom.getContentMapWord19(tape.word(), status);
      if (tape.byte() % 8 == 0) eeprom.copyCalibrationArea(status);
      break;
  }
  check(allowed(status.code));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  static const bool loaded = [] {
    nQoSim::setStatusLogging(false);
    return moduleMessageEntry(0) == 0;
  }();
  check(loaded);
  if (size < 1) return 0;
  static tBoard* board = new tBoard;
  check(board->mapStatus.code == 0);
  board->model.writes.clear();
  board->model.busyReads = 0;
  const int64_t liveBefore = nQoSim::liveAllocations();
  tTape tape(data, size);
  for (uint8_t& byte : board->model.bytes) byte = tape.byte();
  const uint8_t format = tape.byte();
  {
    nQoUdP100::tCalibrationDescription description{nullptr, format < 200 ? 1u + format % 2 : format,
                                                   0, 1u + tape.byte() % 4};
    nQoUdP100::tCalibrationObjects objects;
    tStatus2 status;
    nQoUdP100::tUdSeriesCalDeviceFunctions::createCalibrationObjects(
        &description, &board->map, &board->bus, objects, 0, status);
    check(allowed(status.code));
    if (status.code == 0) {
      check(objects.eeprom != nullptr && objects.eeprom->isInitialized() == 1);
      const unsigned calls = tape.byte() % 65;
      for (unsigned i = 0; i < calls; ++i) call(*objects.eeprom, tape);
    }
    nQoUdP100::tUdSeriesCalDeviceFunctions::destroyCalibrationObjects(objects);
  }
  check(nQoSim::liveAllocations() == liveBefore);
  return 0;
}
