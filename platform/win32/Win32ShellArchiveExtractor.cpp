#include "platform/win32/Win32ShellArchiveExtractor.h"

#include <windows.h>
#include <oleauto.h>
#include <shldisp.h>

#include "platform/win32/UniqueHandle.h"

namespace platform::win32 {
namespace {

// {13709620-C279-11CE-A49E-444553540000} and {D8F015C0-C278-11CE-A49E-444553540000}.
constexpr CLSID kShellApplication = {0x13709620, 0xC279, 0x11CE, {0xA4, 0x9E, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr IID kShellDispatch = {0xD8F015C0, 0xC278, 0x11CE, {0xA4, 0x9E, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI.
constexpr long kCopyOptions = 0x614;

class ComApartment {
 public:
  ComApartment() : initialized(SUCCEEDED(::CoInitialize(nullptr))) {}
  ~ComApartment() {
    if (initialized) ::CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialized;
};

// A VT_BSTR variant that owns its string.
class BstrVariant {
 public:
  explicit BstrVariant(const std::wstring& text) {
    ::VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  }
  ~BstrVariant() { ::VariantClear(&value); }
  BstrVariant(const BstrVariant&) = delete;
  BstrVariant& operator=(const BstrVariant&) = delete;
  VARIANT& Get() { return value; }

 private:
  VARIANT value;
};

}  // namespace

ExtractOutcome Win32ShellArchiveExtractor::ExtractZip(const std::wstring& archive, const std::wstring& destination) {
  // The interfaces are released before the apartment ends: declared after it.
  ComApartment apartment;
  ComPtr<IShellDispatch> shell;
  if (FAILED(::CoCreateInstance(kShellApplication, nullptr, CLSCTX_INPROC_SERVER, kShellDispatch, PutInterface(shell))))
    return ExtractOutcome::Unavailable;

  BstrVariant archiveName(archive);
  BstrVariant destinationName(destination);
  ComPtr<Folder> source;
  ComPtr<Folder> target;
  ComPtr<FolderItems> items;
  if (FAILED(shell->NameSpace(archiveName.Get(), source.Put())) || !source) return ExtractOutcome::Unavailable;
  if (FAILED(shell->NameSpace(destinationName.Get(), target.Put())) || !target) return ExtractOutcome::Unavailable;
  if (FAILED(source->Items(items.Put())) || !items) return ExtractOutcome::Unavailable;

  long count = 0;
  items->get_Count(&count);
  if (count < 1) return ExtractOutcome::NoItems;

  ComPtr<IDispatch> itemsDispatch;
  if (FAILED(items->QueryInterface(IID_IDispatch, PutInterface(itemsDispatch)))) return ExtractOutcome::CopyFailed;
  VARIANT what;
  ::VariantInit(&what);
  what.vt = VT_DISPATCH;
  what.pdispVal = itemsDispatch.Get();
  VARIANT options;
  ::VariantInit(&options);
  options.vt = VT_I4;
  options.lVal = kCopyOptions;
  return target->CopyHere(what, options) == S_OK ? ExtractOutcome::Copied : ExtractOutcome::CopyFailed;
}

}  // namespace platform::win32
