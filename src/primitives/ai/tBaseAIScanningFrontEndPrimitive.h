// The analog-input scanning front end, device-independent part: the channel
// list of a task, its changes and the primitive state. The board class writes
// the list to the chip's configuration memory.
//
//   frontEnd.setConfiguration(config, status);   // state 1
//   frontEnd.setChannelRange(0, range, status);   // -50150 past the list
//   frontEnd.commit(status);                       // words written, state 2
//   frontEnd.configuration();                      // what the commit wrote
//
// A configuration and a channel's range or inputs are deployed: they reach
// the board, and configuration(), with the next commit or programming of the
// channels (an arm with timing flag 0), which takes the record.
#pragma once

#include <cstdint>

#include "frame/tDeployed.h"
#include "frame/tInterval.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "primitives/ai/tAIFrontEndDescription.h"
#include "primitives/ai/tAIScanningFrontEndPrimitiveConfig.h"
#include "primitives/common/tPrimitiveState.h"

namespace nQoUdP100 {

// The deploys write the channel list; the commit and the programming of the
// channels (a board class's, or a double's) take it into the record they
// write the board from.
struct tAIFrontEndSteps {
  static constexpr const char* kDeploySteps[] = {"setConfiguration", "entryAt"};
  static constexpr const char* kProgrammingSteps[] = {"commit", "programChannels"};
};

class tBaseAIScanningFrontEndPrimitive : public nQoUdR100::tModuleObject {
 public:
  static inline void* ___classID = nullptr;
  using tStatus2 = nQoMDBG100::tStatus2;

  // The description is the board's (not owned).
  tBaseAIScanningFrontEndPrimitive(const tAIFrontEndDescription* description, tStatus2& status);
  virtual ~tBaseAIScanningFrontEndPrimitive() = default;
  tBaseAIScanningFrontEndPrimitive(const tBaseAIScanningFrontEndPrimitive&) = delete;
  tBaseAIScanningFrontEndPrimitive& operator=(const tBaseAIScanningFrontEndPrimitive&) = delete;

  virtual void* ___CPPKRLDynamicCast(void* const* classID);
  virtual const void* ___CPPKRLDynamicCast(void* const* classID) const;

  // -50352 when either list failed to grow; marks a change when the lists
  // differ; state 1.
  virtual void setConfiguration(const tAIScanningFrontEndPrimitiveConfig& configuration,
                                tStatus2& status);
  virtual void commit(tStatus2& status) = 0;
  // With a timing flag of 0: programChannels.
  virtual void arm(uint32_t timingFlag, tStatus2& status);
  virtual void waitForSettling(tStatus2& status) = 0;
  // Operations of the front-end interface that this board does not support:
  // -50256.
  virtual void reserved9(tStatus2& status);
  virtual void reserved10(tStatus2& status);
  // Nothing to undo in the chip.
  virtual void disarm(tStatus2&) {}
  virtual void uncommit(tStatus2& status) = 0;
  virtual void reserved15(tStatus2& status);
  virtual bool isReady() const;
  virtual void programChannels(tStatus2& status) = 0;
  // Before a release, out of the codes' reach: a commit that no uncommit
  // (nor a new configuration) followed is uncommitted, on a status of its
  // own, and the record is forgotten.
  virtual void bringDown();

  // The range of entry index, respectively its positive-input and reference
  // codes; -50150 past the list, -50352 for a list that failed to grow.
  void setChannelRange(uint32_t index, const nQoUdRLP100::tInterval& range, tStatus2& status);
  void setChannelParameters(uint32_t index, int32_t positiveInput, int32_t reference,
                            tStatus2& status);

  // What the last commit or programming of the channels wrote to the board,
  // whatever a deploy wrote since: what the transfers' commits go by.
  const tAIScanningFrontEndPrimitiveConfig& configuration() const { return _fields.programmed(); }
  const tPrimitiveState& state() const { return _state; }
  bool hasChanged() const { return _changed != 0; }

 protected:
  // The deployed entry at index, or null with the code set.
  tAIScanningFrontEndConfig* entryAt(uint32_t index, tStatus2& status, unsigned line);

  const tAIFrontEndDescription* _description;
  nQoUdR100::tDeployed<tAIScanningFrontEndPrimitiveConfig, tAIFrontEndSteps> _fields;
  tPrimitiveState _state;
  uint32_t _changed = 1;
};

}  // namespace nQoUdP100
