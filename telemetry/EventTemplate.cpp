#include "telemetry/EventTemplate.h"

#include <string>

#include "config/ConfigurationManager.h"
#include "config/JsonAccess.h"
#include "config/RequestSignature.h"
#include "platform/WindowsVersion.h"
#include "telemetry/EventProtocol.h"
#include "util/Utf8.h"

EventTemplate BuildEventTemplate(ConfigurationManager& configuration) {
  EventTemplate event;
  const std::string machineId = configuration.GetMachineId();
  const std::string session = configuration.GetSessionTimestamp();
  event.headers = {MakeSignatureHeader(machineId, session)};

  using json_access::SetMember;
  auto& payload = event.payload;
  for (int key = events::kFirstTemplateMember; key <= events::kLastTemplateMember; ++key)
    SetMember(payload, std::to_string(key).c_str(), "");
  auto& system = *configuration.Services().system;
  SetMember(payload, events::kMachineId, machineId);
  SetMember(payload, events::kSessionTimestamp, session);
  SetMember(payload, events::kBrandName, WideToUtf8(configuration.brandName));
  SetMember(payload, events::kInstallerId, WideToUtf8(configuration.installerId));
  SetMember(payload, events::kProgramVersion, WideToUtf8(configuration.programVersion));
  SetMember(payload, events::kZero, 0);
  SetMember(payload, events::kProductCfl, WideToUtf8(configuration.productCfl));
  SetMember(payload, events::kProductCh, WideToUtf8(configuration.productCh));
  SetMember(payload, events::kProductTitle, WideToUtf8(configuration.productTitle));
  SetMember(payload, events::kOsVersion, GetOsVersionString(system));
  SetMember(payload, events::kWow64, system.IsWow64().value_or(false) ? "1" : "0");
  return event;
}
