// A scratch buffer of N elements of inline storage that takes its storage
// from the platform allocator only for larger sizes:
//
//   nString::TempBuffer<wchar_t, 64> scratch(count + 1, status);  // kPalOutOfMemory if it cannot
//   convert(..., scratch.data(), scratch.size(), ...);
#pragma once

#include <cstddef>
#include <cstdint>

#include "apal/nQoAPALMemory.h"
#include "frame/statusCodes.h"
#include "frame/tStatus.h"
#include "frame/tStatusSite.h"

namespace nQoUdR100::nQoKABBO_1_0::nString {

template <class T, std::size_t N>
class TempBuffer {
 public:
  // With an error in the status, or when the storage cannot be had
  // (kPalOutOfMemory), the buffer holds nothing: null data, size 0.
  TempBuffer(uint64_t size, nQoAPALS100::tStatus& status) {
    if (status.isFatal()) return;
    if (size <= N) {
      _data = _inline;
    } else {
      if (size <= SIZE_MAX / sizeof(T))
        _data = static_cast<T*>(
            _memNewUsingCRT(static_cast<std::size_t>(size) * sizeof(T), 0, nullptr));
      if (_data == nullptr) {
        setCode(status, kPalOutOfMemory, {"nString", 96});
        return;
      }
    }
    _size = size;
  }
  ~TempBuffer() {
    if (_data != _inline) _memDelete(_data);
  }
  TempBuffer(const TempBuffer&) = delete;
  TempBuffer& operator=(const TempBuffer&) = delete;

  T* data() { return _data; }
  uint64_t size() const { return _size; }

 private:
  T _inline[N];
  T* _data = nullptr;
  uint64_t _size = 0;
};

}  // namespace nQoUdR100::nQoKABBO_1_0::nString
