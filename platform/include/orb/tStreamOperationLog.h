// What a test sees of the byte streams: the typed operations done, in order,
// and a failure scripted for the Nth operation.
//
//   nQoORB100::tByteOutputStream out;
//   out.failOperation(3, nQoORB100::kEndOfStream);   // the third write fails so
//   record.writeExternal(out, status);
//   out.operations();   // {{kU32, 7}, {kI32, -1}}: what was written before it
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace nQoORB100 {

struct tStreamOperation {
  enum tType : uint8_t { kI16, kU16, kI32, kU32, kU64 };
  tType type;
  // Signed types sign-extended; a u64 as its bits.
  int64_t value;
  bool operator==(const tStreamOperation&) const = default;
};

class tStreamOperationLog {
 public:
  // Every operation that moved a value.
  const std::vector<tStreamOperation>& operations() const { return _operations; }
  // The nth call from now (1: the next; a string is one call, also under an
  // error) sets code by the merge rule and moves nothing; 0 disarms.
  void failOperation(std::size_t nth, int code) {
    _failAt = nth == 0 ? 0 : _calls + nth;
    _failure = code;
  }

 protected:
  // Counts the call; false when it is the scripted failure (the code is then set).
  bool proceed(int& status);
  void log(tStreamOperation::tType type, uint64_t bits);
  // Forgets the operations logged; a scripted failure stays armed.
  void clearOperations() { _operations.clear(); }

 private:
  std::vector<tStreamOperation> _operations;
  std::size_t _calls = 0;
  std::size_t _failAt = 0;
  int _failure = 0;
};

}  // namespace nQoORB100
