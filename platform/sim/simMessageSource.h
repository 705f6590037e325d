// A message source for tests: every call can be scripted, every message is
// kept for read-back.
//
//   nQoSim::tScriptedMessageSource source;
//   source.script({.slack = 4});                 // the next call only
//   nQoFSL100::tRequestTransfer transfer(&source);
//   packer.pack(transfer, 1, status);
//   source.bytes(0);                             // the whole buffer
//
// A message's request starts at its buffer's begin; its allocated size is the
// requested length plus the slack; its write limit is the buffer's end less
// limitShort bytes. New buffers are filled with the fill byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "fsl/iMessageSource.h"

namespace nQoSim {

struct tMessageScript {
  uint32_t slack = 0;
  uint32_t limitShort = 0;
  bool finished = false;      // the message comes already finished
  bool notAllocated = false;  // its allocated flag is 0
  bool noMessage = false;     // the call returns null
  int statusCode = 0;         // set in the caller's status (error or warning)
};

class tScriptedMessageSource : public nQoFSL100::iMessageSource {
 public:
  tScriptedMessageSource();
  ~tScriptedMessageSource() override;

  // Queues a script for the next call not yet scripted; unscripted calls
  // give plain messages.
  void script(const tMessageScript& next) { _scripts.push_back(next); }
  void fillWith(uint8_t byte) { _fill = byte; }
  // From now on every call reuses one buffer of at least this size, keeps no
  // further messages and records no lengths (for benchmarks). With near, the
  // buffer starts 2 KiB past near's place in its 4 KiB page, so that a copy
  // from near's storage into the message runs at one relative placement
  // whatever the heap did before (a longer message than the capacity grows
  // the buffer, and the placement is lost).
  void reuseOneBuffer(std::size_t capacity, const void* near = nullptr);

  std::size_t calls() const { return _calls; }
  const std::vector<uint32_t>& requestedLengths() const { return _lengths; }
  std::size_t messageCount() const { return _kept.size(); }
  const nQoFSL100::tRequestMessage& message(std::size_t index) const;
  // The whole allocated buffer of a kept message.
  std::vector<uint8_t> bytes(std::size_t index) const;

  nQoFSL100::tRequestMessage* newMessage(uint32_t length, nQoMDBG100::tStatus2& status) override;

 private:
  struct tKept {
    std::vector<uint8_t> buffer;
    std::size_t start = 0;  // where the message's bytes begin in the buffer
    nQoFSL100::tRequestMessage message;
  };

  tMessageScript nextScript();

  std::deque<tMessageScript> _scripts;
  std::vector<std::unique_ptr<tKept>> _kept;
  std::vector<uint32_t> _lengths;
  std::size_t _calls = 0;
  uint8_t _fill = 0xEE;
  bool _reuse = false;
};

}  // namespace nQoSim
