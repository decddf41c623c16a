#include "platform/Services.h"

#include <mutex>
#include <optional>

namespace platform {
namespace {

std::mutex servicesMutex;
std::optional<Services> processServices;

}  // namespace

const Services& ProcessServices() {
  std::lock_guard lock(servicesMutex);
  if (!processServices) processServices = CreateSystemServices();
  return *processServices;
}

void SetProcessServices(Services services) {
  std::lock_guard lock(servicesMutex);
  processServices = std::move(services);
}

}  // namespace platform
