// The resource identifier of a supervisor's one reservation. deploy names
// the identifier that the next reservation asks for; a held reservation
// keeps the one it was granted under until it is handed back, so a deploy in
// between, which may name another pool, never changes what the release gives
// back. It has two slots: a deploy while a grant is held writes the other
// one, so neither the reservation nor the release copies anything.
//
//   _identifier.deploy(settings.identifier);   // then checkCopy(..., _identifier)
//   answer = broker->reserve(&_identifier.next(), facade, status);
//   _identifier.hold(answer != nullptr);
//   if (const auto* granted = _identifier.granted()) broker->release(granted, facade, status);
//   _identifier.hold(false);
#pragma once

#include "mrl/tGeneralIdentifier.h"

namespace nQoMRTB100 {

class tReservationIdentifier {
 public:
  // Copies the identifier the next reservation asks for.
  void deploy(const nQoMRL100::tGeneralIdentifier& given) {
    if (_granted == &_slots[_next]) _next ^= 1u;
    _slots[_next] = given;
  }

  const nQoMRL100::tGeneralIdentifier& next() const { return _slots[_next]; }

  // Whether the reservation asked for under next() is held; a grant that is
  // held already keeps the identifier it was granted under.
  void hold(bool held) {
    if (!held)
      _granted = nullptr;
    else if (_granted == nullptr)
      _granted = &_slots[_next];
  }

  // The identifier of the held grant; null when none is held.
  const nQoMRL100::tGeneralIdentifier* granted() const { return _granted; }

  // Whether the last deploy's copy lost its name.
  bool allocationFailed() const { return next().allocationFailed(); }

 private:
  nQoMRL100::tGeneralIdentifier _slots[2];
  const nQoMRL100::tGeneralIdentifier* _granted = nullptr;
  unsigned _next = 0;
};

}  // namespace nQoMRTB100
