#include "platform/ui/buttons.h"

#include <algorithm>

namespace vx {

namespace {

void PublishGlyphButton(auto& r, std::initializer_list<const char*> names) {
  for (const char* name : {"Caption", "Enabled", "Font", "ParentFont", "ParentShowHint", "ShowHint",
                           "Visible", "OnClick"})
    r.Publish(name);
  for (const char* name : names)
    r.Publish(name);
}

}  // namespace

// ---- TButtonGlyph ---------------------------------------------------------------------

TButtonGlyph::TButtonGlyph(TControl& owner) : owner_(owner), glyph_(std::make_unique<TBitmap>()) {
  glyph_->OnChange = Bind<&TButtonGlyph::Changed>(this);
}

TButtonGlyph::~TButtonGlyph() {
  glyph_->OnChange = nullptr;
}

void TButtonGlyph::SetGlyph(TBitmap* glyph) {
  glyph_->Assign(glyph);
}

void TButtonGlyph::Changed(TObject*) {
  int w = glyph_->Width(), h = glyph_->Height();
  if (h > 0 && w % h == 0 && w / h >= 1 && w / h <= 4) num_glyphs_ = w / h;
  owner_.Invalidate();
}

void TButtonGlyph::SetNumGlyphs(int n) {
  num_glyphs_ = std::clamp(n, 1, 4);
  owner_.Invalidate();
}

int TButtonGlyph::ImageWidth() const {
  return glyph_->Width() / num_glyphs_;
}

void TButtonGlyph::Draw(TCanvas& canvas, int x, int y, State state) const {
  if (glyph_->Empty()) return;
  int index = state < num_glyphs_ ? state : 0;
  int w = ImageWidth(), h = glyph_->Height();
  TBitmap image(w, h);
  image.Canvas()->CopyRect({0, 0, w, h}, *glyph_, {index * w, 0, index * w + w, h});
  image.SetTransparentColor(glyph_->TransparentColor());
  image.SetTransparent(true);
  canvas.Draw(x, y, image);
}

namespace {

// Face, picture (left of the caption) and caption, vertically centred.
void PaintGlyphButton(TControl& c, const TButtonGlyph& glyph, TButtonGlyph::State state) {
  TCanvas& canvas = *c.Canvas();
  canvas.Brush.Color = c.Color();
  canvas.FillRect(c.ClientRect());
  int x = 4;
  if (!glyph.Glyph()->Empty()) {
    int gh = glyph.Glyph()->Height();
    glyph.Draw(canvas, x, (c.Height() - gh) / 2, state);
    x += glyph.ImageWidth() + 4;
  }
  if (c.Caption().empty()) return;
  canvas.Brush.Style = bsClear;
  if (!c.Enabled()) canvas.Font()->SetColor(clGrayText);
  canvas.TextOut(x, (c.Height() - canvas.TextHeight(c.Caption())) / 2, c.Caption());
}

}  // namespace

// ---- TBitBtn ----------------------------------------------------------------------------

const TClassInfo& TBitBtn::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TBitBtn>("TBitBtn", [](auto& r) {
    RegisterGraphicsTypes();
    r.template Obj<&TBitBtn::Glyph, &TBitBtn::SetGlyph>("Glyph", "TBitmap");
    r.template Ord<&TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs>("NumGlyphs", "TNumGlyphs");
  });
  return info;
}

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), glyph_(*this) {}

TBitBtn::~TBitBtn() = default;

void TBitBtn::Paint() {
  PaintGlyphButton(*this, glyph_, Enabled() ? TButtonGlyph::Up : TButtonGlyph::Disabled);
}

// ---- TSpeedButton -----------------------------------------------------------------------

const TClassInfo& TSpeedButton::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TSpeedButton>("TSpeedButton", [](auto& r) {
    PublishGlyphButton(r, {"Align", "OnDblClick"});
    r.template Bool<&TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp>("AllowAllUp");
    r.template Bool<&TSpeedButton::Down, &TSpeedButton::SetDown>("Down");
    r.template Bool<&TSpeedButton::Flat, &TSpeedButton::SetFlat>("Flat");
    r.template Obj<&TSpeedButton::Glyph, &TSpeedButton::SetGlyph>("Glyph", "TBitmap");
    r.template Ord<&TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex>("GroupIndex",
                                                                            "Integer");
    r.template Ord<&TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs>("NumGlyphs",
                                                                          "TNumGlyphs");
  });
  return info;
}

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner), glyph_(*this) {
  SetBounds(0, 0, 23, 22);
  SetColor(clBtnFace);
}

TSpeedButton::~TSpeedButton() = default;

std::vector<TSpeedButton*> TSpeedButton::Group() const {
  std::vector<TSpeedButton*> out;
  if (group_index_ == 0 || !Parent()) return out;
  for (TControl* c : Parent()->ControlList())
    if (auto* b = dynamic_cast<TSpeedButton*>(c); b && b != this && b->group_index_ == group_index_)
      out.push_back(b);
  return out;
}

void TSpeedButton::SetGroupIndex(int v) {
  if (v == group_index_) return;
  group_index_ = v;
  if (v == 0) {
    down_ = false;
    return;
  }
  // Joining a group: take its AllowAllUp; a down button releases the others.
  std::vector<TSpeedButton*> group = Group();
  if (!group.empty()) allow_all_up_ = group.front()->allow_all_up_;
  if (down_)
    for (TSpeedButton* b : group)
      b->down_ = false;
}

void TSpeedButton::SetDown(bool v) {
  if (group_index_ == 0) v = false;
  if (v == down_) return;
  if (down_ && !allow_all_up_) return;
  down_ = v;
  if (v)
    for (TSpeedButton* b : Group())
      if (b->down_) {
        b->down_ = false;
        b->Invalidate();
      }
  Invalidate();
}

void TSpeedButton::SetAllowAllUp(bool v) {
  allow_all_up_ = v;
  for (TSpeedButton* b : Group())
    b->allow_all_up_ = v;
}

void TSpeedButton::SetFlat(bool v) {
  flat_ = v;
  Invalidate();
}

void TSpeedButton::Click() {
  if (group_index_ != 0) {
    if (!down_)
      SetDown(true);
    else if (allow_all_up_)
      SetDown(false);
  }
  TGraphicControl::Click();
}

void TSpeedButton::Paint() {
  TButtonGlyph::State state = !Enabled() ? TButtonGlyph::Disabled
                              : down_    ? TButtonGlyph::Exclusive
                                         : TButtonGlyph::Up;
  PaintGlyphButton(*this, glyph_, state);
}

}  // namespace vx
