// Parameter blocks from outside for the AI supervisors' own codes: byte 0
// picks 4103 (channel range) or 4104 (channel input codes) on a reserved
// scanning front end, or 401 (wait with time-out, waits turned off) on a
// reserved wait-for-sample-clock supervisor; the rest is the in block. Only
// 0, -50004 and -50150 may come back, and a refused block leaves the
// channels as they were.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "frame/moduleEntry.h"
#include "mdbg/tStatus2.h"
#include "mrl/iResourceBroker.h"
#include "sim/simParameterBlock.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "supervisors/ai/aiSupervisors.h"
#include "support/tFreshSimulation.h"

namespace {

using nQoMDBG100::tStatus2;

void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz_aiSupervisorBlocks: %s\n", what);
  std::abort();
}

class tQuietFrontEnd : public nQoUdP100::tBaseAIScanningFrontEndPrimitive {
 public:
  explicit tQuietFrontEnd(tStatus2& status) : tBaseAIScanningFrontEndPrimitive(nullptr, status) {}
  void commit(tStatus2&) override { _fields.program(); }
  void waitForSettling(tStatus2&) override {}
  void uncommit(tStatus2&) override {}
  void programChannels(tStatus2&) override { _fields.program(); }
};

struct tChannel {
  int32_t low, high, positive, reference;
  bool operator==(const tChannel&) const = default;
};

// The channels as deployed, which a programming of the channels takes.
std::vector<tChannel> channels(nQoUdP100::tBaseAIScanningFrontEndPrimitive& frontEnd) {
  tStatus2 programmed;
  frontEnd.programChannels(programmed);
  std::vector<tChannel> out;
  const auto& list = frontEnd.configuration().channels;
  for (uint32_t i = 0; i < list.size(); ++i)
    out.push_back({list[i].rangeLow.value, list[i].rangeHigh.value, list[i].positiveInputCode,
                   list[i].referenceCode});
  return out;
}

template <class tSupervisor, class tSettings, class tPrimitive>
void reserve(tSupervisor& supervisor, tSettings& settings, const void* primitive, const char* name,
             nQoUdR100::tSingularResourcePool<tPrimitive*>& pool) {
  tStatus2 status;
  settings.supervisorRecord().identifier.setString(name, status);
  nQoMRL100::getResourceBroker(status)->registerPool(&settings.supervisorRecord().identifier, &pool,
                                                     status);
  supervisor.initialize(settings, nullptr, status);
  supervisor.reserveResource(status);
  check(status.code == 0 && supervisor.getPrimitive() == primitive, "not reserved");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  static const bool loaded = [] {
    nQoSim::setStatusLogging(false);
    return moduleMessageEntry(0) == 0;
  }();
  check(loaded, "module not loaded");
  if (size == 0) return 0;
  nQoSim::resetResourceBroker();
  tStatus2 built;
  tQuietFrontEnd frontEnd(built);
  nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAIScanningFrontEndPrimitive*> frontEndPool(
      &frontEnd);
  nQoUdR100::tAIScanningFrontEndSettings frontEndSettings;
  frontEndSettings.record<0>().channels.append({});
  frontEndSettings.record<0>().channels.append({});
  nQoUdR100::tBaseAIScanningFrontEndSupervisor frontEndSupervisor;
  reserve(frontEndSupervisor, frontEndSettings, &frontEnd, "FrontEnd", frontEndPool);

  // Waits are off from its commit on, so the wait needs neither controller
  // nor converter.
  nQoUdP100::tBaseAI_WFNSCPrimitive wait(nullptr, nullptr);
  nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAI_WFNSCPrimitive*> waitPool(&wait);
  nQoUdR100::tAI_WFNSCSettings waitSettings;
  waitSettings.supervisorRecord().word5 = 1;
  nQoUdR100::tBaseAI_WFNSCSupervisor waitSupervisor;
  reserve(waitSupervisor, waitSettings, &wait, "Wait", waitPool);
  tStatus2 committed;
  waitSupervisor.control(1, nullptr, nullptr, committed);
  check(committed.code == 0, "wait not committed");

  const uint8_t pick = data[0] % 3;
  nQoSim::tByteParameterBlock in(std::vector<uint8_t>(data + 1, data + size));
  const std::vector<tChannel> before = channels(frontEnd);
  tStatus2 status;
  if (pick == 2)
    waitSupervisor.control(401, &in, nullptr, status);
  else
    frontEndSupervisor.control(pick == 0 ? 4103 : 4104, &in, nullptr, status);
  check(status.code == 0 || status.code == -50004 || status.code == -50150, "unexpected code");
  check(in.position() <= size - 1, "read past the block");
  if (status.code != 0) check(channels(frontEnd) == before, "a refused block changed a channel");

  tStatus2 down;
  frontEndSupervisor.releaseResource(down);
  waitSupervisor.releaseResource(down);
  nQoSim::resetResourceBroker();
  return 0;
}
