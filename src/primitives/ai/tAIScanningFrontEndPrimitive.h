// The AI scanning front end of a Ud Series board: each channel of the list
// becomes one 16-bit word of the configuration memory (0x5E), in list order;
// a single-channel calibration selection programs the bypass register (0x218)
// instead. The static control bit follows the first channel, and every
// programming (re)starts the settling time-out that waitForSettling waits
// for.
//
//   tAIScanningFrontEndPrimitive frontEnd(&description, map, helper, status);
//   frontEnd.setConfiguration(config, status);
//   frontEnd.commit(status);           // 0x1A4 strobe, words, 0x110 strobe
//   frontEnd.waitForSettling(status);
#pragma once

#include <cstdint>

#include "frame/tTimerTimeout.h"
#include "mdbg/tStatus2.h"
#include "primitives/ai/tBaseAIScanningFrontEndPrimitive.h"
#include "tavik/tTavik.h"
#include "tavik/tTavikHelper.h"
#include "time/tTimerTimeWaster.h"
#include "time/tTimerTimebase.h"

namespace nQoUdP100 {

// How a board's configuration words are laid out, and the bank and channel
// codes of an input: variant 1 for at most 64 channels, else 2 for the
// built-in second record, 3 for any other.
class tAIFrontEndChannelCoder {
 public:
  enum tVariant : uint32_t { kVariant1 = 1, kVariant2 = 2, kVariant3 = 3 };
  struct tCodes {
    uint32_t bank;
    uint32_t channel;
  };

  explicit tAIFrontEndChannelCoder(const tAIFrontEndDescription* description);
  tVariant variant() const { return _variant; }
  // Bank and channel of a positive-input code and a reference code; pairs
  // the board does not define give 0.
  tCodes code(int32_t positiveInput, int32_t reference) const;

 private:
  const tAIFrontEndDescription* _description;
  tVariant _variant;
};

class tAIScanningFrontEndPrimitive : public tBaseAIScanningFrontEndPrimitive {
 public:
  static inline void* ___classID = nullptr;
  static constexpr uint32_t kNoStaticValue = 0xFFFFFFFF;
  // A calibration selection that programs the bypass register (table in the .cpp).
  struct tBypass;

  // The map and the command sequencer are the board's, borrowed.
  tAIScanningFrontEndPrimitive(const tAIFrontEndDescription* description,
                               nQoUdRLP100::nTavik::tTavik* map, nQoUdRLP100::tTavikHelper* helper,
                               tStatus2& status);
  ~tAIScanningFrontEndPrimitive() override = default;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;

  // The static control bit (when the description asks for it), the channels;
  // state 2. A failure is undone by uncommit on a fresh status.
  void commit(tStatus2& status) override;
  void waitForSettling(tStatus2& status) override;
  void uncommit(tStatus2& status) override;
  bool isReady() const override;
  // Takes the record of the channels as deployed, then writes it.
  void programChannels(tStatus2& status) override;
  // The base's, then the settling time-out that a programming started no
  // longer runs: the next owner's settling wait waits only for its own.
  void bringDown() override;

  const tAIFrontEndChannelCoder& coder() const { return _coder; }
  bool isSettling() const { return _settling.isRunning(); }

 private:
  // From the record: the 0x1A4 strobe, then the bypass register or the
  // configuration words, the load strobe and the settling time-out. A bypass
  // selection in a list of more than one channel: -200329, nothing written.
  void writeChannels(tStatus2& status);
  void programStaticControl(tStatus2& status);
  void programBypass(const tAIScanningFrontEndConfig& entry, const tBypass& bypass,
                     tStatus2& status);
  void programWord(const tAIScanningFrontEndConfig& entry, tStatus2& status);
  // (gain, polarity) of the entry's range.
  void lookUpRange(const tAIScanningFrontEndConfig& entry, uint16_t& gain, uint16_t& polarity,
                   tStatus2& status) const;
  // Stops a running time-out first, so that every programming waits anew.
  void startSettling(tStatus2& status);

  nQoUdRLP100::nTavik::tTavik* _map;
  nQoUdRLP100::tTavikHelper* _helper;
  nQoUdR100::tTimerTimeout<tTimerTimeWasterSpin, tTimerTimebasePrecise> _settling{
      0, kTimerTimeUnitNanosecond, 0, nullptr};
  uint32_t _lastStaticValue = kNoStaticValue;
  tAIFrontEndChannelCoder _coder;
};

}  // namespace nQoUdP100
