// The least a program does to fetch a file with WinHTTP: one session, one
// request, a 64 KiB read loop into the file. Built as the wizard is, it is
// the ceiling of what WinHTTP under Wine allows DownloadFile. Prints
// {"seconds": ..., "bytes": ...}. Run by scripts/bench.
//
//   brimvale_minimal_winhttp.exe <host> <path> <file>
#include <windows.h>
#include <winhttp.h>

#include <cstdio>
#include <vector>

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: brimvale_minimal_winhttp <host> <path> <file>\n");
    return 2;
  }
  LARGE_INTEGER frequency, start, end;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  HINTERNET session = ::WinHttpOpen(L"minimal", WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr, 0);
  HINTERNET connection = session ? ::WinHttpConnect(session, argv[1], INTERNET_DEFAULT_HTTPS_PORT, 0) : nullptr;
  HINTERNET request = connection ? ::WinHttpOpenRequest(connection, L"GET", argv[2], nullptr, nullptr, nullptr,
                                                        WINHTTP_FLAG_SECURE)
                                 : nullptr;
  HANDLE file = ::CreateFileW(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  bool ok = request && file != INVALID_HANDLE_VALUE && ::WinHttpSendRequest(request, nullptr, 0, nullptr, 0, 0, 0) &&
            ::WinHttpReceiveResponse(request, nullptr);
  unsigned long long bytes = 0;
  std::vector<char> buffer(64 * 1024);
  for (DWORD read = 0; ok; bytes += read) {
    ok = ::WinHttpReadData(request, buffer.data(), static_cast<DWORD>(buffer.size()), &read);
    if (!ok || read == 0) break;
    DWORD written = 0;
    ok = ::WriteFile(file, buffer.data(), read, &written, nullptr) && written == read;
  }
  if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
  for (HINTERNET handle : {request, connection, session})
    if (handle) ::WinHttpCloseHandle(handle);
  ::QueryPerformanceCounter(&end);
  if (!ok) {
    std::fprintf(stderr, "failed: %lu\n", ::GetLastError());
    return 1;
  }
  std::printf("{\"seconds\": %.4f, \"bytes\": %llu}\n",
              static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart), bytes);
  return 0;
}
