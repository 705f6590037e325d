// The supervisors of the tests: a primitive that logs its control operations
// and its configuration, and rows of the supervisor frame over it, plain or
// with the DMA and event linkers, with any control-enable flags.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "mrl/iControlParameterBlock.h"
#include "mrl/iDMAChannelSupervisor.h"
#include "mrl/iEvent.h"
#include "reservation/tSingularResourcePool.h"
#include "settings/tParameterBlockValidateHelper.h"
#include "supervisors/tDMAEventLinks.h"
#include "supervisors/tNoLinks.h"
#include "supervisors/tSupervisor.h"
#include "support/probeSettings.h"
#include "support/reservationDoubles.h"

namespace nQoTest {

class tProbePrimitive : public tScriptedDouble {
 public:
  using tScriptedDouble::tScriptedDouble;
  void commit(tStatus2& s) {
    answer("commit", s);
    if (onCommit) onCommit();
  }
  void arm(tStatus2& s) { answer("arm", s); }
  void start(tStatus2& s) { answer("start", s); }
  void stop(tStatus2& s) { answer("stop", s); }
  void disarm(tStatus2& s) { answer("disarm", s); }
  void uncommit(tStatus2& s) { answer("uncommit", s); }
  void configure(const tProbePrimitiveRecord& record, tStatus2& s) {
    answer("configure " + std::to_string(record.word), s);
  }

  void setEvent(nQoMRL110::iEvent* value, tStatus2&) { event = value; }
  void setDMAChannelNumber(uint32_t number) { channelNumber = number; }
  void setDoneSink(nQoLMSDR100::iDMAEndpoint* sink) { doneSink = sink; }
  nQoMRL110::iEvent* event = nullptr;
  uint32_t channelNumber = 0xFFFFFFFF;
  nQoLMSDR100::iDMAEndpoint* doneSink = nullptr;
  std::function<void()> onCommit;  // inside commit, once it answered
};

using tProbePool = nQoUdR100::tSingularResourcePool<tProbePrimitive*>;

template <uint32_t Flags, class Links = nQoUdR100::tNoLinks<tProbePrimitive>>
struct tProbeSupervisorRow {
  static constexpr const char* kClassName = "nQoUdR100::tProbeSupervisor";
  using tSettings = tProbeRecordSettings;
  using tPrimitive = tProbePrimitive;
  using tPool = tProbePool;
  using tLinks = Links;
  static constexpr uint32_t kControlFlags = Flags;
  static constexpr nQoUdR100::tStatusSite kSite{"tProbeSupervisor", 210};
  static constexpr auto kControls = nQoUdR100::namedControls<tProbePrimitive>();

  static void applyRecord(tProbePrimitive& primitive, const tSettings& settings, tStatus2& status) {
    settings.record<0>().checkStatus(status);
    if (status.isNotFatal()) primitive.configure(settings.record<0>(), status);
  }
  // Class-specific code 4102 (also the tracker's unlink-resource event):
  // reads a u32 from the in block and writes it plus one to the out block.
  template <class tSupervisor>
  static bool controlOwn(tSupervisor&, tProbePrimitive&, uint32_t code,
                         nQoMRL100::iControlParameterBlock* in,
                         nQoMRL100::iControlParameterBlock* out, tStatus2& status) {
    if (code != 4102) return false;
    nQoUdR100::tParameterBlockValidateHelper::checkNotNull(in, status);
    nQoUdR100::tParameterBlockValidateHelper::checkNotNull(out, status);
    if (in == nullptr || out == nullptr || status.isFatal()) return true;
    tStatus2 local;
    const uint32_t value = in->readU32(local.code);
    nQoUdR100::tParameterBlockValidateHelper::mergeValidationStatus(local, status);
    if (status.isNotFatal()) out->writeU32(value + 1, status.code);
    return true;
  }
  static void configureLinks(nQoUdR100::tDMAEventLinks<tProbePrimitive>& links,
                             const tSettings& settings) {
    const auto& record = settings.supervisorRecord();
    links.dmaLinker().setChannelKey(record.channelKey);
    links.dmaLinker().setPartnerKey(record.partnerKey);
    links.registrar().setRegisterDone(record.flags & 1);
    links.registrar().setRegisterError((record.flags >> 1) & 1);
  }
};

template <uint32_t Flags>
using tProbeSupervisor = nQoUdR100::tSupervisor<tProbeSupervisorRow<Flags>>;
template <uint32_t Flags>
using tProbeDMASupervisor =
    nQoUdR100::tSupervisor<tProbeSupervisorRow<Flags, nQoUdR100::tDMAEventLinks<tProbePrimitive>>>;

}  // namespace nQoTest
