// The reference server: the wizard's configuration, event, image and
// download endpoints over HTTPS, with faults injected where the catalogue
// says, recording what it receives.
#pragma once

#include <httplib.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>

#include "server/Catalogue.h"
#include "server/RequestStore.h"
#include "server/TlsServer.h"

class BrimvaleServer {
 public:
  // Throws std::runtime_error when the certificate or key cannot be used.
  BrimvaleServer(Catalogue catalogue, RequestStore& store, const std::string& certificate, const std::string& key,
                 bool verbose);

  // Binds the listening socket; port 0 picks a free one. Returns the port,
  // or throws std::runtime_error.
  int Bind(const std::string& address, int port);
  // Serves until Stop() is called from another thread.
  void Run();
  void Stop();

 private:
  struct Body;
  using Handler = std::function<void(const httplib::Request&, httplib::Response&, const FaultPlan*)>;

  httplib::Server::Handler Route(Handler handler);
  // Status faults, delay, redirects and a stall before the answer. True
  // when the fault is the answer.
  bool InjectBefore(const FaultPlan& plan, const httplib::Request& request, httplib::Response& response);
  void SendBody(httplib::Response& response, Body body, const std::string& contentType, const FaultPlan* plan);
  void ServeFolder(const std::filesystem::path& folder, const httplib::Request& request, httplib::Response& response,
                   const FaultPlan* plan);
  void AnswerConfiguration(const ConfigurationEndpoint& endpoint, const httplib::Request& request,
                           httplib::Response& response, const FaultPlan* plan);
  void AnswerEvent(const httplib::Request& request, httplib::Response& response, const FaultPlan* plan);
  void Echo(const httplib::Request& request, httplib::Response& response, const FaultPlan* plan);
  // Sleeps, waking early when the server stops. False when it stopped.
  bool Pause(std::chrono::milliseconds duration);

  Catalogue catalogue;
  RequestStore& store;
  bool verbose;
  std::unique_ptr<TlsServer> server;
  std::atomic<bool> stopping{false};
  std::mutex faultMutex;
  std::map<std::string, std::size_t> statusesSent;  // per path: status faults answered so far
};
