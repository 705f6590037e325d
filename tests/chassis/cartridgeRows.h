// Request rows of cartridge packers: how to build a class, its interface,
// method and argument bytes; and the check that every row packs exactly
// those bytes into a message of its request size.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "chassisTest.h"
#include "fsl/tQuorlPacker.h"
#include "sim/simAllocator.h"

namespace nQoTest {

constexpr uint16_t kRowObject = 0x0102;

struct tRequestRow {
  const char* name;
  std::function<nQoFSL100::tQuorlPacker*()> make;
  uint16_t interfaceId;
  uint8_t method;
  tBytes arguments;
};

template <class tClass, class... tArgs>
std::function<nQoFSL100::tQuorlPacker*()> make(tArgs... args) {
  return [=]() -> nQoFSL100::tQuorlPacker* {
    return new tClass(nullptr, nullptr, kRowObject, args...);
  };
}

// u32 argument k: 11 22 33 0k, so a swapped or shifted field shows.
inline uint32_t w(uint32_t k) { return 0x11223300 + k; }
inline tBytes W(uint32_t k) { return be32(w(k)); }
inline tBytes repeatW(uint32_t count) {
  tBytes bytes;
  for (uint32_t k = 1; k <= count; ++k) bytes = bytes + W(k);
  return bytes;
}

class tRequestRowsTest : public tChassisTest {
 protected:
  // Every row's request size (clean, warning, error), its bytes with flag 1,
  // no allocation while packing, and its destruction through the base.
  void packEveryRow(const std::vector<tRequestRow>& rows) {
    std::vector<std::unique_ptr<nQoFSL100::tQuorlPacker>> packers;
    for (const tRequestRow& row : rows) packers.emplace_back(row.make());

    for (std::size_t i = 0; i < rows.size(); ++i) {
      SCOPED_TRACE(rows[i].name);
      const tRequestRow& row = rows[i];
      nQoFSL100::tQuorlPacker& packer = *packers[i];
      const auto size = static_cast<uint32_t>(8 + row.arguments.size());
      for (int code : {0, 5}) {
        status.code = code;
        EXPECT_EQ(packer.requestSize(status), size);
      }
      status.code = -5;
      EXPECT_EQ(packer.requestSize(status), 8u);

      status.clear();
      const uint64_t allocationsBefore = nQoSim::totalAllocations();
      packer.pack(transfer, 1, status);
      EXPECT_EQ(nQoSim::totalAllocations(), allocationsBefore);
      EXPECT_EQ(status.code, 0);
      ASSERT_EQ(source.requestedLengths().back(), size);
      const tBytes header{
          0xEE, 0xEE, 1, row.method, uint8_t(row.interfaceId >> 8), uint8_t(row.interfaceId),
          0x01, 0x02};
      EXPECT_EQ(source.bytes(i), header + row.arguments);
      EXPECT_NE(source.message(i).finished, 0u);
    }
  }
};

}  // namespace nQoTest
