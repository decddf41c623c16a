// Extra request headers: an ordered list of (name, value) pairs, sent in
// list order.
#pragma once

#include <string>
#include <utility>
#include <vector>

using HttpHeader = std::pair<std::wstring, std::wstring>;
using HttpHeaders = std::vector<HttpHeader>;
