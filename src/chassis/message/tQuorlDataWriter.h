// Appends big-endian fields to a request buffer between a position and an end.
// A write that does not fit sets kMessageOverrun ("tQuorlDataWriter", 358),
// writes nothing and leaves the position; under an error nothing happens.
//
//   tQuorlDataWriter<unsigned char*> writer = message.payloadWriter(status);
//   writer.writeU32(arg1, status);
//   writer.write(values, status);   // a whole array under one room check
#pragma once

#include <cstddef>
#include <cstdint>

#include "chassis/message/tArray.h"
#include "chassis/message/wireFormat.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"

namespace nQoFSL100 {

template <class tPointer>
class tQuorlDataWriter {
 public:
  tQuorlDataWriter(tPointer position, tPointer end) : _position(position), _end(end) {}

  void writeU8(unsigned char value, nQoMDBG100::tStatus2& status) { write(value, status); }
  void writeU16(unsigned short value, nQoMDBG100::tStatus2& status) { write(value, status); }
  void writeU32(unsigned int value, nQoMDBG100::tStatus2& status) { write(value, status); }

  template <tWireScalar T>
  void write(T value, nQoMDBG100::tStatus2& status) {
    if (!makeRoom(sizeof(T), status)) return;
    storeBigEndian(_position, value);
    _position += sizeof(T);
  }

  // The length field, then the elements (storeWire).
  template <class T>
  void write(const tArray<T>& array, nQoMDBG100::tStatus2& status) {
    if (!makeRoom(tArrayWire<T>::kLengthBytes + array.size() * sizeof(T), status)) return;
    _position = storeWire(_position, array);
  }

  void writeZeros(std::size_t count, nQoMDBG100::tStatus2& status) {
    if (!makeRoom(count, status)) return;
    for (std::size_t i = 0; i < count; ++i) *_position++ = 0;
  }

  tPointer position() const { return _position; }

 private:
  bool makeRoom(std::size_t count, nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return false;
    if (static_cast<std::size_t>(_end - _position) < count) {
      nQoUdR100::setCode(status, nQoUdR100::kMessageOverrun, {"tQuorlDataWriter", 358});
      return false;
    }
    return true;
  }

  tPointer _position;
  tPointer _end;
};

}  // namespace nQoFSL100
