// The line-filter identifier: defaults, hash, equality, cloning through its
// class and streaming through the object broker's byte streams.
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

std::vector<uint8_t> written(const tTavikLineFilterIdentifier& identifier) {
  nQoORB100::tByteOutputStream out;
  int status = 0;
  identifier.writeExternal(out, status);
  EXPECT_EQ(status, 0);
  return out.bytes();
}

TEST_F(LineFilterIdentifierTest, DefaultsHashAndEquality) {
  tTavikLineFilterIdentifier a;
  for (uint32_t line = 0; line < 16; ++line) EXPECT_EQ(a.getSetting(kPFI, line), 4u);
  for (uint32_t line = 0; line < 8; ++line) EXPECT_EQ(a.getSetting(kRIVO, line), 4u);
  EXPECT_FALSE(a.setSetting(kPFI, 16, 1)) << "outside the group";
  EXPECT_EQ(a.hash(), 0u) << "24 equal values cancel in pairs";

  tTavikLineFilterIdentifier b;
  EXPECT_TRUE(a.isEqual(b));
  b.setDeviceGUID(kDevice);
  EXPECT_EQ(b.hash(), a.hash()) << "the GUID takes no part in the hash";
  EXPECT_FALSE(a.isEqual(b));

  a.setDeviceGUID(kDevice);
  a.setSetting(kRIVO, 7, 0x80000000u);  // sign-extended into the hash
  EXPECT_EQ(a.hash(), 0xFFFFFFFF80000004ull);
  EXPECT_FALSE(a.isEqual(b));
  b.setSetting(kRIVO, 7, 0x80000000u);
  EXPECT_TRUE(b.isEqual(a));

  const nQoMRL100::tGUIDIdentifier device(kDevice);
  EXPECT_FALSE(a.isEqual(device));
}

TEST_F(LineFilterIdentifierTest, StreamsTheGUIDThenSixteenPFIThenEightRIVOSettings) {
  tTavikLineFilterIdentifier source;
  source.setDeviceGUID(kDevice);
  source.setSetting(kPFI, 0, 1);
  source.setSetting(kRIVO, 7, 0xA0B0C0D0u);
  const std::vector<uint8_t> bytes = written(source);
  ASSERT_EQ(bytes.size(), 16u + 24u * 4u);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 20),
            (std::vector<uint8_t>{0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01, 0x18, 0x17,
                                  0x16, 0x15, 0x14, 0x13, 0x12, 0x11, 1, 0, 0, 0}));
  EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 8, bytes.end()),
            (std::vector<uint8_t>{4, 0, 0, 0, 0xD0, 0xC0, 0xB0, 0xA0}));

  tTavikLineFilterIdentifier copy;
  nQoORB100::tByteInputStream in(bytes.data(), bytes.size());
  int status = 0;
  copy.readExternal(in, status);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(copy.isEqual(source));
}

TEST_F(LineFilterIdentifierTest, AShortOrRefusedStreamChangesNothing) {
  tTavikLineFilterIdentifier source;
  source.setDeviceGUID(kDevice);
  source.setSetting(kPFI, 5, 2);
  const std::vector<uint8_t> bytes = written(source);
  for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
    tTavikLineFilterIdentifier target;
    nQoORB100::tByteInputStream in(bytes.data(), cut);
    int status = 0;
    target.readExternal(in, status);
    EXPECT_EQ(status, nQoORB100::kEndOfStream) << cut;
    EXPECT_TRUE(target.isEqual(tTavikLineFilterIdentifier())) << cut;
  }

  tTavikLineFilterIdentifier target;
  nQoORB100::tByteInputStream in(bytes.data(), bytes.size());
  int failed = -3;
  target.readExternal(in, failed);
  EXPECT_EQ(in.position(), 0u);
  EXPECT_EQ(failed, -3);
  int warned = 7;  // a warning does not stop the read
  target.readExternal(in, warned);
  EXPECT_EQ(warned, 7);
  EXPECT_TRUE(target.isEqual(source));

  nQoORB100::tByteOutputStream full(50);
  int status = 0;
  source.writeExternal(full, status);
  EXPECT_EQ(status, nQoORB100::kEndOfStream);
  EXPECT_EQ(full.bytes().size(), 48u);
}

TEST_F(LineFilterIdentifierTest, AWordWrittenSignedReadsBackUnsigned) {
  nQoORB100::tByteOutputStream out;
  int status = 0;
  out.writeI16(-2, status);
  out.writeI32(-5, status);
  nQoORB100::tByteInputStream in(out.bytes().data(), out.bytes().size());
  EXPECT_EQ(in.readU16(status), 0xFFFEu);
  EXPECT_EQ(in.readU32(status), 0xFFFFFFFBu);
  EXPECT_EQ(status, 0);
}

TEST_F(LineFilterIdentifierTest, CloneMakesAnEqualInstanceOfItsClass) {
  nQoTest::tLoadedModule module;
  ASSERT_EQ(module.loadResult(), 0);
  tTavikLineFilterIdentifier source;
  source.setDeviceGUID(kDevice);
  source.setSetting(kRIVO, 2, 3);
  int status = 0;
  nQoORB100::tObject* copy = source.clone(status);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(status, 0);
  const auto* identifier = static_cast<const tTavikLineFilterIdentifier*>(
      copy->___CPPKRLDynamicCast(&tTavikLineFilterIdentifier::___classID));
  ASSERT_NE(identifier, nullptr);
  EXPECT_TRUE(identifier->isEqual(source));
  EXPECT_STREQ(copy->getClass(status).getName(), "nQoUdR100::tTavikLineFilterIdentifier");
  copy->getClass(status).deleteInstance(copy, status);

  nQoSim::failAllocation(1);
  int failed = 0;
  EXPECT_EQ(source.clone(failed), nullptr);
  EXPECT_EQ(failed, -50352);
  int stored = -4;
  EXPECT_EQ(source.clone(stored), nullptr);
  EXPECT_EQ(stored, -4);
}

}  // namespace
