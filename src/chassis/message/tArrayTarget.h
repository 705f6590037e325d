// Where a packer puts an array result: straight into the caller's array, or
// into its own array and from there into the caller's plain buffer of a
// given capacity (in elements).
//
//   tArrayTarget<unsigned int> direct(callerArray);
//   tArrayTarget<unsigned int> byPointer(&callerArray);
//   tArrayTarget<unsigned int> buffered(tBuffer<unsigned int>{elements, 16});
//
// The caller's array must hold storage from the module allocator (or none):
// a read that grows it frees its old storage there.
#pragma once

#include <cstdint>

#include "chassis/message/tArray.h"
#include "chassis/message/tMethod.h"
#include "chassis/message/tQuorlDataReader.h"
#include "frame/memMove.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoFSL100 {

template <class T>
struct tBuffer {
  T* elements;
  uint32_t capacity;
};

template <class T>
class tArrayTarget {
 public:
  explicit tArrayTarget(tArray<T>& callerArray) : _target(&callerArray) {}
  // A null array: the reply's array is read and checked, and kept nowhere.
  explicit tArrayTarget(tArray<T>* callerArray)
      : _target(callerArray != nullptr ? callerArray : &_own) {}
  explicit tArrayTarget(const tBuffer<T>& buffer)
      : _target(&_own), _buffer(buffer.elements), _capacity(buffer.capacity) {}
  tArrayTarget(const tArrayTarget&) = delete;
  tArrayTarget& operator=(const tArrayTarget&) = delete;

  // Reads the array field. The buffer gets the elements only after an
  // error-free read that kept every element and fits its capacity; a null
  // buffer gets nothing.
  //
  // When the field fits the buffer and the own array already has room for
  // it (so reading into the array could not fail), the elements go straight
  // into the buffer: the same result without the copy.
  template <class tPointer>
  void read(tQuorlDataReader<tPointer>& reader, const tMethod& method,
            nQoMDBG100::tStatus2& status) {
    uint32_t elementBytes = 0;
    if (_buffer != nullptr && !status.isFatal() && reader.template peekArray<T>(elementBytes)) {
      const std::size_t count = elementBytes / sizeof(T);
      if (count <= _capacity && count <= _own.size() + _own.room()) {
        reader.readArrayRun(_buffer, elementBytes);
        return;
      }
    }
    deliver(reader.readArray(*_target, status), method, status);
  }

  // As read, with the array filled by fillArray(array) (an Async unpack). In
  // the buffer form the own array starts empty with its flag clear, so that
  // the flag afterwards tells whether this read dropped an element.
  template <class tFill>
  void fill(tFill&& fillArray, const tMethod& method, nQoMDBG100::tStatus2& status) {
    if (_buffer != nullptr) _own.copyFrom(tArray<T>());
    fillArray(*_target);
    deliver(!_own.allocationFailed(), method, status);
  }

 private:
  // Hands the read elements to the buffer, if any.
  void deliver(bool complete, const tMethod& method, nQoMDBG100::tStatus2& status) {
    if (_buffer == nullptr || status.isFatal()) return;
    if (!complete) {
      nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, {method.file, method.line + 2});
      return;
    }
    if (_own.size() > _capacity) {
      nQoUdR100::setCode(status, nQoUdR100::kMessageOverrun, {"tQuorlDataReader", 795});
      return;
    }
    if (!_own.empty()) nQoUdR100::memMove(_buffer, _own.begin(), _own.size() * sizeof(T));
  }

  tArray<T>* _target;
  tArray<T> _own;
  T* _buffer = nullptr;
  uint32_t _capacity = 0;
};

}  // namespace nQoFSL100
