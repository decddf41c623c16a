// An image control: shows a decoded picture stretched to its rectangle (no
// aspect-ratio correction); without a picture it paints nothing.
#pragma once

#include <memory>
#include <string>

#include "platform/Resources.h"
#include "ui/Control.h"
#include "ui/Image.h"

class CStaticFromImage {
 public:
  // Ties the object to its image static (once the dialog has its window).
  void Attach(ui::Control control);
  // Shows the picture (null for none) and repaints the whole control.
  void SetImage(std::shared_ptr<ui::Image> picture);
  // Shows the PNG resource; nothing when it is missing or does not decode.
  void LoadFromResource(platform::Resources& resources, int id, const std::wstring& type);

  std::shared_ptr<ui::Image> image;

 private:
  ui::Control control;
};

// The PNG resource `id` of `type` as a picture (ui::DecodeBuiltInImage), or
// null when it is missing or empty.
std::shared_ptr<ui::Image> LoadPngResource(platform::Resources& resources, int id, const std::wstring& type);
