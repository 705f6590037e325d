// What a packer's pack is handed: the way to a new request message.
#pragma once

#include <cstdint>

#include "fsl/iMessageSource.h"
#include "fsl/tRequestMessage.h"
#include "mdbg/tStatus2.h"

namespace nQoFSL100 {

class tRequestTransfer {
 public:
  explicit tRequestTransfer(iMessageSource* source) : _source(source) {}

  // A message of the given length from the source, or null. Without a source
  // -50352 ("tRequestTransfer", 34).
  tRequestMessage* newMessage(uint32_t length, nQoMDBG100::tStatus2& status);

 private:
  iMessageSource* _source;
};

}  // namespace nQoFSL100
