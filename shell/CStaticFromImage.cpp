#include "shell/CStaticFromImage.h"

void CStaticFromImage::Attach(ui::Control attached) {
  control = attached;
  control.SetImage(image);
}

void CStaticFromImage::SetImage(std::shared_ptr<ui::Image> picture) {
  image = std::move(picture);
  control.SetImage(image);
}

void CStaticFromImage::LoadFromResource(platform::Resources& resources, int id, const std::wstring& type) {
  SetImage(LoadPngResource(resources, id, type));
}

std::shared_ptr<ui::Image> LoadPngResource(platform::Resources& resources, int id, const std::wstring& type) {
  const platform::ResourceData data = resources.Read(id, type);
  if (data.status != platform::ResourceStatus::Found || data.bytes.empty()) return nullptr;
  return ui::DecodeBuiltInImage(std::vector<std::uint8_t>(data.bytes.begin(), data.bytes.end()));
}
