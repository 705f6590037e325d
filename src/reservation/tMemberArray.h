// The member list of a composite (reservers, linkers, controllers, trackers):
// pointers it does not own, in insertion order, with the growth rule and the
// sticky allocation-failed flag of the growable array, and the two walks the
// composites share:
//
//   tMemberArray<iReserver> members;
//   members.add(&first, status, {"tMultiReserver", 60});
//   members.runForward(status, [](iReserver& r, tStatus2& s) { r.reserveResource(s); },
//                      [](iReserver& r, tStatus2& s) { r.releaseResource(s); });
//   members.runReverse(status, [](iReserver& r, tStatus2& s) { r.releaseResource(s); });
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/tGrowableArray.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"

namespace nQoMRTB100 {

template <class T>
class tMemberArray {
 public:
  // Nothing when the status holds an error. Appends; afterwards a set
  // allocation-failed flag (from this append or an earlier one) gives
  // kOutOfMemory.
  void add(T* member, nQoMDBG100::tStatus2& status, const nQoUdR100::tStatusSite& site) {
    if (status.isFatal()) return;
    _members.append(member);
    _members.checkAllocation(status, site);
  }

  // kOutOfMemory when the flag is set and the status holds no error.
  void checkAllocation(nQoMDBG100::tStatus2& status, const nQoUdR100::tStatusSite& site) const {
    if (status.isNotFatal()) _members.checkAllocation(status, site);
  }

  // The OR of answer over the members in order, stopping after the first
  // call that leaves an error; 0 on an error status or with no members.
  template <class Answer>
  uint32_t orAnswers(nQoMDBG100::tStatus2& status, Answer answer) const {
    uint32_t result = 0;
    for (std::size_t i = 0; i < _members.size() && status.isNotFatal(); ++i)
      result |= answer(*_members[i], status);
    return result;
  }

  std::size_t count() const { return _members.size(); }
  // Null for an index at or past the count.
  T* at(std::size_t index) const { return index < _members.size() ? _members[index] : nullptr; }
  void clear() { _members.clear(); }

  // Nothing when the status holds an error. Runs step on each member in order
  // with the caller's status and stops at the first that leaves an error;
  // then undoes the members before it, nearest first, each on a fresh status
  // that is dropped. The failed member is not undone.
  template <class Step, class Undo>
  void runForward(nQoMDBG100::tStatus2& status, Step step, Undo undo) {
    if (status.isFatal()) return;
    std::size_t done = 0;
    for (; done < _members.size(); ++done) {
      step(*_members[done], status);
      if (status.isFatal()) break;
    }
    if (done == _members.size()) return;
    nQoMDBG100::tStatus2 local;
    for (std::size_t i = done; i-- > 0;) {
      local.clear();
      undo(*_members[i], local);
    }
  }

  // Nothing when the status holds an error. Runs step on every member from
  // the last to the first, each on a fresh status that is merged into the
  // caller's (first error stays, an error beats a warning).
  template <class Step>
  void runReverse(nQoMDBG100::tStatus2& status, Step step) {
    if (status.isFatal()) return;
    nQoMDBG100::tStatus2 local;
    for (std::size_t i = _members.size(); i-- > 0;) {
      local.clear();
      step(*_members[i], local);
      if (local.code != 0) status.assign(local);
    }
  }

 private:
  nQoUdR100::tGrowableArray<T*> _members;
};

}  // namespace nQoMRTB100
