// Resources on Linux: the same files the Windows executable carries,
// compiled into the program at build time (resources/EmbeddedFiles.rc lists
// them for both targets).
#pragma once

#include <cstdint>
#include <span>

#include "platform/Resources.h"

namespace platform::posix {

struct EmbeddedResource {
  int id;
  const wchar_t* type;
  std::span<const std::uint8_t> bytes;
};

// The table generated from resources/EmbeddedFiles.rc.
std::span<const EmbeddedResource> BuiltInResources();

class EmbeddedResources : public Resources {
 public:
  EmbeddedResources() : table(BuiltInResources()) {}
  explicit EmbeddedResources(std::span<const EmbeddedResource> table) : table(table) {}

  // Type names compare without regard to case, as resource type names do.
  ResourceData Read(int id, const std::wstring& type) override;

 private:
  std::span<const EmbeddedResource> table;
};

}  // namespace platform::posix
