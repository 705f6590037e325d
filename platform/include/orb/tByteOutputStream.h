// An output stream into a byte vector (little-endian values; a string is its
// u32 length, then its bytes), with an optional limit so that a test can make
// it run full. Its log (tStreamOperationLog) holds every value written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "orb/iExternalOutputStream.h"
#include "orb/tStreamOperationLog.h"

namespace nQoORB100 {

class tByteOutputStream : public iExternalOutputStream, public tStreamOperationLog {
 public:
  explicit tByteOutputStream(std::size_t limit = SIZE_MAX) : _limit(limit) {}

  void writeString(const tNarrowString& value, int& status) override;
  void writeI16(int16_t value, int& status) override;
  void writeU16(uint16_t value, int& status) override;
  void writeI32(int32_t value, int& status) override;
  void writeU32(uint32_t value, int& status) override;
  void writeU64(uint64_t value, int& status) override;

  const std::vector<uint8_t>& bytes() const { return _bytes; }
  // Starts again at the first byte with an empty log; both keep their
  // capacity, so that writing the same values again allocates nothing.
  void rewind() {
    _bytes.clear();
    clearOperations();
  }

 private:
  // Counts the call (a string is one call); false when the status holds an
  // error, the call is scripted to fail, or size bytes would pass the limit
  // (then kEndOfStream).
  bool takes(std::size_t size, int& status);
  // Appends the type's width of value and logs it.
  void put(uint64_t value, tStreamOperation::tType type);
  // Appends the type's width of value when the stream takes it.
  void write(uint64_t value, tStreamOperation::tType type, int& status);
  // False, and kEndOfStream, when fewer than size bytes fit.
  bool fits(std::size_t size, int& status);

  std::vector<uint8_t> _bytes;
  std::size_t _limit;
};

}  // namespace nQoORB100
