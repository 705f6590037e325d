// The observer list of a primitive, with the two passes of its interrupt
// handler. Records are never removed: a removed observer's record is marked
// free and the next add reuses the first free one; when none is free the
// array doubles (tGrowableArray). A record is at least
// {observer, tag (the observer's last answer), inUse}.
//
//   tObserverList<tObserverRecord<iObserver>> observers(3);
//   observers.add({observer}, status, {"tBaseAI_ADCPrimitive", 40});
//   bool pending = observers.notifyAll([&](iObserver* o) { return o->handle(...); });
//   observers.notifyPending([&](iObserver* o) { o->handleSecondary(...); });
//
// Adds happen while the primitive is not armed. The passes read the records
// without a lock; a removal marks the record free and then waits for the
// passes under way on other threads to leave, so the observer may be freed
// once it returns (a pass's own thread does not wait for itself).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tGrowableArray.h"
#include "frame/tPassCount.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"

namespace nQoUdP100 {

template <class tObserver>
struct tObserverRecord {
  tObserver* observer;
  uint32_t tag = 0;
  uint32_t inUse = 1;
};

template <class tRecord>
class tObserverList {
  struct tAlways {
    bool operator()() const { return true; }
  };

 public:
  // Reserves room for that many records (a failure sets the flag).
  explicit tObserverList(std::size_t room) { _records.reserve(room); }

  // Nothing on an error status. The record goes into the first free one, or
  // is appended; when the array cannot grow the flag is set, nothing is added
  // and -50352 is reported at the site.
  void add(const tRecord& record, nQoMDBG100::tStatus2& status,
           const nQoUdR100::tStatusSite& site) {
    if (status.isFatal()) return;
    for (tRecord& free : _records) {
      if (free.inUse != 0) continue;
      free = record;
      free.inUse = 1;
      return;
    }
    if (!_records.append(record)) nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, site);
  }

  // Nothing on an error status; frees the first in-use record of the
  // observer, then waits for the passes under way.
  template <class tObserver>
  void remove(tObserver* observer, nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return;
    tRecord* record = find(observer);
    if (record == nullptr) return;
    std::atomic_ref<uint32_t>(record->inUse).store(0);
    _passes.waitForPasses();
  }

  // The first in-use record of the observer, or null.
  template <class tObserver>
  tRecord* find(tObserver* observer) {
    for (tRecord& record : _records)
      if (inUse(record) && record.observer == observer) return &record;
    return nullptr;
  }

  bool any() const {
    for (const tRecord& record : _records)
      if (inUse(record)) return true;
    return false;
  }

  // The reservation of the constructor, or a later growth, failed.
  bool allocationFailed() const { return _records.allocationFailed(); }

  // Primary pass: notify(observer) for every in-use record in order, its
  // answer kept as the record's tag; true when any answer was non-zero. The
  // walk ends after a call that leaves keepGoing() false.
  template <class tNotify, class tKeepGoing = tAlways>
  bool notifyAll(tNotify notify, tKeepGoing keepGoing = {}) {
    const nQoUdR100::tPassCount::tInside inside(_passes);
    bool pending = false;
    for (tRecord& record : _records) {
      if (!inUse(record)) continue;
      record.tag = notify(record.observer);
      pending = pending || record.tag != 0;
      if (!keepGoing()) break;
    }
    return pending;
  }

  // Secondary pass: notify(observer) for every in-use record whose tag is
  // set, and the tag cleared; ends as notifyAll does.
  template <class tNotify, class tKeepGoing = tAlways>
  void notifyPending(tNotify notify, tKeepGoing keepGoing = {}) {
    const nQoUdR100::tPassCount::tInside inside(_passes);
    for (tRecord& record : _records) {
      if (!inUse(record) || record.tag == 0) continue;
      notify(record.observer);
      record.tag = 0;
      if (!keepGoing()) break;
    }
  }

  // The two passes for primitives that notify only while armed: before each
  // record goes() is asked, and a false answer ends the pass at once.
  struct tPass {
    bool pending;  // an answer was non-zero
    bool stopped;  // goes() ended the pass
  };
  template <class tGoes, class tNotify>
  tPass notifyAllWhile(tGoes goes, tNotify notify) {
    const nQoUdR100::tPassCount::tInside inside(_passes);
    tPass pass{false, false};
    for (tRecord& record : _records) {
      if (!inUse(record)) continue;
      if (!goes()) {
        pass.stopped = true;
        break;
      }
      record.tag = notify(record.observer);
      pass.pending = pass.pending || record.tag != 0;
    }
    return pass;
  }
  // True when the pass ran through.
  template <class tGoes, class tNotify>
  bool notifyPendingWhile(tGoes goes, tNotify notify) {
    const nQoUdR100::tPassCount::tInside inside(_passes);
    for (tRecord& record : _records) {
      if (!inUse(record) || record.tag == 0) continue;
      if (!goes()) return false;
      notify(record.observer);
      record.tag = 0;
    }
    return true;
  }

  // Calls visit(record) for every in-use record.
  template <class tVisit>
  void forEachInUse(tVisit visit) const {
    for (const tRecord& record : _records)
      if (inUse(record)) visit(record);
  }

 private:
  // The records live in the array, never in constant storage.
  static bool inUse(const tRecord& record) {
    return std::atomic_ref<uint32_t>(const_cast<uint32_t&>(record.inUse)).load() != 0;
  }

  nQoUdR100::tGrowableArray<tRecord> _records;
  // The passes under way.
  nQoUdR100::tPassCount _passes;
};

}  // namespace nQoUdP100
