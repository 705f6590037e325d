#include "device/tCapabilityTable.h"

#include "device/boardProductId.h"
#include "device/boardTables.h"
#include "frame/kernelShims.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdR100 {

namespace {

struct tCodePair {
  uint32_t external;
  uint32_t internal;
};

constexpr tCodePair kCodePairs[] = {{14713, 1}, {14714, 2}, {14712, 3}, {10195, 4}};

const tProductDescriptor* miss(nQoMDBG100::tStatus2& status, unsigned line) {
  setCode(status, kUnknownProduct, {"tCapabilityTable", line});
  return nullptr;
}

}  // namespace

const tProductDescriptor* const* tCapabilityTable::table() { return kCapabilityTable; }

const tProductDescriptor* const* tCapabilityTable::tableEnd() {
  return kCapabilityTable + kCapabilityCount;
}

std::size_t tCapabilityTable::count() { return kCapabilityCount; }

const tProductDescriptor* tCapabilityTable::findByProductId(uint32_t productId,
                                                            nQoMDBG100::tStatus2& status,
                                                            tRecords in) {
  if (status.isFatal()) return nullptr;
  for (auto record = in.begin; record != in.end; ++record)
    if ((*record)->productId == productId) return *record;
  return miss(status, 40);
}

const tProductDescriptor* tCapabilityTable::findByDeviceHandle(uint32_t handle,
                                                               nQoMDBG100::tStatus2& status,
                                                               tRecords in) {
  if (status.isFatal()) return nullptr;
  iDeviceNode* node = boardNode(handle);
  if (node == nullptr) return nullptr;
  uint32_t productId = 0;
  if (!readNodeNumber(*node, kProductIdAttribute, productId)) return miss(status, 51);
  if (productId == kExtendedId) {
    uint32_t extension = 0;
    if (!readNodeNumber(*node, kExtensionAttribute, extension)) return miss(status, 55);
    productId = (extension << 16) + kExtendedId;
  }
  return findByProductId(productId, status, in);
}

const tProductDescriptor* tCapabilityTable::findByName(const char* name,
                                                       nQoMDBG100::tStatus2& status, tRecords in) {
  if (status.isFatal()) return nullptr;
  if (name != nullptr)
    for (auto record = in.begin; record != in.end; ++record)
      if (strCmp((*record)->name, name) == 0) return *record;
  return miss(status, 70);
}

uint32_t tCapabilityTable::toInternalCode(uint32_t code, nQoMDBG100::tStatus2& status) {
  for (const tCodePair& pair : kCodePairs)
    if (pair.external == code) return pair.internal;
  setCode(status, kUnknownCapabilityCode, {"tCapabilityTable", 78});
  return 0;
}

uint32_t tCapabilityTable::toExternalCode(uint32_t code, nQoMDBG100::tStatus2& status) {
  for (const tCodePair& pair : kCodePairs)
    if (pair.internal == code) return pair.external;
  setCode(status, kUnknownCapabilityCode, {"tCapabilityTable", 85});
  return 0;
}

}  // namespace nQoUdR100
