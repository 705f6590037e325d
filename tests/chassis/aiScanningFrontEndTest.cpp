// The chassis AI scanning front end's packers over the scripted transport.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "chassis/interfaces/tChassisAIScanningFrontEnd.h"
#include "chassisTest.h"

namespace {

using namespace nQoFSL100::nQoMIOCS::nChassisAIScanningFrontEnd;
using nQoFSL100::tArray;
using nQoTest::be32;
using nQoTest::logged;
using nQoTest::operator+;
using nQoTest::tBytes;

class tAIScanningFrontEndTest : public nQoTest::tChassisTest {
 protected:
  tArray<uint16_t> list;
  tAIScanningFrontEndTest() {
    list.append(0x1234);
    list.append(0xABCD);
  }
};

TEST_F(tAIScanningFrontEndTest, HeaderOnlyMethodsAnswerEightAlways) {
  const uint16_t id = 0x0102;
  std::unique_ptr<nQoFSL100::tQuorlPacker> packers[] = {
      std::make_unique<tCommitPacker>(nullptr, nullptr, id),
      std::make_unique<tUncommitPacker>(nullptr, nullptr, id),
      std::make_unique<tPrearmPacker>(nullptr, nullptr, id),
      std::make_unique<tPostdisarmPacker>(nullptr, nullptr, id),
      std::make_unique<tArmPacker>(nullptr, nullptr, id),
      std::make_unique<tDisarmPacker>(nullptr, nullptr, id),
      std::make_unique<tClearAIConfigFIFOPacker>(nullptr, nullptr, id),
      std::make_unique<tDoneProgrammingAIConfigFIFOPacker>(nullptr, nullptr, id)};
  const uint8_t methodIds[] = {8, 9, 10, 11, 12, 13, 15, 16};
  for (int code : {0, 5, -5}) {
    status.code = code;
    for (auto& packer : packers) EXPECT_EQ(packer->requestSize(status), 8u);
  }
  status.clear();
  for (std::size_t i = 0; i < 8; ++i) {
    packers[i]->pack(transfer, 1, status);
    EXPECT_EQ(source.bytes(i), (tBytes{0xEE, 0xEE, 1, methodIds[i], 0x08, 0x10, 0x01, 0x02}));
  }
}

TEST_F(tAIScanningFrontEndTest, ProgramConfigFIFOSendsItsList) {
  tProgramConfigFIFOPacker packer(nullptr, nullptr, 0x1234, list);
  list.append(7);
  EXPECT_EQ(packer.requestSize(status), 14u);
  packer.pack(transfer, 1, status);
  EXPECT_EQ(source.requestedLengths(), std::vector<uint32_t>{14});
  EXPECT_EQ(sent(2, 12), (tBytes{1, 0x0E, 0x08, 0x10, 0x12, 0x34, 0x00, 0x06, 0x12, 0x34, 0xAB, 0xCD}));
  EXPECT_TRUE(finished());
  status.code = -1;
  EXPECT_EQ(packer.requestSize(status), 8u);
}

TEST_F(tAIScanningFrontEndTest, ProgramConfigFIFOIntoAShortOrFinishedMessage) {
  tProgramConfigFIFOPacker packer(nullptr, nullptr, 0x1234, list);
  source.script({.limitShort = 2});
  packer.pack(transfer, 1, status);
  EXPECT_EQ(status.code, -228700);
  EXPECT_TRUE(logged(-228700, "tQuorlDataWriter", 358));
  EXPECT_EQ(sent(8, 6), tBytes(6, 0xEE));
  EXPECT_FALSE(finished());

  status.clear();
  source.script({.finished = true});
  packer.pack(transfer, 1, status);
  EXPECT_EQ(status.code, -50150);
  EXPECT_EQ(source.bytes(1), tBytes(14, 0xEE));

  status.clear();
  source.script({.notAllocated = true});
  packer.pack(transfer, 1, status);
  EXPECT_EQ(status.code, -50150);
  EXPECT_TRUE(logged(-50150, "tRequestMessage", 97));
  EXPECT_EQ(source.message(2).finished, 0u);
}

TEST_F(tAIScanningFrontEndTest, ProgramMorroPipelineWithAnEmptyList) {
  tArray<uint16_t> empty;
  tProgramMorroPipelinePacker packer(nullptr, nullptr, 0x1234, empty);
  EXPECT_EQ(packer.requestSize(status), 10u);
  packer.pack(transfer, 0, status);
  EXPECT_EQ(source.requestedLengths(), std::vector<uint32_t>{10});
  EXPECT_EQ(sent(2, 8), (tBytes{0, 0x11, 0x08, 0x10, 0x12, 0x34, 0x00, 0x02}));
}

TEST_F(tAIScanningFrontEndTest, RepliesOnlyMergeTheirCode) {
  tArmPacker packer(nullptr, nullptr, 1);
  reply(6, be32(300) + be32(0xFFFFFFFF));
  packer.unpack(context, status);
  reply(6, be32(400));
  packer.unpack(context, status);
  EXPECT_EQ(status.code, 300);
  reply(6, be32(uint32_t(-400)));
  packer.unpack(context, status);
  EXPECT_EQ(status.code, -400);
}

}  // namespace
