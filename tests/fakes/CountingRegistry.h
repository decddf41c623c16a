// A registry that forwards to another and records what was asked of it, so
// a test can tell which keys were opened in which view and that a cached
// answer touched nothing. For one thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace fakes {

class CountingRegistry : public platform::Registry {
 public:
  struct Open {
    platform::RegistryRoot root;
    std::wstring subKey;
    platform::RegistryView view;
  };
  struct Counts {
    std::vector<Open> opens;  // opens below a root, in order
    int subKeyOpens = 0;      // opens below an open key
    int enumerations = 0;     // QueryInfo calls
    std::vector<Open> enumerated;  // the key of each QueryInfo call, in order
    int valueReads = 0;       // QueryValue, GetValue
    int Total() const { return static_cast<int>(opens.size()) + subKeyOpens + enumerations + valueReads; }
  };

  explicit CountingRegistry(std::shared_ptr<platform::Registry> inner) : inner(std::move(inner)) {}

  platform::Win32Error OpenKey(platform::RegistryRoot root, const std::wstring& subKey, platform::RegistryView view,
                               std::unique_ptr<platform::RegistryKey>& key) override;
  platform::Win32Error OpenKeyNarrow(platform::RegistryRoot root, const std::string& subKey,
                                     platform::RegistryView view, std::unique_ptr<platform::RegistryKey>& key) override;

  const Counts& Seen() const { return *counts; }
  void Reset() { *counts = {}; }

 private:
  std::shared_ptr<platform::Registry> inner;
  std::shared_ptr<Counts> counts = std::make_shared<Counts>();
};

}  // namespace fakes
