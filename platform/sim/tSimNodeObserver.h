// A node listener for tests: notes every notification in a shared log and,
// when a test set a code, leaves that code in the caller's status.
//
//   std::vector<std::string> log;
//   nQoSim::tSimNodeObserver second("second", log);
//   second.failWith(-50104);   // log: "second arrived", status -50104
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "bus/iDeviceTree.h"

namespace nQoSim {

class tSimNodeObserver : public iDeviceNodeObserver {
 public:
  tSimNodeObserver(std::string name, std::vector<std::string>& log)
      : _name(std::move(name)), _log(log) {}
  void failWith(int code) { _failure = code; }

  bool nodeArrived(iDeviceNode*, int* status) override {
    note("arrived", status);
    return status == nullptr || *status >= 0;
  }
  void nodeRemoved(iDeviceNode*, int* status) override { note("removed", status); }

 private:
  void note(const char* event, int* status) {
    _log.push_back(_name + " " + event);
    if (_failure != 0 && status != nullptr && *status >= 0) *status = _failure;
  }

  std::string _name;
  std::vector<std::string>& _log;
  int _failure = 0;
};

}  // namespace nQoSim
