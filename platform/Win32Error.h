// Win32 error codes and constants that travel through the OS seam unchanged,
// so the core speaks the same numbers on every backend.
#pragma once

#include <cstdint>

namespace platform {

using Win32Error = std::uint32_t;

inline constexpr Win32Error kErrorSuccess = 0;
inline constexpr Win32Error kErrorFileNotFound = 2;
inline constexpr Win32Error kErrorPathNotFound = 3;
inline constexpr Win32Error kErrorAccessDenied = 5;
inline constexpr Win32Error kErrorInvalidHandle = 6;
inline constexpr Win32Error kErrorNotEnoughMemory = 8;
inline constexpr Win32Error kErrorSharingViolation = 32;
inline constexpr Win32Error kErrorFileExists = 80;
inline constexpr Win32Error kErrorInvalidParameter = 87;
inline constexpr Win32Error kErrorDiskFull = 112;
inline constexpr Win32Error kErrorInsufficientBuffer = 122;
inline constexpr Win32Error kErrorInvalidName = 123;
inline constexpr Win32Error kErrorDirNotEmpty = 145;
inline constexpr Win32Error kErrorAlreadyExists = 183;
inline constexpr Win32Error kErrorBadExeFormat = 193;
inline constexpr Win32Error kErrorEnvVarNotFound = 203;
inline constexpr Win32Error kErrorMoreData = 234;
inline constexpr Win32Error kErrorNoMoreItems = 259;

// Message box styles and answers (MB_*, ID*).
inline constexpr std::uint32_t kMbOk = 0x0;
inline constexpr std::uint32_t kMbOkCancel = 0x1;
inline constexpr std::uint32_t kMbIconError = 0x10;
inline constexpr std::uint32_t kMbIconQuestion = 0x20;
inline constexpr std::uint32_t kMbSystemModal = 0x1000;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// Windows' MAX_PATH: the fixed buffers of the calls the wizard makes.
inline constexpr std::uint32_t kMaxPath = 260;

}  // namespace platform
