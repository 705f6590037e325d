// A receiver of one counter's interrupt, installed in the counter interrupt
// dispatcher by the platform's counter classes. handle answers what to do
// with the interrupt: kNothingToAcknowledge, kAcknowledgeAndSecondPass, or any
// other value to acknowledge it.
#pragma once

#include <cstdint>

namespace nQoTIO100 {

class iTIOCtrInterruptTap {
 public:
  static constexpr uint32_t kNothingToAcknowledge = 0;
  static constexpr uint32_t kAcknowledge = 1;
  static constexpr uint32_t kAcknowledgeAndSecondPass = 2;

  virtual ~iTIOCtrInterruptTap() = default;
  virtual uint32_t handle() = 0;
};

}  // namespace nQoTIO100
