// What the user interface needs before the first window and releases after
// the last: common controls (all classes), the rich edit library and GDI+.
// One object lives for the whole run of the program.
#pragma once

#include <memory>

namespace ui {

class Startup {
 public:
  Startup();
  // Shuts GDI+ down: no decoded image may outlive this object.
  ~Startup();
  Startup(const Startup&) = delete;
  Startup& operator=(const Startup&) = delete;

  // False when the rich edit library could not be loaded; the program then
  // shows no window.
  bool RichEditLoaded() const;

  struct Native;

 private:
  std::unique_ptr<Native> native;
};

}  // namespace ui
