// What the platform's counter classes call to give a counter a DMA path: join
// a counter (0 or 1) to one of the board's DMA channels, part them again, and
// switch the counter's DMA requests on and off. Each does nothing when the
// status already holds an error.
//
//   tap->connect(4, 1, status);   // counter 1 on DMA channel 4, requests on
//   tap->disconnect(4, 1, status);
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoTIOR100 {

class iTIODMATap {
 public:
  virtual ~iTIODMATap() = default;
  virtual void connect(uint32_t channel, uint32_t counter, nQoMDBG100::tStatus2& status) = 0;
  virtual void disconnect(uint32_t channel, uint32_t counter, nQoMDBG100::tStatus2& status) = 0;
  virtual void enableDMA(uint32_t counter, nQoMDBG100::tStatus2& status) = 0;
  virtual void disableDMA(uint32_t counter, nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoTIOR100
