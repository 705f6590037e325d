// Socket listeners: notification channels that primitives register under a
// name; a client finds one by name and sends it requests, which it answers
// into the client's reply buffer. A request runs on the client's thread.
//
//   uint64_t handle = iLibSocketListener::registerSocketListener(name, &listener, status);
//   ...
//   iLibSocketListener::unregisterSocketListener(handle);
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

class iLibSocket {
 public:
  virtual ~iLibSocket() = default;
};

class iLibSocketListener {
 public:
  virtual ~iLibSocketListener() = default;
  // The listener's socket part.
  virtual iLibSocket* getSocket() = 0;
  // Clears the word the argument points to.
  virtual void releaseSocket(uint32_t* word) = 0;
  // One request: its bytes and their count, the reply buffer and its
  // capacity, where the reply's size goes, the request code and a second word.
  virtual void handleRequest(const void* request, uint32_t requestSize, void* reply,
                             uint32_t replyCapacity, uint32_t* replySize, uint32_t code,
                             uint32_t secondWord, nQoMDBG100::tStatus2& status) = 0;

  // A non-zero handle; 0 with the status set when the name cannot be
  // registered. Nothing when the status holds an error.
  static uint64_t registerSocketListener(const char* name, iLibSocketListener* listener,
                                         nQoMDBG100::tStatus2& status);
  // Undoes a registration; 0 and unknown handles are ignored. Returns once a
  // request under way through it on another thread has left, so the listener
  // may then be freed; called from inside such a request on its own thread,
  // it does not wait for that request. Never call it with a lock that the
  // listener's handler takes.
  static void unregisterSocketListener(uint64_t handle);
};
