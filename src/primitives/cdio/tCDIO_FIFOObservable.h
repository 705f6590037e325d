// The event side of a CDIO FIFO primitive: three events (buffer error,
// overrun, FIFO condition), each with its observer list and handler pair, and
// the FIFO's state word, which the FIFO primitive moves (1 built or
// uncommitted, 2 committed, 3 armed; 0 when construction failed). The
// transfer primitives register as observers before the FIFO's commit attaches
// the handlers and unregister after its uncommit; the lists take no lock.
//
//   fifo.addObserver(static_cast<iCDIOOverrunObserver*>(&transfer), status);
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "primitives/cdio/tCDIOEvent.h"
#include "sync/tSyncAtomicU32.h"

namespace nQoUdP100 {

class tCDIO_FIFOObservable {
 public:
  // Primary notifications answer non-zero to ask for the secondary one.
  class iCDIOBufferErrorObserver {
   public:
    virtual ~iCDIOBufferErrorObserver() = default;
    virtual uint32_t handleBufferError(tCDIO_FIFOObservable* fifo,
                                       nQoMDBG100::tStatus2& status) = 0;
    virtual void handleBufferErrorSecondary(tCDIO_FIFOObservable* fifo,
                                            nQoMDBG100::tStatus2& status) = 0;
  };
  class iCDIOOverrunObserver {
   public:
    virtual ~iCDIOOverrunObserver() = default;
    virtual uint32_t handleOverrun(tCDIO_FIFOObservable* fifo, nQoMDBG100::tStatus2& status) = 0;
    virtual void handleOverrunSecondary(tCDIO_FIFOObservable* fifo,
                                        nQoMDBG100::tStatus2& status) = 0;
  };
  class iCDIOFIFOObserver {
   public:
    virtual ~iCDIOFIFOObserver() = default;
    virtual uint32_t handleFIFO(tCDIO_FIFOObservable* fifo, nQoMDBG100::tStatus2& status) = 0;
    virtual void handleFIFOSecondary(tCDIO_FIFOObservable* fifo, nQoMDBG100::tStatus2& status) = 0;
  };

  enum tState : uint32_t { kInvalid = 0, kUncommitted = 1, kCommitted = 2, kArmed = 3 };

  // Nothing on an error status: the state stays kInvalid.
  explicit tCDIO_FIFOObservable(nQoMDBG100::tStatus2& status);
  virtual ~tCDIO_FIFOObservable() = default;
  tCDIO_FIFOObservable(const tCDIO_FIFOObservable&) = delete;
  tCDIO_FIFOObservable& operator=(const tCDIO_FIFOObservable&) = delete;

  // Nothing on an error status. A second registration of an observer adds a
  // second record; a list that cannot grow reports -50352.
  void addObserver(iCDIOBufferErrorObserver* observer, nQoMDBG100::tStatus2& status);
  void addObserver(iCDIOOverrunObserver* observer, nQoMDBG100::tStatus2& status);
  void addObserver(iCDIOFIFOObserver* observer, nQoMDBG100::tStatus2& status);
  // Frees the observer's first in-use record; nothing when there is none.
  void removeObserver(iCDIOBufferErrorObserver* observer, nQoMDBG100::tStatus2& status);
  void removeObserver(iCDIOOverrunObserver* observer, nQoMDBG100::tStatus2& status);
  void removeObserver(iCDIOFIFOObserver* observer, nQoMDBG100::tStatus2& status);

  // Whether any of the three lists holds an observer.
  bool hasObservers() const { return _bufferError.any() || _overrun.any() || _fifo.any(); }
  bool isValid() const { return _state.get() - 1u < 3u; }
  bool isArmed() const { return _state.get() == kArmed; }
  uint32_t state() const { return _state.get(); }

 protected:
  using tBufferErrorEvent =
      tCDIOEvent<tCDIO_FIFOObservable, iCDIOBufferErrorObserver,
                 &iCDIOBufferErrorObserver::handleBufferError,
                 &iCDIOBufferErrorObserver::handleBufferErrorSecondary, tWalk::kWhileArmed>;
  using tOverrunEvent =
      tCDIOEvent<tCDIO_FIFOObservable, iCDIOOverrunObserver, &iCDIOOverrunObserver::handleOverrun,
                 &iCDIOOverrunObserver::handleOverrunSecondary, tWalk::kWhileArmed>;
  using tFIFOEvent =
      tCDIOEvent<tCDIO_FIFOObservable, iCDIOFIFOObserver, &iCDIOFIFOObserver::handleFIFO,
                 &iCDIOFIFOObserver::handleFIFOSecondary, tWalk::kSecondaryWhileArmed>;

  void setState(tState state) { _state.set(state); }

  // The bits of the FIFOs' records of what commit attached and arm enabled.
  enum tEventBit : uint32_t {
    kFIFOBit = 1,
    kBufferErrorBit = 2,
    kOverrunBit = 4,
    kFIFOEmptyBit = 8
  };
  // Runs the attach or enable of an event in use that is not noted yet,
  // noting its bit first: what gives it back (detach, disable) also goes after
  // a failed one, which may have taken part (a bus registration, a flag). A
  // noted event is held already: a second commit or arm leaves it alone.
  template <class tSwitch>
  static void switchNoted(bool inUse, uint32_t bit, uint32_t& noted, nQoMDBG100::tStatus2& status,
                          tSwitch change) {
    if (!inUse || status.isFatal() || (noted & bit) != 0) return;
    noted |= bit;
    change();
  }

  tBufferErrorEvent _bufferError;
  tOverrunEvent _overrun;
  tFIFOEvent _fifo;

 private:
  tSyncAtomicU32 _state;
};

}  // namespace nQoUdP100
