#pragma once
// Image lists: numbered pictures of one size that menus, tool bars and list
// views refer to by index.
#include <memory>
#include <vector>

#include "platform/ui/graphics.h"

namespace vx {

class TBitmap;
class TCanvas;

class TCustomImageList : public TComponent {
  VX_CLASS(TCustomImageList, TComponent)
  explicit TCustomImageList(TComponent* owner);
  ~TCustomImageList() override;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Changing the size empties the list, as the pictures no longer fit.
  void SetWidth(int width);
  void SetHeight(int height);
  int Count() const { return static_cast<int>(images_.size()); }
  // Colour of the transparent parts; clNone draws nothing there.
  TColor BkColor() const { return bk_color_; }
  void SetBkColor(TColor c) { bk_color_ = c; }
  bool Masked() const { return masked_; }
  void SetMasked(bool v) { masked_ = v; }

  // Adds a picture of the list's size (a wider one is split into as many
  // pictures as fit side by side); the index of the first one added.
  // Pixels set in the mask are transparent. Raises EInvalidOperation for a
  // missing picture or one of another height.
  int Add(const TBitmap* image, const TBitmap* mask = nullptr);
  // Pixels of mask_color are transparent.
  int AddMasked(const TBitmap* image, TColor mask_color);
  // Copies picture index into dest; false for an index out of range.
  bool GetBitmap(int index, TBitmap* dest) const;
  // The transparent colour of picture index (clNone: opaque).
  TColor TransparentColor(int index) const;
  // Draws picture index at (x, y), leaving out its transparent pixels;
  // nothing for an index out of range.
  void Draw(TCanvas& canvas, int x, int y, int index) const;
  void Delete(int index);
  void Clear();

  TNotifyEvent OnChange;

 private:
  struct Image;
  void Changed() { OnChange(this); }
  int width_ = 16;
  int height_ = 16;
  TColor bk_color_ = clNone;
  bool masked_ = true;
  std::vector<std::unique_ptr<Image>> images_;
};

class TImageList : public TCustomImageList {
  VX_CLASS(TImageList, TCustomImageList)
  explicit TImageList(TComponent* owner) : TCustomImageList(owner) {}
};

}  // namespace vx
