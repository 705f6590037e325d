#include "aiTask.h"

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <vector>

#include "frame/iReadable.h"
#include "frame/statusCodes.h"
#include "primitives/common/dmaChannelSelectCode.h"
#include "settings/aiSettings.h"
#include "settings/aiTransferSettings.h"
#include "sim/tSimDMATransfer.h"
#include "sim/tSimTaskObjects.h"
#include "stallWatch.h"
#include "supervisors/ai/aiSupervisors.h"
#include "supervisors/ai/aiTransferSupervisors.h"
#include "taskMembers.h"

namespace nQoHost {

namespace {

using nQoMDBG100::tStatus2;
using tPartner = nQoSim::tSimDMATransferPartner<nQoMXSL100::iReadable<unsigned char>>;

// Map keys of the task's supervisors.
enum : uint32_t { kSubsystem = 1, kTiming, kFrontEnd, kADC, kFIFO, kDMA, kChannel, kPartner };
constexpr uint32_t kChannels = 2;     // channels 0 and 1 at the default range -10..10 V
constexpr uint32_t kSampleBytes = 2;  // the simulated board's 16-bit samples

class tAIRun {
 public:
  tAIRun(nQoSim::tSimBoard& board, const nQoORB100::tGUID& device, const tHostOptions& options)
      : _board(board),
        _device(device),
        _options(options),
        _facade(_event),
        _channel(options.dmaChannel, nQoUdP100::dmaChannelSelectCode(options.dmaChannel),
                 board.windows, board.tavikWindow) {
    _map.entries[kChannel] = &_channel;
    _map.entries[kPartner] = &_partner;
    board.ai.holdAfter(options.stopAfter != 0 ? options.stopAfter : options.stallAfter);
  }

  tAIOutcome run() {
    tAIOutcome outcome;
    outcome.selectCode = nQoUdP100::dmaChannelSelectCode(_options.dmaChannel);
    int created = 0;
    create(created);
    tStatus2 status;
    if (created < 0) status.setCode(created, "udhost", "aiTask", 1);
    _members.bringUp(&_facade, status);
    for (uint32_t code : {1u, 4100u, 2u}) control(code, status);
    outcome.programmed = _board.ai.scansProgrammed();
    if (status.isNotFatal()) {
      tStatus2 stop;
      const bool stoppedEarly = wait(outcome, stop);
      if (!stoppedEarly) control(3, stop);
      for (uint32_t code : {4101u, 4u}) control(code, stop);
      outcome.stop = stop.code;
    } else {
      // A failed step ends the task with its code.
      outcome.ended = true;
      outcome.end = status.code;
      _members.commitCancel();
    }
    _members.undo();
    outcome.channels = kChannels;
    outcome.deselected = (_board.windows.written(_board.tavikWindow, 0x09, 8) & 0xF) == 0;
    check(outcome);
    return outcome;
  }

 private:
  void create(int& status) {
    using namespace nQoUdR100;
    tAISubsystemSettings subsystem;
    subsystem.record<0>().transferMechanism = 3;
    namePool(subsystem.supervisorRecord().identifier, "AISubsystem", _device, status);
    _members.add(makeMember(kSubsystem, subsystem, tBaseAISubsystemSupervisor::kClassName, status));

    tAITimingControllerSettings timing;
    timing.record<0>().timing.timingMode = 3;
    timing.record<0>().timing.acquisitionType = 2;
    timing.record<0>().timing.firstCount = _options.scans;
    namePool(timing.supervisorRecord().identifier, "AITimingController", _device, status);
    _members.add(
        makeMember(kTiming, timing, tBaseAITimingControllerSupervisor::kClassName, status));

    tAIScanningFrontEndSettings frontEnd;
    for (uint32_t channel = 0; channel < kChannels; ++channel) {
      nQoUdP100::tAIScanningFrontEndConfig entry;
      entry.positiveInputCode = static_cast<int32_t>(channel);
      if (!frontEnd.record<0>().channels.append(entry)) status = nQoUdR100::kOutOfMemory;
    }
    namePool(frontEnd.supervisorRecord().identifier, "AIScanningFrontEnd", _device, status);
    _members.add(
        makeMember(kFrontEnd, frontEnd, tBaseAIScanningFrontEndSupervisor::kClassName, status));

    tAI_ADCSettings adc;
    namePool(adc.supervisorRecord().identifier, "AI_ADC", _device, status);
    _members.add(makeMember(kADC, adc, tBaseAI_ADCSupervisor::kClassName, status));

    tAIDeviceFIFOSettings fifo;
    namePool(fifo.supervisorRecord().identifier, "AIDeviceFIFO", _device, status);
    _members.add(makeMember(kFIFO, fifo, tBaseAIDeviceFIFOSupervisor::kClassName, status));

    tAI_DMATransferSettings dma;
    auto& words = dma.supervisorRecord();
    namePool(words.identifier1, "AI_DMATransfer", _device, status);
    words.word1 = kFIFO;
    words.word2 = kChannel;
    words.word3 = kPartner;
    words.word4 = 1;  // the partner reads whole samples from the FIFO
    words.word5 = 1;  // done events wanted
    _members.add(makeMember(kDMA, dma, tBaseAI_DMATransferSupervisor::kClassName, status));
  }

  // Codes go to the subsystem supervisor alone.
  void control(uint32_t code, tStatus2& status) { _members.control(code, {kSubsystem}, status); }

  // Steps the engine and moves samples until the transfer ends, or until
  // neither a scan was fed nor a sample moved for the stall window. With
  // --stop-after the engine holds after that many scans; once they are
  // moved, code 3 stops the task (into stop) and the end is awaited as
  // before. Answers whether it stopped the task.
  bool wait(tAIOutcome& outcome, tStatus2& stop) {
    tStallWatch watch(std::chrono::seconds(_options.stallSeconds));
    tStatus2 moving;
    bool stopped = false;
    while (!_partner.endpoint.ended &&
           !watch.stalled(uint64_t{_board.ai.scansFed()} + _partner.buffer.size())) {
      _board.ai.step();
      _board.bus.pumpSecondary();
      _partner.move(_channel, moving);
      if (!stopped && heldAndDrained()) {
        control(3, stop);
        stopped = true;
      }
    }
    _partner.move(_channel, moving);
    outcome.ended = _partner.endpoint.ended;
    outcome.end = _partner.endpoint.reason;
    if (!outcome.ended) {
      tStatus2 cancel;
      if (auto* subsystem = _members.supervisor(kSubsystem)) subsystem->requestCancel(cancel);
      _members.commitCancel();
    }
    return stopped;
  }

  bool heldAndDrained() {
    return _options.stopAfter != 0 && _board.ai.scansFed() >= _options.stopAfter &&
           _board.ai.fifo().size() == 0;
  }

  // Sample k of the run is k truncated to 16 bits, little-endian.
  void check(tAIOutcome& outcome) const {
    const std::vector<unsigned char>& bytes = _partner.buffer;
    outcome.moved = static_cast<uint32_t>(bytes.size() / kSampleBytes);
    outcome.data = "ok";
    for (uint32_t k = 0; k < outcome.moved; ++k) {
      const std::size_t at = std::size_t{kSampleBytes} * k;
      const uint32_t value = bytes[at] | bytes[at + 1] << 8;
      if (value != (k & 0xFFFF)) {
        outcome.data = "bad@" + std::to_string(k);
        return;
      }
    }
  }

  nQoSim::tSimBoard& _board;
  const nQoORB100::tGUID _device;
  const tHostOptions& _options;
  nQoSim::tSimEvent _event;
  nQoSim::tSimRuntimeFacade _facade;
  nQoSim::tSimSupervisorMap _map;
  nQoSim::tSimDMAChannel _channel;
  tPartner _partner;
  tTaskMembers _members{_map};
};

}  // namespace

tAIOutcome runAITask(nQoSim::tSimBoard& board, const nQoORB100::tGUID& device,
                     const tHostOptions& options) {
  return tAIRun(board, device, options).run();
}

std::string aiLine(const char* model, const tHostOptions& options, const tAIOutcome& outcome) {
  char line[256];
  std::snprintf(
      line, sizeof line,
      "ai: %s channels=%u scans=%u programmed=%u dma=%u:%u moved=%u end=%s stop=%d data=%s", model,
      outcome.channels, options.scans, outcome.programmed, options.dmaChannel, outcome.selectCode,
      outcome.moved, outcome.ended ? std::to_string(outcome.end).c_str() : "timeout", outcome.stop,
      outcome.data.c_str());
  return line;
}

void printAI(const char* model, const tHostOptions& options, const tAIOutcome& outcome) {
  std::printf("%s\n", aiLine(model, options, outcome).c_str());
}

}  // namespace nQoHost
