// Must not build: another class's step, named as the AI immediate transfer's
// programming step, reads the read options deployed for the next arm. Its
// deploys beside it, through the transfer's own deploy steps, and its look at
// the run's options build.
#include <cstdint>

#include "primitives/ai/tBaseAIImmediateTransferPrimitive.h"

namespace {

using nQoUdP100::tBaseAIImmediateTransferPrimitive;

struct tReadPlan {
  void deploy(tBaseAIImmediateTransferPrimitive& transfer) {
    transfer.setReadOption3(true);
    transfer.setWaitMode(2);
  }
  void armTransfer(tBaseAIImmediateTransferPrimitive& transfer) {
    drains = transfer.isReadOption3On() || transfer._readConfiguration.take().option3;
  }
  bool drains = false;
};

}  // namespace

void planReads(tBaseAIImmediateTransferPrimitive& transfer) {
  tReadPlan plan;
  plan.deploy(transfer);
  plan.armTransfer(transfer);
}
