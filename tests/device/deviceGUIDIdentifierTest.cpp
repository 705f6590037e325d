// The device GUID identifier: hash, what it is equal to, clone through its
// class, and its stream form, including a count of extra fields that runs
// past the end of the stream.
#include <gtest/gtest.h>

#include <vector>

#include "device/tMIO_GUIDIdentifier.h"
#include "frame/destroyObject.h"
#include "mrl/tGUIDIdentifier.h"
#include "mrl/tGeneralIdentifier.h"
#include "orb/tByteInputStream.h"
#include "orb/tByteOutputStream.h"
#include "orb/tClassImplementation.h"
#include "settings/tTavikLineFilterIdentifier.h"
#include "support/moduleFixture.h"

namespace {

using nQoORB100::tGUID;
using nQoUdR100::tMIO_GUIDIdentifier;

// The GUID whose four 32-bit words are a, b, c, d.
tGUID words(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  return {uint64_t{a} << 32 | b, uint64_t{c} << 32 | d};
}

tMIO_GUIDIdentifier identifierOf(const tGUID& guid) {
  tMIO_GUIDIdentifier identifier;
  identifier.setGUID(guid);
  return identifier;
}

class DeviceGUIDIdentifierTest : public nQoTest::tLeakCheckedTest {
 protected:
  nQoTest::tLoadedModule module;
};

TEST_F(DeviceGUIDIdentifierTest, NamesEveryIdentifierOfItsDeviceAndNothingElse) {
  const tGUID device = words(1, 2, 3, 4);
  const tMIO_GUIDIdentifier identifier = identifierOf(device);
  EXPECT_EQ(identifier.hash(), 4u);
  EXPECT_EQ(identifierOf(words(0x80000000, 0, 0, 1)).hash(), 0x80000001u);
  EXPECT_EQ(identifierOf(device).hash(), identifier.hash());

  nQoMRL100::tGeneralIdentifier adc;
  adc.setDeviceGUID(device);
  nQoMDBG100::tStatus2 status;
  adc.setString("AI_ADC", status);
  nQoMRL100::tGeneralIdentifier placeholder;
  placeholder.setDeviceGUID(device);
  placeholder.setIndex(1);
  nQoMRL100::tGeneralIdentifier elsewhere(adc);
  elsewhere.setDeviceGUID(words(1, 2, 3, 5));
  nQoUdR100::tTavikLineFilterIdentifier lineFilter;
  lineFilter.setDeviceGUID(device);

  EXPECT_TRUE(identifier.isEqual(adc));
  EXPECT_TRUE(identifier.isEqual(placeholder));
  EXPECT_TRUE(identifier.isEqual(nQoMRL100::tGUIDIdentifier(device)));
  EXPECT_TRUE(identifier.isEqual(identifierOf(device)));
  EXPECT_FALSE(identifier.isEqual(elsewhere));
  EXPECT_FALSE(identifier.isEqual(nQoMRL100::tGUIDIdentifier(words(0, 2, 3, 4))));
  EXPECT_FALSE(identifier.isEqual(identifierOf(words(1, 2, 4, 3))));
  EXPECT_FALSE(identifier.isEqual(lineFilter));
}

TEST_F(DeviceGUIDIdentifierTest, ClonesThroughItsClassAndStreamsACountThenTheGUID) {
  const tMIO_GUIDIdentifier identifier = identifierOf(words(0x11223344, 5, 6, 0x778899AA));
  int status = 0;
  nQoORB100::tObject* copy = identifier.clone(status);
  ASSERT_NE(copy, nullptr);
  const auto* cloned = static_cast<tMIO_GUIDIdentifier*>(
      copy->___CPPKRLDynamicCast(&tMIO_GUIDIdentifier::___classID));
  ASSERT_NE(cloned, nullptr);
  EXPECT_TRUE(cloned->isEqual(identifier));
  EXPECT_EQ(cloned->getGUID(), identifier.getGUID());
  EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances(tMIO_GUIDIdentifier::kClassName), 1);
  nQoORB100::destroyObject(copy, status);
  EXPECT_EQ(status, 0);
  int failed = -7;
  EXPECT_EQ(identifier.clone(failed), nullptr);
  EXPECT_EQ(failed, -7);

  nQoORB100::tByteOutputStream out;
  identifier.writeExternal(out, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out.bytes(), (std::vector<uint8_t>{0,    0,    0,    0,    5,    0,    0, 0, 0x44, 0x33,
                                               0x22, 0x11, 0xAA, 0x99, 0x88, 0x77, 6, 0, 0,    0}));
  tMIO_GUIDIdentifier readBack;
  nQoORB100::tByteInputStream in(out.bytes().data(), out.bytes().size());
  readBack.readExternal(in, status);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(readBack.isEqual(identifier));
  EXPECT_EQ(in.position(), 20u);

  // Extra fields are read and dropped.
  std::vector<uint8_t> extra = {2, 0, 0, 0, 9, 9, 9, 9, 8, 8, 8, 8};
  extra.insert(extra.end(), out.bytes().begin() + 4, out.bytes().end());
  tMIO_GUIDIdentifier skipped;
  nQoORB100::tByteInputStream withExtra(extra.data(), extra.size());
  skipped.readExternal(withExtra, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(skipped.getGUID(), identifier.getGUID());

  nQoORB100::tByteOutputStream full(10);
  int refused = 0;
  identifier.writeExternal(full, refused);
  EXPECT_EQ(refused, nQoORB100::kEndOfStream);
  int earlier = -7;
  nQoORB100::tByteOutputStream untouched;
  identifier.writeExternal(untouched, earlier);
  EXPECT_TRUE(untouched.bytes().empty());
}

TEST_F(DeviceGUIDIdentifierTest, AShortStreamStopsAtItsFirstFailedReadAndKeepsTheGUID) {
  const tGUID kept = words(1, 2, 3, 4);
  const struct {
    std::vector<uint8_t> bytes;
    std::size_t operations;  // reads that moved a value
  } cases[] = {
      {{0xFF, 0xFF, 0xFF, 0xFF}, 1},                    // a count of 2^32 - 1, nothing behind
      {{0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 2, 0}, 2},  // one extra field, then a cut
      {{0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 2},     // the GUID's second word cut
      {{0, 0}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes.size());
    tMIO_GUIDIdentifier identifier = identifierOf(kept);
    nQoORB100::tByteInputStream in(c.bytes.data(), c.bytes.size());
    int status = 0;
    identifier.readExternal(in, status);
    EXPECT_EQ(status, nQoORB100::kEndOfStream);
    EXPECT_EQ(identifier.getGUID(), kept);
    EXPECT_EQ(in.operations().size(), c.operations);
  }
}

}  // namespace
