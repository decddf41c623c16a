// Questions about the running Windows, answered through the OS seam.
#pragma once

#include <cstdint>
#include <string>

#include "platform/SystemInfo.h"

// True when the running Windows is at least major.minor with at least the
// given service pack.
bool IsWindowsVersionAtLeast(platform::SystemInfo& system, std::uint32_t major, std::uint32_t minor,
                             std::uint16_t servicePackMajor);

// True on Windows 7 with or without a service pack (6.1 up to 6.2).
bool IsWindows7(platform::SystemInfo& system);

// True on 64-bit Windows: for the 32-bit product, when it runs under WOW64
// (IsWow64Process).
bool Is64BitWindows(platform::SystemInfo& system);

// "major.minor.build" from RtlGetVersion, e.g. "10.0.19045"; empty on failure.
std::string GetOsVersionString(platform::SystemInfo& system);
