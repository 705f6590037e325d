// The AO DAC supervisor and the AO ground-reference supervisor. The DAC
// supervisor holds one channel's DAC: it gives it the settings' words 2 to
// 7, commits and uncommits it (codes 1 and 4) and offers an output stream of
// immediate writes. The ground-reference supervisor connects (257),
// disconnects (258) or reports (259) the output ground reference, unless the
// settings say to leave it alone.
#pragma once

#include <atomic>
#include <cstdint>

#include "msrl/iOutputStream.h"
#include "primitives/ao/tBaseAOGroundRefPrimitive.h"
#include "primitives/ao/tBaseAO_DACPrimitive.h"
#include "settings/aoDACSettings.h"
#include "supervisors/tPlainSupervisor.h"

namespace nQoUdR100 {

class tBaseAO_DACSupervisor final
    : public nQoMSRL100::iOutputStream,
      public tReservingSupervisor<tBaseAO_DACSupervisor,
                                  nQoMSRL100::iOutputStreamPrimitiveSupervisor, tAO_DACSettings,
                                  nQoUdP100::tBaseAO_DACPrimitive> {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tBaseAO_DACSupervisor";
  static constexpr const char* kFile = "tBaseAO_DACSupervisor";
  static inline void* ___classID = nullptr;

  ~tBaseAO_DACSupervisor() override { this->retire(); }

  // A DAC that refuses its reserve is handed back; the state stays.
  void reserveResource(nQoMDBG100::tStatus2& status) override;
  void releaseResource(nQoMDBG100::tStatus2& status) override;
  // Committed: the DAC's uncommit on a fresh status merged; then resources linked.
  void commitCancel(nQoMDBG100::tStatus2& status) override;
  nQoMSRL100::iOutputStream* getOutputStreamPtr(nQoMDBG100::tStatus2&) override { return this; }

  // From the user's thread: one sample through the single-value write
  // (answers 1), any other count through the multi-value write, inside a use
  // that the release waits for. Without a DAC: -50004 and 0.
  uint32_t write(uint32_t count, uint32_t word, const void* buffer, const void* extra,
                 nQoMDBG100::tStatus2& status) override;
  uint32_t getAvailable(nQoMDBG100::tStatus2&) override { return 0; }

 private:
  friend tPlainSupervisor;
  // Codes 1 and 4 on the DAC as held.
  void onControl(nQoUdP100::tBaseAO_DACPrimitive* dac, uint32_t code,
                 nQoMRL100::iControlParameterBlock* in, nQoMRL100::iControlParameterBlock* out,
                 nQoMDBG100::tStatus2& status);
  // Words 2 to 7 into the DAC's six fields, in order.
  void applySettings(nQoMDBG100::tStatus2& status) override;
};

class tBaseAOGroundRefSupervisor final
    : public tReservingSupervisor<tBaseAOGroundRefSupervisor, nQoMRL100::iPrimitiveSupervisor,
                                  tAOGroundRefSettings, nQoUdP100::tBaseAOGroundRefPrimitive> {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tBaseAOGroundRefSupervisor";
  static constexpr const char* kFile = "tBaseAOGroundRefSupervisor";
  // Connecting and disconnecting program the board as a commit does.
  static constexpr uint32_t kProgrammingCodes[] = {1, 257, 258};
  static inline void* ___classID = nullptr;
  static constexpr uint32_t kConnect = 257;
  static constexpr uint32_t kDisconnect = 258;
  static constexpr uint32_t kIsConnected = 259;

  ~tBaseAOGroundRefSupervisor() override { this->retire(); }

  // A connection that code 257 made and no 258 took back goes before the
  // hand-back, whatever a deploy made of the skip flag since.
  void releaseResource(nQoMDBG100::tStatus2& status) override;

 private:
  friend tPlainSupervisor;
  // Codes 1, 4 and 257 to 259 on the ground reference as held.
  void onControl(nQoUdP100::tBaseAOGroundRefPrimitive* groundRef, uint32_t code,
                 nQoMRL100::iControlParameterBlock* in, nQoMRL100::iControlParameterBlock* out,
                 nQoMDBG100::tStatus2& status);
  // Codes 1, 257 and 258 keep the skip flag that 257 to 259 go by.
  void takeRecord(const tAOGroundRefSettings& settings) {
    _skip = settings.record<0>().skipFlag != 0;
  }
  bool skip() const { return _skip; }
  // 259: 0 when skipping, else the primitive's connected flag.
  void reportConnected(nQoUdP100::tBaseAOGroundRefPrimitive* groundRef,
                       nQoMRL100::iControlParameterBlock* out, nQoMDBG100::tStatus2& status);

  // Whether code 257 connected the ground reference: set by it, cleared by
  // a 258 that disconnected it and by the release, which disconnects by it.
  std::atomic<bool> _connected{false};
  // The skip flag as the last code that programs took it; codes on other
  // threads read it.
  std::atomic<bool> _skip{false};
};

}  // namespace nQoUdR100
