#include "primitives/dio/tTavikCommRoutingPrimitive.h"

#include "frame/freshStatus.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "primitives/dio/pfiRouting.h"
#include "primitives/dio/teskControl.h"
#include "registers/tScopedLockSelection.h"

namespace nQoUdP100 {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::onFreshStatus;
using nQoUdRLP100::nTavik::tTavik;

constexpr uint32_t kPFI10Field = 2;  // bits 9:5 of tPFI_Output_Select_4
constexpr uint32_t kPFI10LinkSignal = 11;
constexpr uint32_t kLinkLinesEnabled = 7;

bool known(int32_t mode) { return mode >= 1 && mode <= 3; }
bool frontPanel(int32_t mode) { return mode == 1 || mode == 3; }
bool dedicated(int32_t mode) { return mode == 2 || mode == 3; }

}  // namespace

tTavikCommRoutingPrimitive::tTavikCommRoutingPrimitive(tTavik& map,
                                                       tTavikImmedDigPrimitive* portLines,
                                                       nQoMDBG100::tStatus2& status)
    : _map(map), _portLines(portLines) {
  reset(status);
}

tTavikCommRoutingPrimitive::~tTavikCommRoutingPrimitive() {
  tStatus2 off;
  switchOff(_dedicatedOn ? 3 : 1, off);
}

int32_t tTavikCommRoutingPrimitive::setPortLineReserver(iDigReserver* reserver,
                                                        nQoMDBG100::tStatus2& status) {
  if (status.isNotFatal()) _portLineReserver = reserver;
  return status.code;
}

void tTavikCommRoutingPrimitive::setPFILineReserver(iDigReserver* reserver,
                                                    nQoMDBG100::tStatus2& status) {
  if (status.isNotFatal()) _pfiLineReserver = reserver;
}

void tTavikCommRoutingPrimitive::reserve(nQoMDBG100::tStatus2& status) {
  if (_portLineReserver == nullptr || _pfiLineReserver == nullptr) {
    nQoUdR100::setCode(status, nQoUdR100::kNullPointer, {"tTavikCommRoutingPrimitive", 192});
    return;
  }
  const bool reservePort = _portLinesHeld == 0;
  const bool reservePFI = _pfiLinesHeld == 0;
  if (reservePort) {
    _portLineReserver->reserve(kPortLines, status);
    if (status.isNotFatal()) _portLinesHeld = kPortLines;
  }
  if (reservePFI && status.isNotFatal()) {
    _pfiLineReserver->reserve(kPFILines, status);
    if (status.isNotFatal()) _pfiLinesHeld = kPFILines;
  }
  if (status.isNotFatal()) return;
  // Give back what this call took.
  if (reservePort && _portLinesHeld != 0) {
    nQoMDBG100::tStatus2 fresh;
    _portLineReserver->release(kPortLines, fresh);
    status.assign(fresh);
    _portLinesHeld = 0;
  }
  if (reservePFI && _pfiLinesHeld != 0) {
    nQoMDBG100::tStatus2 fresh;
    _pfiLineReserver->release(kPFILines, fresh);
    status.assign(fresh);
    _pfiLinesHeld = 0;
  }
}

void tTavikCommRoutingPrimitive::connect(int32_t mode, nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || !known(mode)) return;
  if (frontPanel(mode)) {
    if (_portLines == nullptr) {
      nQoUdR100::setCode(status, nQoUdR100::kNullPointer, {"tTavikCommRoutingPrimitive", 170});
      return;
    }
    reserve(status);
    if (status.isFatal()) return;
    connectFrontPanel(status);
  }
  if (dedicated(mode)) {
    _dedicatedOn = true;
    changeTESKControl(_map, kTESKDedicatedRouting, kTESKDedicatedRouting, status);
    setDedicatedOutput(1, status);
  }
  _map.flushBus(&status);
}

void tTavikCommRoutingPrimitive::connectFrontPanel(nQoMDBG100::tStatus2& status) {
  _portLines->setLineMode(0x10, 0, status);
  _map.TESK_Control.write_TESK_Front_Panel_MISO_Enable(1, &status, 0);
  _map.TESK_DIO_Enable.writeRegister(kLinkLinesEnabled, &status, 0);
  _portLines->setLineMode(0x07, 1, status);
  const nQoUdRLP100::tScopedLockSelection<tTavik> pinLock(_map, {kPinDirectionLock}, &status);
  _map.PFI_Output_Select_4.writeField(kPFI10Field, kPFI10LinkSignal, &status, 0);
  _map.IO_Bidirection_Pin.write_PFI10_Pin_Dir(nQoUdRLP100::nTavik::kOutput, &status, 0);
}

void tTavikCommRoutingPrimitive::setDedicatedOutput(uint32_t on, nQoMDBG100::tStatus2& status) {
  const nQoUdRLP100::tScopedLockSelection<tTavik> outputLock(_map, {kTESKOutputLock}, &status);
  _map.TESK_Output_Enable.write_TESK_Dedicated_Output_Enable(
      on != 0 ? nQoUdRLP100::nTavik::kOutput : nQoUdRLP100::nTavik::kInput, &status, 0);
}

void tTavikCommRoutingPrimitive::setPFI10Direction(uint32_t drive, nQoMDBG100::tStatus2& status) {
  const nQoUdRLP100::tScopedLockSelection<tTavik> pinLock(_map, {kPinDirectionLock}, &status);
  _map.IO_Bidirection_Pin.write_PFI10_Pin_Dir(
      drive != 0 ? nQoUdRLP100::nTavik::kOutput : nQoUdRLP100::nTavik::kInput, &status, 0);
}

void tTavikCommRoutingPrimitive::disconnect(int32_t mode, nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || !known(mode)) return;
  switchOff(mode, status);
  releaseHeld(status);
}

void tTavikCommRoutingPrimitive::switchOff(int32_t mode, nQoMDBG100::tStatus2& status) {
  if (frontPanel(mode)) {
    if (_portLinesHeld == kPortLines) {
      if (_portLines != nullptr)
        onFreshStatus(status, [&](tStatus2& s) { _portLines->setLineMode(kPortLines, 0, s); });
      onFreshStatus(status, [&](tStatus2& s) {
        _map.TESK_Control.write_TESK_Front_Panel_MISO_Enable(0, &s, 0);
      });
      onFreshStatus(status, [&](tStatus2& s) { _map.TESK_DIO_Enable.writeRegister(0, &s, 0); });
    }
    if (_pfiLinesHeld == kPFILines)
      onFreshStatus(status, [&](tStatus2& s) { setPFI10Direction(0, s); });
  }
  if (dedicated(mode)) {
    onFreshStatus(status, [&](tStatus2& s) {
      _map.TESK_Control.write_TESK_Front_Panel_MISO_Enable(0, &s, 0);
    });
    onFreshStatus(status, [&](tStatus2& s) { setDedicatedOutput(0, s); });
    _dedicatedOn = false;
  }
  onFreshStatus(status, [&](tStatus2& s) { _map.flushBus(&s); });
}

void tTavikCommRoutingPrimitive::releaseHeld(nQoMDBG100::tStatus2& status) {
  if (_portLinesHeld != 0) {
    onFreshStatus(status, [&](tStatus2& s) { _portLineReserver->release(kPortLines, s); });
    _portLinesHeld = 0;
  }
  if (_pfiLinesHeld != 0) {
    onFreshStatus(status, [&](tStatus2& s) { _pfiLineReserver->release(kPFILines, s); });
    _pfiLinesHeld = 0;
  }
}

void tTavikCommRoutingPrimitive::reset(nQoMDBG100::tStatus2& status) {
  nQoMDBG100::tStatus2 step;
  disconnect(3, step);
  status.assign(step);
}

}  // namespace nQoUdP100
