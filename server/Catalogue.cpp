#include "server/Catalogue.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include <nlohmann/json.hpp>

namespace {

using nlohmann::json;

CannedAnswer ReadAnswer(const json& entry, const std::filesystem::path& folder) {
  CannedAnswer answer;
  if (entry.contains("answer")) answer.file = folder / entry.at("answer").get<std::string>();
  if (entry.contains("body")) answer.body = entry.at("body").get<std::string>();
  if (answer.file && entry.contains("body")) throw std::runtime_error("give either \"answer\" or \"body\", not both");
  answer.status = entry.value("status", 200);
  answer.contentType = entry.value("contentType", std::string("application/json"));
  if (answer.file && !std::filesystem::is_regular_file(*answer.file))
    throw std::runtime_error("answer file missing: " + answer.file->string());
  return answer;
}

// A member of `entry`, or an empty object or array when it is missing.
const json& Section(const json& entry, const char* key, bool array = false) {
  static const json noObject = json::object(), noArray = json::array();
  return entry.contains(key) ? entry.at(key) : array ? noArray : noObject;
}

FaultPlan ReadFaults(const json& entry) {
  FaultPlan plan;
  plan.statuses = entry.value("statuses", std::vector<int>{});
  plan.statusBody = entry.value("statusBody", std::string());
  plan.redirects = entry.value("redirects", 0);
  plan.redirectTo = entry.value("redirectTo", std::string());
  plan.contentLength = entry.value("contentLength", true);
  if (entry.contains("cutAfter")) plan.cutAfter = entry.at("cutAfter").get<std::uint64_t>();
  plan.bytesPerSecond = entry.value("bytesPerSecond", std::uint64_t{0});
  plan.delayMilliseconds = entry.value("delayMilliseconds", 0);
  plan.stallSeconds = entry.value("stallSeconds", 0);
  plan.endless = entry.value("endless", false);
  for (const auto& [key, value] : entry.items()) {
    static const std::set<std::string> known = {"statuses", "statusBody", "redirects", "redirectTo", "contentLength",
                                                "cutAfter", "bytesPerSecond", "delayMilliseconds",
                                                "stallSeconds", "endless"};
    if (!known.contains(key)) throw std::runtime_error("unknown fault \"" + key + "\"");
  }
  return plan;
}

}  // namespace

Catalogue LoadCatalogue(const std::filesystem::path& folder) {
  const std::filesystem::path index = folder / "catalogue.json";
  std::ifstream in(index, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + index.string());
  try {
    const json entry = json::parse(in);
    Catalogue catalogue;
    catalogue.folder = folder;
    catalogue.images = folder / entry.value("images", std::string("images"));
    catalogue.files = folder / entry.value("files", std::string("files"));
    for (const auto& [path, endpoint] : Section(entry, "configuration").items()) {
      ConfigurationEndpoint& entry = catalogue.configuration[path];
      entry.answer = ReadAnswer(endpoint, folder);
      for (const json& variant : Section(endpoint, "variants", true)) {
        entry.variants.push_back({variant.at("member").get<std::string>(), variant.at("value").get<std::string>(),
                                  ReadAnswer(variant, folder)});
      }
    }
    if (!catalogue.configuration.contains("/o")) throw std::runtime_error("no configuration answer for \"/o\"");
    for (const json& path : Section(entry, "echo", true)) catalogue.echo.insert(path.get<std::string>());
    for (const auto& [path, faults] : Section(entry, "faults").items()) {
      try {
        catalogue.faults[path] = ReadFaults(faults);
      } catch (const std::exception& error) {
        throw std::runtime_error("faults of " + path + ": " + error.what());
      }
    }
    return catalogue;
  } catch (const std::exception& error) {
    throw std::runtime_error(index.string() + ": " + error.what());
  }
}

const CannedAnswer& ChooseAnswer(const ConfigurationEndpoint& endpoint, const std::string& requestBody) {
  const json request = json::parse(requestBody, nullptr, false);
  if (request.is_object()) {
    for (const AnswerVariant& variant : endpoint.variants) {
      const auto member = request.find(variant.member);
      if (member != request.end() && member->is_string() && member->get<std::string>() == variant.value)
        return variant.answer;
    }
  }
  return endpoint.answer;
}
