// The WinHTTP-shaped steps that both HTTP clients take (the JSON client and
// the download manager): which proxy and TLS versions a session uses on
// this Windows, and the loop that reads a response body.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "platform/Http.h"
#include "platform/SystemInfo.h"

// WinHttpOpen's access type: the default proxy on Windows 7 (6.1 up to
// 6.2), the automatic proxy on every other system.
std::uint32_t ProxyAccessTypeFor(platform::SystemInfo& system);

// WINHTTP_OPTION_SECURE_PROTOCOLS: TLS 1.0 at least (SSL 3.0 is broken),
// with TLS 1.1 and 1.2 from Windows 7 SP1 on.
std::uint32_t SecureProtocolsFor(platform::SystemInfo& system);

// How a body read ended: at the body's end, or at the step that stopped it.
enum class BodyEnd {
  Complete,     // 0 bytes were ready: the body has ended
  Cancelled,    // the cancellation flag was set before a chunk
  QueryFailed,  // WinHttpQueryDataAvailable failed
  OutOfMemory,  // no buffer for the chunk
  ReadFailed,   // WinHttpReadData failed
};

struct BodyReadResult {
  BodyEnd end = BodyEnd::Complete;
  platform::Win32Error error = platform::kErrorSuccess;  // the failed call's code
};

// The read loop: asks how many bytes are ready, reads them into a buffer of
// their own and hands what was read to `consume`, until the body ends or a
// step fails. `cancelled` (may be null) is checked before each chunk. An
// exception from `consume` ends the loop and passes through.
BodyReadResult ReadResponseBody(platform::HttpRequest& request, const std::atomic<bool>* cancelled,
                                const std::function<void(const char* data, std::uint32_t size)>& consume);
