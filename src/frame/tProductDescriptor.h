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
struct tUdSeriesDevice;
struct tRoutingDescription;
struct tCDIODescription;
struct tLineFilterList;
}  // namespace nQoUdP100

namespace nQoUdR100 {

struct tCapabilityEntry;

// The bus descriptor: its first word is the bus kind (2, 3, 4, 7 or 8).
struct tProductKind {
  uint32_t kind;
};

struct tProductDescriptor {
  const char* name;
  uint32_t productId;
  uint32_t deviceTag;
  uint32_t familyCode;
  uint32_t subFamilyCode;
  uint32_t modelFlag;
  uint32_t modelNumber;
  const char* helpTopic;
  const tCapabilityEntry* const* capsList;
  // The fifteen part words; null when the board lacks the part.
  const nQoUdP100::tAIDescription* ai;
  const nQoUdP100::tAODescription* ao;
  const nQoUdP100::tDIODescription* dio;
  const nQoUdP100::tCalibrationDescription* calibration;
  const nQoUdP100::tUdSeriesDevice* device;
  const nQoUdP100::tRoutingDescription* routing;
  uint64_t part7;
  const nQoUdP100::tCDIODescription* cdio;
  const nQoUdP100::tLineFilterList* lineFilters;
  uint64_t part10;
  uint64_t part11;
  uint64_t digitalPowerup;
  // Non-zero: the board object refuses to build the analog parts.
  uint64_t unsupportedVariant;
  uint64_t part14;
  uint64_t part15;
  const tProductKind* busDescriptor;
  uint32_t reserved0;
  uint32_t reserved1;
  uint32_t listedFlag;
  uint32_t familyCodeAgain;
  uint32_t extraWord;
  uint32_t hasPLL;
  const char* secondName;
  uint64_t reservedWords[2];
};

}  // namespace nQoUdR100
