// A control parameter block over bytes a test supplies, read in order,
// little-endian. As an out block its data area is those bytes; 32-bit writes
// and the writer's writes fill them in order from the start and are captured
// in order (the writer's in its operation log).
//
//   nQoSim::tByteParameterBlock out(std::vector<uint8_t>(4, 0));
//   out.getWriter()->writeI32(-1, status);    // out.writer().operations(): {{kI32, -1}}
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "mrl/iControlParameterBlock.h"
#include "orb/tStreamOperationLog.h"

namespace nQoSim {

class tByteParameterBlock : public nQoMRL100::iControlParameterBlock {
 public:
  explicit tByteParameterBlock(std::vector<uint8_t> bytes) : _bytes(std::move(bytes)) {}
  // A copy has a writer of its own, with an empty operation log.
  tByteParameterBlock(const tByteParameterBlock& other)
      : _bytes(other._bytes),
        _position(other._position),
        _writePosition(other._writePosition),
        _written(other._written) {}
  tByteParameterBlock& operator=(const tByteParameterBlock&) = delete;

  uint16_t readU16(int& status) override;
  int32_t readI32(int& status) override;
  uint32_t readU32(int& status) override;
  std::size_t position() const { return _position; }

  void* getData() override { return _bytes.data(); }
  uint32_t getSize() const override { return static_cast<uint32_t>(_bytes.size()); }
  void writeU32(uint32_t value, int& status) override;
  // Every value a writeU32 stored, in order.
  const std::vector<uint32_t>& written() const { return _written; }

  // Little-endian writes into the bytes from the block's write position.
  class tWriter : public nQoORB100::iExternalOutputStream, public nQoORB100::tStreamOperationLog {
   public:
    explicit tWriter(tByteParameterBlock& block) : _block(block) {}
    void writeString(const nQoORB100::tNarrowString& value, int& status) override;
    void writeI16(int16_t value, int& status) override;
    void writeU16(uint16_t value, int& status) override;
    void writeI32(int32_t value, int& status) override;
    void writeU32(uint32_t value, int& status) override;
    void writeU64(uint64_t value, int& status) override;

   private:
    // False (kEndOfStream, or the scripted failure) when it writes nothing.
    bool takes(std::size_t size, int& status);
    void write(uint64_t value, nQoORB100::tStreamOperation::tType type, std::size_t size,
               int& status);
    // Stores size bytes of value at the write position and logs it.
    void put(uint64_t value, nQoORB100::tStreamOperation::tType type, std::size_t size);
    tByteParameterBlock& _block;
  };
  nQoORB100::iExternalOutputStream* getWriter() override { return &_writer; }
  const tWriter& writer() const { return _writer; }
  tWriter& writer() { return _writer; }

 private:
  // The next size bytes as a number; 0 and kOutOfValues when fewer are left.
  uint32_t take(std::size_t size, int& status);

  std::vector<uint8_t> _bytes;
  std::size_t _position = 0;
  std::size_t _writePosition = 0;
  std::vector<uint32_t> _written;
  tWriter _writer{*this};
};

}  // namespace nQoSim
