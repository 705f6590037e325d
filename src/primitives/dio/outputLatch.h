// The one write routine of the static line members: the value goes into the
// latch register's soft copy (marked dirty when it changed), the register is
// written when dirty, and the bus is flushed in every case. A latch that the
// chip takes byte-wise writes only the bytes the mask touches.
//
//   writeOutputLatch(map, map.Write_0024, 0xA5, status);                 // 32-bit 0x24
//   writeOutputLatchBytes(map, map.Write_01DE, 0x0100, 0x0100, status);  // 8-bit 0x1DF
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

template <class tLatch>
void writeOutputLatch(nQoUdRLP100::nTavik::tTavik& map, tLatch& latch, uint32_t value,
                      nQoMDBG100::tStatus2& status) {
  latch.setRegister(static_cast<typename tLatch::tValue>(value), &status);
  latch.flush(&status, 0);
  map.flushBus(&status);
}

// A 16-bit register written as its low byte (mask bits 7:0) and its high byte
// (mask bits 15:8), each when dirty or when force is set; no bus flush.
template <class tLatch>
void writeLatchBytes(nQoUdRLP100::nTavik::tTavik& map, tLatch& latch, uint32_t mask, uint32_t value,
                     nQoMDBG100::tStatus2& status, unsigned force = 0) {
  static_assert(tLatch::kWidth == 16);
  latch.setRegister(static_cast<uint16_t>(value), &status);
  if (status.isFatal()) return;
  uint8_t& dirty = map.dirty(latch.index());
  if (force == 0 && dirty == 0) return;
  const uint32_t soft = latch.getRegister();
  if ((mask & 0x00FF) != 0) map.space().template write<8>(latch.offset(), soft & 0xFF);
  if ((mask & 0xFF00) != 0) map.space().template write<8>(latch.offset() + 1, soft >> 8);
  dirty = 0;
}

template <class tLatch>
void writeOutputLatchBytes(nQoUdRLP100::nTavik::tTavik& map, tLatch& latch, uint32_t mask,
                           uint32_t value, nQoMDBG100::tStatus2& status) {
  writeLatchBytes(map, latch, mask, value, status);
  map.flushBus(&status);
}

}  // namespace nQoUdP100
