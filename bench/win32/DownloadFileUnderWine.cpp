// DownloadFile as the wizard ships it, timed under Wine: the WinHTTP transfer
// (with the WinINet one after a failure), or the WinINet transfer alone.
// Writes into <folder> and prints {"seconds": ..., "bytes": ...}; exit code 1
// with the error text when the download failed. Run by scripts/bench.
//
//   brimvale_download_file.exe <winhttp|wininet> <url> <folder>
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "config/ConfigurationManager.h"
#include "install/DownloadManager.h"
#include "platform/Services.h"
#include "util/Utf8.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: brimvale_download_file <winhttp|wininet> <url> <folder>\n");
    return 2;
  }
  const std::wstring transfer = argv[1], url = argv[2];
  platform::Services services = platform::CreateSystemServices();
  auto configuration = std::make_shared<ConfigurationManager>(services, BuiltInSettings{.wizardKey = "DLM"});
  configuration->downloadFolder = argv[3];
  auto manager = std::make_shared<DownloadManager>(configuration);

  LARGE_INTEGER frequency, start, end;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  const DownloadResult result = transfer == L"wininet" ? manager->DownloadFileFallback(url, 0, L"download.bin", false)
                                                       : manager->DownloadFile(url, 0, L"download.bin", false);
  ::QueryPerformanceCounter(&end);
  if (!result.first) {
    std::fprintf(stderr, "%s\n", WideToUtf8(result.second).c_str());
    return 1;
  }
  WIN32_FILE_ATTRIBUTE_DATA data{};
  const std::wstring path = std::wstring(argv[3]) + L"\\download.bin";
  ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
  const unsigned long long bytes = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  std::printf("{\"seconds\": %.4f, \"bytes\": %llu, \"fallback\": %s}\n",
              static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart), bytes,
              result.second.empty() ? "false" : "true");
  return 0;
}
