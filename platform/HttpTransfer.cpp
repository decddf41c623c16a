#include "platform/HttpTransfer.h"

#include <cstddef>
#include <memory>
#include <new>

#include "platform/WindowsVersion.h"

std::uint32_t ProxyAccessTypeFor(platform::SystemInfo& system) {
  return IsWindows7(system) ? platform::kHttpAccessTypeDefaultProxy : platform::kHttpAccessTypeAutomaticProxy;
}

std::uint32_t SecureProtocolsFor(platform::SystemInfo& system) {
  std::uint32_t protocols = platform::kSecureProtocolTls1;
  if (IsWindowsVersionAtLeast(system, 6, 1, 1))
    protocols |= platform::kSecureProtocolTls1_1 | platform::kSecureProtocolTls1_2;
  return protocols;
}

BodyReadResult ReadResponseBody(platform::HttpRequest& request, const std::atomic<bool>* cancelled,
                                const std::function<void(const char* data, std::uint32_t size)>& consume) {
  while (true) {
    if (cancelled && *cancelled) return {.end = BodyEnd::Cancelled};
    std::uint32_t available = 0;
    if (const platform::Win32Error error = request.QueryDataAvailable(available))
      return {.end = BodyEnd::QueryFailed, .error = error};
    if (available == 0) return {.end = BodyEnd::Complete};
    // One buffer per chunk, sized by what the transport has ready. The read
    // fills it before anything looks at it, so it is not zeroed first.
    std::unique_ptr<char[]> chunk;
    try {
      chunk = std::make_unique_for_overwrite<char[]>(std::size_t{available} + 1);
    } catch (const std::bad_alloc&) {
      return {.end = BodyEnd::OutOfMemory};
    }
    std::uint32_t read = 0;
    if (const platform::Win32Error error = request.ReadData(chunk.get(), available, read))
      return {.end = BodyEnd::ReadFailed, .error = error};
    consume(chunk.get(), read);
  }
}
