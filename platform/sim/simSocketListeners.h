// Test controls of the socket listeners: find a registered listener by its
// exact name, count the registrations, make the next registration fail.
#pragma once

#include <string>

#include "lib/iLibSocketListener.h"

namespace nQoSim {

// Null when no listener is registered under exactly that name.
iLibSocketListener* findSocketListener(const std::string& name);
int registeredSocketListeners();
// The next registerSocketListener sets this code and answers 0.
void failNextSocketRegistration(int code);

}  // namespace nQoSim
