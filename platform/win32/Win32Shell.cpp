#include "platform/win32/Win32Shell.h"

#include <windows.h>
#include <shellapi.h>

namespace platform::win32 {
namespace {

const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

}  // namespace

std::intptr_t Win32Shell::Open(const ShellRequest& request) {
  return reinterpret_cast<std::intptr_t>(::ShellExecuteW(nullptr, OrNull(request.verb), OrNull(request.file),
                                                         OrNull(request.parameters), OrNull(request.directory),
                                                         request.show));
}

}  // namespace platform::win32
