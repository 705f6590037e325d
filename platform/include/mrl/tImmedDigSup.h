// The platform's immediate digital supervisor: it keeps the task's lines (the
// device, the direction, the line masks and the seven line-configuration
// words), reserves the immediate digital primitive of those lines and serves
// reads and writes. Board supervisors derive from it and add their own
// reservations around reserve and release:
//
//   void reserveResource(tStatus2& status) override {
//     reserve(status);                          // the base's primitive
//     ...                                       // then the board's own
//   }
//
// In this host the fields are plain members that tests set, control only
// counts its calls, and reserve asks the broker for the pool named by the
// device, kImmedDigPrimName and the masked lines (1 as the second word).
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include "cdp/iImmedDigPrim.h"
#include "mdbg/tStatus2.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "mrl/tGeneralIdentifier.h"
#include "mrl/tTESKMaskedIdentifier.h"
#include "orb/tGUID.h"

namespace nQoCDR110 {

class tImmedDigSup : public nQoMRL100::iPrimitiveSupervisor {
 public:
  static void* ___classID;

  // The line-configuration words.
  struct tLineWords {
    uint32_t presetMask = 0;
    uint32_t presetValues = 0;
    uint32_t writeMask = 0;
    uint32_t mode = 0;
    uint32_t lineMask = 0;
    uint32_t modeSetLines = 0;
    uint32_t skip = 0;
  };

  // Own identity, else the supervisor interface's.
  void* ___CPPKRLCast(void* const* classID);
  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;

  void initialize(const nQoMRL100::iPrimitiveSettings& settings, nQoMRL100::iRuntimeFacade* facade,
                  nQoMDBG100::tStatus2& status) override;
  void deploy(const nQoMRL100::iPrimitiveSettings& settings, nQoMDBG100::tStatus2& status) override;
  void link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) override;
  void reserveResource(nQoMDBG100::tStatus2& status) override;
  void linkResource(nQoMDBG100::tStatus2& status) override;
  void unlinkResource(nQoMDBG100::tStatus2& status) override;
  void releaseResource(nQoMDBG100::tStatus2& status) override;
  void unlink(nQoMDBG100::tStatus2& status) override;
  // Counts the call and keeps the code.
  void control(uint32_t code, nQoMRL100::iControlParameterBlock* in,
               nQoMRL100::iControlParameterBlock* out, nQoMDBG100::tStatus2& status) override;
  void requestCancel(nQoMDBG100::tStatus2& status) override;
  void commitCancel(nQoMDBG100::tStatus2& status) override;

  // Nothing on an error status. The pool's primitive, when the broker grants
  // a tImmedDigResource; any other answer is handed back (-89000).
  void reserve(nQoMDBG100::tStatus2& status);
  // Hands a held primitive back; forgets it in any case.
  void release(nQoMDBG100::tStatus2& status);

  // The lifecycle steps and a derived class's codes, which may come from
  // another thread, write it.
  std::atomic<uint32_t> state{0};
  nQoORB100::tGUID deviceGUID{};
  nQoMRL100::iRuntimeFacade* facade = nullptr;
  nQoCDP100::iImmedDigPrim* primitive = nullptr;
  uint32_t direction = 0;  // 0 input, 1 output
  uint32_t lineMask = 0;
  uint32_t outputLineMask = 0;
  uint32_t noTerminal = 0;  // direction 0: the lines need no terminal
  tLineWords words{};
  uint32_t controlCalls = 0;
  uint32_t lastControlCode = 0;

 private:
  std::optional<nQoCDR100::tTESKMaskedIdentifier> _lines;
  nQoMRL100::tGeneralIdentifier _identifier;
};

}  // namespace nQoCDR110
