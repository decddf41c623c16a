#include "platform/posix/MemoryNamedMutexes.h"

#include <utility>

namespace platform::posix {
namespace {

class MemoryMutex : public NamedMutex {
 public:
  using Release = std::function<void()>;
  explicit MemoryMutex(Release release) : release(std::move(release)) {}
  ~MemoryMutex() override { release(); }

 private:
  Release release;
};

}  // namespace

MemoryNamedMutexes::MemoryNamedMutexes() : names(std::make_shared<Names>()) {}

std::unique_ptr<NamedMutex> MemoryNamedMutexes::CreateOwned(const std::wstring& name, Win32Error& lastError) {
  std::lock_guard lock(names->mutex);
  if (names->nextFailure != kErrorSuccess) {
    lastError = std::exchange(names->nextFailure, kErrorSuccess);
    return nullptr;
  }
  int& handles = names->handles[name];
  lastError = handles > 0 ? kErrorAlreadyExists : kErrorSuccess;
  ++handles;
  // The handle keeps the names alive, so it may outlive this object.
  return std::make_unique<MemoryMutex>([names = names, name] {
    std::lock_guard lock(names->mutex);
    if (--names->handles[name] == 0) names->handles.erase(name);
  });
}

int MemoryNamedMutexes::OpenHandles(const std::wstring& name) const {
  std::lock_guard lock(names->mutex);
  const auto found = names->handles.find(name);
  return found == names->handles.end() ? 0 : found->second;
}

void MemoryNamedMutexes::FailNextCreation(Win32Error error) {
  std::lock_guard lock(names->mutex);
  names->nextFailure = error;
}

}  // namespace platform::posix
