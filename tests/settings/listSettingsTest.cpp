// The AO FIFO and DAC transfer settings: their word lists on the streams, a
// failed growth and its flag through read, write, copy, assignment and clone,
// and hostile counts that end with the stream.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "settings/tAO_DACTransferSettings.h"
#include "settings/tAO_FIFOSettings.h"
#include "sim/simAllocator.h"
#include "sim/simClassRegistry.h"
#include "sim/simStreams.h"
#include "support/moduleFixture.h"
#include "support/settingsObjects.h"
#include "support/statusRecords.h"
#include "support/streamSteps.h"

namespace {

using nQoTest::Base;
using nQoTest::tStep;
using nQoTest::U32;
using nQoUdR100::tAO_DACTransferSettings;
using nQoUdR100::tAO_FIFOSettings;

std::vector<uint32_t> words(const nQoUdR100::tSettingsWordList& list) {
  return {list.begin(), list.end()};
}

using nQoTest::as;
using nQoTest::destroy;

class ListSettingsTest : public nQoTest::tLeakCheckedTest {};

TEST_F(ListSettingsTest, FIFOReadEnteredWithAnErrorKeepsListAndWords) {
  tAO_FIFOSettings settings;
  settings.list.append(1);
  settings.list.append(2);
  settings.word1 = 0x11223301u;
  settings.word6 = 0x11223306u;
  settings.longWord = 0x1122334455667788ull;
  const std::vector<uint8_t> bytes = nQoTest::streamOf(tAO_FIFOSettings());
  nQoTest::expectNoStreamCalls(settings, bytes, -7, -7);
  EXPECT_EQ(words(settings.list), (std::vector<uint32_t>{1, 2}));
  EXPECT_EQ(settings.word1, 0x11223301u);
  EXPECT_EQ(settings.word6, 0x11223306u);
  EXPECT_EQ(settings.longWord, 0x1122334455667788ull);

  // A sound read replaces the list and streams word 6 last of the words.
  int status = 0;
  nQoSim::tScriptedInputStream in(bytes);
  settings.readExternal(in, status);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(settings.list.size() == 0);
  EXPECT_EQ(settings.word6, 0xFFFFFFFFu);
  EXPECT_EQ(in.calls()[10].value, 0xFFFFFFFFu);
}

TEST_F(ListSettingsTest, FIFOFlagSurvivesReadingUntilAssignedFromASoundObject) {
  tAO_FIFOSettings source;
  for (uint32_t word : {0x11223300u, 0x11223301u, 0x11223302u}) source.list.append(word);
  const std::vector<uint8_t> three = nQoTest::streamOf(source);

  tAO_FIFOSettings failed;
  nQoSim::tScriptedInputStream in(three);
  int status = 0;
  nQoSim::failAllocation(2);
  failed.readExternal(in, status);
  EXPECT_EQ(status, -50352);
  EXPECT_EQ(words(failed.list), std::vector<uint32_t>{0x11223300u});
  EXPECT_TRUE(failed.list.allocationFailed());

  int write = 0;
  nQoSim::tRecordingOutputStream none;
  failed.writeExternal(none, write);
  EXPECT_EQ(write, -50352);
  EXPECT_TRUE(none.calls().empty());

  nQoMDBG100::tStatus2 copyStatus;
  tAO_FIFOSettings copy(failed, copyStatus);
  EXPECT_EQ(copyStatus.code, -50352);
  EXPECT_TRUE(nQoTest::loggedAt(-50352, "tAO_FIFOSettings", 44));

  // A copy whose identifier cannot store its name is reported at the same site.
  tAO_FIFOSettings named;
  nQoMDBG100::tStatus2 naming;
  named.identifier.setString("AO_FIFO", naming);
  ASSERT_EQ(naming.code, 0);
  nQoSim::clearStatusLog();
  nQoSim::failAllocation(1);
  nQoMDBG100::tStatus2 nameStatus;
  tAO_FIFOSettings nameless(named, nameStatus);
  EXPECT_EQ(nameStatus.code, -50352);
  EXPECT_TRUE(nQoTest::loggedAt(-50352, "tAO_FIFOSettings", 44));

  // A sound read leaves the flag; assignment from a sound object clears it.
  int read = 0;
  nQoSim::tScriptedInputStream again(three);
  failed.readExternal(again, read);
  EXPECT_EQ(read, 0);
  EXPECT_EQ(failed.list.size(), 3u);
  EXPECT_TRUE(failed.list.allocationFailed());
  failed = source;
  EXPECT_FALSE(failed.list.allocationFailed());
  write = 0;
  nQoSim::tRecordingOutputStream out;
  failed.writeExternal(out, write);
  EXPECT_EQ(write, 0);
  EXPECT_EQ(out.bytes(), three);
}

TEST_F(ListSettingsTest, ClonesOfAFailedListAreReturnedWithOutOfMemory) {
  nQoTest::tLoadedModule module;
  tAO_FIFOSettings fifo;
  tAO_DACTransferSettings transfer;
  fifo.list.append(5);
  fifo.word7 = 0x11223307u;
  transfer.list.append(6);

  int status = 0;
  const uint64_t before = nQoSim::totalAllocations();
  auto* sound = as<tAO_FIFOSettings>(fifo.clone(status));
  // The clone's last allocation is its list's.
  const uint64_t cloneAllocations = nQoSim::totalAllocations() - before;
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(words(sound->list), std::vector<uint32_t>{5});
  EXPECT_EQ(sound->word7, 0x11223307u);
  destroy(sound);

  // The copy's list cannot grow: the copy comes back with -50352.
  nQoSim::failAllocation(cloneAllocations);
  auto* partial = as<tAO_FIFOSettings>(fifo.clone(status));
  ASSERT_NE(partial, nullptr);
  EXPECT_EQ(status, -50352);
  EXPECT_TRUE(partial->list.allocationFailed());
  destroy(partial);

  status = 0;
  nQoSim::failAllocation(2);
  auto* partialTransfer = as<tAO_DACTransferSettings>(transfer.clone(status));
  ASSERT_NE(partialTransfer, nullptr);
  EXPECT_EQ(status, -50352);
  destroy(partialTransfer);

  status = 0;
  nQoSim::scriptNextNewInstance(nullptr, 0);
  EXPECT_EQ(transfer.clone(status), nullptr);
  EXPECT_EQ(status, -89000);
  nQoSim::clearNewInstanceScript();
}

TEST_F(ListSettingsTest, DACTransferStreamsItsListWithoutAnIdentifier) {
  tAO_DACTransferSettings settings;
  for (uint32_t word : {7u, 8u, 9u}) settings.list.append(word);
  int status = 0;
  nQoSim::tRecordingOutputStream out;
  settings.writeExternal(out, status);
  EXPECT_EQ(nQoTest::steps(out.calls()),
            (std::vector<tStep>{U32(0), U32(0), U32(0), U32(0xFFFFFFFFu), U32(3), U32(7), U32(8),
                                U32(9), Base()}));

  tAO_DACTransferSettings back;
  back.list.append(1);
  back.word4 = 2;
  nQoSim::tScriptedInputStream in(out.bytes());
  back.readExternal(in, status);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(back.list == settings.list);
  EXPECT_EQ(back.word4, 0xFFFFFFFFu);

  // Growth failing on the second element.
  tAO_DACTransferSettings failed;
  nQoSim::tScriptedInputStream again(out.bytes());
  nQoSim::failAllocation(2);
  failed.readExternal(again, status);
  EXPECT_EQ(status, -50352);
  EXPECT_TRUE(nQoTest::loggedAt(-50352, "tAO_DACTransferSettings", 144));
  EXPECT_EQ(words(failed.list), std::vector<uint32_t>{7});
  int write = 0;
  nQoSim::tRecordingOutputStream none;
  failed.writeExternal(none, write);
  EXPECT_EQ(write, -50352);
  EXPECT_TRUE(none.calls().empty());
}

TEST_F(ListSettingsTest, HostileCountsEndWithTheStream) {
  // Words 1 to 4, a count of 0xFFFFFFFF, then two elements.
  std::vector<uint8_t> bytes(16, 0);
  for (uint8_t byte : {0xFF, 0xFF, 0xFF, 0xFF, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88})
    bytes.push_back(byte);
  tAO_DACTransferSettings transfer;
  nQoSim::tScriptedInputStream in(bytes);
  int status = 0;
  transfer.readExternal(in, status);
  EXPECT_EQ(status, nQoORB100::kEndOfStream);
  EXPECT_EQ(words(transfer.list), (std::vector<uint32_t>{0x44332211u, 0x88776655u}));
  EXPECT_LE(in.calls().size(), 4u + 1 + 3 + 1);

  // The FIFO: eleven fixed members (one u64), the count, two elements.
  std::vector<uint8_t> fifoBytes(10 * 4 + 8, 0);
  fifoBytes.insert(fifoBytes.end(), bytes.begin() + 16, bytes.end());
  tAO_FIFOSettings fifo;
  nQoSim::tScriptedInputStream fifoIn(fifoBytes);
  status = 0;
  fifo.readExternal(fifoIn, status);
  EXPECT_EQ(status, nQoORB100::kEndOfStream);
  EXPECT_EQ(words(fifo.list), (std::vector<uint32_t>{0x44332211u, 0x88776655u}));
  EXPECT_LE(fifoIn.calls().size(), 12u + 3 + 4 + 1);
}

}  // namespace
