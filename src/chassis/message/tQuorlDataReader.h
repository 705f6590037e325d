// Reads big-endian fields of a reply between a position and an end. A read
// that does not fit sets kMessageOverrun ("tQuorlDataReader", 783), leaves the
// position and yields all ones; under an error it yields all ones silently.
//
//   tQuorlDataReader<const unsigned char*> reader = ...::forReply(begin, end);
//   nQoMDBG100::tStatus2 reply;
//   reader.readStatus(status, reply);     // the status block
//   uint32_t value = reader.read<uint32_t>(status);
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
class tQuorlDataReader {
 public:
  tQuorlDataReader(tPointer position, tPointer end) : _position(position), _end(end) {}

  // A reader at the status block of a reply (offset 6); empty when the reply
  // is shorter than that.
  static tQuorlDataReader forReply(tPointer begin, tPointer end) {
    constexpr std::size_t kStatusBlockOffset = 6;
    if (static_cast<std::size_t>(end - begin) < kStatusBlockOffset) return {end, end};
    return {begin + kStatusBlockOffset, end};
  }

  template <tWireScalar T>
  T read(nQoMDBG100::tStatus2& status) {
    if (!hasBytes(sizeof(T), status)) return static_cast<T>(~T{0});
    const T value = loadBigEndian<T>(_position);
    _position += sizeof(T);
    return value;
  }

  // The status block: a u16 length L that counts itself, then (L > 2) a signed
  // 32-bit code. A code other than 0 goes into result, which starts clean, and
  // the reader moves to the block's start + L. An L below 2, above 0x7FFF or
  // past the reply's end is malformed (kMessageOverrun): the reader stays.
  void readStatus(nQoMDBG100::tStatus2& status, nQoMDBG100::tStatus2& result) {
    result.clear();
    if (!hasBytes(2, status)) return;
    const auto length = static_cast<int16_t>(loadBigEndian<uint16_t>(_position));
    if (length < 2 || static_cast<std::size_t>(length) > bytesLeft()) {
      fail(status);
      return;
    }
    if (length > 2) {
      int32_t code = -1;
      if (bytesLeft() >= 6)
        code = static_cast<int32_t>(loadBigEndian<uint32_t>(_position + 2));
      else
        fail(status);
      nQoUdR100::setCode(result, code, {"tQuorlDataReader", 790});
    }
    _position += length;
  }

  // Moves past a status block of length 2 (no code) and answers true; any
  // other block is left for readStatus.
  bool skipEmptyStatus() {
    if (bytesLeft() < 2 || loadBigEndian<uint16_t>(_position) != 2) return false;
    _position += 2;
    return true;
  }

  // Empties the array and appends the elements of an array field; a trailing
  // part of an element is skipped. A field that does not fit leaves the array
  // as it was. False when an element was dropped for want of storage.
  //
  // The elements go one append at a time wherever the array must grow, and
  // as one run into the room it already has, which is the same result.
  template <class T>
  bool readArray(tArray<T>& array, nQoMDBG100::tStatus2& status) {
    constexpr std::size_t kLengthBytes = tArrayWire<T>::kLengthBytes;
    if (!hasBytes(kLengthBytes, status)) return true;
    const uint32_t length =
        kLengthBytes == 4 ? loadBigEndian<uint32_t>(_position) : loadBigEndian<uint16_t>(_position);
    const uint32_t elementBytes = length - 2u;
    if (elementBytes > bytesLeft() - kLengthBytes) {
      fail(status);
      return true;
    }
    _position += kLengthBytes;
    array.clear();
    bool complete = true;
    std::size_t left = elementBytes / sizeof(T);
    while (left != 0) {
      std::size_t run = array.room() < left ? array.room() : left;
      if (run == 0) {
        complete = array.append(loadBigEndian<T>(_position)) && complete;
        run = 1;
      } else {
        loadBigEndianRun(array.extend(run), _position, run);
      }
      _position += run * sizeof(T);
      left -= run;
    }
    _position += elementBytes % sizeof(T);
    return complete;
  }

  // The element bytes of the array field at the position, when its length
  // field is there and the field fits the reply; reads and reports nothing.
  template <class T>
  bool peekArray(uint32_t& elementBytes) const {
    constexpr std::size_t kLengthBytes = tArrayWire<T>::kLengthBytes;
    if (bytesLeft() < kLengthBytes) return false;
    const uint32_t length =
        kLengthBytes == 4 ? loadBigEndian<uint32_t>(_position) : loadBigEndian<uint16_t>(_position);
    elementBytes = length - 2u;
    return elementBytes <= bytesLeft() - kLengthBytes;
  }

  // Reads a field that peekArray let through as readArray does, its whole
  // elements into values (room for elementBytes / sizeof(T) of them).
  template <class T>
  void readArrayRun(T* values, uint32_t elementBytes) {
    _position += tArrayWire<T>::kLengthBytes;
    loadBigEndianRun(values, _position, elementBytes / sizeof(T));
    _position += elementBytes;
  }

  tPointer position() const { return _position; }

 private:
  std::size_t bytesLeft() const { return static_cast<std::size_t>(_end - _position); }

  bool hasBytes(std::size_t count, nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return false;
    if (bytesLeft() < count) {
      fail(status);
      return false;
    }
    return true;
  }

  void fail(nQoMDBG100::tStatus2& status) {
    nQoUdR100::setCode(status, nQoUdR100::kMessageOverrun, {"tQuorlDataReader", 783});
  }

  tPointer _position;
  tPointer _end;
};

}  // namespace nQoFSL100
