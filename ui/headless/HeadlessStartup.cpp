// Natively there is nothing to start: every control class is built in.
#include "ui/Startup.h"

namespace ui {

struct Startup::Native {};

Startup::Startup() : native(std::make_unique<Native>()) {}
Startup::~Startup() = default;
bool Startup::RichEditLoaded() const { return true; }

}  // namespace ui
