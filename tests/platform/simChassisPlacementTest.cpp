// The scripted message and reply sources placed for benchmarks: the reused
// message buffer and the reply begin 2 KiB past a given address's place in
// its 4 KiB page, with the message's room and the reply's bytes as without a
// placement.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "fsl/tRequestMessage.h"
#include "mdbg/tStatus2.h"
#include "sim/simMessageSource.h"
#include "sim/simReplySource.h"

namespace {

uintptr_t pageOffset(const void* address) { return reinterpret_cast<uintptr_t>(address) % 4096; }

TEST(SimChassisPlacement, TheReusedMessageBufferLiesTwoKiBPastTheArrayInItsPage) {
  for (std::size_t shift : {0u, 1u, 2047u, 2048u, 4095u}) {
    std::vector<uint8_t> array(8192);
    const uint8_t* near = array.data() + shift;
    nQoSim::tScriptedMessageSource source;
    source.reuseOneBuffer(100, near);
    nQoMDBG100::tStatus2 status;
    for (int call = 0; call < 2; ++call) {
      nQoFSL100::tRequestMessage* message = source.newMessage(100, status);
      ASSERT_NE(message, nullptr);
      EXPECT_EQ(pageOffset(message->bufferBegin), (pageOffset(near) + 2048) % 4096) << shift;
      EXPECT_EQ(message->requestStart, message->bufferBegin);
      EXPECT_EQ(message->bufferEnd - message->bufferBegin, 100);
      EXPECT_EQ(message->writeLimit, message->bufferEnd);
      EXPECT_EQ(message->bufferBegin[0], 0xEE);
      EXPECT_EQ(message->bufferBegin[99], 0xEE);
    }
    // A longer message than the capacity still gets its room.
    nQoFSL100::tRequestMessage* longer = source.newMessage(5000, status);
    EXPECT_EQ(longer->bufferEnd - longer->bufferBegin, 5000);
    EXPECT_EQ(longer->writeLimit, longer->bufferEnd);
    EXPECT_EQ(status.code, 0);
  }
}

TEST(SimChassisPlacement, ThePlacedReplyLiesTwoKiBPastTheStorageInItsPage) {
  std::vector<uint8_t> reply(300);
  for (std::size_t i = 0; i < reply.size(); ++i) reply[i] = static_cast<uint8_t>(i * 13);
  for (std::size_t shift : {0u, 5u, 2048u, 4095u}) {
    std::vector<uint32_t> storage(2048);
    const auto* near = reinterpret_cast<const uint8_t*>(storage.data()) + shift;
    nQoSim::tScriptedReplySource source;
    source.setReply(reply, near);
    nQoMDBG100::tStatus2 status;
    const unsigned char* begin = nullptr;
    const unsigned char* end = nullptr;
    source.reply(begin, end, status);
    EXPECT_EQ(pageOffset(begin), (pageOffset(near) + 2048) % 4096) << shift;
    EXPECT_EQ(std::vector<uint8_t>(begin, end), reply);
    // Set again without a placement, the reply is the bytes alone.
    source.setReply({1, 2, 3});
    source.reply(begin, end, status);
    EXPECT_EQ(std::vector<uint8_t>(begin, end), (std::vector<uint8_t>{1, 2, 3}));
  }
}

}  // namespace
