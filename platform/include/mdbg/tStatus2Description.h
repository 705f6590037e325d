// The platform's plain status description: a reference count and nothing more
// until properties are needed.
#pragma once

#include <atomic>

#include "mdbg/iStatus2Description.h"

namespace nQoMDBG100 {

class tStatus2Description : public iStatus2Description {
 public:
  tStatus2Description() = default;
  explicit tStatus2Description(int& status);
  ~tStatus2Description() override;

  void retain() override;
  void release() override;
  int references() const { return _references.load(); }

 private:
  std::atomic<int> _references{1};
};

}  // namespace nQoMDBG100
