// The chassis tests' scripted transport, and helpers for arrays, replies and
// the status log. Every packer header comes in through here.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "chassis/cartridge/tCartridgeAIScanningFrontEnd.h"
#include "chassis/cartridge/tCartridgeAITimingController.h"
#include "chassis/cartridge/tCartridgeAI_ADC.h"
#include "chassis/cartridge/tCartridgeAOTimingController.h"
#include "chassis/cartridge/tCartridgeAO_DAC.h"
#include "chassis/cartridge/tCartridgeActionBit.h"
#include "chassis/cartridge/tCartridgeAnalogTrigger.h"
#include "chassis/cartridge/tCartridgeCICounter.h"
#include "chassis/cartridge/tCartridgeChangeDetection.h"
#include "chassis/cartridge/tCartridgeController.h"
#include "chassis/cartridge/tCartridgeDIODirection.h"
#include "chassis/cartridge/tCartridgeDataMemory.h"
#include "chassis/cartridge/tCartridgeDetection.h"
#include "chassis/cartridge/tCartridgeDriverNotification.h"
#include "chassis/cartridge/tCartridgeEEPROM.h"
#include "chassis/cartridge/tCartridgeFIFO.h"
#include "chassis/cartridge/tCartridgeLineFilter.h"
#include "chassis/cartridge/tCartridgeMisc.h"
#include "chassis/cartridge/tCartridgeProcessor.h"
#include "chassis/cartridge/tCartridgeSyncPulse.h"
#include "chassis/cartridge/tCartridgeSyncPulseChangeDetection.h"
#include "chassis/cartridge/tCartridgeTEDSCommunicator.h"
#include "chassis/cartridge/tCartridgeTimer.h"
#include "chassis/cartridge/tMultiCartridgeChangeDetection.h"
#include "chassis/interfaces/tChassisAIScanningFrontEnd.h"
#include "chassis/interfaces/tChassisAOTiming.h"
#include "chassis/interfaces/tChassisGlobalPulse.h"
#include "chassis/interfaces/tChassisSleep.h"
#include "chassis/interfaces/tChassisTempSensor.h"
#include "chassis/interfaces/tChassisTimekeeper.h"
#include "chassis/interfaces/tDMAAdaptor.h"
#include "chassis/interfaces/tDigController.h"
#include "chassis/interfaces/tHardwareVerification.h"
#include "chassis/interfaces/tIndustrialChassis.h"
#include "chassis/interfaces/tMultiAI_ADC.h"
#include "chassis/interfaces/tNetworkChassis.h"
#include "chassis/interfaces/tRoutable.h"
#include "chassis/interfaces/tStreamingFpga.h"
#include "chassis/interfaces/tTimeTrigger.h"
#include "chassis/interfaces/tTimestamp.h"
#include "fsl/tRequestContext.h"
#include "fsl/tRequestTransfer.h"
#include "mdbg/tStatus2.h"
#include "sim/simAllocator.h"
#include "sim/simMessageSource.h"
#include "sim/simReplySource.h"
#include "sim/simStatusLog.h"
#include "support/moduleFixture.h"
#include "support/statusRecords.h"

namespace nQoTest {

using namespace nQoFSL100::nQoMIOCS;
using nQoFSL100::tArray;
using nQoFSL100::tQuorlPacker;
using tBytes = std::vector<uint8_t>;
using tPackerPtr = std::unique_ptr<tQuorlPacker>;

inline tBytes be32(uint32_t value) {
  return {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)};
}

inline tBytes operator+(tBytes a, const tBytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

inline tBytes be32s(std::initializer_list<uint32_t> values) {
  tBytes bytes;
  for (uint32_t value : values) bytes = bytes + be32(value);
  return bytes;
}

// Status blocks: no code, and a code.
inline const tBytes kL2{0, 2};
inline tBytes block(int code) { return tBytes{0, 6} + be32(uint32_t(code)); }

template <class T>
void fill(tArray<T>& array, std::initializer_list<T> values) {
  array.clear();
  for (T value : values) array.append(value);
}

// An array argument given as a list: the packer gets a temporary array, so
// it must keep a copy of its own.
template <class T>
struct tTemporaryArray {
  tArray<T> array;
  explicit tTemporaryArray(const std::vector<T>& values) {
    for (T value : values) array.append(value);
  }
  operator const tArray<T>&() const { return array; }
};
template <class T>
const T& pass(const T& value) {
  return value;
}
template <class T>
tTemporaryArray<T> pass(const std::vector<T>& values) {
  return tTemporaryArray<T>(values);
}
using u8s = std::vector<uint8_t>;
using u16s = std::vector<uint16_t>;
using u32s = std::vector<uint32_t>;

// Builds a packer of the class for an object id from the other arguments.
using tMake = std::function<tQuorlPacker*(uint16_t objectId)>;
template <class tClass, class... tArguments>
tMake make(tArguments... arguments) {
  return [=](uint16_t objectId) -> tQuorlPacker* {
    return new tClass(nullptr, nullptr, objectId, pass(arguments)...);
  };
}

// True when the log holds the code at any line of the file.
inline bool loggedIn(int code, const std::string& file) {
  for (const nQoSim::tStatusRecord& record : nQoSim::statusLog())
    if (record.code == code && record.file == file) return true;
  return false;
}

class tChassisTest : public tLeakCheckedTest {
 protected:
  nQoSim::tScriptedMessageSource source;
  nQoFSL100::tRequestTransfer transfer{&source};
  nQoSim::tScriptedReplySource replies;
  nQoFSL100::tRequestContext context{&replies};
  nQoMDBG100::tStatus2 status;

  // Six transport bytes, then the reply from its status block on.
  void reply(const tBytes& fromBlock) {
    replies.setReply(tBytes{0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6} + fromBlock);
  }
  // A message's bytes from the offset to its end.
  tBytes sent(std::size_t message, std::size_t from) const {
    const tBytes all = source.bytes(message);
    return tBytes(all.begin() + std::ptrdiff_t(std::min(from, all.size())), all.end());
  }
};

}  // namespace nQoTest
