#include "server/ServerOptions.h"

#include <charconv>

std::optional<ServerOptions> ParseServerOptions(const std::vector<std::string>& arguments, std::string& error) {
  ServerOptions options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& name = arguments[i];
    if (name == "--help" || name == "-h") {
      options.help = true;
      return options;
    }
    if (name == "--verbose") {
      options.verbose = true;
      continue;
    }
    std::string* text = name == "--address"     ? &options.address
                        : name == "--cert"      ? &options.certificate
                        : name == "--key"       ? &options.key
                        : name == "--catalogue" ? &options.catalogue
                        : name == "--database"  ? &options.database
                                                : nullptr;
    if (!text && name != "--port") {
      error = "unknown option: " + name;
      return std::nullopt;
    }
    if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
      error = "option " + name + " needs a value";
      return std::nullopt;
    }
    const std::string& value = arguments[++i];
    if (text) {
      *text = value;
      continue;
    }
    int port = -1;
    const auto [end, fault] = std::from_chars(value.data(), value.data() + value.size(), port);
    if (fault != std::errc() || end != value.data() + value.size() || port < 0 || port > 65535) {
      error = "--port needs a number from 0 to 65535, not " + value;
      return std::nullopt;
    }
    options.port = port;
  }
  for (const auto& [value, name] : {std::pair{&options.certificate, "--cert"}, {&options.key, "--key"},
                                    {&options.catalogue, "--catalogue"}, {&options.database, "--database"}}) {
    if (value->empty()) {
      error = std::string("missing option ") + name;
      return std::nullopt;
    }
  }
  return options;
}

std::string ServerUsage() {
  return R"(Usage: brimvale-server --cert FILE --key FILE --catalogue FOLDER --database FILE
                       [--address ADDRESS] [--port PORT] [--verbose]

The reference server of Brimvale Setup: the configuration, event, image and
download endpoints over HTTPS.

  --cert FILE          server certificate chain (PEM)
  --key FILE           its private key (PEM)
  --catalogue FOLDER   folder with catalogue.json, the configuration answers,
                       images/ (served as /f/<name>) and files/ (served as
                       /files/<name>); see the README for its format
  --database FILE      SQLite database, created when missing: table
                       zb_analytics holds one row per accepted event,
                       table requests one row per request received
  --address ADDRESS    address to listen on (default 127.0.0.1)
  --port PORT          port to listen on (default 8443; 0 picks a free one)
  --verbose            log each request on standard error
  --help               show this text

Endpoints:
  POST /o              configuration answer from the catalogue
  POST /zbd            event {"data": payload text, "table": "zb_analytics"}
                       signed with "Authorization: Signature=<sha256 hex>"
  GET  /f/<name>       image from the catalogue's images folder
  GET  /files/<name>   file from the catalogue's files folder

Once listening it prints "listening on https://ADDRESS:PORT" on standard
output. It stops on SIGINT or SIGTERM. Bad arguments end it with exit code 2.
)";
}
