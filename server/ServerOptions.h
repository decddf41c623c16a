// The reference server's command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct ServerOptions {
  std::string address = "127.0.0.1";
  int port = 8443;  // 0: any free port, announced on standard output
  std::string certificate;
  std::string key;
  std::string catalogue;
  std::string database;
  bool help = false;
  bool verbose = false;
};

// Parses the arguments after the program name. Returns nullopt and a
// message naming the fault for anything it does not understand or misses.
std::optional<ServerOptions> ParseServerOptions(const std::vector<std::string>& arguments, std::string& error);

std::string ServerUsage();
