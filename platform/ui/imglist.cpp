#include "platform/ui/imglist.h"

#include <algorithm>

#include "platform/rtl/text.h"
#include "platform/ui/controls.h"

namespace vx {

struct TCustomImageList::Image {};

const TClassInfo& TCustomImageList::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TCustomImageList>("TCustomImageList", [](auto& r) {
    RegisterGraphicsTypes();
    r.template Ord<&TCustomImageList::BkColor, &TCustomImageList::SetBkColor>("BkColor", "TColor");
    r.template Ord<&TCustomImageList::Height, &TCustomImageList::SetHeight>("Height", "Integer");
    r.template Bool<&TCustomImageList::Masked, &TCustomImageList::SetMasked>("Masked");
    r.template Ord<&TCustomImageList::Width, &TCustomImageList::SetWidth>("Width", "Integer");
    r.template Event<&TCustomImageList::OnChange>("OnChange");
  });
  return info;
}

const TClassInfo& TImageList::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TImageList>("TImageList", [](auto&) {});
  return info;
}

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}
TCustomImageList::~TCustomImageList() = default;

void TCustomImageList::SetWidth(int width) {
  width = std::max(1, width);
  if (width == width_) return;
  width_ = width;
  Clear();
}

void TCustomImageList::SetHeight(int height) {
  height = std::max(1, height);
  if (height == height_) return;
  height_ = height;
  Clear();
}

void TCustomImageList::Delete(int index) {
  if (index < 0 || index >= Count())
    throw EInvalidOperation(Format("Image list index %d out of bounds", index));
  images_.erase(images_.begin() + index);
  Changed();
}

void TCustomImageList::Clear() {
  if (images_.empty()) return;
  images_.clear();
  Changed();
}

}  // namespace vx
