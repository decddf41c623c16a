// Rectangles of windows and controls.
#pragma once

namespace ui {

// Pixels, right and bottom exclusive, as a Win32 RECT.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

// A control's place in a dialog template: x, y, width and height in dialog
// units (a quarter of the font's average character width, an eighth of its
// height).
struct DialogUnits {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  bool operator==(const DialogUnits&) const = default;
};

}  // namespace ui
