// Several state trackers as one, for a supervisor made of sub-supervisors.
// Queries answer the OR of the members' flags and the largest of their
// states; events go to every member (a control code only to the members that
// support it when checked). It does not own its members.
#pragma once

#include <cstdint>

#include "reservation/iStateTracker.h"
#include "reservation/tMemberArray.h"

namespace nQoMRTB100 {

class tMultiStateTracker : public iStateTracker {
 public:
  ~tMultiStateTracker() override = default;

  void addTracker(iStateTracker* tracker, nQoMDBG100::tStatus2& status);
  void checkAllocation(nQoMDBG100::tStatus2& status) const;
  // Null for an index at or past the count.
  iStateTracker* getTracker(uint32_t index) const { return _members.at(index); }

  // Every member, whatever the status; a control code skips the members that
  // do not support it.
  void validateEvent(int32_t event, nQoMDBG100::tStatus2& status) override;
  void applyEvent(int32_t event, nQoMDBG100::tStatus2& status) override;
  // 0 on an error status or with no members.
  uint32_t getFlag0(nQoMDBG100::tStatus2& status) override;
  uint32_t getFlag1(nQoMDBG100::tStatus2& status) override;
  uint32_t getFlag2(nQoMDBG100::tStatus2& status) override;
  uint32_t getFlag3(nQoMDBG100::tStatus2& status) override;
  uint32_t getFlag4(nQoMDBG100::tStatus2& status) override;
  uint32_t getFlag5(nQoMDBG100::tStatus2& status) override;
  uint32_t isControlEnabled(int32_t code, nQoMDBG100::tStatus2& status) override;
  int32_t getState(nQoMDBG100::tStatus2& status) override;

 private:
  using tFlagGetter = uint32_t (iStateTracker::*)(nQoMDBG100::tStatus2&);
  uint32_t orFlags(tFlagGetter getFlag, nQoMDBG100::tStatus2& status);

  tMemberArray<iStateTracker> _members;
};

}  // namespace nQoMRTB100
