// An event object through which a primitive signals done and error events
// (post); a linker registers the kinds its supervisor wants.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoMRL110 {

inline constexpr uint32_t kDoneEvent = 1;
inline constexpr uint32_t kErrorEvent = 2;

// What a primitive posts to its event object: an is-done action, or a status
// action that carries the error of a failed transfer. Both are stack objects,
// built from a status, posted and dropped at once.
class tSoftwareAction {
 public:
  uint32_t getKind() const { return _kind; }
  int getCode() const { return _code; }

 protected:
  tSoftwareAction(uint32_t kind, int code) : _kind(kind), _code(code) {}

 private:
  uint32_t _kind;
  int _code;
};

class tSoftwareActionForIsDoneEvent : public tSoftwareAction {
 public:
  explicit tSoftwareActionForIsDoneEvent(const nQoMDBG100::tStatus2& status)
      : tSoftwareAction(kDoneEvent, status.code) {}
};

class tSoftwareActionForStatusEvent : public tSoftwareAction {
 public:
  explicit tSoftwareActionForStatusEvent(const nQoMDBG100::tStatus2& status)
      : tSoftwareAction(kErrorEvent, status.code) {}
};

class iEvent {
 public:
  static void* ___classID;
  virtual ~iEvent() = default;
  virtual void post(const tSoftwareAction& action, nQoMDBG100::tStatus2& status) = 0;
  virtual void registerEvent(uint32_t kind, nQoMDBG100::tStatus2& status) = 0;
  virtual void unregisterEvent(uint32_t kind, nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMRL110
