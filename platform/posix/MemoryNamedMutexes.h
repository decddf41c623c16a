// Named mutexes natively: names live in this object, so two wizards that
// share one services bundle see each other, as two processes on one machine
// would.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/NamedMutexes.h"

namespace platform::posix {

class MemoryNamedMutexes : public NamedMutexes {
 public:
  MemoryNamedMutexes();
  std::unique_ptr<NamedMutex> CreateOwned(const std::wstring& name, Win32Error& lastError) override;
  // How many handles of the name are open.
  int OpenHandles(const std::wstring& name) const;
  // Makes the next creation fail, as CreateMutexW can.
  void FailNextCreation(Win32Error error);

 private:
  struct Names {
    std::mutex mutex;
    std::map<std::wstring, int> handles;
    Win32Error nextFailure = kErrorSuccess;
  };
  std::shared_ptr<Names> names;
};

}  // namespace platform::posix
