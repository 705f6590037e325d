// Software-timed multi-channel output: the supervisor borrows the DAC of each
// channel's DAC supervisor (and, with word 2 or 3, the AO timing engine)
// while resources are linked, and its output stream spreads interleaved
// samples over the channels one scan at a time, with an update pulse after
// each scan when word 2 is set. The stream's writes come from the user's
// thread: they reach the channel table, the DACs and the engine as uses of
// the frame's slot, which holds the table from link to unlink;
// linkResource, unlinkResource, the release and unlink take it out, waiting
// for the writes and codes under way, before they fill, clear or free it or
// unregister the event kinds that a code posts to. tAORoutable stages the four
// routing pairs of the AO timing engine and applies the pending ones.
#pragma once

#include <atomic>
#include <cstdint>

#include "mru/iRoutableResource.h"
#include "msrl/iOutputStream.h"
#include "primitives/ao/tBaseAOTimingControllerPrimitive.h"
#include "primitives/ao/tBaseAO_DACPrimitive.h"
#include "settings/tAO_DACTransferSettings.h"
#include "supervisors/tPlainSupervisor.h"

namespace nQoUdR100 {

// What the transfer's writes reach: each channel's supervisor and borrowed
// DAC, and the borrowed AO timing engine.
struct tAOChannelTable {
  struct tChannel {
    nQoMRL100::iPrimitiveSupervisor* supervisor;
    nQoUdP100::tBaseAO_DACPrimitive* dac;
  };
  tChannel* channels = nullptr;
  uint32_t count = 0;
  nQoUdP100::tBaseAOTimingControllerPrimitive* timing = nullptr;
};

class tBaseAO_DACTransferSupervisor final
    : public nQoMSRL100::iOutputStream,
      public tPlainSupervisor<tBaseAO_DACTransferSupervisor,
                              nQoMSRL100::iOutputStreamPrimitiveSupervisor, tAO_DACTransferSettings,
                              tAOChannelTable> {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tBaseAO_DACTransferSupervisor";
  static constexpr const char* kFile = "tBaseAO_DACTransferSupervisor";
  // Take the deployed channel list, engine and done word for the links and
  // the reservation.
  static constexpr const char* kSettingsDeploySteps[] = {"deploy", "link", "reserveResource",
                                                         "linkResource"};
  static inline void* ___classID = nullptr;

  tBaseAO_DACTransferSupervisor() = default;
  ~tBaseAO_DACTransferSupervisor() override;
  tBaseAO_DACTransferSupervisor(const tBaseAO_DACTransferSupervisor&) = delete;
  tBaseAO_DACTransferSupervisor& operator=(const tBaseAO_DACTransferSupervisor&) = delete;

  void initialize(const nQoMRL100::iPrimitiveSettings& settings, nQoMRL100::iRuntimeFacade* facade,
                  nQoMDBG100::tStatus2& status) override;
  void deploy(const nQoMRL100::iPrimitiveSettings& settings, nQoMDBG100::tStatus2& status) override;
  void link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) override;
  void reserveResource(nQoMDBG100::tStatus2& status) override;
  void linkResource(nQoMDBG100::tStatus2& status) override;
  void unlinkResource(nQoMDBG100::tStatus2& status) override;
  void releaseResource(nQoMDBG100::tStatus2& status) override;
  void unlink(nQoMDBG100::tStatus2& status) override;
  nQoMSRL100::iOutputStream* getOutputStreamPtr(nQoMDBG100::tStatus2&) override { return this; }

  // scans × channels samples interleaved by channel; a mask entry of 0
  // skips its channel. Answers the samples written per channel; 0 without a
  // channel table (before link, after unlink). A channel without its DAC, or
  // the pulse without the timing engine: -50004 before the first sample, and
  // 0.
  uint32_t write(uint32_t scans, uint32_t word, const void* buffer, const void* extra,
                 nQoMDBG100::tStatus2& status) override;
  // -200454: the stream offers no other write.
  uint32_t getAvailable(nQoMDBG100::tStatus2& status) override;

 private:
  friend tPlainSupervisor;
  // Codes 1, 3 and 4 (the table is not needed).
  void onControl(tAOChannelTable* table, uint32_t code, nQoMRL100::iControlParameterBlock* in,
                 nQoMRL100::iControlParameterBlock* out, nQoMDBG100::tStatus2& status);
  // Code 1 keeps whether the writes pulse the engine after each scan.
  void takeRecord(const tAO_DACTransferSettings& settings) { _pulse = settings.word2 != 0; }
  static bool usesTiming(const tAO_DACTransferSettings& settings) {
    return settings.word2 != 0 || settings.word3 != 0;
  }
  // The borrowed DACs and engine that linkResource put in the table.
  void resetLinks(tAOChannelTable* table, nQoMDBG100::tStatus2& status);
  // Every channel has its DAC and, when the write pulses, the engine is there.
  bool ready(const tAOChannelTable& table, bool pulse) const;
  // Takes the table out of the slot (the writes under way leave), frees it.
  void freeChannels();

  // Held in the slot from link to unlink.
  tAOChannelTable _table;
  nQoMRL100::iPrimitiveSupervisor* _timingSupervisor = nullptr;
  // What code 1 kept; writes on other threads read it.
  std::atomic<bool> _pulse{false};
  // Whether reserve registered the done and error kinds.
  bool _eventsRegistered = false;
  // Whether the stop posts the done report: word 1 as the reserve took it.
  bool _postsDone = false;
};

class tAORoutable final : public nQoMRU210::iRoutableResource, public tModuleObject {
 public:
  static constexpr uint32_t kPairs = 4;

  explicit tAORoutable(nQoUdP100::tBaseAOTimingControllerPrimitive* owner) : _owner(owner) {}
  // Selectors 0 to 7: value A (even) or B (odd) of pair selector / 2; others
  // are ignored.
  void route(uint32_t selector, uint32_t value, nQoMDBG100::tStatus2& status) override;
  void routeList(const nQoMRU210::tRouteList& list, nQoMDBG100::tStatus2& status) override;
  // The pending pairs in order, A then B into the owner's two deployed
  // fields, which its next commit programs.
  void apply(nQoMDBG100::tStatus2& status) override;

 private:
  struct tPair {
    uint32_t a = 0;
    uint32_t b = 0;
    uint32_t pending = 0;
  };

  nQoUdP100::tBaseAOTimingControllerPrimitive* _owner;
  tPair _pairs[kPairs];
};

}  // namespace nQoUdR100
