// libcurl's handles as platform::UniqueHandle: an easy transfer, a multi
// handle and a string list, each freed once by its owner.
#pragma once

#include <curl/curl.h>

#include <string>

#include "platform/UniqueHandle.h"

namespace platform::posix {

struct CurlEasyTraits {
  using Type = CURL*;
  static Type Empty() { return nullptr; }
  static void Close(Type handle) { curl_easy_cleanup(handle); }
};

struct CurlMultiTraits {
  using Type = CURLM*;
  static Type Empty() { return nullptr; }
  static void Close(Type handle) { curl_multi_cleanup(handle); }
};

struct CurlListTraits {
  using Type = curl_slist*;
  static Type Empty() { return nullptr; }
  static void Close(Type list) { curl_slist_free_all(list); }
};

using CurlEasy = UniqueHandle<CurlEasyTraits>;
using CurlMulti = UniqueHandle<CurlMultiTraits>;
using CurlList = UniqueHandle<CurlListTraits>;

// Appends a copy of `text`; without memory for it the list stays as it was.
inline void AppendToList(CurlList& list, const std::string& text) {
  if (curl_slist* grown = curl_slist_append(list.Get(), text.c_str())) {
    list.Release();  // the same list, grown, or a new one when it was empty
    list.Reset(grown);
  }
}

}  // namespace platform::posix
