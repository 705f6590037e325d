// Test controls of the socket listeners: find a registered listener by its
// exact name, send it a request as a client does, count the registrations,
// make the next registration fail.
#pragma once

#include <cstdint>
#include <string>

#include "lib/iLibSocketListener.h"

namespace nQoSim {

// Null when no listener is registered under exactly that name.
iLibSocketListener* findSocketListener(const std::string& name);
// One request to the listener registered under exactly that name, handled on
// the calling thread as a client's request is; false, and nothing called,
// when none is. Unregistering the listener waits for the request to leave
// (unless the request's own handler does it).
bool sendSocketRequest(const std::string& name, const void* request, uint32_t requestSize,
                       void* reply, uint32_t replyCapacity, uint32_t* replySize, uint32_t code,
                       uint32_t secondWord, nQoMDBG100::tStatus2& status);
int registeredSocketListeners();
// The next registerSocketListener sets this code and answers 0.
void failNextSocketRegistration(int code);

}  // namespace nQoSim
