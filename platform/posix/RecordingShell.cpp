#include "platform/posix/RecordingShell.h"

namespace platform::posix {

std::intptr_t RecordingShell::Open(const ShellRequest& request) {
  std::lock_guard lock(mutex);
  requests.push_back(request);
  return result;
}

std::vector<ShellRequest> RecordingShell::Requests() const {
  std::lock_guard lock(mutex);
  return requests;
}

void RecordingShell::SetResult(std::intptr_t value) {
  std::lock_guard lock(mutex);
  result = value;
}

}  // namespace platform::posix
