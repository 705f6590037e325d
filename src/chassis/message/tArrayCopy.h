// A packer's own copy of an array argument, made at construction, and
// whether its storage could be had.
#pragma once

#include "chassis/message/tArray.h"

namespace nQoFSL100 {

template <class T>
class tArrayCopy {
 public:
  explicit tArrayCopy(const tArray<T>& source) : _copyFailed(!_array.copyFrom(source)) {}
  tArrayCopy(const tArrayCopy&) = delete;
  tArrayCopy& operator=(const tArrayCopy&) = delete;

  const tArray<T>& array() const { return _array; }
  // True when the copy's own allocation failed; a flag only taken over from
  // the source does not count.
  bool copyFailed() const { return _copyFailed; }

 private:
  tArray<T> _array;
  bool _copyFailed;
};

}  // namespace nQoFSL100
