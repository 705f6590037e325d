// A reference-counted object attached to a status that carries extra detail.
#pragma once

#include <cstddef>

namespace nQoMDBG100 {

class iStatus2Description {
 public:
  virtual ~iStatus2Description();
  // Takes one more reference.
  virtual void retain() = 0;
  // Gives back one reference; the last one destroys the description.
  virtual void release() = 0;

  static void* operator new(std::size_t size) noexcept;
  static void operator delete(void* block) noexcept;
};

}  // namespace nQoMDBG100
