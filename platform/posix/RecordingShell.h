// The shell natively: nothing is opened; each request is recorded for tests
// and answered with success (or a result a test sets).
#pragma once

#include <mutex>
#include <vector>

#include "platform/Shell.h"

namespace platform::posix {

class RecordingShell : public Shell {
 public:
  std::intptr_t Open(const ShellRequest& request) override;
  std::vector<ShellRequest> Requests() const;
  void SetResult(std::intptr_t value);

 private:
  mutable std::mutex mutex;
  std::vector<ShellRequest> requests;
  std::intptr_t result = 42;
};

}  // namespace platform::posix
