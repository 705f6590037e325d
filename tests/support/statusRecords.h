// Checks on the status log (a code set at a site) and read-back of the
// properties of a status description.
//
//   EXPECT_TRUE(nQoTest::loggedAt(-50103, "tEEPROMAccessReservationStrategy", 41));
//   EXPECT_EQ(nQoTest::textProperty(status.description, 36), L"Small Filter");
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "mdbg/iStatus2Description.h"
#include "orb/tGUID.h"

namespace nQoTest {

// Success when the status log holds the code with that component, file and
// line.
::testing::AssertionResult loggedAt(int code, const std::string& file, unsigned line,
                                    const std::string& component = "qoudrk");

// The text (a one-element wide-string list) or GUID stored under the id of a property-list
// description; nothing when the description or the property is missing or of another kind.
std::optional<std::wstring> textProperty(const nQoMDBG100::iStatus2Description* description,
                                         uint32_t id);
std::optional<nQoORB100::tGUID> guidProperty(const nQoMDBG100::iStatus2Description* description,
                                             uint32_t id);

}  // namespace nQoTest
