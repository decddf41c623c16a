// A control whose text comes from the language manager under a key.
#pragma once

#include <string>

#include "ui/Control.h"

struct TextBinding {
  ui::Control control;
  std::string key;
};
