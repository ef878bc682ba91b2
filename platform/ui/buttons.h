#pragma once
// Buttons with pictures: the bitmap button and the speed button. A glyph is
// a horizontal strip of NumGlyphs equal images: up, disabled, down, and
// stay-down; a state without its own image shows the first.
#include <memory>

#include "platform/ui/stdctrls.h"

namespace vx {

// The picture of a button and the number of images in it. Assigning a
// picture whose width is a whole multiple (1 to 4) of its height sets the
// number of images to that multiple.
class TButtonGlyph {
 public:
  explicit TButtonGlyph(TControl& owner);
  ~TButtonGlyph();
  TBitmap* Glyph() const { return glyph_.get(); }
  void SetGlyph(TBitmap* glyph);
  // Kept within 1 and 4.
  int NumGlyphs() const { return num_glyphs_; }
  void SetNumGlyphs(int n);
  int ImageWidth() const;
  // The image shown in a state.
  enum State { Up = 0, Disabled = 1, Down = 2, Exclusive = 3 };
  // Draws the state's image transparently (the glyph's transparent colour,
  // bottom-left pixel when not fixed) at (x, y).
  void Draw(TCanvas& canvas, int x, int y, State state) const;

 private:
  void Changed(TObject*);
  TControl& owner_;
  std::unique_ptr<TBitmap> glyph_;
  int num_glyphs_ = 1;
};

class TBitBtn : public TButton {
  VX_CLASS(TBitBtn, TButton)
  explicit TBitBtn(TComponent* owner);
  ~TBitBtn() override;
  TBitmap* Glyph() const { return glyph_.Glyph(); }
  void SetGlyph(TBitmap* glyph) { glyph_.SetGlyph(glyph); }
  int NumGlyphs() const { return glyph_.NumGlyphs(); }
  void SetNumGlyphs(int n) { glyph_.SetNumGlyphs(n); }

 protected:
  void Paint() override;

 private:
  TButtonGlyph glyph_;
};

// A button without a window of its own, never focused. With a GroupIndex
// the buttons of that group under one parent stay down one at a time; with
// AllowAllUp the down one may be released too.
class TSpeedButton : public TGraphicControl {
  VX_CLASS(TSpeedButton, TGraphicControl)
  explicit TSpeedButton(TComponent* owner);
  ~TSpeedButton() override;

  int GroupIndex() const { return group_index_; }
  void SetGroupIndex(int v);
  // A button outside any group never stays down; the down button of a group
  // that does not allow all up cannot be released by code either.
  bool Down() const { return down_; }
  void SetDown(bool v);
  // Shared by the buttons of a group.
  bool AllowAllUp() const { return allow_all_up_; }
  void SetAllowAllUp(bool v);
  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  TBitmap* Glyph() const { return glyph_.Glyph(); }
  void SetGlyph(TBitmap* glyph) { glyph_.SetGlyph(glyph); }
  int NumGlyphs() const { return glyph_.NumGlyphs(); }
  void SetNumGlyphs(int n) { glyph_.SetNumGlyphs(n); }
  // The user's click: a grouped button goes down (or up when it was down
  // and the group allows all up), then the click event runs.
  void Click() override;

 protected:
  void Paint() override;

 private:
  std::vector<TSpeedButton*> Group() const;
  int group_index_ = 0;
  bool down_ = false;
  bool allow_all_up_ = false;
  bool flat_ = false;
  TButtonGlyph glyph_;
};

}  // namespace vx
