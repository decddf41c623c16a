#include "config/ApiManager.h"

#include <mutex>

#include "config/BrimvaleException.h"
#include "config/FileNameTag.h"
#include "config/HttpJsonClient.h"
#include "config/JsonAccess.h"
#include "platform/WindowsVersion.h"
#include "util/Utf8.h"

namespace {

constexpr int kAttempts = 3;
constexpr std::uint32_t kRetryWaitMilliseconds = 5000;

// The first two characters of the locale name, lower-cased ("pt_BR" -> "pt").
std::string LanguageOf(const std::wstring& localeName) {
  std::string language = WideToUtf8(localeName.substr(0, 2));
  for (char& c : language) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return language;
}

bool IsBlank(const std::string& text) { return text.find_first_not_of(" \t\n\v\f\r") == std::string::npos; }

}  // namespace

nlohmann::json BuildConfigurationRequest(ConfigurationManager& configuration) {
  const platform::Services& services = configuration.Services();
  // Members one by one: the library's initializer lists are large code at each use.
  using json_access::SetMember;
  nlohmann::json request = nlohmann::json::object();
  SetMember(request, "prv", "0.1");
  SetMember(request, "plv", WideToUtf8(configuration.programVersion));
  SetMember(request, "l", LanguageOf(configuration.localeName));
  SetMember(request, "a", WideToUtf8(configuration.brandName));
  SetMember(request, "i", WideToUtf8(configuration.installerId));
  SetMember(request, "s", WideToUtf8(configuration.sourceId));
  SetMember(request, "u", WideToUtf8(GetFileNameTag(*services.environment)));
  SetMember(request, "o", GetOsVersionString(*services.system));
  return request;
}

ApiManager::ApiManager(std::shared_ptr<ConfigurationManager> configuration)
    : configuration(std::move(configuration)) {}

std::unique_ptr<nlohmann::json> ApiManager::RequestConfiguration() {
  if (configuration->configUrl.empty()) throw BrimvaleException("configuration URL check");
  const platform::Services& services = configuration->Services();
  const nlohmann::json request = BuildConfigurationRequest(*configuration);

  std::string response;
  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    const std::string body = request.dump();
    response.clear();
    std::uint32_t statusCode = 0;
    // A transport failure throws out of here: no further attempt.
    if (PostJson(services, configuration->configUrl, body, {}, response, statusCode) && statusCode >= 200 &&
        statusCode <= 299)
      break;
    services.debugOutput->WriteDiagnostic("Failed to send config request. " +
                                          std::to_string(static_cast<int>(statusCode)) + " " +
                                          std::to_string(static_cast<int>(services.http->LastError())));
    // The wait follows the third failure too.
    services.clock->Sleep(kRetryWaitMilliseconds);
  }
  if (IsBlank(response)) throw BrimvaleException("configuration answer check");
  return std::make_unique<nlohmann::json>(json_access::Parse(response));
}

std::shared_ptr<ApiManager> GetApiManager() {
  static std::shared_ptr<ApiManager> instance;
  static std::once_flag created;
  std::call_once(created, [] { instance = std::make_shared<ApiManager>(GetConfiguration()); });
  return instance;
}
