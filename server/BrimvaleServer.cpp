#include "server/BrimvaleServer.h"


#include <fstream>
#include <iostream>
#include <regex>
#include <stdexcept>
#include <thread>

#include <nlohmann/json.hpp>

#include "server/EventCheck.h"
#include "server/TlsServer.h"

using nlohmann::json;

// What an answer's body is made of: text in memory or a file on disk.
struct BrimvaleServer::Body {
  std::string text;
  std::optional<std::filesystem::path> file;
  std::uint64_t size = 0;
};

namespace {

constexpr std::size_t kPieceSize = 64 * 1024;

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string ContentTypeOf(const std::filesystem::path& name) {
  const std::string extension = name.extension().string();
  if (extension == ".png") return "image/png";
  if (extension == ".json") return "application/json";
  if (extension == ".zip") return "application/zip";
  return "application/octet-stream";
}

// The request's headers by name, without the ones the server adds.
std::vector<std::pair<std::string, std::string>> ReceivedHeaders(const httplib::Request& request) {
  std::vector<std::pair<std::string, std::string>> headers;
  for (const auto& [name, value] : request.headers) {
    if (name != "REMOTE_ADDR" && name != "REMOTE_PORT" && name != "LOCAL_ADDR" && name != "LOCAL_PORT" &&
        name != kHeaderLinesHeader)
      headers.emplace_back(name, value);
  }
  return headers;
}

// The request's header lines as they came, in order (a JSON array of texts).
std::string HeaderLinesOf(const httplib::Request& request) {
  return request.has_header(kHeaderLinesHeader) ? request.get_header_value(kHeaderLinesHeader) : "[]";
}

std::string Escaped(const std::string& path) {
  static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
  return std::regex_replace(path, special, R"(\$&)");
}

}  // namespace

BrimvaleServer::BrimvaleServer(Catalogue catalogue, RequestStore& store, const std::string& certificate,
                               const std::string& key, bool verbose)
    : catalogue(std::move(catalogue)), store(store), verbose(verbose),
      server(std::make_unique<TlsServer>(certificate, key)) {
  server->new_task_queue = [] { return new httplib::ThreadPool(64); };
  server->set_payload_max_length(1024 * 1024);
  server->set_read_timeout(30, 0);
  server->set_write_timeout(60, 0);

  for (const auto& [path, endpoint] : this->catalogue.configuration) {
    server->Post(Escaped(path), Route([this, &endpoint = endpoint](const auto& request, auto& response,
                                                                   const FaultPlan* plan) {
      AnswerConfiguration(endpoint, request, response, plan);
    }));
  }
  server->Post("/zbd", Route([this](const auto& request, auto& response, const FaultPlan* plan) {
    AnswerEvent(request, response, plan);
  }));
  for (const std::string& path : this->catalogue.echo) {
    const Handler echo = [this](const auto& request, auto& response, const FaultPlan* plan) {
      Echo(request, response, plan);
    };
    server->Get(Escaped(path), Route(echo));
    server->Post(Escaped(path), Route(echo));
  }
  server->Get("/f/(.+)", Route([this](const auto& request, auto& response, const FaultPlan* plan) {
    ServeFolder(this->catalogue.images, request, response, plan);
  }));
  server->Get("/files/(.+)", Route([this](const auto& request, auto& response, const FaultPlan* plan) {
    ServeFolder(this->catalogue.files, request, response, plan);
  }));
  // Everything else is recorded, gets its faults, and is not found.
  const Handler notFound = [](const auto&, auto& response, const FaultPlan*) { response.status = 404; };
  server->Get(".*", Route(notFound));
  server->Post(".*", Route(notFound));

  if (verbose) {
    server->set_logger([](const httplib::Request& request, const httplib::Response& response) {
      std::cerr << request.method << " " << request.target << " " << response.status << "\n";
    });
  }
}

int BrimvaleServer::Bind(const std::string& address, int port) {
  const int bound = port == 0 ? server->bind_to_any_port(address) : (server->bind_to_port(address, port) ? port : -1);
  if (bound <= 0) throw std::runtime_error("cannot listen on " + address + ":" + std::to_string(port));
  server->WidenBacklog();
  return bound;
}

void BrimvaleServer::Run() { server->listen_after_bind(); }

void BrimvaleServer::Stop() {
  stopping = true;
  server->stop();
}

httplib::Server::Handler BrimvaleServer::Route(Handler handler) {
  return [this, handler = std::move(handler)](const httplib::Request& request, httplib::Response& response) {
    json headers = json::object();
    for (const auto& [name, value] : ReceivedHeaders(request)) {
      json& joined = headers[name];
      joined = joined.is_string() ? json(joined.get<std::string>() + ", " + value) : json(value);
    }
    store.RecordRequest(request.method, request.target, headers.dump(-1, ' ', false, json::error_handler_t::replace),
                        HeaderLinesOf(request), request.body);
    const auto found = catalogue.faults.find(request.path);
    const FaultPlan* plan = found == catalogue.faults.end() ? nullptr : &found->second;
    if (plan && InjectBefore(*plan, request, response)) return;
    handler(request, response, plan);
  };
}

bool BrimvaleServer::InjectBefore(const FaultPlan& plan, const httplib::Request& request,
                                  httplib::Response& response) {
  {
    std::lock_guard lock(faultMutex);
    std::size_t& sent = statusesSent[request.path];
    if (sent < plan.statuses.size()) {
      response.status = plan.statuses[sent++];
      response.set_content(plan.statusBody, "text/html");
      return true;
    }
  }
  if (plan.delayMilliseconds > 0 && !Pause(std::chrono::milliseconds(plan.delayMilliseconds))) return true;
  const int hop = request.has_param("hop") ? std::atoi(request.get_param_value("hop").c_str()) : 0;
  if (hop < plan.redirects) {
    response.status = 302;
    response.set_header("Location", !plan.redirectTo.empty()
                                        ? plan.redirectTo
                                        : "https://" + request.get_header_value("Host") + request.path +
                                              "?hop=" + std::to_string(hop + 1));
    return true;
  }
  if (plan.stallSeconds > 0 && !plan.cutAfter) {
    Pause(std::chrono::seconds(plan.stallSeconds));
    response.status = 503;
    return true;
  }
  return false;
}

void BrimvaleServer::SendBody(httplib::Response& response, Body body, const std::string& contentType,
                              const FaultPlan* plan) {
  if (plan && plan->endless) {
    // The answer's bytes, then zeros without end: only the client (or the
    // server stopping) ends the connection.
    auto text = std::make_shared<std::string>(body.file ? ReadFile(*body.file) : std::move(body.text));
    response.set_chunked_content_provider(contentType, [this, text](std::size_t offset, httplib::DataSink& sink) {
      if (stopping) return false;
      if (offset < text->size()) return sink.write(text->data() + offset, text->size() - offset);
      static const std::string zeros(kPieceSize, '\0');
      return sink.write(zeros.data(), zeros.size());
    });
    return;
  }
  const bool shaped = plan && (!plan->contentLength || plan->cutAfter || plan->bytesPerSecond);
  if (!body.file && !shaped) {
    response.set_content(body.text, contentType);
    return;
  }
  if (!body.file) body.size = body.text.size();
  if (body.size == 0 && plan && plan->contentLength) {
    response.set_content("", contentType);
    return;
  }
  const FaultPlan faults = plan ? *plan : FaultPlan{};
  auto file = body.file ? std::make_shared<std::ifstream>(*body.file, std::ios::binary) : nullptr;
  auto text = std::make_shared<std::string>(std::move(body.text));
  const std::uint64_t size = body.size;
  // Writes the next piece from `offset`; false ends the connection.
  auto provide = [this, faults, file, text, size](std::uint64_t offset, httplib::DataSink& sink) {
    if (stopping) return false;
    if (faults.cutAfter && offset >= *faults.cutAfter) {
      if (faults.stallSeconds > 0) Pause(std::chrono::seconds(faults.stallSeconds));
      return false;
    }
    std::uint64_t piece = std::min<std::uint64_t>(kPieceSize, size - offset);
    if (faults.cutAfter) piece = std::min(piece, *faults.cutAfter - offset);
    if (faults.bytesPerSecond) {
      piece = std::min<std::uint64_t>(piece, std::max<std::uint64_t>(1, faults.bytesPerSecond / 10));
      if (!Pause(std::chrono::milliseconds(1000 * piece / faults.bytesPerSecond))) return false;
    }
    if (file) {
      std::string buffer(piece, '\0');
      file->seekg(static_cast<std::streamoff>(offset));
      if (!file->read(buffer.data(), static_cast<std::streamsize>(piece))) return false;
      return sink.write(buffer.data(), buffer.size());
    }
    return sink.write(text->data() + offset, piece);
  };
  if (faults.contentLength) {
    response.set_content_provider(size, contentType,
                                  [provide](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                    return provide(offset, sink);
                                  });
  } else {
    response.set_chunked_content_provider(contentType, [provide, size](std::size_t offset, httplib::DataSink& sink) {
      if (offset >= size) {
        sink.done();
        return true;
      }
      return provide(offset, sink);
    });
  }
}

void BrimvaleServer::ServeFolder(const std::filesystem::path& folder, const httplib::Request& request,
                                 httplib::Response& response, const FaultPlan* plan) {
  const std::string name = request.matches[1];
  // A name never leaves its folder.
  if (name == "." || name == ".." || name.find_first_of("/\\") != std::string::npos) {
    response.status = 404;
    return;
  }
  const std::filesystem::path path = folder / name;
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (error || !std::filesystem::is_regular_file(path)) {
    response.status = 404;
    return;
  }
  SendBody(response, Body{.text = {}, .file = path, .size = size}, ContentTypeOf(path), plan);
}

void BrimvaleServer::AnswerConfiguration(const ConfigurationEndpoint& endpoint, const httplib::Request& request,
                                         httplib::Response& response, const FaultPlan* plan) {
  const CannedAnswer& answer = ChooseAnswer(endpoint, request.body);
  response.status = answer.status;
  SendBody(response, Body{.text = answer.file ? ReadFile(*answer.file) : answer.body, .file = {}, .size = 0},
           answer.contentType, plan);
}

void BrimvaleServer::AnswerEvent(const httplib::Request& request, httplib::Response& response,
                                 const FaultPlan* plan) {
  const EventVerdict verdict = CheckEvent(request.body, request.get_header_value("Authorization"));
  if (verdict.record) store.RecordEvent(*verdict.record);
  response.status = verdict.status;
  SendBody(response, Body{.text = verdict.status == 200 ? "{}" : "", .file = {}, .size = 0}, "application/json",
           plan);
}

void BrimvaleServer::Echo(const httplib::Request& request, httplib::Response& response, const FaultPlan* plan) {
  json headers = json::array();
  for (const auto& [name, value] : ReceivedHeaders(request)) headers.push_back({name, value});
  const json description = {{"method", request.method},
                            {"target", request.target},
                            {"path", request.path},
                            {"headers", headers},
                            {"headerLines", json::parse(HeaderLinesOf(request))},
                            {"body", request.body}};
  SendBody(response,
           Body{.text = description.dump(-1, ' ', false, json::error_handler_t::replace), .file = {}, .size = 0},
           "application/json", plan);
}

bool BrimvaleServer::Pause(std::chrono::milliseconds duration) {
  const auto end = std::chrono::steady_clock::now() + duration;
  while (!stopping && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::min<std::chrono::milliseconds>(
        std::chrono::milliseconds(50),
        std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()) +
            std::chrono::milliseconds(1)));
  }
  return !stopping;
}
