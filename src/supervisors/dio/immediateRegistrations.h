// The static constructors of the correlated immediate transfer supervisors,
// kept out of line: their primitives' headers cannot share a translation
// unit with the analog immediate waiters (both declare a tImmediateTimeout).
#pragma once

namespace nQoUdR100 {

int constructCDIImmediateTransferSupervisor();
int constructCDOImmediateTransferSupervisor();

}  // namespace nQoUdR100
