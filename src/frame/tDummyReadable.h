// A byte input that never yields data; statuses are not touched.
#pragma once

#include "frame/iReadable.h"
#include "frame/tModuleObject.h"

namespace nQoUdR100 {

class tDummyReadable : public nQoMXSL100::iReadable<unsigned char>, public tModuleObject {
 public:
  uint32_t read(unsigned char&, nQoMDBG100::tStatus2&) override { return 0; }
  uint32_t read(unsigned char*, uint32_t, nQoMDBG100::tStatus2&) override { return 0; }
  uint32_t available(nQoMDBG100::tStatus2&) override { return 0; }
  void close(const nQoMDBG100::tStatus2&, nQoMDBG100::tStatus2&) override {}
};

}  // namespace nQoUdR100
