// Several controllers as one. A forward code runs the members that take part
// in it, in order, and undoes those already done in reverse at the first
// failure; a backward code runs every member that takes part, last first,
// merging their statuses. It does not own its members.
#pragma once

#include <cstdint>

#include "reservation/iPrimitiveController.h"
#include "reservation/tMemberArray.h"

namespace nQoMRTB100 {

class tMultiPrimitiveController : public iPrimitiveController {
 public:
  ~tMultiPrimitiveController() override = default;

  void addController(iPrimitiveController* controller, nQoMDBG100::tStatus2& status);
  void checkAllocation(nQoMDBG100::tStatus2& status) const;
  // Null for an index at or past the count.
  iPrimitiveController* getController(uint32_t index) const { return _members.at(index); }

  void control(uint32_t code, nQoMDBG100::tStatus2& status) override;
  // The OR of the members' answers, stopping after the first call that
  // leaves an error; 0 on an error status or with no members.
  uint32_t isControlEnabled(uint32_t code, nQoMDBG100::tStatus2& status) override;

 private:
  void controlForward(uint32_t code, uint32_t reverse, nQoMDBG100::tStatus2& status);
  void controlBackward(uint32_t code, nQoMDBG100::tStatus2& status);

  tMemberArray<iPrimitiveController> _members;
};

}  // namespace nQoMRTB100
