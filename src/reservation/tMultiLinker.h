// A supervisor's linking steps as one: link and linkResource run in insertion
// order and undo the steps already done in reverse at the first failure;
// unlinkResource and unlink run in reverse with merged statuses. It does not
// own its members.
#pragma once

#include <cstdint>

#include "reservation/iLinker.h"
#include "reservation/tMemberArray.h"

namespace nQoMRTB100 {

class tMultiLinker : public iLinker {
 public:
  ~tMultiLinker() override = default;

  void addLinker(iLinker* linker, nQoMDBG100::tStatus2& status);
  void checkAllocation(nQoMDBG100::tStatus2& status) const;
  // kCountTooLarge (and 0) when the count does not fit in 32 bits.
  uint32_t getCount(nQoMDBG100::tStatus2& status) const;
  // Null for an index at or past the count.
  iLinker* getLinker(uint32_t index) const { return _members.at(index); }
  // Empties the list when the status holds no error.
  void clear(nQoMDBG100::tStatus2& status);

  void link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) override;
  void linkResource(nQoMDBG100::tStatus2& status) override;
  void unlinkResource(nQoMDBG100::tStatus2& status) override;
  void unlink(nQoMDBG100::tStatus2& status) override;
  // linkResource of each member in order up to the first failure, which
  // undoes nothing: for a supervisor that undoes a failed link itself, by
  // unlinkResource once what the members fill is out of other threads' reach.
  void linkResourceLeavingUndo(nQoMDBG100::tStatus2& status);

 private:
  tMemberArray<iLinker> _members;
};

}  // namespace nQoMRTB100
