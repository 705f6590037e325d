// The counter library's counters: exclusive pools that count their holds.
#include <new>

#include "mrl/tExclusiveReservationStrategy.h"
#include "tior/iTIOCtrResource.h"

namespace nQoTIOR100 {

namespace {

class tTIOCtrResource final : public iTIOCtrResource {
 public:
  tTIOCtrResource(tSyncAtomicU32* inUse, uint32_t number, nQoTIO100::tTIOCtrHelper* helper,
                  nQoTIO100::tTIOCtrInterruptDispatcher* dispatcher, iTIODMATap* dma)
      : _inUse(inUse), _number(number), _helper(helper), _dispatcher(dispatcher), _dma(dma) {}

  bool isPartiallyReserved(nQoMDBG100::tStatus2&) const override {
    return _strategy.getState() != 0;
  }
  uint32_t reserve(const nQoMRL100::iResourceIdentifier* identifier,
                   nQoMDBG100::tStatus2& status) override {
    const uint32_t granted = _strategy.reserve(identifier, status);
    if (granted != 0 && _inUse != nullptr) ++*_inUse;
    return granted;
  }
  void release(const nQoMRL100::iResourceIdentifier* identifier,
               nQoMDBG100::tStatus2& status) override {
    if (_strategy.getState() == 0) return;
    _strategy.release(identifier, status);
    if (_inUse != nullptr) --*_inUse;
  }
  uint32_t number() const override { return _number; }
  nQoTIO100::tTIOCtrHelper* helper() const override { return _helper; }
  nQoTIO100::tTIOCtrInterruptDispatcher* dispatcher() const override { return _dispatcher; }
  iTIODMATap* dma() const override { return _dma; }

 private:
  nQoMRL100::tExclusiveReservationStrategy _strategy;
  tSyncAtomicU32* _inUse;
  uint32_t _number;
  nQoTIO100::tTIOCtrHelper* _helper;
  nQoTIO100::tTIOCtrInterruptDispatcher* _dispatcher;
  iTIODMATap* _dma;
};

}  // namespace

iTIOCtrResource* createTIOCtrResource(tSyncAtomicU32* inUse, uint32_t number,
                                      nQoTIO100::tTIOCtrHelper* helper,
                                      nQoTIO100::tTIOCtrInterruptDispatcher* dispatcher,
                                      iTIODMATap* dma, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return nullptr;
  auto* counter = new (std::nothrow) tTIOCtrResource(inUse, number, helper, dispatcher, dma);
  if (counter == nullptr) status.setCode(-50352, "qotior", "tTIOCtrResource", 1);
  return counter;
}

void destroyTIOCtrResource(iTIOCtrResource* counter) { delete counter; }

}  // namespace nQoTIOR100
