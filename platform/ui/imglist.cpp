#include "platform/ui/imglist.h"

#include <algorithm>

#include "platform/rtl/text.h"
#include "platform/ui/controls.h"

namespace vx {

struct TCustomImageList::Image {
  TBitmap Picture;
  TColor Transparent = clNone;
};

namespace {

// A colour the picture does not use, to stand for its masked pixels.
TColor UnusedColor(const TBitmap& picture) {
  for (TColor c : {clFuchsia, clLime, clAqua, clYellow, static_cast<TColor>(0x010203)}) {
    const auto& px = picture.Pixels();
    if (std::find(px.begin(), px.end(), c) == px.end()) return c;
  }
  return clFuchsia;
}

}  // namespace

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

int TCustomImageList::Add(const TBitmap* image, const TBitmap* mask) {
  if (!image || image->Empty()) throw EInvalidOperation("Invalid image");
  if (image->Height() != height_ || image->Width() < width_)
    throw EInvalidOperation(Format("Invalid image size: %dx%d for a list of %dx%d", image->Width(),
                                   image->Height(), width_, height_));
  if (mask && (mask->Width() != image->Width() || mask->Height() != image->Height()))
    throw EInvalidOperation("Invalid mask size");
  int first = Count();
  for (int left = 0; left + width_ <= image->Width(); left += width_) {
    auto item = std::make_unique<Image>();
    item->Picture.SetSize(width_, height_);
    bool masked_any = false;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        item->Picture.SetPixel(x, y, image->Pixel(left + x, y));
        masked_any = masked_any || (mask && mask->Pixel(left + x, y) != clBlack);
      }
    if (masked_any) {
      item->Transparent = UnusedColor(item->Picture);
      for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
          if (mask->Pixel(left + x, y) != clBlack) item->Picture.SetPixel(x, y, item->Transparent);
    }
    images_.push_back(std::move(item));
  }
  Changed();
  return first;
}

int TCustomImageList::AddMasked(const TBitmap* image, TColor mask_color) {
  int first = Add(image, nullptr);
  for (int i = first; i < Count(); ++i)
    images_[static_cast<std::size_t>(i)]->Transparent = ColorToRGB(mask_color);
  return first;
}

bool TCustomImageList::GetBitmap(int index, TBitmap* dest) const {
  if (!dest || index < 0 || index >= Count()) return false;
  const Image& item = *images_[static_cast<std::size_t>(index)];
  dest->Assign(&item.Picture);
  if (item.Transparent != clNone) {
    dest->SetTransparentColor(item.Transparent);
    dest->SetTransparent(true);
  }
  return true;
}

TColor TCustomImageList::TransparentColor(int index) const {
  if (index < 0 || index >= Count()) return clNone;
  return images_[static_cast<std::size_t>(index)]->Transparent;
}

void TCustomImageList::Draw(TCanvas& canvas, int x, int y, int index) const {
  TBitmap picture;
  if (GetBitmap(index, &picture)) canvas.Draw(x, y, picture);
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
