#include "platform/win32/Win32Resources.h"

#include <windows.h>

#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace platform::win32 {

namespace {

constexpr USHORT kCompressionFormatLznt1 = 2;  // COMPRESSION_FORMAT_LZNT1
constexpr Win32Error kErrorInvalidData = 13;   // ERROR_INVALID_DATA
constexpr std::size_t kSizeBytes = 4;

using DecompressBuffer = LONG(NTAPI*)(USHORT format, PUCHAR out, ULONG outSize, PUCHAR in, ULONG inSize,
                                      PULONG finalSize);

// The locale documents are stored compressed: their size (4 bytes, little
// endian), then LZNT1, which ntdll's RtlDecompressBuffer has expanded since
// the first Windows NT (resources/CMakeLists.txt). Each is expanded once
// and kept for the life of the process, as the mapped resources are.
ResourceData Expanded(int id, std::span<const std::uint8_t> stored) {
  static std::mutex mutex;
  static std::map<int, std::vector<std::uint8_t>> documents;
  const ResourceData invalid{.status = ResourceStatus::LoadFailed, .error = kErrorInvalidData, .bytes = {}};

  std::lock_guard lock(mutex);
  if (const auto found = documents.find(id); found != documents.end())
    return {.status = ResourceStatus::Found, .error = kErrorSuccess, .bytes = found->second};
  if (stored.size() < kSizeBytes) return invalid;
  std::uint32_t size = 0;
  for (std::size_t i = 0; i < kSizeBytes; ++i) size |= std::uint32_t{stored[i]} << (8 * i);
  std::vector<std::uint8_t> document(size);
  if (size != 0) {
    // ntdll is in every process; the function is looked up, not imported.
    const auto decompress = reinterpret_cast<DecompressBuffer>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "RtlDecompressBuffer")));
    if (!decompress) return invalid;
    // The function takes a writable input it never writes to.
    std::vector<std::uint8_t> input(stored.begin() + kSizeBytes, stored.end());
    ULONG expanded = 0;
    if (decompress(kCompressionFormatLznt1, document.data(), size, input.data(), static_cast<ULONG>(input.size()),
                   &expanded) < 0 ||
        expanded != size)
      return invalid;
  }
  const auto& kept = documents.emplace(id, std::move(document)).first->second;
  return {.status = ResourceStatus::Found, .error = kErrorSuccess, .bytes = kept};
}

}  // namespace

ResourceData Win32Resources::Read(int id, const std::wstring& type) {
  // Resources of the executable (module handle NULL); a loaded resource is
  // never freed, so the bytes stay valid for the life of the process.
  HRSRC resource = ::FindResourceW(nullptr, MAKEINTRESOURCEW(id), type.c_str());
  if (!resource) return {.status = ResourceStatus::NotFound, .error = ::GetLastError(), .bytes = {}};
  const DWORD size = ::SizeofResource(nullptr, resource);
  if (size == 0) return {.status = ResourceStatus::Found, .error = kErrorSuccess, .bytes = {}};
  HGLOBAL loaded = ::LoadResource(nullptr, resource);
  if (!loaded) return {.status = ResourceStatus::LoadFailed, .error = ::GetLastError(), .bytes = {}};
  const void* bytes = ::LockResource(loaded);
  if (!bytes) return {.status = ResourceStatus::LoadFailed, .error = ::GetLastError(), .bytes = {}};
  const std::span<const std::uint8_t> stored{static_cast<const std::uint8_t*>(bytes), size};
  if (type == kLocaleResourceType) return Expanded(id, stored);
  return {.status = ResourceStatus::Found, .error = kErrorSuccess, .bytes = stored};
}

}  // namespace platform::win32
