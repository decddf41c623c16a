#include "platform/posix/EmbeddedResources.h"

#include <cwctype>
#include <string_view>

namespace platform::posix {
namespace {

bool SameTypeName(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::towupper(a[i]) != std::towupper(b[i])) return false;
  }
  return true;
}

}  // namespace

ResourceData EmbeddedResources::Read(int id, const std::wstring& type) {
  bool typeKnown = false;
  for (const EmbeddedResource& entry : table) {
    if (!SameTypeName(entry.type, type)) continue;
    typeKnown = true;
    if (entry.id == id) return {.status = ResourceStatus::Found, .error = kErrorSuccess, .bytes = entry.bytes};
  }
  return {.status = ResourceStatus::NotFound,
          .error = typeKnown ? kErrorResourceNameNotFound : kErrorResourceTypeNotFound,
          .bytes = {}};
}

}  // namespace platform::posix
