// Read-only data embedded in the program: locale documents and page images,
// stored as resources of a custom type under an integer id. The bytes live
// as long as the program's module does, so callers keep no copies.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/Win32Error.h"

namespace platform {

// The custom resource types the wizard embeds.
inline constexpr wchar_t kLocaleResourceType[] = L"LOCALE";
inline constexpr wchar_t kImageResourceType[] = L"IMAGE_BLOB";
inline constexpr wchar_t kImageResourceType2[] = L"IMAGE_BLOB2";
inline constexpr wchar_t kImageResourceType3[] = L"IMAGE_BLOB3";

// Error codes of a failed resource lookup (ERROR_RESOURCE_*).
inline constexpr Win32Error kErrorResourceDataNotFound = 1812;
inline constexpr Win32Error kErrorResourceTypeNotFound = 1813;
inline constexpr Win32Error kErrorResourceNameNotFound = 1814;

enum class ResourceStatus {
  Found,       // bytes hold the resource (empty for a resource of zero bytes)
  NotFound,    // no resource of that type and id (FindResourceW failed)
  LoadFailed,  // found, but its data could not be loaded or locked
};

struct ResourceData {
  ResourceStatus status = ResourceStatus::NotFound;
  Win32Error error = kErrorResourceNameNotFound;  // kErrorSuccess when found
  std::span<const std::uint8_t> bytes;             // valid for the life of the process
};

class Resources {
 public:
  virtual ~Resources() = default;

  // The resource `id` of the custom type `type` in the program's own module:
  // FindResourceW, SizeofResource, LoadResource, LockResource. A missing
  // type gives NotFound with kErrorResourceTypeNotFound, a missing id of a
  // known type NotFound with kErrorResourceNameNotFound; a failed load or
  // lock of a resource that has bytes gives LoadFailed with the call's error.
  // A resource of zero bytes is Found with empty bytes: the caller decides
  // whether that is an error (an image is, a locale document parses as an
  // empty document).
  virtual ResourceData Read(int id, const std::wstring& type) = 0;
};

}  // namespace platform
