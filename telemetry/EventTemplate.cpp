#include "telemetry/EventTemplate.h"

#include <string>

#include "config/ConfigurationManager.h"
#include "config/RequestSignature.h"
#include "platform/WindowsVersion.h"
#include "telemetry/EventProtocol.h"
#include "util/Utf8.h"

EventTemplate BuildEventTemplate(ConfigurationManager& configuration) {
  EventTemplate event;
  const std::string machineId = configuration.GetMachineId();
  const std::string session = configuration.GetSessionTimestamp();
  event.headers = {MakeSignatureHeader(machineId, session)};

  auto& payload = event.payload;
  for (int key = events::kFirstTemplateMember; key <= events::kLastTemplateMember; ++key)
    payload[std::to_string(key)] = "";
  auto& system = *configuration.Services().system;
  payload[events::kMachineId] = machineId;
  payload[events::kSessionTimestamp] = session;
  payload[events::kBrandName] = WideToUtf8(configuration.brandName);
  payload[events::kInstallerId] = WideToUtf8(configuration.installerId);
  payload[events::kProgramVersion] = WideToUtf8(configuration.programVersion);
  payload[events::kZero] = 0;
  payload[events::kProductCfl] = WideToUtf8(configuration.productCfl);
  payload[events::kProductCh] = WideToUtf8(configuration.productCh);
  payload[events::kProductTitle] = WideToUtf8(configuration.productTitle);
  payload[events::kOsVersion] = GetOsVersionString(system);
  payload[events::kWow64] = system.IsWow64().value_or(false) ? "1" : "0";
  return event;
}
