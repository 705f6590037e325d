// The line-filter identifier: hash, equality, streaming and cloning.
#include <gtest/gtest.h>

#include <vector>

#include "mrl/tGUIDIdentifier.h"
#include "orb/tByteInputStream.h"
#include "orb/tByteOutputStream.h"
#include "settings/tTavikLineFilterIdentifier.h"
#include "sim/simAllocator.h"
#include "support/moduleFixture.h"

namespace {

using nQoUdR100::tTavikLineFilterIdentifier;
constexpr uint32_t kPFI = tTavikLineFilterIdentifier::kPFI;
constexpr uint32_t kRIVO = tTavikLineFilterIdentifier::kRIVO;
const nQoORB100::tGUID kDevice{0x0102030405060708ull, 0x1112131415161718ull};

class LineFilterIdentifierTest : public nQoTest::tLeakCheckedTest {};

TEST_F(LineFilterIdentifierTest, HashAndEquality) {
  tTavikLineFilterIdentifier a, b;
  EXPECT_EQ(a.getSetting(kRIVO, 7), 4u);
  EXPECT_FALSE(a.setSetting(kPFI, 16, 1));
  EXPECT_EQ(a.hash(), 0u);
  b.setDeviceGUID(kDevice);
  EXPECT_EQ(b.hash(), a.hash());
  EXPECT_FALSE(a.isEqual(b));
  a.setDeviceGUID(kDevice);
  a.setSetting(kRIVO, 7, 0x80000000u);
  EXPECT_EQ(a.hash(), 0xFFFFFFFF80000004ull);
  EXPECT_FALSE(a.isEqual(b));
  b.setSetting(kRIVO, 7, 0x80000000u);
  EXPECT_TRUE(b.isEqual(a));
  EXPECT_FALSE(a.isEqual(nQoMRL100::tGUIDIdentifier(kDevice)));
}

TEST_F(LineFilterIdentifierTest, StreamsTheGUIDThenTheSettingsAndAShortStreamChangesNothing) {
  tTavikLineFilterIdentifier source, copy;
  source.setDeviceGUID(kDevice);
  source.setSetting(kPFI, 0, 1);
  source.setSetting(kRIVO, 7, 0xA0B0C0D0u);
  nQoORB100::tByteOutputStream out, full(50);
  int status = 0, failed = -3, warned = 7, overflow = 0;
  source.writeExternal(out, status);
  const std::vector<uint8_t> bytes = out.bytes();
  ASSERT_EQ(bytes.size(), 16u + 24u * 4u);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 20),
            (std::vector<uint8_t>{0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01, 0x18, 0x17,
                                  0x16, 0x15, 0x14, 0x13, 0x12, 0x11, 1,    0,    0,    0}));
  EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 8, bytes.end()),
            (std::vector<uint8_t>{4, 0, 0, 0, 0xD0, 0xC0, 0xB0, 0xA0}));
  source.writeExternal(full, overflow);
  EXPECT_EQ(overflow, nQoORB100::kEndOfStream);

  for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
    tTavikLineFilterIdentifier target;
    nQoORB100::tByteInputStream in(bytes.data(), cut);
    int code = 0;
    target.readExternal(in, code);
    EXPECT_EQ(code, nQoORB100::kEndOfStream) << cut;
    EXPECT_TRUE(target.isEqual(tTavikLineFilterIdentifier())) << cut;
  }
  nQoORB100::tByteInputStream in(bytes.data(), bytes.size());
  copy.readExternal(in, failed);
  EXPECT_EQ(in.position(), 0u);
  copy.readExternal(in, warned);
  EXPECT_EQ(warned, 7);
  EXPECT_TRUE(copy.isEqual(source));
}

TEST_F(LineFilterIdentifierTest, CloneMakesAnEqualInstanceOfItsClass) {
  nQoTest::tLoadedModule module;
  tTavikLineFilterIdentifier source;
  source.setSetting(kRIVO, 2, 3);
  int status = 0, failed = 0;
  nQoORB100::tObject* copy = source.clone(status);
  ASSERT_NE(copy, nullptr);
  const auto* identifier = static_cast<const tTavikLineFilterIdentifier*>(
      copy->___CPPKRLDynamicCast(&tTavikLineFilterIdentifier::___classID));
  EXPECT_TRUE(identifier != nullptr && identifier->isEqual(source));
  EXPECT_STREQ(copy->getClass(status).getName(), "nQoUdR100::tTavikLineFilterIdentifier");
  copy->getClass(status).deleteInstance(copy, status);
  nQoSim::failAllocation(1);
  EXPECT_EQ(source.clone(failed), nullptr);
  EXPECT_EQ(failed, -50352);
}

}  // namespace
