#include "telemetry/EventTemplate.h"

#include <string>

#include "config/ConfigurationManager.h"
#include "config/RequestSignature.h"
#include "platform/WindowsVersion.h"
#include "util/Utf8.h"

EventTemplate BuildEventTemplate(ConfigurationManager& configuration) {
  EventTemplate event;
  const std::string machineId = configuration.GetMachineId();
  const std::string session = configuration.GetSessionTimestamp();
  event.headers = {MakeSignatureHeader(machineId, session)};

  auto& payload = event.payload;
  for (int key = 0; key <= 22; ++key) payload[std::to_string(key)] = "";
  auto& system = *configuration.Services().system;
  payload["1"] = machineId;
  payload["2"] = session;
  payload["3"] = WideToUtf8(configuration.brandName);
  payload["4"] = WideToUtf8(configuration.installerId);
  payload["7"] = WideToUtf8(configuration.programVersion);
  payload["15"] = 0;
  payload["19"] = WideToUtf8(configuration.productCfl);
  payload["21"] = WideToUtf8(configuration.productCh);
  payload["22"] = WideToUtf8(configuration.productTitle);
  payload["31"] = GetOsVersionString(system);
  payload["38"] = system.IsWow64().value_or(false) ? "1" : "0";
  return event;
}
