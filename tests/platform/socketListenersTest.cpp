// The socket-listener registry: a client's request reaches the listener
// registered under its name with every word as sent, and unregistering waits
// for a request under way on another thread, but not for the caller's own.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

#include "lib/iLibSocketListener.h"
#include "sim/simSocketListeners.h"
#include "support/heldCall.h"

namespace {

using nQoMDBG100::tStatus2;

class tRecordingListener final : public iLibSocketListener, public iLibSocket {
 public:
  iLibSocket* getSocket() override { return this; }
  void releaseSocket(uint32_t* word) override { *word = 0; }
  void handleRequest(const void* request, uint32_t requestSize, void* reply, uint32_t replyCapacity,
                     uint32_t* replySize, uint32_t code, uint32_t secondWord,
                     tStatus2& status) override {
    ++calls;
    seen = {request, requestSize, reply, replyCapacity, replySize, code, secondWord};
    if (during) during();
    *replySize = 16;
    status.setCode(-223749, "test", "socketListenersTest", 30);
    left = true;
  }

  struct tSeen {
    const void* request;
    uint32_t requestSize;
    void* reply;
    uint32_t replyCapacity;
    uint32_t* replySize;
    uint32_t code;
    uint32_t secondWord;
  } seen{};
  std::atomic<int> calls{0};
  std::atomic<bool> left{false};
  std::function<void()> during;
};

// A request carries every word to the handler and brings its reply size and
// code back; an unknown name, or one taken out, reaches nothing.
TEST(SocketListeners, ARequestReachesTheListenerOfItsNameWithEveryWord) {
  tRecordingListener listener;
  tStatus2 status;
  const uint64_t handle =
      iLibSocketListener::registerSocketListener("0x1::listener", &listener, status);
  ASSERT_NE(handle, 0u);
  const uint8_t request[24] = {0x11};
  uint8_t reply[16] = {};
  uint32_t replySize = 0;
  EXPECT_TRUE(nQoSim::sendSocketRequest("0x1::listener", request, 24, reply, 16, &replySize, 3,
                                        0x55AA0001, status));
  EXPECT_EQ(listener.calls, 1);
  EXPECT_EQ(listener.seen.request, request);
  EXPECT_EQ(listener.seen.requestSize, 24u);
  EXPECT_EQ(listener.seen.reply, reply);
  EXPECT_EQ(listener.seen.replyCapacity, 16u);
  EXPECT_EQ(listener.seen.replySize, &replySize);
  EXPECT_EQ(listener.seen.code, 3u);
  EXPECT_EQ(listener.seen.secondWord, 0x55AA0001u);
  EXPECT_EQ(replySize, 16u);
  EXPECT_EQ(status.code, -223749);

  tStatus2 none;
  EXPECT_FALSE(
      nQoSim::sendSocketRequest("0x1::listene", request, 24, reply, 16, &replySize, 3, 0, none));
  iLibSocketListener::unregisterSocketListener(handle);
  EXPECT_FALSE(
      nQoSim::sendSocketRequest("0x1::listener", request, 24, reply, 16, &replySize, 3, 0, none));
  EXPECT_EQ(listener.calls, 1);
  EXPECT_EQ(none.code, 0);
  EXPECT_EQ(nQoSim::registeredSocketListeners(), 0);
}

// A request held inside the handler on the client's thread: unregister takes
// the name out at once (a new request finds nothing) and returns only once
// the held request has left the handler.
TEST(SocketListeners, UnregisterWaitsForARequestUnderWayOnAnotherThread) {
  tRecordingListener listener;
  nQoTest::tHeldCall held;
  listener.during = [&] { held.hold(); };
  tStatus2 status;
  const uint64_t handle =
      iLibSocketListener::registerSocketListener("0x2::listener", &listener, status);
  ASSERT_NE(handle, 0u);
  std::thread client([&] {
    uint8_t request[24] = {};
    uint8_t reply[16];
    uint32_t replySize = 0;
    tStatus2 local;
    nQoSim::sendSocketRequest("0x2::listener", request, 24, reply, 16, &replySize, 1, 0, local);
  });
  ASSERT_TRUE(held.waitUntilInside());
  iLibSocketListener::unregisterSocketListener(handle);
  EXPECT_TRUE(listener.left) << "unregister returned with the request inside the handler";
  EXPECT_TRUE(held.expired());
  held.letGo();
  client.join();
  EXPECT_EQ(nQoSim::registeredSocketListeners(), 0);
}

// A handler that takes its own listener out does not wait for itself; a
// request under way on another thread is still waited for.
TEST(SocketListeners, AHandlerUnregisteringItsOwnListenerWaitsOnlyForOthers) {
  tRecordingListener listener;
  nQoTest::tHeldCall held;
  std::atomic<int> entered{0};
  std::atomic<bool> otherLeftFirst{false};
  uint64_t handle = 0;
  listener.during = [&] {
    if (entered.fetch_add(1) == 0) {
      held.hold();  // the other client's request
      return;
    }
    iLibSocketListener::unregisterSocketListener(handle);
    otherLeftFirst = listener.left.load();
  };
  tStatus2 status;
  handle = iLibSocketListener::registerSocketListener("0x3::listener", &listener, status);
  ASSERT_NE(handle, 0u);
  auto send = [] {
    uint8_t request[24] = {};
    uint8_t reply[16];
    uint32_t replySize = 0;
    tStatus2 local;
    nQoSim::sendSocketRequest("0x3::listener", request, 24, reply, 16, &replySize, 1, 0, local);
  };
  std::thread other(send);
  ASSERT_TRUE(held.waitUntilInside());
  send();  // unregisters from inside its own request
  EXPECT_TRUE(otherLeftFirst) << "the other thread's request was not waited for";
  EXPECT_TRUE(held.expired());
  held.letGo();
  other.join();
  EXPECT_EQ(listener.calls, 2);
  EXPECT_EQ(nQoSim::registeredSocketListeners(), 0);
}

}  // namespace
