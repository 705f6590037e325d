// Doubles of the CDIO transfers' partners: every call logged with its code,
// transferData answering from a script (the asked count when the script is
// empty), an end held there when the log has a held call.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "mdbg/tStatus2.h"
#include "mrl/iDMAChannelSupervisor.h"
#include "support/heldCall.h"

namespace nQoTest {

struct tPartnerLog {
  std::vector<std::string> calls;
  std::deque<uint32_t> answers;
  uint64_t bytes = 0;
  tHeldCall* held = nullptr;

  void ended(const nQoMDBG100::tStatus2& status) {
    calls.push_back("ended " + std::to_string(status.code));
    if (held != nullptr) held->hold();
  }
  uint32_t data(uint32_t count) {
    calls.push_back("data " + std::to_string(count));
    uint32_t answer = count;
    if (!answers.empty()) {
      answer = answers.front();
      answers.pop_front();
    }
    bytes += answer;
    return answer;
  }
  int endings() const {
    int found = 0;
    for (const auto& call : calls) found += call.rfind("ended", 0) == 0 ? 1 : 0;
    return found;
  }
};

// A DMA transfer's partner: transferEnded and bindTransfer.
template <class tInterface, class tTransfer>
class tDMAPartner : public tInterface {
 public:
  explicit tDMAPartner(tPartnerLog* log) : log(log) {}
  void transferEnded(nQoMDBG100::tStatus2& status) override { log->ended(status); }
  void bindTransfer(tTransfer*, nQoMDBG100::tStatus2&) override { log->calls.push_back("bind"); }
  tPartnerLog* log;
};

// An interrupt transfer's partner: transferData and transferEnded.
template <class tInterface>
class tDataPartner : public tInterface {
 public:
  explicit tDataPartner(tPartnerLog* log) : log(log) {}
  uint32_t transferData(uint32_t bytes, nQoMDBG100::tStatus2&) override { return log->data(bytes); }
  void transferEnded(nQoMDBG100::tStatus2& status) override { log->ended(status); }
  tPartnerLog* log;
};

class tDMAChannel : public nQoLMSDR100::iDMAChannelSupervisor {
 public:
  explicit tDMAChannel(uint32_t number) : number(number) {}
  nQoLMSDR100::iDMAEndpoint* getEndpoint(nQoMDBG100::tStatus2&) override { return nullptr; }
  uint32_t getChannelNumber(nQoMDBG100::tStatus2&) override { return number; }
  uint32_t number;
};

}  // namespace nQoTest
