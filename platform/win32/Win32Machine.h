#pragma once

#include "platform/Machine.h"

namespace platform::win32 {

class Win32Machine : public Machine {
 public:
  Win32Error TotalPhysicalMemory(std::uint64_t& bytes) override;
  Win32Error FreeBytesAvailable(const std::wstring& path, std::uint64_t& bytes) override;
  std::vector<std::wstring> RunningProcessNames() override;
};

}  // namespace platform::win32
