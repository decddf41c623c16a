// DownloadFile against curl on the same file from the same local HTTPS
// server (the reference server): throughput and peak memory of each, for a
// file of the size given (default 1 GiB), served with its Content-Length and
// served chunked without it. Not a test; see bench/README.md. The last line,
// "summary <json>", is what scripts/bench reads.
//
//   build/native/bench/brimvale_download_benchmark [size in MiB ...]
#include <sys/resource.h>
#include <sys/wait.h>
#include <spawn.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config/ConfigurationManager.h"
#include "install/DownloadManager.h"
#include "platform/posix/PosixInternet.h"
#include "tests/fakes/TestServices.h"
#include "tests/fixtures/ReferenceServer.h"
#include "util/Utf8.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

struct Run {
  double seconds = 0;
  long peakKiB = 0;  // maximum resident set of the process that downloaded
  bool ok = false;
  double cpuSeconds = 0;  // user and system time of that process
};

double Seconds(std::chrono::steady_clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

// Writes `bytes` bytes of a repeating pattern without holding them in memory.
void WriteFile(const fs::path& path, std::uint64_t bytes) {
  std::vector<char> chunk(1 << 20);
  for (std::size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<char>(i * 131 % 251);
  std::ofstream out(path, std::ios::binary);
  for (std::uint64_t written = 0; written < bytes; written += chunk.size())
    out.write(chunk.data(), static_cast<std::streamsize>(std::min<std::uint64_t>(chunk.size(), bytes - written)));
}

Run WaitFor(pid_t child, std::chrono::steady_clock::time_point start) {
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  const auto cpu = [](const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; };
  return {Seconds(std::chrono::steady_clock::now() - start), usage.ru_maxrss,
          WIFEXITED(status) && WEXITSTATUS(status) == 0, cpu(usage.ru_utime) + cpu(usage.ru_stime)};
}

// DownloadFile in a child process of its own, so its peak memory is its own.
Run RunDownloadFile(const testserver::ReferenceServer& server, const fs::path& folder, const std::wstring& url) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = ::fork();
  if (child == 0) {
    fakes::TestServices machine;
    machine.http = server.Http();
    machine.internet = std::make_shared<platform::posix::PosixInternet>(server.Settings());
    auto configuration = std::make_shared<ConfigurationManager>(machine.Bundle(), BuiltInSettings{.wizardKey = "DLM"});
    configuration->downloadFolder = folder.wstring();
    DownloadManager manager(configuration);
    const DownloadResult result = manager.DownloadFile(url, 0, L"downloadfile.bin", false);
    if (!result.second.empty()) std::fprintf(stderr, "%s\n", WideToUtf8(result.second).c_str());
    ::_exit(result.first && result.second.empty() ? 0 : 1);
  }
  return WaitFor(child, start);
}

Run RunCurl(const testserver::ReferenceServer& server, const fs::path& folder, const std::string& url) {
  const auto settings = server.Settings();
  std::vector<std::string> arguments = {"curl", "--silent", "--show-error", "--fail", "--http1.1",
                                        "--cacert", settings.caFile, "--output", (folder / "curl.bin").string()};
  for (const auto& route : settings.connectTo) arguments.insert(arguments.end(), {"--connect-to", route});
  arguments.push_back(url);
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  if (::posix_spawnp(&child, "curl", nullptr, nullptr, argv.data(), environ) != 0) return {};
  return WaitFor(child, start);
}

void Report(const char* who, std::uint64_t bytes, const Run& run) {
  std::printf("  %-12s %8.2f s  %8.1f MiB/s  cpu %6.2f s  peak %7.1f MiB  %s\n", who, run.seconds,
              static_cast<double>(bytes) / (1 << 20) / run.seconds, run.cpuSeconds, run.peakKiB / 1024.0,
              run.ok ? "ok" : "FAILED");
}

// Three rounds, the order alternating; before each run the previous output
// is deleted and written back, so neither client pays for the other's dirty
// pages. The best run of each client counts.
struct Best {
  Run curl, download;
};

Best Compare(const testserver::ReferenceServer& server, const fs::path& folder, const std::wstring& url,
             std::uint64_t bytes) {
  Best best;
  const auto prepare = [&] {
    fs::remove(folder / "curl.bin");
    fs::remove(folder / "downloadfile.bin");
    ::sync();
  };
  for (int round = 0; round < 3; ++round) {
    Run c, d;
    for (int turn = 0; turn < 2; ++turn) {
      prepare();
      if ((round + turn) % 2 == 0) {
        c = RunCurl(server, folder, WideToUtf8(url));
        Report("curl", bytes, c);
      } else {
        d = RunDownloadFile(server, folder, url);
        Report("DownloadFile", bytes, d);
      }
    }
    if (round == 0 || c.seconds < best.curl.seconds) best.curl = c;
    if (round == 0 || d.seconds < best.download.seconds) best.download = d;
  }
  prepare();
  std::printf("  throughput ratio DownloadFile / curl: %.2f (best runs); processor time ratio curl / DownloadFile: %.2f\n\n",
              best.curl.seconds / best.download.seconds, best.curl.cpuSeconds / best.download.cpuSeconds);
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::uint64_t> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::strtoull(argv[i], nullptr, 10));
  if (sizes.empty()) sizes = {1024};

  // Each file is served twice: as it is, and chunked without Content-Length.
  nlohmann::json faults = nlohmann::json::object();
  for (const std::uint64_t mebibytes : sizes)
    faults["/files/bench-" + std::to_string(mebibytes) + "-unsized.bin"] = {{"contentLength", false}};
  testserver::TestCatalogue catalogue({{"configuration", {{"/o", {{"body", "{}"}}}}}, {"faults", faults}});
  fs::create_directories(catalogue.Folder() / "files");
  fakes::ScratchFolder downloads;
  int status = 0;
  nlohmann::json summary = nlohmann::json::array();
  for (const std::uint64_t mebibytes : sizes) {
    const std::uint64_t bytes = mebibytes << 20;
    const std::string name = "bench-" + std::to_string(mebibytes);
    WriteFile(catalogue.Folder() / "files" / (name + ".bin"), bytes);
    fs::create_hard_link(catalogue.Folder() / "files" / (name + ".bin"),
                         catalogue.Folder() / "files" / (name + "-unsized.bin"));
    testserver::ReferenceServer server(catalogue);
    for (const std::string variant : {"", "-unsized"}) {
      std::printf("%llu MiB over HTTPS from the reference server on loopback%s\n",
                  static_cast<unsigned long long>(mebibytes), variant.empty() ? "" : ", without Content-Length");
      const Best best = Compare(server, downloads.Path(),
                                testserver::ProductUrl(L"/files/" + Utf8ToWide(name + variant + ".bin")), bytes);
      summary.push_back({{"mib", mebibytes},
                         {"contentLength", variant.empty()},
                         {"ratio", best.curl.seconds / best.download.seconds},
                         {"downloadFilePeakMiB", best.download.peakKiB / 1024.0},
                         {"curlPeakMiB", best.curl.peakKiB / 1024.0}});
      if (!best.curl.ok || !best.download.ok) status = 1;
    }
    fs::remove(catalogue.Folder() / "files" / (name + ".bin"));
    fs::remove(catalogue.Folder() / "files" / (name + "-unsized.bin"));
  }
  std::printf("summary %s\n", summary.dump().c_str());
  return status;
}
