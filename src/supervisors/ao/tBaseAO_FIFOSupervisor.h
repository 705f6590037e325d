// The AO FIFO supervisor: gives the FIFO primitive its settings and channel
// order, joins it to the transfer that feeds it (word 3: 0 DMA, 1 interrupt,
// 2 none) through an owned stream adapter, maps the lifecycle codes and the
// queries 257 to 261 onto the FIFO, and offers an output stream of direct
// writes counted per channel. Codes and writes from the user's thread reach
// the FIFO as uses of the frame's slot; the reservation holds it there only
// once it has its settings, linkResource fills it and the adapter's links
// out of the slot, and unlinkResource and the release take the FIFO and the
// adapter's links out, waiting for those under way, before they reset them
// or hand the FIFO back.
#pragma once

#include <cstdint>

#include "msrl/iOutputStream.h"
#include "primitives/ao/tBaseAO_FIFOPrimitive.h"
#include "settings/tAO_FIFOSettings.h"
#include "supervisors/ao/tAOStreamAdapter.h"
#include "supervisors/tPlainSupervisor.h"

namespace nQoUdR100 {

class tBaseAO_FIFOSupervisor final
    : public nQoMSRL100::iOutputStream,
      public tReservingSupervisor<tBaseAO_FIFOSupervisor,
                                  nQoMSRL100::iOutputStreamPrimitiveSupervisor, tAO_FIFOSettings,
                                  nQoUdP100::tBaseAO_FIFOPrimitive> {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tBaseAO_FIFOSupervisor";
  static constexpr const char* kFile = "tBaseAO_FIFOSupervisor";
  // Take the deployed mechanism and partners for the links and the
  // reservation.
  static constexpr const char* kSettingsDeploySteps[] = {"copySettings", "link", "reserveResource",
                                                         "linkResource"};
  static inline void* ___classID = nullptr;
  // The word's armed and started values.
  static constexpr uint32_t kArmed = 6;
  static constexpr uint32_t kStarted = 7;

  tBaseAO_FIFOSupervisor() = default;
  ~tBaseAO_FIFOSupervisor() override;
  tBaseAO_FIFOSupervisor(const tBaseAO_FIFOSupervisor&) = delete;
  tBaseAO_FIFOSupervisor& operator=(const tBaseAO_FIFOSupervisor&) = delete;

  void initialize(const nQoMRL100::iPrimitiveSettings& settings, nQoMRL100::iRuntimeFacade* facade,
                  nQoMDBG100::tStatus2& status) override;
  void deploy(const nQoMRL100::iPrimitiveSettings& settings, nQoMDBG100::tStatus2& status) override;
  void link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) override;
  void reserveResource(nQoMDBG100::tStatus2& status) override;
  void linkResource(nQoMDBG100::tStatus2& status) override;
  void unlinkResource(nQoMDBG100::tStatus2& status) override;
  void releaseResource(nQoMDBG100::tStatus2& status) override;
  void commitCancel(nQoMDBG100::tStatus2& status) override;
  nQoMSRL100::iOutputStream* getOutputStreamPtr(nQoMDBG100::tStatus2&) override { return this; }

  // count samples per channel: one sample alone through the single-sample
  // write (answers 1), else the multi-sample write, answered per channel.
  // 0 for no samples or no channels; -50150 and 0 when count × channels
  // passes 32 bits; -50004 and 0 without a FIFO.
  uint32_t write(uint32_t count, uint32_t word, const void* buffer, const void* extra,
                 nQoMDBG100::tStatus2& status) override;
  uint32_t getAvailable(nQoMDBG100::tStatus2&) override { return 0; }

  tAOStreamAdapter* getAdapter() const { return _adapter; }

 private:
  friend tPlainSupervisor;
  // The codes on the FIFO as held.
  void onControl(nQoUdP100::tBaseAO_FIFOPrimitive* fifo, uint32_t code,
                 nQoMRL100::iControlParameterBlock* in, nQoMRL100::iControlParameterBlock* out,
                 nQoMDBG100::tStatus2& status);
  static uint32_t mechanism(const tAO_FIFOSettings& settings) {
    return static_cast<uint32_t>(settings.word3);
  }
  void copySettings(const tAO_FIFOSettings& own, nQoMDBG100::tStatus2& status);
  void applySettings(nQoMDBG100::tStatus2& status) override;
  // Running: stopped back to armed; armed: completed; committed:
  // uncommitted; each when the FIFO is then in its state, on a fresh status
  // merged into the caller's: the commit-cancel's undo, and the release's
  // from whatever the codes left.
  void bringDown(nQoUdP100::tBaseAO_FIFOPrimitive& fifo, nQoMDBG100::tStatus2& status);
  // The adapter's links and the channel's observable that linkResource gave.
  void resetLinks(nQoUdP100::tBaseAO_FIFOPrimitive* fifo, nQoMDBG100::tStatus2& status);
  void linkDMA(nQoUdP100::tBaseAO_FIFOPrimitive& fifo, nQoMDBG100::tStatus2& status);
  void linkInterrupt(nQoUdP100::tBaseAO_FIFOPrimitive& fifo, nQoMDBG100::tStatus2& status);

  tAOStreamAdapter* _adapter = nullptr;
  nQoMRL100::iPrimitiveSupervisor* _transfer = nullptr;
  nQoMRL100::iPrimitiveSupervisor* _second = nullptr;
  nQoMRL100::iPrimitiveSupervisor* _dmaChannel = nullptr;
  uint32_t _dmaChannelNumber = 0;
};

}  // namespace nQoUdR100
