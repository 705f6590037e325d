// How a board's capability record chooses its routing objects: the registrar
// class named in the record, created through the class registry, and the
// Tavik routable that the 37-pin registrars need wrapped.
//
//   iUdSeriesRoutableRegistrar* registrar = newRoutableRegistrar(name, status);
//   tTavikRoutable* routable = uses37PinWrapper(name)
//       ? new tTavikWrapperFor37PinUdSeriesRoutable(map) : new tTavikRoutable(map);
//   ...
//   deleteRoutableRegistrar(registrar, status);
#pragma once

#include "device/routableInterfaces.h"
#include "mdbg/tStatus2.h"

namespace nQoUdR100 {

// True for the registrars of the 37-pin connector, whose Tavik routable is
// the 37-pin wrapper.
bool uses37PinWrapper(const char* registrarClassName);

// An instance of the named class cast to the registrar base; null with
// kCastFailed when the class makes no instance or one of another class (that
// instance is destroyed again, its status merged into the caller's). Nothing
// when the status holds an error.
iUdSeriesRoutableRegistrar* newRoutableRegistrar(const char* className,
                                                 nQoMDBG100::tStatus2& status);

// Destroys a registrar through its class on a fresh status that is merged
// into the caller's; null does nothing.
void deleteRoutableRegistrar(iUdSeriesRoutableRegistrar* registrar, nQoMDBG100::tStatus2& status);

}  // namespace nQoUdR100
