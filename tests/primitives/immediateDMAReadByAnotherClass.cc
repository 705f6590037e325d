// Must not build: another class's step, named as the AI immediate DMA
// transfer's programming step, reads the header words and the key deployed
// for the client. Its deploys beside it, through the transfer's own deploy
// steps, build.
#include <cstdint>

#include "primitives/ai/tBaseAIImmediateDMATransferPrimitive.h"

namespace {

using nQoUdP100::tBaseAIImmediateDMATransferPrimitive;

struct tClientPlan {
  void deploy(tBaseAIImmediateDMATransferPrimitive& transfer) {
    transfer.setListenerKey(7);
    transfer.deployHeaderWords({.word12 = 1});
  }
  void commit(tBaseAIImmediateDMATransferPrimitive& transfer) {
    key = transfer._client.take().listenerKey;
  }
  uint64_t key = 0;
};

}  // namespace

void planClient(tBaseAIImmediateDMATransferPrimitive& transfer) {
  tClientPlan plan;
  plan.deploy(transfer);
  plan.commit(transfer);
}
