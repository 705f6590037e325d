#include "aoTask.h"

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <vector>

#include "msrl/iOutputStream.h"
#include "settings/aoDACSettings.h"
#include "settings/aoTimingSettings.h"
#include "settings/tAO_FIFOSettings.h"
#include "stallWatch.h"
#include "supervisors/ao/tBaseAOTimingControllerSupervisor.h"
#include "supervisors/ao/tBaseAO_DACSupervisor.h"
#include "supervisors/ao/tBaseAO_FIFOSupervisor.h"
#include "taskMembers.h"

namespace nQoHost {

namespace {

using nQoMDBG100::tStatus2;

// Map keys of the task's supervisors.
enum : uint32_t { kDAC0 = 1, kDAC1, kFIFO, kTiming };
constexpr uint32_t kChannels = 2;
constexpr uint32_t kDirectWrites = 2;  // the FIFO's transfer mode

// Sample k of the waveform, as the FIFO data register receives it: 16 bits,
// sign-extended.
int16_t sample(uint32_t k) { return static_cast<int16_t>(0x8000 + 257 * k); }

class tAORun {
 public:
  tAORun(nQoSim::tSimBoard& board, const nQoORB100::tGUID& device, const tHostOptions& options)
      : _board(board),
        _device(device),
        _updates(options.updates),
        _stallWindow(std::chrono::seconds(options.stallSeconds)),
        _facade(_event) {}

  tAOOutcome run() {
    tAOOutcome outcome;
    int created = 0;
    create(created);
    tStatus2 status;
    if (created < 0) status.setCode(created, "udhost", "aoTask", 1);
    _members.bringUp(&_facade, status);
    _members.control(1, {kDAC0, kDAC1, kFIFO, kTiming}, status);
    _members.control(4100, {kFIFO}, status);
    outcome.written = write(status);
    _members.control(2, {kFIFO, kTiming}, status);
    if (status.isNotFatal()) {
      outcome.done = wait();
      tStatus2 stop;
      _members.control(3, {kTiming, kFIFO}, stop);
      _members.control(4101, {kFIFO}, stop);
      _members.control(4, {kFIFO, kTiming, kDAC0, kDAC1}, stop);
      outcome.stop = stop.code;
    } else {
      outcome.failed = status.code;
    }
    if (!outcome.done) _members.commitCancel();
    _members.undo();
    outcome.events = _event.postedText();
    if (!outcome.done && status.isNotFatal())
      outcome.events += outcome.events.empty() ? "timeout" : ",timeout";
    check(outcome);
    return outcome;
  }

 private:
  void create(int& status) {
    using namespace nQoUdR100;
    for (uint32_t channel = 0; channel < kChannels; ++channel) {
      tAO_DACSettings dac;
      namePool(dac.record<0>().identifier, "AO_DAC", _device, status, channel);
      _members.add(makeMember(kDAC0 + channel, dac, tBaseAO_DACSupervisor::kClassName, status));
    }

    tAO_FIFOSettings fifo;
    namePool(fifo.identifier, "AO_FIFO", _device, status);
    fifo.word3 = kDirectWrites;
    fifo.longWord = uint64_t{kChannels} * _updates;
    for (uint32_t channel = 0; channel < kChannels; ++channel)
      if (!fifo.list.append(channel)) status = nQoUdR100::kOutOfMemory;
    _members.add(makeMember(kFIFO, fifo, tBaseAO_FIFOSupervisor::kClassName, status));

    tAOTimingControllerSettings timing;
    auto& words = timing.record<0>();
    namePool(words.identifier, "AOTiming", _device, status);
    words.word8 = _updates;  // the first buffer
    words.word9 = _updates;
    words.word10 = 1;  // one buffer
    words.word11 = 0;  // mode 0
    _members.add(
        makeMember(kTiming, timing, tBaseAOTimingControllerSupervisor::kClassName, status));
  }

  // The waveform, u updates of both channels, through the FIFO's stream;
  // answers the samples it took.
  uint32_t write(tStatus2& status) {
    if (status.isFatal()) return 0;
    auto* supervisor = static_cast<nQoMSRL100::iOutputStreamPrimitiveSupervisor*>(
        _members.supervisor(kFIFO)->___CPPKRLDynamicCast(
            &nQoMSRL100::iOutputStreamPrimitiveSupervisor::___classID));
    if (supervisor == nullptr) return 0;
    std::vector<int16_t> samples(std::size_t{kChannels} * _updates);
    for (uint32_t k = 0; k < samples.size(); ++k) samples[k] = sample(k);
    nQoMSRL100::iOutputStream* stream = supervisor->getOutputStreamPtr(status);
    return kChannels * stream->write(_updates, 0, samples.data(), nullptr, status);
  }

  // Steps the engine until the done event is posted, or until no update was
  // generated for the stall window.
  bool wait() {
    tStallWatch watch(_stallWindow);
    while (!_event.sawDone() && !watch.stalled(_board.ao.generated().size())) {
      _board.ao.step();
      _board.bus.pumpSecondary();
    }
    if (_event.sawDone()) return true;
    tStatus2 cancel;
    if (auto* timing = _members.supervisor(kTiming)) timing->requestCancel(cancel);
    return false;
  }

  void check(tAOOutcome& outcome) const {
    const std::vector<uint32_t>& generated = _board.ao.generated();
    outcome.generated = static_cast<uint32_t>(generated.size());
    outcome.data = "ok";
    const uint32_t expected = kChannels * _updates;
    for (uint32_t k = 0; k < expected; ++k) {
      if (k >= generated.size() || generated[k] != static_cast<uint32_t>(int32_t{sample(k)})) {
        outcome.data = "bad@" + std::to_string(k);
        return;
      }
    }
  }

  nQoSim::tSimBoard& _board;
  const nQoORB100::tGUID _device;
  const uint32_t _updates;
  const std::chrono::seconds _stallWindow;
  nQoSim::tSimEvent _event;
  nQoSim::tSimRuntimeFacade _facade;
  nQoSim::tSimSupervisorMap _map;
  tTaskMembers _members{_map};
};

}  // namespace

tAOOutcome runAOTask(nQoSim::tSimBoard& board, const nQoORB100::tGUID& device,
                     const nQoUdP100::tAODescription& ao, const tHostOptions& options) {
  if (uint64_t{kChannels} * options.updates >= ao.fifoDepth) {
    tAOOutcome skipped;
    skipped.skipped = true;
    skipped.fifoDepth = ao.fifoDepth;
    return skipped;
  }
  return tAORun(board, device, options).run();
}

void printAO(const char* model, const tHostOptions& options, const tAOOutcome& outcome) {
  if (outcome.skipped) {
    std::printf("ao: %s skipped fifo=%u\n", model, outcome.fifoDepth);
    return;
  }
  std::printf("ao: %s channels=%u updates=%u written=%u generated=%u events=%s stop=%d data=%s\n",
              model, kChannels, options.updates, outcome.written, outcome.generated,
              outcome.events.empty() ? "none" : outcome.events.c_str(),
              outcome.failed != 0 ? outcome.failed : outcome.stop, outcome.data.c_str());
}

}  // namespace nQoHost
