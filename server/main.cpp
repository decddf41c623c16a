// brimvale-server: see ServerUsage() or run it with --help.
#include <csignal>
#include <iostream>
#include <thread>

#include "server/BrimvaleServer.h"
#include "server/ServerOptions.h"

int main(int argc, char** argv) {
  std::string error;
  const auto options = ParseServerOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::cerr << "brimvale-server: " << error << "\nTry 'brimvale-server --help'.\n";
    return 2;
  }
  if (options->help) {
    std::cout << ServerUsage();
    return 0;
  }

  // The signals are taken by a thread of ours, so stopping is orderly.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  try {
    RequestStore store(options->database);
    BrimvaleServer server(LoadCatalogue(options->catalogue), store, options->certificate, options->key,
                          options->verbose);
    const int port = server.Bind(options->address, options->port);
    std::thread stopper([&server, signals] {
      int signal = 0;
      sigwait(&signals, &signal);
      server.Stop();
    });
    std::cout << "listening on https://" << options->address << ":" << port << std::endl;
    server.Run();
    pthread_kill(stopper.native_handle(), SIGTERM);  // wakes the stopper if the server ended by itself
    stopper.join();
  } catch (const std::exception& failure) {
    std::cerr << "brimvale-server: " << failure.what() << "\n";
    return 1;
  }
  return 0;
}
