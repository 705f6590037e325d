// The plain state tracker: records the lifecycle state and the six
// control-enable flags, and accepts every event.
//
//   tSupStateTracker tracker;
//   tracker.setFlags(1, 0x3F, status);         // supports all six codes
//   { tSupStateTransition guard(tracker, kEventInitialize, status); ... }
//   tracker.getState(status);                   // 10 when the status is good
#pragma once

#include <atomic>
#include <cstdint>

#include "reservation/iStateTracker.h"
#include "reservation/supervisorEvents.h"

namespace nQoMRTB100 {

class tSupStateTracker : public iStateTracker {
 public:
  tSupStateTracker() = default;
  ~tSupStateTracker() override = default;

  // Accepts every event; defined here so that a guard over a tracker of this
  // class drops the call.
  void validateEvent(int32_t, nQoMDBG100::tStatus2&) override {}
  // Forward steps move only on a good status; backward steps always move.
  void applyEvent(int32_t event, nQoMDBG100::tStatus2& status) override;
  // Final: isControlEnabled and a caller that holds this class reach the
  // flags by a direct call, not through the table.
  uint32_t getFlag0(nQoMDBG100::tStatus2& status) final;
  uint32_t getFlag1(nQoMDBG100::tStatus2& status) final;
  uint32_t getFlag2(nQoMDBG100::tStatus2& status) final;
  uint32_t getFlag3(nQoMDBG100::tStatus2& status) final;
  uint32_t getFlag4(nQoMDBG100::tStatus2& status) final;
  uint32_t getFlag5(nQoMDBG100::tStatus2& status) final;
  uint32_t isControlEnabled(int32_t code, nQoMDBG100::tStatus2& status) override;
  int32_t getState(nQoMDBG100::tStatus2& status) override;

  // Each sets its bit when on is non-zero and clears it otherwise; nothing
  // on a status that holds an error.
  virtual void setFlag0(int on, nQoMDBG100::tStatus2& status);
  virtual void setFlag1(int on, nQoMDBG100::tStatus2& status);
  virtual void setFlag2(int on, nQoMDBG100::tStatus2& status);
  virtual void setFlag3(int on, nQoMDBG100::tStatus2& status);
  virtual void setFlag4(int on, nQoMDBG100::tStatus2& status);
  virtual void setFlag5(int on, nQoMDBG100::tStatus2& status);
  // The same for every bit of the low 8 bits of mask at once.
  void setFlags(int on, uint32_t mask, nQoMDBG100::tStatus2& status);

 protected:
  int32_t state() const { return _state.load(std::memory_order_relaxed); }
  uint32_t flags() const { return _flags; }

 private:
  uint32_t flag(int bit) const { return (_flags >> bit) & 1; }

  // Written by the lifecycle's thread; getState and the flags may be asked
  // from another.
  std::atomic<int32_t> _state{kStateConstructed};
  std::atomic<uint32_t> _flags{0};
};

}  // namespace nQoMRTB100
