// The Tavik static digital supervisors: the platform's immediate digital
// supervisor plus the reservation of the PFI terminals under the task's
// lines, so that no other use takes them meanwhile. A code from another
// thread reaches the lines through a slot that the release takes them out
// of, waiting for the codes under way, before it hands them back.
//
//   tTavikPFIDigSupervisor             PFI lines, either direction
//   tTavikFixedDirectionDigSupervisor  control only applies the fixed direction
//   tTavik37PinDigSupervisor           the 37-pin connector's lines: inputs on
//                                      PFI0-5, outputs on PFI6-9
#pragma once

#include <cstdint>
#include <optional>

#include "frame/tModuleObject.h"
#include "frame/tSinkSlot.h"
#include "mdbg/tStatus2.h"
#include "mrl/iControlParameterBlock.h"
#include "mrl/tImmedDigSup.h"
#include "primitives/dio/tTavikPFIDigReserver.h"

namespace nQoUdR100 {

class tTavikPFIDigSupervisor : public nQoCDR110::tImmedDigSup, public tModuleObject {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tTavikPFIDigSupervisor";
  static inline void* ___classID = nullptr;

  tTavikPFIDigSupervisor() = default;
  // The classes below take over no lifecycle step, so this one's release
  // runs here for them too.
  ~tTavikPFIDigSupervisor() override;
  tTavikPFIDigSupervisor(const tTavikPFIDigSupervisor&) = delete;
  tTavikPFIDigSupervisor& operator=(const tTavikPFIDigSupervisor&) = delete;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;
  nQoORB100::tClass getClass(int& status) const override;

  // The base's reservation, then the terminals of the lines (unless input
  // lines need none); a refused terminal gives the primitive back.
  void reserveResource(nQoMDBG100::tStatus2& status) override;
  // The base's release, then the terminals, each on a fresh status merged.
  void releaseResource(nQoMDBG100::tStatus2& status) override;

 protected:
  // A line-to-terminal table (null: PFI i for line i) and its entry count.
  struct tTerminalTable {
    const uint32_t* terminals = nullptr;
    uint32_t count = 0;
  };
  void setTables(tTerminalTable inputs, tTerminalTable outputs) {
    _tables[0] = inputs;
    _tables[1] = outputs;
  }

  // The base's lines from reserve to release, as the codes reach them.
  tSinkSlot<nQoCDP100::iImmedDigPrim> _reached;

 private:
  bool needsTerminals() const { return direction != 0 || noTerminal == 0; }
  tTavikPFIDigReserver terminalReserver() const;

  tTerminalTable _tables[2];
  // The terminals that reserve took: by whom and for which lines.
  std::optional<tTavikPFIDigReserver> _heldTerminals;
  uint32_t _heldLines = 0;
};

class tTavikFixedDirectionDigSupervisor : public tTavikPFIDigSupervisor {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tTavikFixedDirectionDigSupervisor";
  static inline void* ___classID = nullptr;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;
  nQoORB100::tClass getClass(int& status) const override;

  // Code 1 sets the lines' direction (outputs: the output lines; inputs:
  // the other lines) and the state word to 3; every other code is -50256.
  // No code reaches the base's control.
  void control(uint32_t code, nQoMRL100::iControlParameterBlock* in,
               nQoMRL100::iControlParameterBlock* out, nQoMDBG100::tStatus2& status) override;
};

class tTavik37PinDigSupervisor : public tTavikFixedDirectionDigSupervisor {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tTavik37PinDigSupervisor";
  static inline void* ___classID = nullptr;

  tTavik37PinDigSupervisor();

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;
  nQoORB100::tClass getClass(int& status) const override;
};

}  // namespace nQoUdR100
