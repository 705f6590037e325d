// The supervisors that move acquired samples out of the AI data FIFO, as
// rows of the supervisor frame: the DMA transfer hands them to a platform DMA
// channel, the interrupt transfer to a platform endpoint fed on FIFO
// interrupts. Neither takes part in a control code.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "mrl/tGeneralIdentifier.h"
#include "primitives/ai/tBaseAIInterruptTransferPrimitive.h"
#include "primitives/ai/tBaseAI_DMATransferPrimitive.h"
#include "reservation/tSingularResourcePool.h"
#include "reservation/tSupStateTracker.h"
#include "settings/aiTransferSettings.h"
#include "supervisors/ai/tAIDMATransferLinks.h"
#include "supervisors/ai/tAIInterruptTransferLinks.h"
#include "supervisors/controlOperations.h"
#include "supervisors/tSupervisor.h"

namespace nQoUdR100 {

// Supervisor record: identifier of the primitive, a second identifier, then
// the FIFO supervisor's key, the DMA channel's and the partner's keys, the
// readable mode, done events wanted, done events suppressed.
struct tBaseAI_DMATransferSupervisorRow {
  static constexpr const char* kClassName = "nQoUdR100::tBaseAI_DMATransferSupervisor";
  using tSettings = tAI_DMATransferSettings;
  using tPrimitive = nQoUdP100::tBaseAI_DMATransferPrimitive;
  using tPool = tSingularResourcePool<tPrimitive*>;
  using tLinks = tAIDMATransferLinks;
  static constexpr uint32_t kControlFlags = 0;
  static constexpr tStatusSite kSite{"tBaseAI_DMATransferSupervisor", 330};
  static constexpr auto kControls = namedControls<tPrimitive>();

  static const nQoMRL100::tGeneralIdentifier& identifier(const tSettings& settings) {
    return settings.supervisorRecord().identifier1;
  }
  static void applyRecord(tPrimitive& primitive, const tSettings& settings,
                          nQoMDBG100::tStatus2& status) {
    settings.record<0>().checkStatus(status);
    primitive.setConfiguration(settings.record<0>(), status);
  }
  // Done events only when wanted and not suppressed; error events never.
  static void configureLinks(tLinks& links, const tSettings& settings) {
    const auto& words = settings.supervisorRecord();
    links.setFIFOKey(words.word1);
    links.events().dmaLinker().setChannelKey(words.word2);
    links.events().dmaLinker().setPartnerKey(words.word3);
    links.setReadableMode(words.word4);
    links.events().registrar().setRegisterDone(words.word5 != 0 && words.word6 == 0 ? 1 : 0);
    links.events().registrar().setRegisterError(0);
  }
  // An arm that no disarm followed: the channel is deselected and the run
  // ends with its done report, while the links still give it its sink (a
  // release after unlinkResource: none) and also when unlink ended the
  // worker.
  static void bringDown(tPrimitive& primitive) {
    nQoMDBG100::tStatus2 disarmed;
    if (primitive.isArmed()) primitive.disarm(disarmed);
  }
  // Wakes the primitive's worker once the task has been committed.
  template <class tSupervisor>
  static void requestCancel(tSupervisor& supervisor, tPrimitive& primitive,
                            nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return;
    if (supervisor.getTracker().getState(status) > nQoMRTB100::kStateResourcesLinked)
      primitive.wakeThread(status);
  }
};
using tBaseAI_DMATransferSupervisor = tSupervisor<tBaseAI_DMATransferSupervisorRow>;

// Settings: the partner's key, the FIFO supervisor's key and the identifier.
// No record goes to the primitive.
struct tBaseAIInterruptTransferSupervisorRow {
  static constexpr const char* kClassName = "nQoUdR100::tBaseAIInterruptTransferSupervisor";
  using tSettings = tAIInterruptTransferSettings;
  using tPrimitive = nQoUdP100::tBaseAIInterruptTransferPrimitive;
  using tPool = tSingularResourcePool<tPrimitive*>;
  using tLinks = tAIInterruptTransferLinks;
  static constexpr uint32_t kControlFlags = 0;
  static constexpr tStatusSite kSite{"tBaseAIInterruptTransferSupervisor", 204};
  static constexpr auto kControls = namedControls<tPrimitive>();

  static void configureLinks(tLinks& links, const tSettings& settings) {
    links.setKeys(settings.supervisorRecord().word1, settings.supervisorRecord().word2);
  }
  // Its commit and arm still run: the run state goes back to linked.
  static void bringDown(tPrimitive& primitive) { disarmAndUncommit(primitive); }
};
using tBaseAIInterruptTransferSupervisor = tSupervisor<tBaseAIInterruptTransferSupervisorRow>;

}  // namespace nQoUdR100
