// An input stream over a byte buffer that the caller owns (little-endian
// values; a string is its u32 length, then its bytes). A test cuts a stream
// short by handing fewer bytes:
//
//   nQoORB100::tByteInputStream in(bytes.data(), 3);
//   in.readU32(status);   // status == kEndOfStream, answers 0
//
// Its log (tStreamOperationLog) holds every value read.
#pragma once

#include <cstddef>
#include <cstdint>

#include "orb/iExternalInputStream.h"
#include "orb/tStreamOperationLog.h"

namespace nQoORB100 {

class tByteInputStream : public iExternalInputStream, public tStreamOperationLog {
 public:
  tByteInputStream(const uint8_t* bytes, std::size_t size) : _bytes(bytes), _size(size) {}

  tNarrowString readString(int& status) override;
  int16_t readI16(int& status) override;
  uint16_t readU16(int& status) override;
  int32_t readI32(int& status) override;
  uint32_t readU32(int& status) override;
  uint64_t readU64(int& status) override;

  std::size_t position() const { return _position; }

 private:
  // The next value of the type as a little-endian value; 0 when the status
  // holds an error, the operation is scripted to fail, or fewer bytes are left
  // (then kEndOfStream and nothing is used).
  uint64_t read(tStreamOperation::tType type, int& status);

  const uint8_t* _bytes;
  std::size_t _size;
  std::size_t _position = 0;
};

}  // namespace nQoORB100
