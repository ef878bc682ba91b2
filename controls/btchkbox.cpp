#include "controls/btchkbox.h"

#include <algorithm>

#include "controls/resources.h"
#include "platform/ui/menus.h"

namespace vx {

bool CanTakeFocus(const TWinControl* control) {
  if (!control || !control->CanFocus()) return false;
  TCustomForm* form = GetParentForm(control);
  return form && form->Visible() && form->Enabled();
}

bool IsAccel(TKeyChar ch, std::string_view caption) {
  char32_t hot = GetHotkey(caption);
  if (!hot) return false;
  auto upper = [](char32_t c) { return c >= U'a' && c <= U'z' ? c - U'a' + U'A' : c; };
  return upper(ch) == upper(hot);
}

struct TBitCheckBox::Picture {
  TBitmap bitmap;
  int num_glyphs = 1;
};

namespace {

const char* const kDefaultNames[] = {"UNCHECKED", "CHECKED", "GRAYED"};

int Index(TCheckBoxState s) {
  return static_cast<int>(s);
}

}  // namespace

const TClassInfo& TBitCheckBox::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TBitCheckBox>("TBitCheckBox", [](auto& r) {
    (void)TCheckBox::StaticClassInfo();  // its state type
    RegisterEnumType("TLeftRight", {"taLeftJustify", "taRightJustify"});
    for (const char* name :
         {"Caption", "Color", "Enabled", "Font", "Hint", "ParentColor", "ParentFont",
          "ParentShowHint", "ShowHint", "TabOrder", "TabStop", "Visible", "OnClick", "OnEnter",
          "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp"})
      r.Publish(name);
    r.template Ord<&TBitCheckBox::Alignment, &TBitCheckBox::SetAlignment>("Alignment",
                                                                          "TLeftRight");
    r.template Bool<&TBitCheckBox::AllowGrayed, &TBitCheckBox::SetAllowGrayed>("AllowGrayed");
    r.template Bool<&TBitCheckBox::Checked, &TBitCheckBox::SetChecked>("Checked");
    r.template Ord<&TBitCheckBox::State, &TBitCheckBox::SetState>("State", "TCheckBoxState");
    r.template Bool<&TBitCheckBox::Ctl3D, &TBitCheckBox::SetCtl3D>("Ctl3D");
    r.template Obj<&TBitCheckBox::CheckedGlyph, &TBitCheckBox::SetCheckedGlyph>("CheckedGlyph",
                                                                                "TBitmap");
    r.template Obj<&TBitCheckBox::UncheckedGlyph, &TBitCheckBox::SetUncheckedGlyph>(
        "UncheckedGlyph", "TBitmap");
    r.template Obj<&TBitCheckBox::GrayedGlyph, &TBitCheckBox::SetGrayedGlyph>("GrayedGlyph",
                                                                              "TBitmap");
    r.template Ord<&TBitCheckBox::CheckedNumGlyphs, &TBitCheckBox::SetCheckedNumGlyphs>(
        "CheckedNumGlyphs", "TNumGlyphs");
    r.template Ord<&TBitCheckBox::UncheckedNumGlyphs, &TBitCheckBox::SetUncheckedNumGlyphs>(
        "UncheckedNumGlyphs", "TNumGlyphs");
    r.template Ord<&TBitCheckBox::GrayedNumGlyphs, &TBitCheckBox::SetGrayedNumGlyphs>(
        "GrayedNumGlyphs", "TNumGlyphs");
    r.template Message<&TBitCheckBox::CMDialogChar>(CM_DIALOGCHAR);
  });
  return info;
}

TBitCheckBox::TBitCheckBox(TComponent* owner) : TWinControl(owner) {
  for (auto& p : pictures_)
    p = std::make_unique<Picture>();
  for (TCheckBoxState s : {cbUnchecked, cbChecked, cbGrayed})
    LoadDefault(s);
  SetBounds(0, 0, 97, 17);
  SetColor(clBtnFace);
  SetTabStop(true);
}

TBitCheckBox::~TBitCheckBox() = default;

TBitmap* TBitCheckBox::glyph(TCheckBoxState s) const {
  return &pictures_[Index(s)]->bitmap;
}

int TBitCheckBox::num(TCheckBoxState s) const {
  return pictures_[Index(s)]->num_glyphs;
}

void TBitCheckBox::LoadDefault(TCheckBoxState s) {
  Picture& p = *pictures_[Index(s)];
  resources::LoadResourceBitmap(kDefaultNames[Index(s)], p.bitmap);
  p.num_glyphs = 1;
}

void TBitCheckBox::SetGlyph(TCheckBoxState s, TBitmap* b) {
  Picture& p = *pictures_[Index(s)];
  if (!b || b->Empty()) {
    LoadDefault(s);
  } else {
    p.bitmap.Assign(b);
    int w = b->Width(), h = b->Height();
    if (w % h == 0) p.num_glyphs = std::clamp(w / h, 1, 2);
  }
  Invalidate();
}

void TBitCheckBox::SetNum(TCheckBoxState s, int n) {
  pictures_[Index(s)]->num_glyphs = std::clamp(n, 1, 2);
  Invalidate();
}

void TBitCheckBox::SetAlignment(TAlignment a) {
  alignment_ = a == taLeftJustify ? taLeftJustify : taRightJustify;
  Invalidate();
}

void TBitCheckBox::SetAllowGrayed(bool v) {
  allow_grayed_ = v;
}

void TBitCheckBox::SetState(TCheckBoxState s) {
  if (s == state_) return;
  state_ = s;
  Invalidate();
}

void TBitCheckBox::SetCtl3D(bool v) {
  ctl3d_ = v;
  Invalidate();
}

void TBitCheckBox::Toggle() {
  switch (state_) {
    case cbUnchecked:
      SetState(allow_grayed_ ? cbGrayed : cbChecked);
      break;
    case cbChecked:
      SetState(cbUnchecked);
      break;
    case cbGrayed:
      SetState(cbChecked);
      break;
  }
}

void TBitCheckBox::Click() {
  Toggle();
  TWinControl::Click();
  if (CanTakeFocus(this) && !Focused()) SetFocus();
}

void TBitCheckBox::DefaultKeyPress(TKeyChar& key) {
  if (key == ' ') Click();
}

void TBitCheckBox::EnabledChanged() {
  TWinControl::EnabledChanged();
  Invalidate();
}

void TBitCheckBox::DoEnter() {
  Invalidate();
  TWinControl::DoEnter();
}

void TBitCheckBox::DoExit() {
  Invalidate();
  TWinControl::DoExit();
}

void TBitCheckBox::CMDialogChar(TMessage& msg) {
  if (!IsAccel(static_cast<TKeyChar>(msg.WParam), Caption()) || !CanTakeFocus(this)) return;
  SetFocus();
  if (Focused()) Toggle();
  msg.Result = 1;
}

void TBitCheckBox::PaintTo(TCanvas& canvas) {
  canvas.Font()->Assign(Font());
  canvas.Brush = {Color(), bsSolid};
  canvas.FillRect(ClientRect());

  const Picture& pic = *pictures_[Index(state_)];
  const TBitmap& strip = pic.bitmap;
  int image_w = strip.Width() / pic.num_glyphs, image_h = strip.Height();
  if (!strip.Empty()) {
    int index = !Enabled() && pic.num_glyphs == 2 ? 1 : 0;
    TBitmap image(image_w, image_h);
    image.Canvas()->CopyRect({0, 0, image_w, image_h}, strip,
                             {index * image_w, 0, index * image_w + image_w, image_h});
    image.SetTransparentColor(strip.TransparentColor());
    image.SetTransparent(true);
    int x = alignment_ == taRightJustify ? 0 : ClientWidth() - image_w;
    canvas.Draw(x, (ClientHeight() - image_h) / 2, image);
  }

  std::string text = StripHotkey(Caption());
  TSize extent = canvas.TextExtent(text);
  int x = alignment_ == taRightJustify ? image_w + 4 : 1;
  int right = alignment_ == taRightJustify ? ClientWidth() : ClientWidth() - image_w;
  // The text line: from 2 above the centred text to 2 below it.
  int top = (ClientHeight() - extent.cy) / 2 - 2;
  TRect line{x, top, right, top + extent.cy + 4};
  int y = line.Top + (line.Height() - extent.cy) / 2;
  canvas.Brush.Style = bsClear;
  if (Enabled()) {
    canvas.TextRect(line, x, y, text);
  } else {
    if (ctl3d_) {
      canvas.Font()->SetColor(clBtnHighlight);
      canvas.TextRect({line.Left + 1, line.Top + 1, line.Right + 1, line.Bottom + 1}, x + 1, y + 1,
                      text);
    }
    canvas.Font()->SetColor(clGrayText);
    canvas.TextRect(line, x, y, text);
  }
  if (Focused() && !text.empty()) {
    TRect focus{std::max(0, x - 1), std::max(0, y - 1), std::min(ClientWidth(), x + extent.cx + 1),
                std::min(ClientHeight(), y + extent.cy + 1)};
    canvas.DrawFocusRect(focus);
  }
}

}  // namespace vx
