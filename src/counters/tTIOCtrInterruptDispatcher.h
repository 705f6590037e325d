// Routes the interrupts of a counter pair's two counters, each with a primary
// interrupt (the counter's own, pending in its status register and
// acknowledged in the pair's acknowledge register) and a secondary one (its
// DMA interrupt). The platform's counter classes install the taps that
// receive them and the receivers of the deferred second pass; the dispatcher
// switches both kinds on and off, serves a counter at interrupt level and runs
// the second pass. Counter numbers are taken modulo 2.
//
//   tTIOCtrInterruptDispatcher dispatcher(&owner, &helper);
//   dispatcher.setPrimaryTap(0, &tap);
//   dispatcher.enablePrimary(0, status);            // entry 55 := 1
//   uint32_t answer = dispatcher.service(0);        // interrupt level: 1 asks for a second pass
//   dispatcher.resolveSecondaryInterrupts();        // receivers of the requested passes
//
// Every register access goes through the helper's layout and the pair's
// identifier table; an entry that names no register sets kBadIndex at
// "tCtrPair" 401 (writes) or 426 (the pending read) and is skipped.
#pragma once

#include <cstdint>

#include "bus/iBus.h"
#include "counters/iTIOCtrInterruptTap.h"
#include "counters/tCtrPair.h"
#include "counters/tTIOCtrHelper.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"

namespace nQoTIO100 {

class tTIOCtrInterruptDispatcher : public nQoUdR100::tModuleObject {
 public:
  // What service answers (the handler's view: kWantsSecondPass when the tap
  // that ran asked for one).
  static constexpr uint32_t kWantsSecondPass = 1;
  static constexpr uint32_t kNoSecondPass = 2;
  // What resolveSecondaryInterrupts answers.
  static constexpr uint32_t kSecondPassDone = 4;

  // The request and enabled words, in order.
  enum tKind : uint32_t { kPrimary0, kPrimary1, kSecondary0, kSecondary1, kKindCount };

  class tAtomicPendingSnapshotDispatcher;

  tTIOCtrInterruptDispatcher(iTIOCtrInterruptTap* owner, tTIOCtrHelper* helper);
  virtual ~tTIOCtrInterruptDispatcher() = default;
  tTIOCtrInterruptDispatcher(const tTIOCtrInterruptDispatcher&) = delete;
  tTIOCtrInterruptDispatcher& operator=(const tTIOCtrInterruptDispatcher&) = delete;

  // The counter pair's own enables: plain register writes through the layout.
  virtual void enablePrimary(uint32_t counter, nQoMDBG100::tStatus2& status);
  virtual void enableSecondary(uint32_t counter, nQoMDBG100::tStatus2& status);
  virtual void disablePrimary(uint32_t counter, nQoMDBG100::tStatus2& status);
  virtual void disableSecondary(uint32_t counter, nQoMDBG100::tStatus2& status);

  // Interrupt level: the primary tap when it is installed and enabled and the
  // counter's pending bit reads set, else the secondary tap.
  uint32_t service(uint32_t counter);
  // Deferred level: takes the requests in one bus atomic run and calls the
  // receiver of each (primary 0, primary 1, secondary 0, secondary 1).
  uint32_t resolveSecondaryInterrupts();

  void setPrimaryTap(uint32_t counter, iTIOCtrInterruptTap* tap) {
    _primaryTaps[counter % 2] = tap;
  }
  void setSecondaryTap(uint32_t counter, iTIOCtrInterruptTap* tap) {
    _secondaryTaps[counter % 2] = tap;
  }
  void setPrimaryReceiver(uint32_t counter, iTIOCtrInterruptTap* receiver) {
    _receivers[kPrimary0 + counter % 2] = receiver;
  }
  void setSecondaryReceiver(uint32_t counter, iTIOCtrInterruptTap* receiver) {
    _receivers[kSecondary0 + counter % 2] = receiver;
  }

  uint32_t enabled(tKind kind) const { return _enabled[kind]; }
  uint32_t request(tKind kind) const { return _requests[kind]; }
  iTIOCtrInterruptTap* owner() const { return _owner; }
  tTIOCtrHelper* helper() const { return _helper; }

 protected:
  static tKind primary(uint32_t counter) { return static_cast<tKind>(kPrimary0 + counter % 2); }
  static tKind secondary(uint32_t counter) { return static_cast<tKind>(kSecondary0 + counter % 2); }
  void setEnabled(tKind kind, uint32_t value) { _enabled[kind] = value; }
  void clearRequest(tKind kind) { _requests[kind] = 0; }

 private:
  // Set-and-write of a layout entry; skipped once the status holds an error.
  void writeEntry(uint32_t counter, uint32_t entry, uint32_t value, nQoMDBG100::tStatus2& status);
  // The service's pending read and acknowledge (an entry without register
  // reads as pending).
  uint32_t readPending(uint32_t counter, nQoMDBG100::tStatus2& status);
  void acknowledge(uint32_t counter, nQoMDBG100::tStatus2& status);
  uint32_t callTap(iTIOCtrInterruptTap* tap, tKind kind);

  // The register and field of an entry the service reaches at interrupt
  // level, looked up once (null when the entry names no register).
  struct tPlace {
    tCtrPair::tRegister* target;
    uint32_t field;
  };
  tPlace placeOf(uint32_t counter, uint32_t entry) const;

  iBus* _bus;
  iTIOCtrInterruptTap* _owner;
  tCtrPair* _pair;
  tTIOCtrHelper* _helper;
  iTIOCtrInterruptTap* _primaryTaps[2] = {};
  iTIOCtrInterruptTap* _secondaryTaps[2] = {};
  iTIOCtrInterruptTap* _receivers[kKindCount] = {};
  uint32_t _requests[kKindCount] = {};
  uint32_t _enabled[kKindCount] = {};
  tPlace _pending[2];
  tPlace _acknowledge[2];
};

}  // namespace nQoTIO100
