#include "platform/Services.h"
#include "platform/posix/EmbeddedResources.h"
#include "platform/posix/IcuLocaleInfo.h"
#include "platform/posix/LibzipArchiveExtractor.h"
#include "platform/posix/LinuxMachine.h"
#include "platform/posix/MemoryNamedMutexes.h"
#include "platform/posix/MemoryRegistry.h"
#include "platform/posix/PosixClock.h"
#include "platform/posix/PosixEnvironment.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixProcessLauncher.h"
#include "platform/posix/PosixHttp.h"
#include "platform/posix/PosixInternet.h"
#include "platform/posix/RecordingDebugOutput.h"
#include "platform/posix/RecordingMessageBoxes.h"
#include "platform/posix/RecordingShell.h"
#include "platform/posix/SimulatedSystemInfo.h"
#include "platform/posix/XdgKnownFolders.h"

namespace platform {

Services CreateSystemServices() {
  auto environment = std::make_shared<posix::PosixEnvironment>();
  auto registry = std::make_shared<posix::MemoryRegistry>();
  posix::AddProcessorSpeed(*registry);
  return Services{
      .files = std::make_shared<posix::PosixFileSystem>(),
      .knownFolders = std::make_shared<posix::XdgKnownFolders>(),
      .environment = environment,
      .system = std::make_shared<posix::SimulatedSystemInfo>(),
      .registry = registry,
      .clock = std::make_shared<posix::PosixClock>(),
      .messageBoxes = std::make_shared<posix::RecordingMessageBoxes>(),
      .resources = std::make_shared<posix::EmbeddedResources>(),
      .localeInfo = std::make_shared<posix::IcuLocaleInfo>(environment),
      .processes = std::make_shared<posix::PosixProcessLauncher>(),
      .archives = std::make_shared<posix::LibzipArchiveExtractor>(),
      .machine = std::make_shared<posix::LinuxMachine>(),
      .http = std::make_shared<posix::PosixHttp>(),
      .internet = std::make_shared<posix::PosixInternet>(),
      .shell = std::make_shared<posix::RecordingShell>(),
      .debugOutput = std::make_shared<posix::RecordingDebugOutput>(),
      .mutexes = std::make_shared<posix::MemoryNamedMutexes>(),
  };
}

}  // namespace platform
