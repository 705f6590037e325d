// Starts platform threads and hands out their controllers.
//
//   tThreadControllerFactory::tParam param;
//   param.thread = &worker;                       // an iThread
//   iThreadController* controller = tThreadControllerFactory::create(param, &status);
//   ...
//   controller->join(&status);                    // returns once run has returned
//   tThreadControllerFactory::destroy(controller, &status);
#pragma once

#include <cstdint>

#include "thread/iThread.h"

class iThreadController {
 public:
  virtual ~iThreadController() = default;
  // Returns after the thread's run has returned.
  virtual void join(int* status) = 0;
};

class tThreadControllerFactory {
 public:
  struct tParam {
    uint32_t version = 1;
    iThread* thread = nullptr;
    uint32_t reserved[3] = {};
  };

  // Code set for a record that is not version 1 or names no thread.
  static constexpr int kBadParamCode = -50003;

  // Starts a thread that calls param.thread->run(). Null, with the status set,
  // when the record is bad or no thread can be started (-50352).
  static iThreadController* create(const tParam& param, int* status);
  // Joins the thread if that has not happened yet and frees the controller.
  static void destroy(iThreadController* controller, int* status);
};
