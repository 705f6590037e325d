#include "primitives/cdio/tTavikImmedDigWriteRedirector.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdP100 {

nQoCDP100::iImmedDigPrim* tTavikImmedDigWriteRedirector::target(nQoMDBG100::tStatus2& status,
                                                                unsigned line) {
  if (status.isFatal()) return nullptr;
  if (_target == nullptr)
    nQoUdR100::setCode(status, nQoUdR100::kNullPointer, {"tTavikImmedDigWriteRedirector", line});
  return _target;
}

uint32_t tTavikImmedDigWriteRedirector::readLines(uint32_t mask, uint32_t* value,
                                                  nQoMDBG100::tStatus2& status) {
  nQoCDP100::iImmedDigPrim* lines = target(status, 20);
  return lines != nullptr ? lines->readLines(mask, value, status) : 0;
}

void tTavikImmedDigWriteRedirector::setLineMode(uint32_t mask, int32_t mode,
                                                nQoMDBG100::tStatus2& status) {
  if (nQoCDP100::iImmedDigPrim* lines = target(status, 30)) lines->setLineMode(mask, mode, status);
}

uint32_t tTavikImmedDigWriteRedirector::writeLines(uint32_t mask, uint32_t value,
                                                   nQoMDBG100::tStatus2& status) {
  nQoCDP100::iImmedDigPrim* lines = target(status, 40);
  if (lines == nullptr) return 0;
  _fifo->resetFIFO(status);
  uint32_t present = 0;
  lines->readLines(0xFFFFFFFF, &present, status);
  if (status.isFatal()) return 0;
  const uint32_t word = (value & mask) | (present & ~mask);
  const uint32_t width = _fifo->writeSample(&word, status);
  _fifo->stepFIFO(status);
  return width;
}

}  // namespace nQoUdP100
