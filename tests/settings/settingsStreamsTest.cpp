// What the settings classes rely on of the platform: strings on the byte
// streams and the output stream's rewind, the general identifier's copy,
// comparison and stream, and the refusal of hostile allocation sizes.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "apal/nQoAPALMemory.h"
#include "kal/nQoKAL.h"
#include "mrl/tGeneralIdentifier.h"
#include "orb/tByteInputStream.h"
#include "orb/tByteOutputStream.h"
#include "sim/simAllocator.h"
#include "support/moduleFixture.h"
#include "support/statusRecords.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoORB100::kEndOfStream;
using nQoORB100::tNarrowString;

tNarrowString text(const char* value) {
  tNarrowString out;
  out.assign(value, std::strlen(value));
  return out;
}

class SettingsStreamsTest : public nQoTest::tLeakCheckedTest {};

TEST_F(SettingsStreamsTest, StringsTravelAsLengthAndBytesAndFailWithoutMovingTheStream) {
  nQoORB100::tByteOutputStream out, full(6);
  int status = 0, overflow = 0, failed = -7;
  out.writeString(text("AI_ADC"), status);
  out.writeI32(-2, status);
  full.writeString(text("AI_ADC"), overflow);
  full.writeString(text("AI"), failed);
  EXPECT_EQ(out.bytes(), (std::vector<uint8_t>{6, 0, 0, 0, 'A', 'I', '_', 'A', 'D', 'C', 0xFE, 0xFF,
                                               0xFF, 0xFF}));
  EXPECT_EQ(overflow, kEndOfStream);
  EXPECT_TRUE(full.bytes().empty());

  nQoORB100::tByteInputStream in(out.bytes().data(), out.bytes().size());
  EXPECT_STREQ(in.readString(status).c_str(), "AI_ADC");
  EXPECT_EQ(in.readU32(status), 0xFFFFFFFEu);
  EXPECT_EQ(status, 0);

  // A length beyond the bytes left, and a string that cannot be allocated,
  // read nothing.
  const uint8_t longer[] = {7, 0, 0, 0, 'A', 'I', '_', 'A', 'D', 'C'};
  nQoORB100::tByteInputStream shortIn(longer, sizeof longer);
  int cut = 3;
  EXPECT_EQ(shortIn.readString(cut).size(), 0u);
  EXPECT_EQ(cut, kEndOfStream);
  EXPECT_EQ(shortIn.position(), 0u);
  nQoORB100::tByteInputStream again(out.bytes().data(), out.bytes().size());
  int noMemory = 0;
  nQoSim::failAllocation(1);
  EXPECT_EQ(again.readString(noMemory).size(), 0u);
  EXPECT_EQ(noMemory, -50352);
  EXPECT_EQ(again.position(), 0u);
  EXPECT_EQ(again.readString(failed).size(), 0u);
  EXPECT_EQ(again.position(), 0u);
}

TEST_F(SettingsStreamsTest, RewindStartsBytesAndLogAfreshAndKeepsAScriptedFailureArmed) {
  nQoORB100::tByteOutputStream out;
  int status = 0;
  out.writeU32(7, status);
  out.writeI16(-1, status);
  out.failOperation(2, kEndOfStream);
  out.rewind();
  EXPECT_TRUE(out.bytes().empty());
  EXPECT_TRUE(out.operations().empty());

  out.writeU16(0x1234, status);
  out.writeU32(9, status);
  EXPECT_EQ(out.bytes(), (std::vector<uint8_t>{0x34, 0x12}));
  EXPECT_EQ(
      out.operations(),
      (std::vector<nQoORB100::tStreamOperation>{{nQoORB100::tStreamOperation::kU16, 0x1234}}));
  EXPECT_EQ(status, kEndOfStream);
}

TEST_F(SettingsStreamsTest, GeneralIdentifierCopiesComparesAndStreams) {
  tStatus2 setup;
  nQoMRL100::tGeneralIdentifier source, copy, other;
  source.setDeviceGUID({0x1111, 0x2222});
  source.setString("AO_DAC", setup);
  source.setIndex(4);
  copy = source;
  EXPECT_TRUE(copy == source);
  EXPECT_STREQ(copy.getString(), "AO_DAC");
  other = source;
  other.setIndex(5);
  EXPECT_FALSE(other == source);

  nQoORB100::tByteOutputStream out;
  int status = 0;
  source.writeExternal(out, status);
  ASSERT_EQ(out.bytes().size(), 16u + 4 + 6 + 4);
  EXPECT_EQ(std::vector<uint8_t>(out.bytes().end() - 4, out.bytes().end()),
            (std::vector<uint8_t>{4, 0, 0, 0}));
  nQoMRL100::tGeneralIdentifier read;
  for (std::size_t cut = 0; cut < out.bytes().size(); ++cut) {
    nQoORB100::tByteInputStream in(out.bytes().data(), cut);
    int code = 0;
    read.readExternal(in, code);
    EXPECT_EQ(code, kEndOfStream) << cut;
    EXPECT_TRUE(read == nQoMRL100::tGeneralIdentifier()) << cut;
  }
  nQoORB100::tByteInputStream in(out.bytes().data(), out.bytes().size());
  read.readExternal(in, status);
  EXPECT_TRUE(read == source);
}

TEST_F(SettingsStreamsTest, HostileSizesAreRefusedAsOutOfMemory) {
  EXPECT_EQ(nQoKAL100_malloc((size_t{1} << 30) + 1), nullptr);
  tStatus2 status;
  EXPECT_EQ(_memNewUsingCRT(size_t{0xFFFFFFFF} * 8, 0, &status), nullptr);
  EXPECT_EQ(status.code, -50352);
  void* block = nQoKAL100_malloc(size_t{1} << 20);
  EXPECT_NE(block, nullptr);
  nQoKAL100_free(block);
}

}  // namespace
