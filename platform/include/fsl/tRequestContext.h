// What a packer's unpack is handed: the way to the received reply.
#pragma once

#include "fsl/iReplySource.h"
#include "mdbg/tStatus2.h"

namespace nQoFSL100 {

class tRequestContext {
 public:
  explicit tRequestContext(iReplySource* source) : _source(source) {}

  // The reply's bytes; the status block starts at begin + 6. Without a source
  // -50352 ("tRequestContext", 138) and an empty buffer (both null).
  void replyBuffer(const unsigned char*& begin, const unsigned char*& end,
                   nQoMDBG100::tStatus2& status);

 private:
  iReplySource* _source;
};

}  // namespace nQoFSL100
