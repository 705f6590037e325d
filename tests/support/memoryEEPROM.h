// An EEPROM device in memory: the image (what the device holds), the shadow
// copy with its pending bytes, and the access state. Commit needs the write
// state (-50012), revert the read state (-50009). Shadow writes are logged.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "primitives/eeprom/iBaseEEPROM.h"

namespace nQoTest {

class tMemoryEEPROM : public nQoUdP100::iBaseEEPROM {
 public:
  enum tAccessState { kClosed, kReading, kWriting };
  struct tWrite {
    uint32_t address;
    std::vector<uint8_t> bytes;
    bool operator==(const tWrite&) const = default;
  };

  explicit tMemoryEEPROM(uint32_t size = 1024, uint8_t fill = 0)
      : image(size, fill), shadow(size, fill) {}

  void readFromDevice(uint32_t address, uint32_t length, uint8_t* buffer,
                      nQoMDBG100::tStatus2& status, uint32_t) override {
    if (fits(address, length, status)) copy(buffer, image.data() + address, length);
  }
  void writeToDevice(uint32_t address, uint32_t length, uint8_t* buffer,
                     nQoMDBG100::tStatus2& status, uint32_t) override {
    if (!fits(address, length, status)) return;
    copy(image.data() + address, buffer, length);
    copy(shadow.data() + address, buffer, length);
  }
  // Counted; a read beyond readLimit fails, so that a runaway loop ends.
  void read(uint32_t address, uint32_t length, uint8_t* buffer, nQoMDBG100::tStatus2& status,
            uint32_t) override {
    if (++reads > readLimit) status.setCode(-50005, "test", "tMemoryEEPROM", 4);
    if (fits(address, length, status)) copy(buffer, shadow.data() + address, length);
  }
  void write(uint32_t address, uint32_t length, uint8_t* buffer, nQoMDBG100::tStatus2& status,
             uint32_t) override {
    if (!fits(address, length, status)) return;
    copy(shadow.data() + address, buffer, length);
    shadowWrites.push_back({address, std::vector<uint8_t>(buffer, buffer + length)});
  }
  void revert(nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    if (state != kReading) {
      status.setCode(-50009, "test", "tMemoryEEPROM", 1);
      return;
    }
    shadow = image;
  }
  void commit(nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    if (state != kWriting) {
      status.setCode(-50012, "test", "tMemoryEEPROM", 2);
      return;
    }
    image = shadow;
    ++commits;
  }
  void enableRead(nQoMDBG100::tStatus2&) override { state = kReading; }
  void enableWrite(nQoMDBG100::tStatus2&) override { state = kWriting; }
  void disableAccess(nQoMDBG100::tStatus2&) override { state = kClosed; }

  std::vector<uint8_t> image;
  std::vector<uint8_t> shadow;
  tAccessState state = kClosed;
  std::vector<tWrite> shadowWrites;
  int commits = 0;
  uint64_t reads = 0;
  uint64_t readLimit = UINT64_MAX;

 private:
  // A request of no bytes may come with no buffer at all.
  static void copy(uint8_t* to, const uint8_t* from, uint32_t length) {
    if (length != 0) std::memcpy(to, from, length);
  }
  bool fits(uint32_t address, uint32_t length, nQoMDBG100::tStatus2& status) const {
    if (status.isFatal()) return false;
    if (nQoUdP100::inside(address, length, static_cast<uint32_t>(image.size()))) return true;
    status.setCode(-50005, "test", "tMemoryEEPROM", 3);
    return false;
  }
};

}  // namespace nQoTest
