// The program's string resources: one table, turned into the STRINGTABLE of
// the Windows executable and read directly by the headless backend.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ui {

struct StringResource {
  int id = 0;
  std::wstring_view text;
};

const std::vector<StringResource>& StringResources();

// The string resource with this id (LoadStringW); empty when there is none.
std::wstring LoadResourceString(int id);

}  // namespace ui
