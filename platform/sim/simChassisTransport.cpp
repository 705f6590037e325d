// The scripted message and reply sources.
#include <algorithm>

#include "sim/simMessageSource.h"
#include "sim/simPlacement.h"
#include "sim/simReplySource.h"

namespace nQoSim {

namespace {
constexpr const char kComponent[] = "qofsl";
}

tScriptedMessageSource::tScriptedMessageSource() = default;
tScriptedMessageSource::~tScriptedMessageSource() = default;

void tScriptedMessageSource::reuseOneBuffer(std::size_t capacity, const void* near) {
  _reuse = true;
  _kept.clear();
  _kept.push_back(std::make_unique<tKept>());
  tKept& kept = *_kept.back();
  kept.buffer.assign(capacity + (near != nullptr ? kPlacementSlack : 0), _fill);
  if (near != nullptr) kept.start = offsetNear(kept.buffer.data(), near);
}

const nQoFSL100::tRequestMessage& tScriptedMessageSource::message(std::size_t index) const {
  return _kept.at(index)->message;
}

std::vector<uint8_t> tScriptedMessageSource::bytes(std::size_t index) const {
  const nQoFSL100::tRequestMessage& kept = message(index);
  return std::vector<uint8_t>(kept.bufferBegin, kept.bufferEnd);
}

tMessageScript tScriptedMessageSource::nextScript() {
  if (_scripts.empty()) return {};
  const tMessageScript next = _scripts.front();
  _scripts.pop_front();
  return next;
}

nQoFSL100::tRequestMessage* tScriptedMessageSource::newMessage(uint32_t length,
                                                               nQoMDBG100::tStatus2& status) {
  ++_calls;
  if (!_reuse) _lengths.push_back(length);
  const tMessageScript script = nextScript();
  if (script.statusCode != 0)
    status.setCode(script.statusCode, kComponent, "tScriptedMessageSource", 60);
  if (script.noMessage) return nullptr;

  const std::size_t size = std::size_t{length} + script.slack;
  if (!_reuse) _kept.push_back(std::make_unique<tKept>());
  tKept& kept = *_kept.back();
  if (!_reuse) kept.buffer.assign(size, _fill);
  if (kept.buffer.size() - kept.start < size) kept.buffer.resize(kept.start + size, _fill);

  nQoFSL100::tRequestMessage& message = kept.message;
  message.bufferBegin = kept.buffer.data() + kept.start;
  message.bufferEnd = message.bufferBegin + size;
  message.requestStart = message.bufferBegin;
  message.writeLimit = message.bufferEnd - std::min<std::size_t>(script.limitShort, size);
  message.requestedLength = length;
  message.finished = script.finished ? 1 : 0;
  message.allocated = script.notAllocated ? 0 : 1;
  return &message;
}

void tScriptedReplySource::reply(const unsigned char*& begin, const unsigned char*& end,
                                 nQoMDBG100::tStatus2& status) {
  ++_calls;
  if (_statusCode != 0) status.setCode(_statusCode, kComponent, "tScriptedReplySource", 90);
  begin = _bytes.data() + _start;
  end = _bytes.data() + _bytes.size();
}

}  // namespace nQoSim
