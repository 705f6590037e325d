// A reply source for tests: a reply of any bytes (also none), and optionally
// a code set in the caller's status on every call.
//
//   nQoSim::tScriptedReplySource reply;
//   reply.setReply({0, 0, 0, 0, 0, 0, 0x00, 0x02});
//   nQoFSL100::tRequestContext context(&reply);
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fsl/iReplySource.h"
#include "sim/simPlacement.h"

namespace nQoSim {

class tScriptedReplySource : public nQoFSL100::iReplySource {
 public:
  // Kept in storage of exactly the reply's size, so that a read past its end
  // is caught by the address sanitizer.
  void setReply(const std::vector<uint8_t>& bytes) {
    _bytes = std::vector<uint8_t>(bytes.begin(), bytes.end());
    _start = 0;
  }
  // For benchmarks: the reply starts 2 KiB past near's place in its 4 KiB
  // page, so that a copy from the reply into near's storage runs at one
  // relative placement whatever the heap did before.
  void setReply(const std::vector<uint8_t>& bytes, const void* near) {
    _bytes.assign(bytes.size() + kPlacementSlack, 0);
    _start = offsetNear(_bytes.data(), near);
    std::copy(bytes.begin(), bytes.end(), _bytes.begin() + static_cast<std::ptrdiff_t>(_start));
    _bytes.resize(_start + bytes.size());
  }
  void setStatus(int code) { _statusCode = code; }
  std::size_t calls() const { return _calls; }

  void reply(const unsigned char*& begin, const unsigned char*& end,
             nQoMDBG100::tStatus2& status) override;

 private:
  std::vector<uint8_t> _bytes;
  std::size_t _start = 0;  // where the reply begins in _bytes
  int _statusCode = 0;
  std::size_t _calls = 0;
};

}  // namespace nQoSim
