// The chassis transport's side of a remote call: the packer base, the request
// transfer and the reply context.
#include "fsl/tQuorlPacker.h"
#include "fsl/tRequestContext.h"
#include "fsl/tRequestTransfer.h"

namespace nQoFSL100 {

namespace {
constexpr const char kComponent[] = "qoudrk";
}

tQuorlPacker::tQuorlPacker(void* transport1, void* transport2, uint16_t objectId)
    : _transport1(transport1), _transport2(transport2), _objectId(objectId) {}

tQuorlPacker::~tQuorlPacker() = default;

tRequestMessage* tRequestTransfer::newMessage(uint32_t length, nQoMDBG100::tStatus2& status) {
  if (_source == nullptr) {
    status.setCode(-50352, kComponent, "tRequestTransfer", 34);
    return nullptr;
  }
  return _source->newMessage(length, status);
}

void tRequestContext::replyBuffer(const unsigned char*& begin, const unsigned char*& end,
                                  nQoMDBG100::tStatus2& status) {
  begin = nullptr;
  end = nullptr;
  if (_source == nullptr) {
    status.setCode(-50352, kComponent, "tRequestContext", 138);
    return;
  }
  _source->reply(begin, end, status);
}

}  // namespace nQoFSL100
