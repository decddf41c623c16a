// The OS seam as one bundle. The program assembles it once from the backend
// of its target (win32 or posix); tests assemble their own from fakes and
// hand it to what they construct.
#pragma once

#include <memory>

#include "platform/ArchiveExtractor.h"
#include "platform/Clock.h"
#include "platform/DebugOutput.h"
#include "platform/Environment.h"
#include "platform/FileSystem.h"
#include "platform/Http.h"
#include "platform/Internet.h"
#include "platform/KnownFolders.h"
#include "platform/LocaleInfo.h"
#include "platform/Machine.h"
#include "platform/MessageBoxes.h"
#include "platform/NamedMutexes.h"
#include "platform/ProcessLauncher.h"
#include "platform/Registry.h"
#include "platform/Resources.h"
#include "platform/Shell.h"
#include "platform/SystemInfo.h"

namespace platform {

struct Services {
  std::shared_ptr<FileSystem> files;
  std::shared_ptr<KnownFolders> knownFolders;
  std::shared_ptr<Environment> environment;
  std::shared_ptr<SystemInfo> system;
  std::shared_ptr<Registry> registry;
  std::shared_ptr<Clock> clock;
  std::shared_ptr<MessageBoxes> messageBoxes;
  std::shared_ptr<Resources> resources;
  std::shared_ptr<LocaleInfo> localeInfo;
  std::shared_ptr<ProcessLauncher> processes;
  std::shared_ptr<ArchiveExtractor> archives;
  std::shared_ptr<Machine> machine;
  std::shared_ptr<Http> http;
  std::shared_ptr<Internet> internet;
  std::shared_ptr<Shell> shell;
  std::shared_ptr<DebugOutput> debugOutput;
  std::shared_ptr<NamedMutexes> mutexes;
};

// The real services of this target's backend.
Services CreateSystemServices();

}  // namespace platform
