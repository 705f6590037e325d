// A scripted transport around each chassis test, and reply and log helpers.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "chassis/message/tArray.h"
#include "fsl/tRequestContext.h"
#include "fsl/tRequestTransfer.h"
#include "mdbg/tStatus2.h"
#include "sim/simMessageSource.h"
#include "sim/simReplySource.h"
#include "sim/simStatusLog.h"
#include "support/moduleFixture.h"

namespace nQoTest {

using tBytes = std::vector<uint8_t>;

class tChassisTest : public tLeakCheckedTest {
 protected:
  nQoSim::tScriptedMessageSource source;
  nQoFSL100::tRequestTransfer transfer{&source};
  nQoSim::tScriptedReplySource replies;
  nQoFSL100::tRequestContext context{&replies};
  nQoMDBG100::tStatus2 status;

  // The bytes of the first message from the given offset on.
  tBytes sent(std::size_t from, std::size_t count) const {
    const tBytes all = source.bytes(0);
    return tBytes(all.begin() + from, all.begin() + from + count);
  }
  bool finished() const { return source.message(0).finished != 0; }

  // A reply: six transport bytes, the status block length, then the rest.
  void reply(uint16_t length, const tBytes& rest) {
    tBytes bytes{0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, uint8_t(length >> 8), uint8_t(length)};
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    replies.setReply(bytes);
  }
};

template <class T>
void fill(nQoFSL100::tArray<T>& array, std::initializer_list<T> values) {
  array.clear();
  for (T value : values) array.append(value);
}

inline tBytes be32(uint32_t value) {
  return {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)};
}

inline tBytes operator+(tBytes a, const tBytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// True when the log holds the code at the site.
inline bool logged(int code, const std::string& file, unsigned line) {
  for (const nQoSim::tStatusRecord& record : nQoSim::statusLog())
    if (record.code == code && record.file == file && record.line == line &&
        record.component == "qoudrk")
      return true;
  return false;
}

inline bool loggedCode(int code) {
  for (const nQoSim::tStatusRecord& record : nQoSim::statusLog())
    if (record.code == code) return true;
  return false;
}

}  // namespace nQoTest
