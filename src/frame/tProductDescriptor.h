// The capability record of one board model: its product identifier, family
// codes and the descriptors of its parts, from which the board object builds
// its primitives, pools and routing. The records are constant board data
// (src/device/boards/); the part descriptors are defined beside the board
// object, the frame only points at them.
#pragma once

#include <cstdint>

namespace nQoUdP100 {
struct tAIDescription;
struct tAODescription;
struct tDIODescription;
struct tCalibrationDescription;
struct tTavikBusDescription;
struct tRoutingDescription;
struct tCDIODescription;
struct tLineFilterList;
}  // namespace nQoUdP100

namespace nQoUdR100 {

struct tCapabilityEntry;

// The bus descriptor: its first word is the bus kind (2, 3, 4, 7 or 8).
struct tProductKind {
  uint32_t kind = 0;
};

struct tProductDescriptor {
  const char* name = nullptr;
  uint32_t productId = 0;
  uint32_t deviceTag = 0;
  uint32_t familyCode = 0;
  uint32_t subFamilyCode = 0;
  uint32_t modelFlag = 0;
  uint32_t modelNumber = 0;
  const char* helpTopic = nullptr;
  const tCapabilityEntry* const* capsList = nullptr;
  // The fifteen part words; null when the board lacks the part.
  const nQoUdP100::tAIDescription* ai = nullptr;
  const nQoUdP100::tAODescription* ao = nullptr;
  const nQoUdP100::tDIODescription* dio = nullptr;
  const nQoUdP100::tCalibrationDescription* calibration = nullptr;
  // The DMA part that the board object hands to its bus holder.
  const nQoUdP100::tTavikBusDescription* device = nullptr;
  const nQoUdP100::tRoutingDescription* routing = nullptr;
  uint64_t part7 = 0;
  const nQoUdP100::tCDIODescription* cdio = nullptr;
  const nQoUdP100::tLineFilterList* lineFilters = nullptr;
  uint64_t part10 = 0;
  uint64_t part11 = 0;
  uint64_t digitalPowerup = 0;
  // Non-zero: the board object refuses to build the analog parts.
  uint64_t unsupportedVariant = 0;
  uint64_t part14 = 0;
  uint64_t part15 = 0;
  const tProductKind* busDescriptor = nullptr;
  uint32_t reserved0 = 0;
  uint32_t reserved1 = 0;
  uint32_t listedFlag = 0;
  uint32_t familyCodeAgain = 0;
  uint32_t extraWord = 0;
  uint32_t hasPLL = 0;
  const char* secondName = nullptr;
  uint64_t reservedWords[2] = {};
};

}  // namespace nQoUdR100
