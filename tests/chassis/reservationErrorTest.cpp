// The translation of chassis reservation errors: both tables, their lines,
// the device attached as property 1, and codes left alone.
#include <gtest/gtest.h>

#include <cstdint>
#include <type_traits>
#include <vector>

#include "chassis/convertReservationError.h"
#include "chassis/iMorroRoutable.h"
#include "chassis/message/tQuorlDataReader.h"
#include "mdbg/tGUIDReportable.h"
#include "mdbg/tStatus2Description.h"
#include "sim/simAllocator.h"
#include "sim/simStatusLog.h"
#include "support/registerLogs.h"

namespace {

using nQoTest::lastReport;

// A status that a chassis reply's status block filled.
void fromReply(int code, nQoMDBG100::tStatus2& result) {
  const auto word = static_cast<uint32_t>(code);
  std::vector<unsigned char> reply{0, 0, 0, 0, 0, 0, 0, 6};
  for (int shift = 24; shift >= 0; shift -= 8) reply.push_back(uint8_t(word >> shift));
  auto reader = nQoFSL100::tQuorlDataReader<const unsigned char*>::forReply(
      reply.data(), reply.data() + reply.size());
  nQoMDBG100::tStatus2 status;
  reader.readStatus(status, result);
  ASSERT_EQ(status.code, 0);
  ASSERT_EQ(result.code, code);
}

TEST(ReservationErrorTest, PlainTableMapsItsCodesWithTheirLines) {
  const struct {
    int from, to;
    unsigned line;
  } cases[] = {{-50103, -200022, 53}, {-54010, -200022, 53}, {-88708, -200324, 61},
               {-54000, -200324, 61}, {-54001, -200324, 61}, {-54002, -200324, 61}};
  for (const auto& c : cases) {
    nQoMDBG100::tStatus2 status;
    fromReply(c.from, status);
    EXPECT_EQ(nQoUdR100::convertReservationError(status), c.to) << c.from;
    EXPECT_EQ(status.code, c.to);
    EXPECT_EQ(lastReport(), std::to_string(c.to) + " qoudrk ZorbReservationErrorUtilities " +
                                std::to_string(c.line));
  }
}

TEST(ReservationErrorTest, PlainTableLeavesOtherCodes) {
  for (int code : {-54011, -54012, -200022, 5, 0}) {
    nQoMDBG100::tStatus2 status(code);
    nQoSim::clearStatusLog();
    EXPECT_EQ(nQoUdR100::convertReservationError(status), code);
    EXPECT_EQ(status.code, code);
    EXPECT_TRUE(nQoSim::statusLog().empty());
  }
}

TEST(ReservationErrorTest, DeviceTableAttachesTheDevice) {
  const nQoORB100::tGUID guid{0x0123456789ABCDEF, 0xFEDCBA9876543210};
  const nQoMDBG100::tGUIDReportable device(guid);
  const struct {
    int from, to;
    unsigned line;
  } cases[] = {{-200022, -200022, 32}, {-54012, -200022, 32}, {-54010, -200022, 32},
               {-50103, -200022, 32},  {-88708, -200324, 41}, {-54011, -200324, 41},
               {-54002, -200324, 41},  {-54001, -200324, 41}, {-54000, -200324, 41}};
  const int64_t live = nQoSim::liveAllocations();
  for (const auto& c : cases) {
    {
      nQoMDBG100::tStatus2 status;
      fromReply(c.from, status);
      EXPECT_EQ(nQoUdR100::convertReservationError(device, status), c.to) << c.from;
      EXPECT_EQ(lastReport(), std::to_string(c.to) + " qoudrk ZorbReservationErrorUtilities " +
                                  std::to_string(c.line));
      auto* description = static_cast<nQoMDBG100::tStatus2Description*>(status.description);
      ASSERT_NE(description, nullptr);
      EXPECT_EQ(description->references(), 1);
      const auto* property =
          static_cast<const nQoMDBG100::tGUIDReportable*>(description->getProperty(1));
      ASSERT_NE(property, nullptr);
      EXPECT_EQ(property->getValue(), guid);
    }
    EXPECT_EQ(nQoSim::liveAllocations(), live);
  }
}

TEST(ReservationErrorTest, DeviceTableLeavesOtherCodesAndFreesTheDescription) {
  const nQoMDBG100::tGUIDReportable device(nQoORB100::tGUID{1, 2});
  const int64_t live = nQoSim::liveAllocations();
  for (int code : {-50004, 5, 0}) {
    nQoMDBG100::tStatus2 status(code);
    nQoSim::clearStatusLog();
    EXPECT_EQ(nQoUdR100::convertReservationError(device, status), code);
    EXPECT_EQ(status.description, nullptr);
    EXPECT_TRUE(nQoSim::statusLog().empty());
  }
  EXPECT_EQ(nQoSim::liveAllocations(), live);
}

// The routable interfaces are destroyed through their base.
static_assert(std::has_virtual_destructor_v<nQoUdR100::iMorroRoutable> &&
              std::has_virtual_destructor_v<nQoUdR100::iMorroCartridgeRoutable>);

}  // namespace
