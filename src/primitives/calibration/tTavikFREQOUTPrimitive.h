// The chip's frequency output: a timebase (bit 14 of 0x170) divided by a
// 4-bit divider (bits 3:0), switched on by bit 15. The setters only deploy;
// commit programs divider and timebase and keeps the record of them, start
// and stop touch only the enable bit, all under the clock lock (group 11) and
// written when the register changed: a divider deployed under a running
// output reaches it at the next commit.
//
//   fout.setDivider(17, status);      // a divider of 16 reaches the chip as 0
//   fout.setTimebase(1, status);
//   fout.commit(status);              // 0x170 <- 0x4001
//   fout.start(status);               // 0x170 <- 0xC001
#pragma once

#include <cstdint>

#include "frame/tDeployed.h"
#include "frame/tDeviceInfo.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "primitives/common/tDeviceInfoPrimitive.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

class iTavikFREQOUTPrimitive : public nQoUdR100::tModuleObject {
 public:
  static inline void* ___classID = nullptr;
  virtual ~iTavikFREQOUTPrimitive() = default;
  virtual void commit(nQoMDBG100::tStatus2& status) = 0;
  virtual void start(nQoMDBG100::tStatus2& status) = 0;
  virtual void stop(nQoMDBG100::tStatus2& status) = 0;
  virtual void reset(nQoMDBG100::tStatus2& status) = 0;
  virtual int32_t setTimebase(uint32_t timebase, nQoMDBG100::tStatus2& status) = 0;
  virtual void setDivider(uint32_t divider, nQoMDBG100::tStatus2& status) = 0;
  virtual const tDeviceInfo* getDeviceInfo() const = 0;
};

class tTavikFREQOUTPrimitive final : public iTavikFREQOUTPrimitive, public tDeviceInfoPrimitive {
 public:
  tTavikFREQOUTPrimitive(nQoUdRLP100::nTavik::tTavik* map, const tDeviceInfo* info)
      : _map(map), _info(info) {}
  // Switches off an output that a start left on (a teardown under a task),
  // by its record.
  ~tTavikFREQOUTPrimitive() override;

  void commit(nQoMDBG100::tStatus2& status) override;
  void start(nQoMDBG100::tStatus2& status) override { program(kEnable, kEnable, status); }
  void stop(nQoMDBG100::tStatus2& status) override { program(kEnable, 0, status); }
  // Back to divider 1, the first timebase and the output off; nothing on an
  // error status, but it runs on a warning, whose code it keeps.
  void reset(nQoMDBG100::tStatus2& status) override;
  int32_t setTimebase(uint32_t timebase, nQoMDBG100::tStatus2& status) override;
  void setDivider(uint32_t divider, nQoMDBG100::tStatus2& status) override;
  const tDeviceInfo* getDeviceInfo() const override { return _info; }

  // The divider and the timebase select that a commit programs.
  struct tFields {
    uint32_t timebaseSelect = 0;
    uint32_t divider = 1;
  };
  static constexpr const char* kDeploySteps[] = {"setTimebase", "setDivider"};
  static constexpr const char* kProgrammingSteps[] = {"commit"};
  // What the last commit programmed (the defaults after a reset).
  const tFields& programmed() const { return _fields.programmed(); }

 private:
  static constexpr uint32_t kDivider = 0x000F;
  static constexpr uint32_t kTimebase = 0x4000;
  static constexpr uint32_t kEnable = 0x8000;

  // Under the clock lock: the bits of mask := bits, flushed when changed;
  // the record of the enable bit follows what reached the chip.
  void program(uint32_t mask, uint32_t bits, nQoMDBG100::tStatus2& status);

  nQoUdRLP100::nTavik::tTavik* _map;
  const tDeviceInfo* _info;
  nQoUdR100::tDeployed<tFields, tTavikFREQOUTPrimitive> _fields;
  // Whether the output is on: set and cleared under the clock lock.
  bool _on = false;
};

}  // namespace nQoUdP100
