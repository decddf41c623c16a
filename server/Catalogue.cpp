#include "server/Catalogue.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include <nlohmann/json.hpp>

namespace {

using nlohmann::json;

CannedAnswer ReadAnswer(const json& spec, const std::filesystem::path& folder) {
  CannedAnswer answer;
  if (spec.contains("answer")) answer.file = folder / spec.at("answer").get<std::string>();
  if (spec.contains("body")) answer.body = spec.at("body").get<std::string>();
  if (answer.file && spec.contains("body")) throw std::runtime_error("give either \"answer\" or \"body\", not both");
  answer.status = spec.value("status", 200);
  answer.contentType = spec.value("contentType", std::string("application/json"));
  if (answer.file && !std::filesystem::is_regular_file(*answer.file))
    throw std::runtime_error("answer file missing: " + answer.file->string());
  return answer;
}

// A member of `spec`, or an empty object or array when it is missing.
const json& Section(const json& spec, const char* key, bool array = false) {
  static const json noObject = json::object(), noArray = json::array();
  return spec.contains(key) ? spec.at(key) : array ? noArray : noObject;
}

FaultPlan ReadFaults(const json& spec) {
  FaultPlan plan;
  plan.statuses = spec.value("statuses", std::vector<int>{});
  plan.statusBody = spec.value("statusBody", std::string());
  plan.redirects = spec.value("redirects", 0);
  plan.contentLength = spec.value("contentLength", true);
  if (spec.contains("cutAfter")) plan.cutAfter = spec.at("cutAfter").get<std::uint64_t>();
  plan.bytesPerSecond = spec.value("bytesPerSecond", std::uint64_t{0});
  plan.delayMilliseconds = spec.value("delayMilliseconds", 0);
  plan.stallSeconds = spec.value("stallSeconds", 0);
  for (const auto& [key, value] : spec.items()) {
    static const std::set<std::string> known = {"statuses", "statusBody", "redirects", "contentLength",
                                                "cutAfter", "bytesPerSecond", "delayMilliseconds",
                                                "stallSeconds"};
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
    const json spec = json::parse(in);
    Catalogue catalogue;
    catalogue.folder = folder;
    catalogue.images = folder / spec.value("images", std::string("images"));
    catalogue.files = folder / spec.value("files", std::string("files"));
    for (const auto& [path, endpoint] : Section(spec, "configuration").items()) {
      ConfigurationEndpoint& entry = catalogue.configuration[path];
      entry.answer = ReadAnswer(endpoint, folder);
      for (const json& variant : Section(endpoint, "variants", true)) {
        entry.variants.push_back({variant.at("member").get<std::string>(), variant.at("value").get<std::string>(),
                                  ReadAnswer(variant, folder)});
      }
    }
    if (!catalogue.configuration.contains("/o")) throw std::runtime_error("no configuration answer for \"/o\"");
    for (const json& path : Section(spec, "echo", true)) catalogue.echo.insert(path.get<std::string>());
    for (const auto& [path, faults] : Section(spec, "faults").items()) {
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
