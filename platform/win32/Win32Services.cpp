#include "platform/Services.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32DebugOutput.h"
#include "platform/win32/Win32NamedMutexes.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Http.h"
#include "platform/win32/Win32Internet.h"
#include "platform/win32/Win32KnownFolders.h"
#include "platform/win32/Win32LocaleInfo.h"
#include "platform/win32/Win32Machine.h"
#include "platform/win32/Win32MessageBoxes.h"
#include "platform/win32/Win32ProcessLauncher.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Resources.h"
#include "platform/win32/Win32ShellArchiveExtractor.h"
#include "platform/win32/Win32SystemInfo.h"

namespace platform {

Services CreateSystemServices() {
  return Services{
      .files = std::make_shared<win32::Win32FileSystem>(),
      .knownFolders = std::make_shared<win32::Win32KnownFolders>(),
      .environment = std::make_shared<win32::Win32Environment>(),
      .system = std::make_shared<win32::Win32SystemInfo>(),
      .registry = std::make_shared<win32::Win32Registry>(),
      .clock = std::make_shared<win32::Win32Clock>(),
      .messageBoxes = std::make_shared<win32::Win32MessageBoxes>(),
      .resources = std::make_shared<win32::Win32Resources>(),
      .localeInfo = std::make_shared<win32::Win32LocaleInfo>(),
      .processes = std::make_shared<win32::Win32ProcessLauncher>(),
      .archives = std::make_shared<win32::Win32ShellArchiveExtractor>(),
      .machine = std::make_shared<win32::Win32Machine>(),
      .http = std::make_shared<win32::Win32Http>(),
      .internet = std::make_shared<win32::Win32Internet>(),
      .shell = std::make_shared<win32::Win32Shell>(),
      .debugOutput = std::make_shared<win32::Win32DebugOutput>(),
      .mutexes = std::make_shared<win32::Win32NamedMutexes>(),
  };
}

}  // namespace platform
