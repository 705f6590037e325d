// A request written in one piece against the same request written field by
// field through the message's own operations (and, at the end, buffer-form
// reads straight into the buffer against the same reads through the
// packer's own array): over messages with and without
// padding, short of room, finished, unallocated or with a source code, and
// arguments of every kind and many lengths, the bytes, finished flag, code
// and logged sites come out the same.
#include <random>

#include "chassis/message/tRequestCall.h"
#include "chassisTest.h"

namespace {

using namespace nQoTest;
using nQoFSL100::tRequestCall;
using nQoFSL100::tRequestMessage;

constexpr nQoFSL100::tMethod kMethod{0x0872, 8, "tPackWholeTest", 40};

// The field-by-field route, as a request went before the one-piece form.
template <class... tArguments>
void packByFields(uint16_t objectId, nQoFSL100::tRequestTransfer& transfer,
                  nQoMDBG100::tStatus2& status, unsigned flag, const tArguments&... arguments) {
  tRequestMessage* message =
      transfer.newMessage(tRequestCall<kMethod>::requestSize(status, arguments...), status);
  if (message == nullptr) {
    nQoUdR100::setCode(status, nQoUdR100::kNullPointer, {kMethod.file, kMethod.line});
    return;
  }
  if (status.isFatal()) return;
  message->setInterfaceId(kMethod.interfaceId, status);
  message->setObjectId(objectId, status);
  message->setMethodId(kMethod.id, status);
  message->setRequestFlag(flag, status);
  if constexpr (sizeof...(arguments) > 0) {
    nQoFSL100::tQuorlDataWriter<unsigned char*> writer = message->payloadWriter(status);
    (writer.write(arguments, status), ...);
  }
  message->finishMessage(status);
}

struct tOutcome {
  tBytes bytes;
  bool finished;
  int code;
  std::vector<std::string> sites;

  bool operator==(const tOutcome&) const = default;
};

class tPackWholeTest : public tChassisTest {
 protected:
  template <class tPack>
  tOutcome run(const nQoSim::tMessageScript& script, tPack pack) {
    nQoSim::tScriptedMessageSource messages;
    messages.fillWith(0xEE);
    messages.script(script);
    nQoFSL100::tRequestTransfer through(&messages);
    nQoMDBG100::tStatus2 local;
    nQoSim::clearStatusLog();
    pack(through, local);
    tOutcome outcome{{}, false, local.code, {}};
    if (messages.messageCount() != 0) {
      outcome.bytes = messages.bytes(0);
      outcome.finished = messages.message(0).finished != 0;
    }
    for (const nQoSim::tStatusRecord& record : nQoSim::statusLog())
      outcome.sites.push_back(record.file + ":" + std::to_string(record.line) + ":" +
                              std::to_string(record.code));
    return outcome;
  }

  // Both routes under every message shape; answers how many came out whole.
  template <class... tArguments>
  int compare(unsigned flag, const tArguments&... arguments) {
    const uint32_t size = tRequestCall<kMethod>::requestSize(status, arguments...);
    int whole = 0;
    for (const nQoSim::tMessageScript& script : shapes(size)) {
      const tOutcome once = run(script, [&](auto& through, auto& local) {
        tRequestCall<kMethod>::pack(0xBEEF, through, local, flag, arguments...);
      });
      const tOutcome byFields = run(script, [&](auto& through, auto& local) {
        packByFields(0xBEEF, through, local, flag, arguments...);
      });
      EXPECT_EQ(once, byFields) << "slack " << script.slack << " short " << script.limitShort
                                << " finished " << script.finished << " unallocated "
                                << script.notAllocated << " code " << script.statusCode;
      if (once.code == 0 && once.finished) ++whole;
    }
    return whole;
  }

  static std::vector<nQoSim::tMessageScript> shapes(uint32_t size) {
    std::vector<nQoSim::tMessageScript> all;
    for (uint32_t slack : {0u, 1u, 3u, 8u})
      for (uint32_t limitShort : {0u, 1u, 2u, 5u, slack, slack + 1, size / 2, size + slack})
        all.push_back({.slack = slack, .limitShort = limitShort});
    all.push_back({.finished = true});
    all.push_back({.slack = 2, .finished = true});
    all.push_back({.notAllocated = true});
    all.push_back({.slack = 2, .notAllocated = true});
    all.push_back({.noMessage = true});
    all.push_back({.statusCode = 300});
    all.push_back({.slack = 4, .statusCode = 300});
    all.push_back({.statusCode = -300});
    return all;
  }
};

template <class T>
void fillRandom(tArray<T>& array, std::mt19937& random, uint32_t count) {
  array.clear();
  for (uint32_t i = 0; i < count; ++i) array.append(static_cast<T>(random()));
}

TEST_F(tPackWholeTest, HeaderOnlyAndScalars) {
  EXPECT_GT(compare(1), 0);
  EXPECT_GT(compare(0, uint8_t(0xA5)), 0);
  EXPECT_GT(compare(7, uint16_t(0x1234), uint32_t(0xDEADBEEF), uint64_t(0x0102030405060708)), 0);
  EXPECT_GT(compare(1, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, uint8_t(0xFF)), 0);
}

TEST_F(tPackWholeTest, ArraysOfEveryWidthAndManyLengths) {
  std::mt19937 random(38);
  for (uint32_t count = 0; count < 40; ++count) {
    SCOPED_TRACE(count);
    tArray<uint8_t> bytes;
    tArray<uint16_t> halves;
    tArray<uint32_t> words;
    fillRandom(bytes, random, count);
    fillRandom(halves, random, count);
    fillRandom(words, random, count);
    EXPECT_GT(compare(1, bytes), 0);
    EXPECT_GT(compare(1, uint32_t(random()), halves, uint8_t(random())), 0);
    EXPECT_GT(compare(0, words, halves, bytes), 0);
    EXPECT_GT(compare(1, uint16_t(random()), words, words), 0);
  }
}

// The byte-swapping store of a run against one value at a time, for every
// length up to 70 at every start offset within a word.
template <class T>
void compareRuns() {
  std::mt19937 random(sizeof(T));
  for (std::size_t count = 0; count < 70; ++count)
    for (std::size_t offset = 0; offset < 8; ++offset) {
      std::vector<T> values(count);
      for (T& value : values) value = static_cast<T>(random());
      tBytes run(offset + count * sizeof(T) + 3, 0xEE);
      tBytes single = run;
      nQoFSL100::storeBigEndianRun(run.data() + offset, values.data(), count);
      for (std::size_t i = 0; i < count; ++i)
        nQoFSL100::storeBigEndian(single.data() + offset + i * sizeof(T), values[i]);
      ASSERT_EQ(run, single) << sizeof(T) << " " << count << " " << offset;
    }
}

TEST(tStoreRunTest, SameBytesAsOneValueAtATime) {
  compareRuns<uint8_t>();
  compareRuns<uint16_t>();
  compareRuns<uint32_t>();
  compareRuns<uint64_t>();
}

// A buffer-form read, the first time through the packer's own array and
// then, with the array's room, straight into the buffer: over replies with
// every element count up to 40, capacities below, at and above it, trailing
// part-elements, a status code or a reply cut short, both reads give the
// same buffer, code and logged sites.
struct tBufferOutcome {
  tBytes buffer;
  int code;
  std::vector<std::string> sites;

  bool operator==(const tBufferOutcome&) const = default;
};

template <class T, class tMakePacker>
void compareBufferReads(tMakePacker makePacker) {
  std::mt19937 random(sizeof(T) * 7);
  constexpr std::size_t kLengthBytes = nQoFSL100::tArrayWire<T>::kLengthBytes;
  int direct = 0;
  for (uint32_t count = 0; count <= 40; ++count)
    for (uint32_t capacity : {count == 0 ? 0u : count - 1, count, count + 5})
      for (uint32_t partial : {0u, 1u, 3u})
        for (int shape = 0; shape < 4; ++shape) {
          if (partial >= sizeof(T)) continue;
          const uint32_t elementBytes = count * uint32_t(sizeof(T)) + partial;
          tBytes reply{1, 2, 3, 4, 5, 6};
          reply = reply + (shape == 1 ? block(-7) : shape == 2 ? block(9) : kL2);
          if (kLengthBytes == 4) reply = reply + tBytes{0, 0};
          reply = reply + tBytes{uint8_t((elementBytes + 2) >> 8), uint8_t(elementBytes + 2)};
          for (uint32_t i = 0; i < elementBytes; ++i) reply.push_back(uint8_t(random()));
          if (shape == 3) reply.resize(reply.size() - 1);
          nQoSim::tScriptedReplySource replies;
          replies.setReply(reply);
          nQoFSL100::tRequestContext context(&replies);
          std::vector<T> buffer(capacity + 1);
          auto packer = makePacker(buffer.data(), capacity);
          auto once = [&] {
            std::fill(buffer.begin(), buffer.end(), T(0xEE));
            nQoMDBG100::tStatus2 local;
            nQoSim::clearStatusLog();
            packer->unpack(context, local);
            tBufferOutcome outcome{
                tBytes(reinterpret_cast<const uint8_t*>(buffer.data()),
                       reinterpret_cast<const uint8_t*>(buffer.data()) + buffer.size() * sizeof(T)),
                local.code,
                {}};
            for (const nQoSim::tStatusRecord& record : nQoSim::statusLog())
              outcome.sites.push_back(record.file + ":" + std::to_string(record.line) + ":" +
                                      std::to_string(record.code));
            return outcome;
          };
          const tBufferOutcome first = once();
          const tBufferOutcome second = once();
          EXPECT_EQ(first, second) << sizeof(T) << " count " << count << " capacity " << capacity
                                   << " partial " << partial << " shape " << shape;
          if (first.code == 0 || first.code == 9) ++direct;
        }
  EXPECT_GT(direct, 100);
}

TEST_F(tPackWholeTest, BufferReadsStraightIntoTheBufferMatchTheCopiedOnes) {
  compareBufferReads<uint8_t>([](uint8_t* buffer, uint32_t capacity) {
    return std::make_unique<nCartridgeEEPROM::tBlockReadBytesPacker>(nullptr, nullptr, 0x1234, 0, 0,
                                                                     buffer, capacity);
  });
  compareBufferReads<uint32_t>([](uint32_t* buffer, uint32_t capacity) {
    return std::make_unique<nCartridgeDataMemory::tReadPacker>(nullptr, nullptr, 0x1234, 0, 0,
                                                               buffer, capacity);
  });
}

}  // namespace
