// The platform's interrupt transfer partners of correlated digital transfers.
// The partner supervisor, found in the supervisor map, hands out its transfer
// object; a transfer primitive's endpoint asks that object to move bytes
// through the endpoint's byte stream and reports the end to it.
//
//   nQoMSRL100::iInputTransferObject* object = partner->getTransferObject(status);
//   uint32_t moved = object->transfer(&readable, 64, status);
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoMXSL100 {
template <class T>
class iReadable;
template <class T>
class iWriteable;
}  // namespace nQoMXSL100

namespace nQoMSRL100 {

class iInputTransferObject {
 public:
  virtual ~iInputTransferObject() = default;
  // Reads up to byteCount bytes from the stream; answers the bytes taken.
  virtual uint32_t transfer(nQoMXSL100::iReadable<unsigned char>* stream, uint32_t byteCount,
                            nQoMDBG100::tStatus2& status) = 0;
  virtual void transferEnded(nQoMDBG100::tStatus2& status) = 0;
};

class iOutputTransferObject {
 public:
  virtual ~iOutputTransferObject() = default;
  // Writes up to byteCount bytes into the stream; answers the bytes given.
  virtual uint32_t transfer(nQoMXSL100::iWriteable<unsigned char>* stream, uint32_t byteCount,
                            nQoMDBG100::tStatus2& status) = 0;
  virtual void transferEnded(nQoMDBG100::tStatus2& status) = 0;
};

class iInputInterruptTransfer {
 public:
  static void* ___classID;
  virtual ~iInputInterruptTransfer() = default;
  virtual iInputTransferObject* getTransferObject(nQoMDBG100::tStatus2& status) = 0;
};

class iOutputInterruptTransfer {
 public:
  static void* ___classID;
  virtual ~iOutputInterruptTransfer() = default;
  virtual iOutputTransferObject* getTransferObject(nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMSRL100
