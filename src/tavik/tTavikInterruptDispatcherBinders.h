// The binders that turn one dispatcher operation, with its arguments, into a
// bus atomic operation, so that it never interleaves with the primary
// interrupt routine. Each lives on its user's stack for one run:
//
//   tTavikInterruptDispatcher::tAtomicStatusPtrDispatcher disable(
//       &dispatcher, &tTavikInterruptDispatcher::disableGroupAInterruptBit0);
//   disable.exec(&status);   // nothing when the status already holds an error
//
// operateAtomically answers the status code (0 without status); the bus stores
// it in the caller's code.
#pragma once

#include <atomic>
#include <cstdint>

#include "bus/iBusAtomicOperation.h"
#include "mdbg/tStatus2.h"
#include "tavik/tTavikInterruptDispatcher.h"

namespace nQoUdRLP100 {

class tTavikInterruptDispatcher::tAtomicStatusRefDispatcher : public iBusAtomicOperation {
 public:
  using tMember = void (tTavikInterruptDispatcher::*)(nQoMDBG100::tStatus2&);

  tAtomicStatusRefDispatcher(tTavikInterruptDispatcher* dispatcher, tMember member,
                             nQoMDBG100::tStatus2& status)
      : _dispatcher(dispatcher), _member(member), _status(&status) {}

  void exec() {
    if (_status->isNotFatal()) _dispatcher->runAtomically(this, _status);
  }
  int32_t operateAtomically() override {
    (_dispatcher->*_member)(*_status);
    return _status->code;
  }

 private:
  tTavikInterruptDispatcher* _dispatcher;
  tMember _member;
  nQoMDBG100::tStatus2* _status;
};

class tTavikInterruptDispatcher::tAtomicStatusPtrDispatcher : public iBusAtomicOperation {
 public:
  using tMember = void (tTavikInterruptDispatcher::*)(nQoMDBG100::tStatus2*);

  tAtomicStatusPtrDispatcher(tTavikInterruptDispatcher* dispatcher, tMember member)
      : _dispatcher(dispatcher), _member(member) {}

  // The status may be null; a given one that holds an error stops the run.
  void exec(nQoMDBG100::tStatus2* status) {
    if (failed(status)) return;
    _status = status;
    _dispatcher->runAtomically(this, status);
  }
  int32_t operateAtomically() override {
    (_dispatcher->*_member)(_status);
    return _status != nullptr ? _status->code : 0;
  }

 private:
  tTavikInterruptDispatcher* _dispatcher;
  tMember _member;
  nQoMDBG100::tStatus2* _status = nullptr;
};

// For an enable that a pass or a wait runs after the arm (a pass again after
// its primary pass switched the source off): the member runs only while the
// arm's record holds, looked at inside the same atomic run. A disarm clears
// the record before its own atomic switch-off, so an enable that saw the
// record runs before that switch-off, and one that runs after it sees the
// record gone.
template <class tRecord>
class tTavikInterruptDispatcher::tAtomicWhileArmedDispatcher : public iBusAtomicOperation {
 public:
  using tMember = void (tTavikInterruptDispatcher::*)(nQoMDBG100::tStatus2&);

  tAtomicWhileArmedDispatcher(tTavikInterruptDispatcher* dispatcher, tMember member,
                              const std::atomic<tRecord>& armed, nQoMDBG100::tStatus2& status)
      : _dispatcher(dispatcher), _member(member), _armed(&armed), _status(&status) {}

  void exec() {
    if (_status->isNotFatal()) _dispatcher->runAtomically(this, _status);
  }
  int32_t operateAtomically() override {
    if (_armed->load() != tRecord{}) (_dispatcher->*_member)(*_status);
    return _status->code;
  }

 private:
  tTavikInterruptDispatcher* _dispatcher;
  tMember _member;
  const std::atomic<tRecord>* _armed;
  nQoMDBG100::tStatus2* _status;
};

// For members that answer a value: the value stays in the binder.
class tTavikInterruptDispatcher::tAtomicIsAssertedDispatcher : public iBusAtomicOperation {
 public:
  using tMember = uint32_t (tTavikInterruptDispatcher::*)(nQoMDBG100::tStatus2*);

  tAtomicIsAssertedDispatcher(tTavikInterruptDispatcher* dispatcher, tMember member,
                              nQoMDBG100::tStatus2* status)
      : _dispatcher(dispatcher), _member(member), _status(status) {}

  void exec() {
    if (!failed(_status)) _dispatcher->runAtomically(this, _status);
  }
  uint32_t value() const { return _value; }
  int32_t operateAtomically() override {
    _value = (_dispatcher->*_member)(_status);
    return _status != nullptr ? _status->code : 0;
  }

 private:
  tTavikInterruptDispatcher* _dispatcher;
  tMember _member;
  uint32_t _value = 0;
  nQoMDBG100::tStatus2* _status;
};

// Calls the first member when the selector is non-zero, else the second (if
// any), each with the value.
class tTavikInterruptDispatcher::tChangeDetectionAtomicDispatcher : public iBusAtomicOperation {
 public:
  using tMember = void (tTavikInterruptDispatcher::*)(uint32_t, nQoMDBG100::tStatus2&);

  tChangeDetectionAtomicDispatcher(tTavikInterruptDispatcher* dispatcher, tMember first,
                                   tMember second, nQoMDBG100::tStatus2& status, uint32_t value,
                                   uint32_t selector)
      : _dispatcher(dispatcher),
        _first(first),
        _second(second),
        _status(&status),
        _value(value),
        _selector(selector) {}

  void exec() {
    if (_status->isNotFatal()) _dispatcher->runAtomically(this, _status);
  }
  int32_t operateAtomically() override {
    const tMember member = _selector != 0 ? _first : _second;
    if (member != nullptr) (_dispatcher->*member)(_value, *_status);
    return _status->code;
  }

 private:
  tTavikInterruptDispatcher* _dispatcher;
  tMember _first;
  tMember _second;
  nQoMDBG100::tStatus2* _status;
  uint32_t _value;
  uint32_t _selector;
};

// Copies the secondary requests and clears them: as one bit per source (bit
// n: source n), or as 33 flags in source order.
class tTavikInterruptDispatcher::tAtomicPendingSnapshotDispatcher : public iBusAtomicOperation {
 public:
  tAtomicPendingSnapshotDispatcher(tTavikInterruptDispatcher* dispatcher, uint64_t& destination)
      : _dispatcher(dispatcher), _bits(&destination) {}
  tAtomicPendingSnapshotDispatcher(tTavikInterruptDispatcher* dispatcher,
                                   uint32_t (&destination)[kSourceCount])
      : _dispatcher(dispatcher), _flags(destination) {}

  void exec() { _dispatcher->runAtomically(this, nullptr); }
  int32_t operateAtomically() override {
    const uint64_t requests = _dispatcher->_secondaryRequests;
    _dispatcher->_secondaryRequests = 0;
    if (_bits != nullptr) *_bits = requests;
    if (_flags != nullptr)
      for (uint32_t source = 0; source < kSourceCount; ++source)
        _flags[source] = static_cast<uint32_t>((requests >> source) & 1);
    return 0;
  }

 private:
  tTavikInterruptDispatcher* _dispatcher;
  uint64_t* _bits = nullptr;
  uint32_t* _flags = nullptr;
};

}  // namespace nQoUdRLP100
