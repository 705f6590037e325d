// One request message of the chassis transport. The transport allocates it
// and fills its fields; a packer only writes the request into it through the
// operations below, which belong to the module (chassis/message).
//
//   buffer:        [bufferBegin, bufferEnd)  allocated size = end - begin
//   request:       byte 0 at requestStart; no write at or past writeLimit
//   padding:       zero bytes from requestStart + requestedLength to the
//                  allocated size, written by finishMessage
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoFSL100 {

template <class tPointer>
class tQuorlDataWriter;

class tRequestMessage {
 public:
  unsigned char* bufferBegin = nullptr;
  unsigned char* bufferEnd = nullptr;
  unsigned char* requestStart = nullptr;
  unsigned char* writeLimit = nullptr;
  uint32_t requestedLength = 0;
  uint32_t finished = 0;
  uint32_t allocated = 0;

  // Header fields at their fixed offsets from the request start. Each does
  // nothing under an error, refuses a finished message (-50150) and checks
  // its room against the write limit (-228700).
  void setInterfaceId(uint16_t interfaceId, nQoMDBG100::tStatus2& status);
  void setObjectId(uint16_t objectId, nQoMDBG100::tStatus2& status);
  void setMethodId(uint8_t methodId, nQoMDBG100::tStatus2& status);
  void setRequestFlag(unsigned int flag, nQoMDBG100::tStatus2& status);
  // A writer from request byte 8 to the write limit; empty when finished.
  tQuorlDataWriter<unsigned char*> payloadWriter(nQoMDBG100::tStatus2& status);
  // Pads with zeros up to the allocated size and marks the message finished.
  void finishMessage(nQoMDBG100::tStatus2& status);
};

}  // namespace nQoFSL100
