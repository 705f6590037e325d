// A sink taken away while an overrun second pass on another thread reports
// the end through it: the clear waits for the report to leave the sink, so
// the sink may go once the clear returns. The AI DMA transfer's done sink
// through the DMA linker's unlink, and the AI interrupt transfer's
// destination.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "primitives/ai/tAIInterruptTransferPrimitive.h"
#include "primitives/ai/tAI_DMATransferPrimitive.h"
#include "primitives/aiTransferFixture.h"
#include "reservation/tDMALinker.h"
#include "support/heldCall.h"
#include "support/reservationDoubles.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tAI_DMATransferPrimitive;
using nQoUdP100::tAIInterruptTransferPrimitive;
using nQoUdP100::tBaseAI_DMATransferPrimitive;
using nQoUdP100::tBaseAIInterruptTransferPrimitive;

// Holds the end, then keeps its reason.
template <class tInterface>
class tHeldSink : public tInterface {
 public:
  explicit tHeldSink(tHeldCall* held) : _held(held) {}
  void transferEnded(const tStatus2& reason, tStatus2&) override {
    _held->hold();
    reasons.push_back(reason.code);
  }
  std::vector<int> reasons;

 private:
  tHeldCall* _held;
};

class tHeldDestination : public tHeldSink<tBaseAIInterruptTransferPrimitive::iDestination> {
 public:
  using tHeldSink::tHeldSink;
  uint32_t move(uint32_t, tStatus2&) override { return 0; }
};

// The partner transfer supervisor: hands out an endpoint it does not own.
class tEndpointPartner : public tScriptedPartner<nQoLMSDR100::iDMATransferSupervisor> {
 public:
  tEndpointPartner(tCallLog& log, nQoLMSDR100::iDMAEndpoint* endpoint)
      : tScriptedPartner(log, "partner"), _endpoint(endpoint) {}
  nQoLMSDR100::iDMAEndpoint* getEndpoint(tStatus2& s) override {
    answer("getEndpoint", s);
    return _endpoint;
  }

 private:
  nQoLMSDR100::iDMAEndpoint* _endpoint;
};

class tSinkTeardownTest : public tAIRoadTest {
 protected:
  // The transfer's overrun second pass, after its first, runs on another
  // thread and is held in the sink; clear takes the sink away, which then
  // goes. Answers the reasons the sink had when clear returned.
  template <class tTransfer, class tSink, class tClear>
  std::vector<int> clearWhileReporting(tTransfer& transfer, tSink* sink, tClear clear) {
    tStatus2 first;
    transfer.handleOverrun(converter, first);
    std::thread secondPass([&] {
      tStatus2 pass;
      transfer.handleOverrunSecondary(converter, pass);
    });
    const bool inside = held.waitUntilInside();
    EXPECT_TRUE(inside) << "the pass never reached the sink";
    std::vector<int> reasons;
    if (inside) {
      clear();
      reasons = sink->reasons;
      delete sink;
    }
    held.letGo();
    secondPass.join();
    if (!inside) delete sink;
    EXPECT_TRUE(held.expired()) << "the clear returned while the end was being reported";
    return reasons;
  }

  tHeldCall held;
};

TEST_F(tSinkTeardownTest, TheDMALinkersUnlinkWaitsForAnEndReportedToThePartnersEndpoint) {
  auto* endpoint = new tHeldSink<nQoLMSDR100::iDMAEndpoint>(&held);
  tCallLog log;
  tScriptedDMAChannel channel{log, "channel"};
  tEndpointPartner partner{log, endpoint};
  tScriptedSupervisorMap supervisors{log, "map"};
  channel.channelNumber = 4;
  supervisors.entries = {{10, &channel}, {11, &partner}};
  tAI_DMATransferPrimitive transfer(converter, timing, fifo, deviceInfo, map, status);
  nQoMRTB100::tDMALinker<tBaseAI_DMATransferPrimitive> linker;
  linker.setChannelKey(10);
  linker.setPartnerKey(11);
  linker.setPrimitive(&transfer);
  linker.link(supervisors, status);
  linker.linkResource(status);
  transfer.link(status);
  transfer.arm(status);
  ASSERT_EQ(status.code, 0);
  ASSERT_EQ(transfer.getDoneSink(), endpoint);

  EXPECT_EQ(clearWhileReporting(transfer, endpoint, [&] { linker.unlinkResource(status); }),
            std::vector<int>{-200019});
  EXPECT_EQ(transfer.getDoneSink(), nullptr);
  EXPECT_EQ(transfer.getDMAChannelNumber(), tBaseAI_DMATransferPrimitive::kNoChannel);
  transfer.disarm(status);
  transfer.unlink(status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tSinkTeardownTest, AnInterruptTransfersDestinationClearedWhileAnEndIsReportedWaitsForIt) {
  nQoUdP100::tAISampleDescription samples{2};
  nQoUdP100::tAIDescription description;
  description.fifo = &fifoDescription;
  description.samples = &samples;
  tAIInterruptTransferPrimitive transfer(&description, converter, timing, fifo, deviceInfo, map,
                                         status);
  auto* destination = new tHeldDestination(&held);
  transfer.setDestination(destination);
  transfer.configure(status);
  transfer.link(status);
  transfer.commit(status);
  transfer.arm(status);
  ASSERT_EQ(status.code, 0);

  EXPECT_EQ(clearWhileReporting(transfer, destination, [&] { transfer.setDestination(nullptr); }),
            std::vector<int>{-200019});
  EXPECT_EQ(transfer.getDestination(), nullptr);
  transfer.disarm(status);
  EXPECT_EQ(status.code, 0);
}

}  // namespace
}  // namespace nQoTest
