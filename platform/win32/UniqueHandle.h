// The traits of the Win32 handles for platform::UniqueHandle: kernel
// objects, find and snapshot handles, registry keys, HINTERNETs, GDI
// objects, LocalAlloc memory and COM interface pointers.
#pragma once

#include <windows.h>

#include "platform/UniqueHandle.h"

namespace platform::win32 {

struct KernelHandleTraits {
  using Type = HANDLE;
  static Type Empty() { return nullptr; }
  static void Close(Type handle) { ::CloseHandle(handle); }
};

struct FindHandleTraits {
  using Type = HANDLE;
  static Type Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(Type handle) { ::FindClose(handle); }
};

// CreateToolhelp32Snapshot fails with INVALID_HANDLE_VALUE, not null.
struct SnapshotHandleTraits {
  using Type = HANDLE;
  static Type Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(Type handle) { ::CloseHandle(handle); }
};

struct RegistryKeyTraits {
  using Type = HKEY;
  static Type Empty() { return nullptr; }
  static void Close(Type handle) { ::RegCloseKey(handle); }
};

// HINTERNET of WinHTTP and of WinINet. Closed in Win32Http.cpp and
// Win32Internet.cpp, so that this header needs neither <winhttp.h> nor
// <wininet.h> (the two cannot share a file).
struct WinHttpHandleTraits {
  using Type = void*;
  static Type Empty() { return nullptr; }
  static void Close(Type handle);
};

struct InternetHandleTraits {
  using Type = void*;
  static Type Empty() { return nullptr; }
  static void Close(Type handle);
};

struct GdiObjectTraits {
  using Type = HGDIOBJ;
  static Type Empty() { return nullptr; }
  static void Close(Type handle) { ::DeleteObject(handle); }
};

// Memory the system allocated with LocalAlloc for the caller.
struct LocalMemoryTraits {
  using Type = HLOCAL;
  static Type Empty() { return nullptr; }
  static void Close(Type memory) { ::LocalFree(memory); }
};

// A COM interface pointer, released once.
template <typename Interface>
struct ComInterfaceTraits {
  using Type = Interface*;
  static Type Empty() { return nullptr; }
  static void Close(Type pointer) { pointer->Release(); }
};

using KernelHandle = UniqueHandle<KernelHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
using RegistryKeyHandle = UniqueHandle<RegistryKeyTraits>;
using SnapshotHandle = UniqueHandle<SnapshotHandleTraits>;
using WinHttpHandle = UniqueHandle<WinHttpHandleTraits>;
using InternetHandle = UniqueHandle<InternetHandleTraits>;
using GdiObject = UniqueHandle<GdiObjectTraits>;
using LocalMemory = UniqueHandle<LocalMemoryTraits>;
template <typename Interface>
using ComPtr = UniqueHandle<ComInterfaceTraits<Interface>>;

// The void** out-parameter of CoCreateInstance and QueryInterface.
template <typename Interface>
void** PutInterface(ComPtr<Interface>& pointer) {
  return reinterpret_cast<void**>(pointer.Put());
}

}  // namespace platform::win32
