// A supervisor's reserving steps as one: reserves in insertion order, undoes
// the steps already done in reverse at the first failure, releases in reverse
// with merged statuses. It does not own its members.
#pragma once

#include <cstdint>

#include "reservation/iReserver.h"
#include "reservation/tMemberArray.h"

namespace nQoMRTB100 {

class tMultiReserver : public iReserver {
 public:
  ~tMultiReserver() override = default;

  void addReserver(iReserver* reserver, nQoMDBG100::tStatus2& status);
  void checkAllocation(nQoMDBG100::tStatus2& status) const;
  // Null for an index at or past the count.
  iReserver* getReserver(uint32_t index) const { return _members.at(index); }

  void reserveResource(nQoMDBG100::tStatus2& status) override;
  void releaseResource(nQoMDBG100::tStatus2& status) override;

 private:
  tMemberArray<iReserver> _members;
};

}  // namespace nQoMRTB100
