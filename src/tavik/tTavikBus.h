// The holder through which one board's registers become reachable: it takes
// the board's bus from the device, opens the register space into the Tavik
// map, opens one VESK channel window and map per DMA channel, builds the
// interrupt dispatcher when asked, and runs the VESK bridge set-up. It owns
// all of it and tears it down in reverse.
//
//   nQoUdP100::tTavikBus holder(device, description, guid, status, 1);
//   holder.map()->AO_Command_2.flush(&status, 0);
//   holder.dispatcher()->attachInterrupt(status);
//
// A failure leaves the status set and the holder partly built; every later
// step is skipped and the destructor copes with what was built.
#pragma once

#include <cstdint>

#include "bus/iBus.h"
#include "bus/iDevice.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "orb/tGUID.h"
#include "orb/tObject.h"
#include "tavik/tTavik.h"
#include "tavik/tTavikBusDescription.h"
#include "tavik/tTavikHelper.h"
#include "tavik/tTavikInterruptDispatcher.h"
#include "vesk/tVESKChannel.h"

namespace nQoUdP100 {

class tTavikBus : public nQoUdR100::tModuleObject, public virtual nQoORB100::tObject {
 public:
  static constexpr uint32_t kBoardInterrupt = 1;
  static constexpr uint32_t kChannelWindowBase = 0x500;
  static constexpr uint32_t kChannelWindowStride = 0x100;
  static constexpr uint32_t kVeskIdentifier = 0x40103140;
  static constexpr uint32_t kVeskMinimumRevision = 1;

  tTavikBus(iDevice* device, const tTavikBusDescription& description, const nQoORB100::tGUID& guid,
            nQoMDBG100::tStatus2& status, uint32_t createDispatcher);
  ~tTavikBus() override;
  tTavikBus(const tTavikBus&) = delete;
  tTavikBus& operator=(const tTavikBus&) = delete;

  iBus* bus() const { return _bus; }
  uint32_t deviceValue() const { return _deviceValue; }
  uint32_t registerWindow() const { return _registerWindow; }
  nQoUdRLP100::nTavik::tTavik* map() const { return _map; }
  nQoUdRLP100::tTavikHelper* helper() const { return _helper; }
  nQoUdRLP100::tTavikInterruptDispatcher* dispatcher() const { return _dispatcher; }
  int32_t channelCount() const { return _channelCount; }
  // The maps of the DMA channels, by channel number (null without channels).
  nQoUdRLP100::tVESKChannel* const* channels() const { return _channels; }
  // The map of DMA channel i (null past the count).
  nQoUdRLP100::tVESKChannel* channel(int32_t i) const;
  const nQoORB100::tGUID& guid() const { return _guid; }

 private:
  bool openBus(nQoMDBG100::tStatus2& status);
  bool buildChannels(const tTavikBusDescription::tDMA& dma, nQoMDBG100::tStatus2& status);
  bool buildMap(uint32_t createDispatcher, nQoMDBG100::tStatus2& status);
  void destroyChannels();

  int32_t _channelCount = 0;
  uint32_t _deviceValue = 0;
  uint32_t _registerWindow = 0;
  uint32_t* _channelWindows = nullptr;
  iBus* _bus = nullptr;
  iDevice* _device;
  nQoUdRLP100::nTavik::tTavik* _map = nullptr;
  nQoUdRLP100::tTavikHelper* _helper = nullptr;
  nQoUdRLP100::tTavikInterruptDispatcher* _dispatcher = nullptr;
  nQoUdRLP100::tVESKChannel** _channels = nullptr;
  nQoORB100::tGUID _guid;
};

}  // namespace nQoUdP100
