#include "device/tCounterProductTable.h"

#include "device/boardProductId.h"
#include "device/boardTables.h"
#include "frame/kernelShims.h"
#include "frame/moduleEntry.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdR100 {

namespace {

tCounterProductTable::tExtra gExtra;

// A missing row (before load) matches nothing.
bool matches(const tCounterProductDescriptor* row, uint32_t productId) {
  if (row == nullptr) return false;
  if (row->productId == productId) return true;
  if (row->productId != tCounterProductDescriptor::kListedProducts || row->productIds == nullptr)
    return false;
  for (const uint32_t* listed = row->productIds; *listed != 0; ++listed)
    if (*listed == productId) return true;
  return false;
}

void empty(void*) {
  for (std::size_t i = 0; i < kCounterProductCount; ++i) gCounterProductTable[i] = nullptr;
}

const tCounterProductDescriptor* miss(nQoMDBG100::tStatus2& status, unsigned line) {
  setCode(status, kUnknownProduct, {"tCounterProductTable", line});
  return nullptr;
}

}  // namespace

int tCounterProductTable::construct() {
  if (registerAtExit(empty, nullptr, &gModuleAtExitHead) != 0) return -1;
  for (std::size_t i = 0; i < kCounterProductCount; ++i)
    gCounterProductTable[i] = kCounterProductRows[i];
  gExtra = {};
  return 0;
}

const tCounterProductDescriptor* const* tCounterProductTable::table() {
  return gCounterProductTable;
}

std::size_t tCounterProductTable::count() { return kCounterProductCount; }

tCounterProductTable::tExtra* tCounterProductTable::extra() { return &gExtra; }

const tCounterProductDescriptor* tCounterProductTable::findByProductId(uint32_t productId,
                                                                       nQoMDBG100::tStatus2& status,
                                                                       tRows in) {
  if (status.isFatal()) return nullptr;
  for (auto row = in.begin; row != in.end; ++row)
    if (matches(*row, productId)) return *row;
  return miss(status, 57);
}

const tCounterProductDescriptor* tCounterProductTable::findByDeviceHandle(
    uint32_t handle, nQoMDBG100::tStatus2& status, tRows in) {
  if (status.isFatal()) return nullptr;
  iDeviceNode* node = boardNode(handle);
  if (node == nullptr) return nullptr;
  uint32_t productId = 0;
  if (!readNodeNumber(*node, kProductIdAttribute, productId)) return miss(status, 66);
  return findByProductId(productId, status, in);
}

const tCounterProductDescriptor* tCounterProductTable::findByName(const char* name,
                                                                  nQoMDBG100::tStatus2& status,
                                                                  tRows in) {
  if (status.isFatal()) return nullptr;
  if (name != nullptr)
    for (auto row = in.begin; row != in.end; ++row)
      if (*row != nullptr && strCmp((*row)->name, name) == 0) return *row;
  return miss(status, 77);
}

}  // namespace nQoUdR100
