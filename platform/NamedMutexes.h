// Named mutexes that keep a second copy of the wizard out (CreateMutexW).
#pragma once

#include <memory>
#include <string>

#include "platform/Win32Error.h"

namespace platform {

// One open handle of a named mutex; closing it (destroying the object)
// releases this process's hold.
class NamedMutex {
 public:
  virtual ~NamedMutex() = default;
};

class NamedMutexes {
 public:
  virtual ~NamedMutexes() = default;
  // CreateMutexW(NULL, TRUE, name): the new handle, or null when creation
  // failed. `lastError` is GetLastError() after the call: kErrorAlreadyExists
  // when the mutex existed before (the handle is then valid, but not owned).
  virtual std::unique_ptr<NamedMutex> CreateOwned(const std::wstring& name, Win32Error& lastError) = 0;
};

}  // namespace platform
