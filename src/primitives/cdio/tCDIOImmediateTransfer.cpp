#include "primitives/cdio/tCDIOImmediateTransfer.h"

#include "frame/tDeviceGUIDStatusDescriptionISRSafe.h"

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;

tCDIOImmediateTransfer::tCDIOImmediateTransfer(const tDeviceInfo* deviceInfo,
                                               const tCDIODescription* description,
                                               const nQoORB100::tGUID* identity, const char* file,
                                               tStatus2& status)
    : _deviceInfo(deviceInfo), _description(description), _identity(identity), _file(file) {
  checkDescription(description, status, {file, 60});
}

void tCDIOImmediateTransfer::fail(tStatus2& status, int code, unsigned line) const {
  if (!nQoMDBG100::takesCode(status.code, code)) return;
  nQoMDBG100::iStatus2Description* description = nullptr;
  if (_identity != nullptr)
    description = new nQoUdR100::nQoKABBO_1_0::tDeviceGUIDStatusDescriptionISRSafe(*_identity);
  nQoUdR100::setCode(status, code, {_file, line}, description);
}

void tCDIOImmediateTransfer::warn(tStatus2& status, int code, unsigned line) const {
  nQoUdR100::setCode(status, code, {_file, line});
}

void tCDIOImmediateTransfer::reportDone(tStatus2& status) {
  _doneObserver.call([&](iDoneObserver& observer) { observer.notifyDone(status); });
}

}  // namespace nQoUdP100
