// The device-info record that the driver fills and hands through the device
// object to every primitive.
#pragma once

#include <cstdint>

#include "frame/tProductDescriptor.h"

class iBus;
class iDevice;

namespace nQoUdP100 {

struct tDeviceInfo {
  iDevice* device;
  int32_t index;
  iBus* bus;
  // 1 when the bus reported the tag 0x2073696d for its information item 2.
  uint32_t tagFlag;
  // From the product-table lookup by product identifier; may be null.
  const nQoUdR100::tProductDescriptor* productDescriptor;
  uint32_t reserved;
};

}  // namespace nQoUdP100
