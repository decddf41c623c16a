// A font that a dialog gives to its controls (a GDI font on Windows, its
// description natively). Owned by the dialog that uses it.
#pragma once

#include <memory>
#include <string>

namespace ui {

class Control;

// What a font looks like, as LOGFONTW describes it.
struct FontSpec {
  std::wstring face;
  int height = 0;  // lfHeight: negative for a character height, positive for a cell height
  int weight = 400;
  bool operator==(const FontSpec&) const = default;
};

class Font {
 public:
  Font();
  ~Font();
  Font(Font&&) noexcept;
  Font& operator=(Font&&) noexcept;

  // The font the control uses now with another height and weight; an empty
  // font when the control reports none.
  static Font DerivedFrom(const Control& control, int height, int weight);

  bool IsValid() const;
  FontSpec Description() const;

  struct Native;
  Native* GetNative() const { return native.get(); }

 private:
  std::unique_ptr<Native> native;
};

}  // namespace ui
