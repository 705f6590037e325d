#include "device/tTavikRoutable.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "registers/registerId.h"
#include "registers/tScopedLockSelection.h"

namespace nQoUdR100 {

namespace {

using nQoUdRLP100::fieldIdentifier;
using nQoUdRLP100::registerIndex;
using nQoUdRLP100::nTavik::kTavikFile;
using tTavik = nQoUdRLP100::nTavik::tTavik;

constexpr unsigned kRouteLine = 190;
constexpr unsigned kRouteListLine = 318;

constexpr uint32_t kProtectedOffsets[] = {0x028, 0x172, 0x1D0, 0x1D2, 0x1D4, 0x1D6, 0x1D8, 0x1DA};

// The register's lock group, from the catalogue (0: none).
uint32_t groupOf(uint32_t fieldId) {
  return nQoUdRLP100::nTavik::kTavikRows[registerIndex(fieldId)].group;
}

bool isProtectedOffset(uint32_t offset) {
  for (uint32_t protectedOffset : kProtectedOffsets)
    if (offset == protectedOffset) return true;
  return false;
}

// The direction bits 6 to 9 of tIO_Bidirection_Pin (fields 7 to 10 of
// register 44), which the 37-pin connector does not let a 0 reach.
bool isDroppedOnThe37PinConnector(uint32_t fieldId, uint32_t value) {
  constexpr uint32_t kBidirectionPin = 44;
  const uint32_t field = fieldIdentifier(fieldId);
  return value == 0 && registerIndex(fieldId) == kBidirectionPin && field >= 7 && field <= 10;
}

}  // namespace

tTavik::tRegister* tTavikRoutable::registerOf(uint32_t fieldId, unsigned beyondMapLine,
                                              nQoMDBG100::tStatus2& status) const {
  if (registerIndex(fieldId) >= nQoUdRLP100::nTavik::kRegisterCount) {
    setCode(status, kBadIndex, {kTavikFile, beyondMapLine});
    return nullptr;
  }
  tTavik::tRegister* object = _registers->registerObject(fieldId);
  if (object == nullptr)
    setCode(status, kBadIndex, tTavik::kSites.at(tTavik::kSites.missingRegister));
  return object;
}

bool tTavikRoutable::skips(uint32_t fieldId) const {
  return _protectRegisters != 0 && isProtectedOffset(tTavik::windowOffset(registerIndex(fieldId)));
}

void tTavikRoutable::route(uint32_t fieldId, uint32_t value, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  tTavik::tRegister* object = registerOf(fieldId, kRouteLine, status);
  if (object == nullptr || skips(fieldId)) return;
  tTavik::tSelection selection;
  tTavik::selectGroup(selection, groupOf(fieldId));
  const nQoUdRLP100::tScopedLockSelection<tTavik> locked(*_registers, selection, &status);
  if (locked.all()) object->writeField(fieldIdentifier(fieldId), value, &status, 0);
}

void tTavikRoutable::routeList(const nQoMRU210::tRouteList& list, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  tTavik::tSelection selection;
  for (const nQoMRU210::tRoute* pair = list.begin; pair != list.end; ++pair) {
    tTavik::tRegister* object = registerOf(pair->fieldId, kRouteListLine, status);
    if (object == nullptr) return;
    tTavik::selectGroup(selection, groupOf(pair->fieldId));
  }
  const nQoUdRLP100::tScopedLockSelection<tTavik> locked(*_registers, selection, &status);
  if (!locked.all()) return;
  for (const nQoMRU210::tRoute* pair = list.begin; pair != list.end; ++pair)
    if (!skips(pair->fieldId))
      _registers->registerObject(pair->fieldId)
          ->writeField(fieldIdentifier(pair->fieldId), pair->value, &status, 0);
}

int tTavikRoutable::commit(nQoMDBG100::tStatus2& status) {
  if (status.isNotFatal()) _protectRegisters = 0;
  return status.code;
}

void tTavikWrapperFor37PinUdSeriesRoutable::route(uint32_t fieldId, uint32_t value,
                                                  nQoMDBG100::tStatus2& status) {
  if (isDroppedOnThe37PinConnector(fieldId, value)) return;
  tTavikRoutable::route(fieldId, value, status);
}

void tTavikWrapperFor37PinUdSeriesRoutable::routeList(const nQoMRU210::tRouteList& list,
                                                      nQoMDBG100::tStatus2& status) {
  for (const nQoMRU210::tRoute* pair = list.begin; pair != list.end && status.isNotFatal(); ++pair)
    route(pair->fieldId, pair->value, status);
}

}  // namespace nQoUdR100
