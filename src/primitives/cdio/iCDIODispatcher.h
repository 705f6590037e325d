// The correlated digital I/O view of the board interrupt dispatcher: seven
// sources, each attached, detached, enabled and disabled by name.
//
//   dispatcher->attachCDIFIFOHandler(&handler, &handler, status);  // registers on first use
//   dispatcher->enableCDIFIFOInterrupt(status);                    // atomically
//   dispatcher->disableCDIFIFOInterrupt(&status);
//   dispatcher->detachCDIFIFOHandler(&handler, &handler, &status); // unregisters after the last
//
// Attach does nothing on an error status and stores the handlers only when
// the board dispatcher's attach left the status clean; detach and disable
// accept a null status. The two-handler forms of attach and detach fill or
// clear both of the source's slots, the one-handler forms the primary only.
#pragma once

#include <atomic>
#include <cstdint>

#include "mdbg/tStatus2.h"
#include "reservation/iInterruptHandler.h"
#include "reservation/iSecondaryInterruptHandler.h"

namespace nQoUdP100 {

// The sources by slot: slot k is the board dispatcher's source 21 + k.
enum tCDIOSource : uint8_t {
  kCDIFIFOSource,
  kCDIBufferErrorSource,
  kCDIOverrunSource,
  kCDOFIFOSource,
  kCDOBufferErrorSource,
  kCDOOverrunSource,
  kCDOFIFOEmptySource,
  kCDIOSourceCount,
};

// The sources in the order of the dispatcher's operations: X(name, slot).
// clang-format off
#define QO_CDIO_SOURCES(X)                   \
  X(CDIOverrun,     kCDIOverrunSource)       \
  X(CDOOverrun,     kCDOOverrunSource)       \
  X(CDOFIFOEmpty,   kCDOFIFOEmptySource)     \
  X(CDIBufferError, kCDIBufferErrorSource)   \
  X(CDIFIFO,        kCDIFIFOSource)          \
  X(CDOBufferError, kCDOBufferErrorSource)   \
  X(CDOFIFO,        kCDOFIFOSource)
// clang-format on

class iCDIODispatcher {
 public:
  using iPrimary = nQoMRTB100::iInterruptHandler;
  using iSecondary = nQoMRTB100::iSecondaryInterruptHandler;

  virtual ~iCDIODispatcher() = default;

#define QO_CDIO_ENABLE(name, slot) virtual void enable##name##Interrupt(nQoMDBG100::tStatus2&) = 0;
#define QO_CDIO_DISABLE(name, slot) \
  virtual void disable##name##Interrupt(nQoMDBG100::tStatus2*) = 0;
#define QO_CDIO_DETACH(name, slot)                                                       \
  virtual void detach##name##Handler(iPrimary*, iSecondary*, nQoMDBG100::tStatus2*) = 0; \
  virtual void detach##name##Handler(iPrimary*, nQoMDBG100::tStatus2*) = 0;
#define QO_CDIO_ATTACH(name, slot)                                                       \
  virtual void attach##name##Handler(iPrimary*, iSecondary*, nQoMDBG100::tStatus2&) = 0; \
  virtual void attach##name##Handler(iPrimary*, nQoMDBG100::tStatus2&) = 0;
  QO_CDIO_SOURCES(QO_CDIO_ENABLE)
  QO_CDIO_SOURCES(QO_CDIO_DISABLE)
  QO_CDIO_SOURCES(QO_CDIO_DETACH)
  QO_CDIO_SOURCES(QO_CDIO_ATTACH)
#undef QO_CDIO_ENABLE
#undef QO_CDIO_DISABLE
#undef QO_CDIO_DETACH
#undef QO_CDIO_ATTACH

  // For an enable that may run after the arm: enables the source in one bus
  // atomic run, only while armed (looked at inside that run) is non-zero. A
  // disarm clears armed before its own switch-off.
  virtual void enableWhileArmed(tCDIOSource slot, const std::atomic<uint32_t>& armed,
                                nQoMDBG100::tStatus2& status) = 0;

  // Only when the source's primary slot holds this handler: disables the
  // source, empties both slots and detaches, on dropped statuses.
  virtual void removeHandlers(tCDIOSource slot, const iPrimary* primary) = 0;
};

}  // namespace nQoUdP100
