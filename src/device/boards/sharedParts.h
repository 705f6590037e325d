// The parts and codes that every model of models.txt shares; the generated
// board tables (tools/boardgen) include this file once and point at them.
#pragma once

#include "device/boardParts.h"
#include "device/tAIFrontEndCaps.h"
#include "tavik/tTavikBusDescription.h"

namespace nQoUdR100 {
namespace {

constexpr uint32_t kDeviceTag = 0x74636C20;      // "tcl "
constexpr uint32_t kFamilyCode = 0x55447365;     // "UDse"
constexpr uint32_t kPXIFamilyCode = 0x50584920;  // "PXI "
constexpr uint32_t kCounterTag = 0x54494F20;     // "TIO "

const char* const kAINames[] = {"APFI0", nullptr};
const char* const kAONames[] = {"APFI1", nullptr};

const nQoUdP100::tAITriggerDescription kTrigger = {2, 0};
const nQoUdP100::tAITransferList kAllTransfers = {
    .dma = 1, .interrupt = 1, .immediate = 1, .reserved = 0, .immediateDMA = 1};

const nQoUdP100::tAIFIFODescription kAIFIFO = {
    .size = 4095, .sampleWidthCode = 2, .defaultCount = 4095};
const nQoUdP100::tAISampleDescription kAISamples = {.blockSize = 256};
const nQoUdP100::tAITimingDescription kAITiming = {};

const nQoUdP100::tAODescription kAO = {.fifoDepth = 8192,
                                       .refillChunk = 1024,
                                       .channelCount = 2,
                                       .maxChannels = 2,
                                       .groundReference = 1,
                                       .terminalNames = kAONames};

const nQoUdP100::tCDIODescription kCDIO = {
    .cdiFIFODepth = 1024, .secondCount = 0, .sampleWidth = 4};

const nQoUdP100::tLineFilterDescription kLineFilter = {.pfiLines = 16, .rivoLines = 8};
const nQoUdP100::tLineFilterList kLineFilters = {1, &kLineFilter};

const nQoUdP100::tEEPROMDescription kEEPROM = {8192, "nQoUdR100::tEEPROMSupervisor"};

const uint32_t kDMAPresent = 1;
const nQoUdP100::tTavikBusDescription kDevice = {{.channelCount = 6, .presence = &kDMAPresent}};

}  // namespace
}  // namespace nQoUdR100
