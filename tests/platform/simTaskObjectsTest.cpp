// The platform objects of a measurement task: the DMA partner moves bytes
// only while the select register routes to its channel, and keeps the first
// end; the event records posted actions in order.
#include <gtest/gtest.h>

#include <vector>

#include "frame/iReadable.h"
#include "sim/tSimDMATransfer.h"
#include "sim/tSimTaskObjects.h"
#include "support/heldPass.h"

namespace {

using nQoMDBG100::tStatus2;
using tPartner = nQoSim::tSimDMATransferPartner<nQoMXSL100::iReadable<unsigned char>>;

// Offers one 2-byte sample at a time, like the AI FIFO's stream.
class tSampleStream : public nQoMXSL100::iReadable<unsigned char> {
 public:
  uint32_t read(unsigned char&, tStatus2&) override { return 0; }
  uint32_t read(unsigned char* buffer, uint32_t count, tStatus2&) override {
    uint32_t n = 0;
    for (; n < count && taken < bytes.size(); ++n) buffer[n] = bytes[taken++];
    return n;
  }
  uint32_t available(tStatus2&) override { return bytes.size() - taken >= 2 ? 2 : 0; }
  void close(const tStatus2&, tStatus2&) override {}
  std::vector<unsigned char> bytes{1, 2, 3, 4, 5, 6, 7};
  size_t taken = 0;
};

TEST(SimTaskObjects, TheDMAPartnerMovesWholeSamplesOnlyWhileItsChannelIsSelected) {
  struct tCase {
    uint32_t selectRegister;
    size_t moved;
  };
  // Channel 2 has select code 4; bits 7:4 of the register do not matter.
  const tCase cases[] = {{0x00, 0}, {0x03, 0}, {0x05, 0}, {0x04, 6}, {0xF4, 6}};
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.selectRegister);
    nQoSim::tSimRegisterWindows windows;
    const unsigned tavik = windows.addWindow(0x100);
    ASSERT_TRUE(windows.writeAt(tavik, 0x09, 8, c.selectRegister, 0));
    nQoSim::tSimDMAChannel channel(2, 4, windows, tavik);
    tPartner partner;
    tSampleStream stream;
    tStatus2 status;
    EXPECT_EQ(partner.move(channel, status), 0u);  // no stream handed yet
    partner.getEndpoint(status)->setReadable(&stream, status);
    EXPECT_EQ(partner.move(channel, status), c.moved);
    EXPECT_EQ(partner.buffer,
              std::vector<unsigned char>(stream.bytes.begin(), stream.bytes.begin() + c.moved));
    EXPECT_EQ(channel.getChannelNumber(status), 2u);
    EXPECT_EQ(status.code, 0);
  }
}

// A move under way reads through the stream on another thread: taking the
// stream away waits for it, so the stream may go once setReadable returns.
TEST(SimTaskObjects, TakingTheStreamAwayWaitsForAMoveUnderWay) {
  class tHeldStream : public tSampleStream {
   public:
    uint32_t read(unsigned char* buffer, uint32_t count, tStatus2& status) override {
      held.hold();
      return tSampleStream::read(buffer, count, status);
    }
    nQoTest::tHeldPass held;
  };
  nQoSim::tSimRegisterWindows windows;
  const unsigned tavik = windows.addWindow(0x100);
  ASSERT_TRUE(windows.writeAt(tavik, 0x09, 8, 0x04, 0));
  nQoSim::tSimDMAChannel channel(2, 4, windows, tavik);
  tPartner partner;
  tHeldStream stream;
  tStatus2 status, moving;
  partner.getEndpoint(status)->setReadable(&stream, status);
  size_t moved = 0;
  stream.held.run([&] { moved = partner.move(channel, moving); });
  stream.held.tearDown([&] { partner.endpoint.setReadable(nullptr, status); });
  EXPECT_TRUE(stream.held.teardownWaited());
  EXPECT_EQ(moved, 6u);
  EXPECT_EQ(partner.move(channel, moving), 0u);
}

TEST(SimTaskObjects, TheEndpointKeepsTheFirstEndAndTheEventEveryPostInOrder) {
  tPartner partner;
  tStatus2 status, timeout, done;
  timeout.setCode(-200010, "sim", "test", 1);
  partner.endpoint.transferEnded(timeout, status);
  partner.endpoint.transferEnded(done, status);
  EXPECT_TRUE(partner.endpoint.ended);
  EXPECT_EQ(partner.endpoint.reason, -200010);

  nQoSim::tSimEvent event;
  nQoSim::tSimRuntimeFacade facade(event);
  nQoMRL110::tEventIdentifier identifier(status);
  EXPECT_EQ(facade.getEventObject(identifier, status), &event);
  event.registerEvent(nQoMRL110::kDoneEvent, status);
  event.registerEvent(nQoMRL110::kDoneEvent, status);
  event.unregisterEvent(nQoMRL110::kDoneEvent, status);
  EXPECT_EQ(event.registered, (std::map<uint32_t, int>{{nQoMRL110::kDoneEvent, 1}}));
  EXPECT_FALSE(event.sawDone());
  tStatus2 failed;
  failed.setCode(-200016, "sim", "test", 2);
  event.post(nQoMRL110::tSoftwareActionForStatusEvent(failed), status);
  event.post(nQoMRL110::tSoftwareActionForIsDoneEvent(done), status);
  EXPECT_EQ(event.postedText(), "status(-200016),is-done");
  EXPECT_TRUE(event.sawDone());

  nQoSim::tSimSupervisorMap map;
  map.entries[5] = &partner;
  EXPECT_EQ(map.lookup(5, status), &partner);
  EXPECT_EQ(map.lookup(4, status), nullptr);
  EXPECT_EQ(status.code, 0);
}

}  // namespace
