// The base of every chassis request packer. The transport builds nothing of
// the packer: it only keeps the object id of the remote object and two opaque
// words of its own, and calls the three operations.
//
//   class tResetPacker : public nQoFSL100::tQuorlPacker { ... };
//   packer->pack(transfer, 1, status);     // writes the request
//   packer->unpack(context, status);       // reads the reply
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoFSL100 {

class tRequestTransfer;
class tRequestContext;

class tQuorlPacker {
 public:
  tQuorlPacker(void* transport1, void* transport2, uint16_t objectId);
  virtual ~tQuorlPacker();
  tQuorlPacker(const tQuorlPacker&) = delete;
  tQuorlPacker& operator=(const tQuorlPacker&) = delete;

  virtual void pack(tRequestTransfer& transfer, unsigned int flag,
                    nQoMDBG100::tStatus2& status) = 0;
  virtual void unpack(tRequestContext& context, nQoMDBG100::tStatus2& status) = 0;
  // The request length in bytes; 8 when the status holds an error.
  virtual uint32_t requestSize(nQoMDBG100::tStatus2& status) = 0;

  uint16_t objectId() const { return _objectId; }
  // The transport's own two words, as the packer was given them.
  void* transport1() const { return _transport1; }
  void* transport2() const { return _transport2; }

 private:
  void* _transport1;
  void* _transport2;
  uint16_t _objectId;
};

}  // namespace nQoFSL100
