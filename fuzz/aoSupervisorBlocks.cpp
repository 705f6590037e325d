// Control blocks and stream counts from outside: drives the AO timing
// supervisor with codes 257 to 267, 400 and 401 (and others) over in and out
// blocks of 0 to 8 bytes, and the AO FIFO supervisor's write with any count
// on 0 to 4 channels. Documented codes never answer -50256, others always
// do; no query writes more than two values; a write answers at most its
// count and refuses with -50150 exactly when count × channels passes 32 bits.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "mrl/iResourceBroker.h"
#include "sim/simParameterBlock.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "supervisors/ao/tBaseAOTimingControllerSupervisor.h"
#include "supervisors/ao/tBaseAO_FIFOSupervisor.h"
#include "support/tFreshSimulation.h"

namespace {

using nQoMDBG100::tStatus2;

struct tDescribed {
  tStatus2 built;
  nQoUdP100::tAODescription description{.fifoDepth = 16, .maxChannels = 4};
};

// Every operation moves the state as the board's engine does and succeeds.
class tQuietTiming : private tDescribed, public nQoUdP100::tBaseAOTimingControllerPrimitive {
 public:
  tQuietTiming() : tBaseAOTimingControllerPrimitive(&description, nullptr, built) {}
  void commit(tStatus2&) override { _state.setCommitted(); }
  void uncommit(tStatus2&) override { _state.setUncommitted(); }
  void arm(tStatus2&) override { _state.setArmed(); }
  void disarm(tStatus2&) override { _state.setCommitted(); }
  void start(tStatus2&) override { _state.setRunning(); }
  void stop(tStatus2&) override { _state.setArmed(); }
  void requestEndA(tStatus2*) override {}
  void requestEndB(tStatus2*) override {}
  void setMode3Hold(uint32_t flag, tStatus2&) override { _hold = flag; }
  uint32_t hold() const override { return _hold; }
  void softwareUpdatePulse(tStatus2&) override {}
  void setUpdateInterval(uint32_t, tStatus2&) override {}
  uint32_t readCount120(tStatus2*) override { return 0; }
  uint32_t readUpdateCounter(tStatus2&) override { return 0; }
  uint32_t readBufferCounter(tStatus2&) override { return 0; }
  uint32_t getUpdatesDone(tStatus2&, uint32_t) override { return 3; }
  void driveUpdateOutput(tStatus2&) override {}
  bool isUpdateFlagSet(tStatus2*) override { return true; }
  void acknowledgeUpdateFlag(tStatus2*) override {}
  void enableUpdateInterrupt(tStatus2&) override {}

 private:
  uint32_t _hold = 0;
};

// Takes every sample it is offered without reading it.
class tQuietFIFO : private tDescribed, public nQoUdP100::tBaseAO_FIFOPrimitive {
 public:
  tQuietFIFO() : tBaseAO_FIFOPrimitive(&description, built) {}
  // The record takes the settings, as the board's commit does.
  void commit(tStatus2&) override { noteProgrammed(_fields.program()); }
  void uncommit(tStatus2&) override {}
  void arm(tStatus2&) override {}
  void complete(tStatus2&) override {}
  void start(tStatus2&) override {}
  void restoreArmed(tStatus2&) override {}
  void clearFIFO(tStatus2&) override {}
  uint32_t writeSample(const int16_t*, tStatus2&) override { return 1; }
  uint32_t writeSamples(const int16_t*, uint32_t count, tStatus2&) override { return count; }
};

constexpr uint32_t kCodes[] = {1,   2,   3,   4,   257, 258, 259, 260, 261,  262,
                               263, 264, 265, 266, 267, 400, 401, 77,  4100, 0};

bool documented(uint32_t code) { return code != 77 && code != 4100 && code != 0; }

void driveTiming(nQoUdR100::tBaseAOTimingControllerSupervisor& supervisor, const uint8_t* step) {
  const uint32_t code = kCodes[step[0] % 20];
  const size_t inSize = step[1] % 10;
  const size_t outSize = step[2] % 10;
  std::vector<uint8_t> inBytes(step + 3, step + 3 + (inSize < 9 ? inSize : 8));
  nQoSim::tByteParameterBlock in(inBytes), out(std::vector<uint8_t>(outSize < 9 ? outSize : 8));
  tStatus2 status;
  supervisor.control(code, inSize == 9 ? nullptr : &in, outSize == 9 ? nullptr : &out, status);
  if (documented(code) == (status.code == -50256)) std::abort();
  if (out.written().size() > 2 || supervisor.getState() > 6) std::abort();
}

void driveWrite(nQoUdR100::tBaseAO_FIFOSupervisor& supervisor,
                nQoUdP100::tBaseAO_FIFOPrimitive& fifo, const uint8_t* step) {
  uint32_t count;
  std::memcpy(&count, step + 1, sizeof count);
  fifo.deploy({.channelCount = step[0] % 5u});
  tStatus2 committed;
  fifo.commit(committed);
  const int16_t sample = 1;
  tStatus2 status;
  const uint32_t written = supervisor.write(count, 0, &sample, nullptr, status);
  const bool wide = static_cast<uint64_t>(count) * fifo.writeChannels() > 0xFFFFFFFFu;
  if (written > count || wide != (status.code == -50150)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  nQoSim::setStatusLogging(false);
  nQoSim::resetResourceBroker();
  tStatus2 setup;
  tQuietTiming timing;
  tQuietFIFO fifo;
  nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAOTimingControllerPrimitive*> timingPool(
      &timing);
  nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAO_FIFOPrimitive*> fifoPool(&fifo);
  nQoUdR100::tAOTimingControllerSettings timingSettings;
  nQoUdR100::tAO_FIFOSettings fifoSettings;
  timingSettings.record<0>().identifier.setString("AOTiming", setup);
  timingSettings.record<0>().word28 = size > 0 ? data[0] & 1 : 0;
  fifoSettings.identifier.setString("AOFIFO", setup);
  fifoSettings.word3 = 2;
  nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(setup);
  broker->registerPool(&timingSettings.record<0>().identifier, &timingPool, setup);
  broker->registerPool(&fifoSettings.identifier, &fifoPool, setup);
  nQoUdR100::tBaseAOTimingControllerSupervisor timingSupervisor;
  nQoUdR100::tBaseAO_FIFOSupervisor fifoSupervisor;
  timingSupervisor.initialize(timingSettings, nullptr, setup);
  timingSupervisor.reserveResource(setup);
  fifoSupervisor.initialize(fifoSettings, nullptr, setup);
  fifoSupervisor.reserveResource(setup);
  if (setup.code != 0) std::abort();

  // Each step: a selector byte, then 11 bytes for the timing block or the
  // FIFO write.
  constexpr size_t kStep = 12;
  for (size_t at = 1; at + kStep <= size; at += kStep) {
    if ((data[at] & 1) == 0)
      driveTiming(timingSupervisor, data + at + 1);
    else
      driveWrite(fifoSupervisor, fifo, data + at + 1);
  }
  timingSupervisor.commitCancel(setup);
  timingSupervisor.releaseResource(setup);
  fifoSupervisor.releaseResource(setup);
  nQoSim::resetResourceBroker();
  return 0;
}
