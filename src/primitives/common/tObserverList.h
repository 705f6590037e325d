// The observer list of a primitive, with the two passes of its interrupt
// handler. Records are never removed: a removed observer's record is marked
// free and the next add reuses the first free one; when none is free the
// record is appended, and a full array doubles. A record is at least
// {observer, tag (the observer's last answer, or the run it was given in),
// inUse}.
//
//   tObserverList<tObserverRecord<iObserver>> observers(3);
//   observers.add({observer}, status, {"tBaseAI_ADCPrimitive", 40});
//   bool pending = observers.notifyAll([&](iObserver* o) { return o->handle(...); });
//   observers.notifyPending([&](iObserver* o) { o->handleSecondary(...); });
//
// Adds and removes come from one thread at a time. The passes read the
// records without a lock, and a late pass may walk the list while an add
// fills it. So an add publishes a record's use only after its fields; a
// growth publishes the new array, then the count, and frees the old array
// once the passes under way on other threads have left (an adder inside a
// pass of the list keeps it until a later add or remove, or the list's end).
// A pass under way across a growth stores the answers it gets after the copy
// in the old array, so its secondary pass does not see them. A removal marks
// the record free, in the array and in every array kept for a pass that may
// still walk it, and then waits for the passes under way on other threads to
// leave, so the observer may be freed once it returns (a pass's own thread
// does not wait for itself, and walks on in the array it began in).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>

#include "apal/nQoAPALMemory.h"
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
// The list copies a record around its tag and in-use words as one span.
static_assert(offsetof(tObserverRecord<int>, inUse) ==
              offsetof(tObserverRecord<int>, tag) + sizeof(uint32_t));

template <class tRecord>
class tObserverList {
  struct tAlways {
    bool operator()() const { return true; }
  };
  using tObserved = std::remove_pointer_t<decltype(tRecord::observer)>;
  static_assert(std::is_base_of_v<tObserverRecord<tObserved>, tRecord> &&
                std::is_trivially_copyable_v<tRecord> && std::is_trivially_destructible_v<tRecord>);

 public:
  // Reserves room for that many records (a failure sets the flag).
  explicit tObserverList(std::size_t room) {
    if (room == 0) return;
    tRecord* const records = newArray(room);
    if (records == nullptr) return;
    _records.store(records);
    _capacity = room;
  }
  // No pass may be under way.
  ~tObserverList() {
    _memDelete(_records.load());
    freeRetired();
  }
  tObserverList(const tObserverList&) = delete;
  tObserverList& operator=(const tObserverList&) = delete;

  // Nothing on an error status. The record goes into the first free one, or
  // is appended; when the array cannot grow the flag is set, nothing is added
  // and -50352 is reported at the site.
  void add(const tRecord& record, nQoMDBG100::tStatus2& status,
           const nQoUdR100::tStatusSite& site) {
    if (status.isFatal()) return;
    leaveRetired();
    tRecord* free = nullptr;
    walk([&](tRecord& slot) {
      if (inUse(slot)) return true;
      free = &slot;
      return false;
    });
    if (free != nullptr) {
      // No pass reads a free record's fields; one that sees it in use sees them.
      copyFields(*free, record);
      tagOf(*free).store(0, std::memory_order_relaxed);
      std::atomic_ref<uint32_t>(free->inUse).store(1, std::memory_order_release);
      return;
    }
    if (!append(record)) nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, site);
  }

  // Nothing on an error status; frees the first in-use record of the
  // observer, then waits for the passes under way.
  template <class tObserver>
  void remove(tObserver* observer, nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return;
    tRecord* record = find(observer);
    if (record == nullptr) return;
    // A growth keeps each record at its place, so a kept array holds the
    // same record there, or a free one.
    const auto index = static_cast<std::size_t>(record - _records.load());
    for (const tRetired& retired : _retired)
      if (index < retired.count) std::atomic_ref<uint32_t>(retired.records[index].inUse).store(0);
    std::atomic_ref<uint32_t>(record->inUse).store(0);
    _passes.waitForPasses();
    leaveRetired();
  }

  // The first in-use record of the observer, or null.
  template <class tObserver>
  tRecord* find(tObserver* observer) {
    tRecord* found = nullptr;
    walkInUse([&](tRecord& record) {
      if (record.observer != observer) return true;
      found = &record;
      return false;
    });
    return found;
  }

  bool any() const {
    return !walkInUse([](const tRecord&) { return false; });
  }

  // The reservation of the constructor, or a later growth, failed.
  bool allocationFailed() const { return _allocationFailed; }

  // Primary pass: notify(observer) for every in-use record in order, its
  // answer kept as the record's tag; true when any answer was non-zero. The
  // walk ends after a call that leaves keepGoing() false.
  template <class tNotify, class tKeepGoing = tAlways>
  bool notifyAll(tNotify notify, tKeepGoing keepGoing = {}) {
    const nQoUdR100::tPassCount::tInside inside(_passes);
    bool pending = false;
    walkInUse([&](tRecord& record) {
      const uint32_t answer = notify(record.observer);
      tagOf(record).store(answer, std::memory_order_relaxed);
      pending = pending || answer != 0;
      return keepGoing();
    });
    return pending;
  }

  // Secondary pass: notify(observer) for every in-use record whose tag is
  // set, and the tag cleared; ends as notifyAll does.
  template <class tNotify, class tKeepGoing = tAlways>
  void notifyPending(tNotify notify, tKeepGoing keepGoing = {}) {
    const nQoUdR100::tPassCount::tInside inside(_passes);
    walkInUse([&](tRecord& record) {
      if (tagOf(record).load(std::memory_order_relaxed) == 0) return true;
      notify(record.observer);
      tagOf(record).store(0, std::memory_order_relaxed);
      return keepGoing();
    });
  }

  // What a first pass of the passes below did.
  struct tPass {
    bool pending;  // an answer was non-zero
    bool stopped;  // goes() ended the pass
  };

  // The two passes of a primitive whose passes carry their run (a number,
  // never 0): the first keeps a non-zero answer as the run's number, so what
  // it leaves belongs to that run; the second notifies only the records that
  // a first pass of its run left, each word taken before its call, so that
  // it is delivered once and a first pass meanwhile leaves one of its own.
  // Before each record goes() is asked (whether the run is still live), and
  // a false answer ends the pass at once.
  template <class tGoes, class tNotify>
  tPass notifyAllOfRun(uint32_t run, tGoes goes, tNotify notify) {
    const nQoUdR100::tPassCount::tInside inside(_passes);
    tPass pass{false, false};
    pass.stopped = !walkInUse([&](tRecord& record) {
      if (!goes()) return false;
      const uint32_t answer = notify(record.observer);
      tagOf(record).store(answer != 0 ? run : 0, std::memory_order_relaxed);
      pass.pending = pass.pending || answer != 0;
      return true;
    });
    return pass;
  }
  template <class tGoes, class tNotify>
  bool notifyPendingOfRun(uint32_t run, tGoes goes, tNotify notify) {
    const nQoUdR100::tPassCount::tInside inside(_passes);
    return walkInUse([&](tRecord& record) {
      uint32_t word = tagOf(record).load(std::memory_order_relaxed);
      if (word == 0 || word != run) return true;
      if (!goes()) return false;
      if (tagOf(record).compare_exchange_strong(word, 0, std::memory_order_relaxed))
        notify(record.observer);
      return true;
    });
  }

  // Calls visit(record) for every in-use record.
  template <class tVisit>
  void forEachInUse(tVisit visit) const {
    walkInUse([&](const tRecord& record) {
      visit(record);
      return true;
    });
  }

 private:
  // The records live in the array, never in constant storage.
  static bool inUse(const tRecord& record) {
    return std::atomic_ref<uint32_t>(const_cast<uint32_t&>(record.inUse)).load() != 0;
  }
  static std::atomic_ref<uint32_t> tagOf(tRecord& record) {
    return std::atomic_ref<uint32_t>(record.tag);
  }

  // Every byte of the record but its tag and in-use words (which follow each
  // other), which a pass may be touching.
  static void copyFields(tRecord& to, const tRecord& from) {
    auto* const target = reinterpret_cast<unsigned char*>(&to);
    const auto* const source = reinterpret_cast<const unsigned char*>(&from);
    const auto words = static_cast<std::size_t>(reinterpret_cast<unsigned char*>(&to.tag) - target);
    constexpr std::size_t kWords = 2 * sizeof(uint32_t);
    std::memcpy(target, source, words);
    std::memcpy(target + words + kWords, source + words + kWords, sizeof(tRecord) - words - kWords);
  }

  // Null, and the flag set, when the array cannot be allocated.
  tRecord* newArray(std::size_t capacity) {
    // NOLINTNEXTLINE(bugprone-sizeof-expression): the record's size is meant.
    void* block = capacity > SIZE_MAX / sizeof(tRecord)
                      ? nullptr
                      : _memNewUsingCRT(capacity * sizeof(tRecord), 0, nullptr);
    if (block == nullptr) _allocationFailed = true;
    return static_cast<tRecord*>(block);
  }

  // Places the record behind the last one. A full array is replaced by one of
  // twice its capacity (one record when it has none): the records copied and
  // the new one placed, the new array published before the count.
  bool append(const tRecord& record) {
    tRecord* const records = _records.load();
    const std::size_t count = _count.load(std::memory_order_relaxed);
    if (count < _capacity) {
      place(records + count, record);
      _count.store(count + 1, std::memory_order_release);
      return true;
    }
    // An adder inside a pass keeps the old array, so it needs room to do so.
    const bool ownPass = _passes.insidePass();
    if (ownPass && records != nullptr && !_retired.reserve(_retired.size() + 1)) {
      _allocationFailed = true;
      return false;
    }
    const std::size_t capacity = _capacity == 0 ? 1 : _capacity * 2;
    tRecord* const grown = _capacity > SIZE_MAX / 2 ? nullptr : newArray(capacity);
    if (grown == nullptr) {
      _allocationFailed = true;
      return false;
    }
    // No array holds no record.
    for (std::size_t i = 0; records != nullptr && i < count; ++i) {
      tRecord* const copy = new (grown + i) tRecord;
      copyFields(*copy, records[i]);
      copy->tag = tagOf(records[i]).load(std::memory_order_relaxed);
      copy->inUse = std::atomic_ref<uint32_t>(records[i].inUse).load();
    }
    place(grown + count, record);
    _records.store(grown);
    _count.store(count + 1, std::memory_order_release);
    _capacity = capacity;
    if (records == nullptr) return true;
    if (ownPass) {
      _retired.append({records, count});
      return true;
    }
    _passes.waitForPasses();
    _memDelete(records);
    return true;
  }

  static void place(tRecord* at, const tRecord& record) {
    tRecord* const placed = new (at) tRecord(record);
    placed->tag = 0;
    placed->inUse = 1;
  }

  // Frees the arrays kept by an adder inside a pass, once the passes under
  // way on other threads have left; nothing inside a pass.
  void leaveRetired() {
    if (_retired.empty() || _passes.insidePass()) return;
    _passes.waitForPasses();
    freeRetired();
  }
  void freeRetired() {
    for (const tRetired& retired : _retired) _memDelete(retired.records);
    _retired.clear();
  }

  // Calls visit(record) for every placed record in order until it answers
  // false; false then. The count is read before the array: an array
  // published with a larger count is read with it.
  template <class tVisit>
  bool walk(tVisit visit) const {
    const std::size_t count = _count.load(std::memory_order_acquire);
    tRecord* const records = _records.load();
    for (std::size_t i = 0; i < count; ++i)
      if (!visit(records[i])) return false;
    return true;
  }
  // The same over the in-use records.
  template <class tVisit>
  bool walkInUse(tVisit visit) const {
    return walk([&](tRecord& record) { return !inUse(record) || visit(record); });
  }

  std::atomic<tRecord*> _records{nullptr};
  std::atomic<std::size_t> _count{0};
  // Kept by the adding thread only.
  std::size_t _capacity = 0;
  bool _allocationFailed = false;
  // Arrays replaced by an adder inside a pass, not yet freed.
  struct tRetired {
    tRecord* records;
    std::size_t count;
  };
  nQoUdR100::tGrowableArray<tRetired> _retired;
  // The passes under way.
  nQoUdR100::tPassCount _passes;
};

}  // namespace nQoUdP100
