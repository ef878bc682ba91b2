#include "framework/vxform.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "controls/selectpnl.h"
#include "controls/vrxedit.h"
#include "lib/edition.h"
#include "lib/props.h"
#include "platform/ui/buttons.h"

namespace vx {

const TClassInfo& TVXForm::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TVXForm>("TVXForm", [](auto&) {});
  return info;
}

TVXForm::TVXForm(TComponent* owner) : TForm(owner) {
  SetKeyPreview(true);
  SetPosition(poScreenCenter);
  SetShowHint(true);
  Font()->SetName("宋体");
  Font()->SetHeight(-13);
  SetColor(clBtnFace);
  vx_converter_ = new TCodeConverter(this, dtClient);
  vx_converter_->SetName("VxConverter");
  lang_controller_ = new TVxLangController(this);
  lang_controller_->SetName("LangController");
}

TVXForm::~TVXForm() = default;

void TVXForm::DoCreate() {
  texts_converted_ = false;
  translate_on_show_ = true;
  for (int i = 0; i < ComponentCount(); ++i)
    PrepareComponent(Components(i));
  TForm::DoCreate();
}

// A language file that cannot be read is reported like any error of the
// message loop; the form still shows, in its authored texts.
void TVXForm::DoShow() {
  if (translate_on_show_) Application()->Guard([this] { ApplyLanguage(); });
  TForm::DoShow();
}

namespace {

// A button whose glyph holds exactly one picture gets its disabled look.
template <class Button>
void AddDisabledPicture(Button* button) {
  if (!button || button->NumGlyphs() != 1 || button->Glyph()->Empty()) return;
  TVXForm::MakeDisabledGlyph(button->Glyph());
  button->SetNumGlyphs(2);
}

}  // namespace

void TVXForm::PrepareComponent(TComponent* component) {
  // No input method is forced on any control.
  if (HasProperty(component, "ImeName")) SetStrProperty(component, "ImeName", "");
  // The English interface shows its texts in a face with the Chinese
  // character set, so that authored texts stay readable.
  if (InterfaceCodePage() == "437" && HasProperty(component, "Font")) {
    TrySetPropertyByPath(component, "Font.Charset", Variant(std::int32_t{GB2312_CHARSET}));
    TrySetPropertyByPath(component, "Font.Name", Variant("Tahoma"));
  }
  if (IsEarlierEdition()) return;
  // The button combo of the extra-controls package is not part of this
  // framework; its inner button would be treated like the edit's.
  if (auto* edit = dynamic_cast<TVxBtnDBEdit*>(component))
    AddDisabledPicture(edit->Button());
  else if (auto* speed = dynamic_cast<TSpeedButton*>(component))
    AddDisabledPicture(speed);
  else if (auto* bit = dynamic_cast<TBitBtn*>(component))
    AddDisabledPicture(bit);
  else if (auto* panel = dynamic_cast<TSelectPanel*>(component)) {
    AddDisabledPicture(panel->ListF2Button());
    AddDisabledPicture(panel->DeleteButton());
    AddDisabledPicture(panel->ClearButton());
  }
}

void TVXForm::ConvertFormTexts() {
  if (texts_converted_) return;
  vx_converter_->ConvertForm(this);
  texts_converted_ = true;
}

void TVXForm::ApplyLanguage() {
  // The chain from the form's own class up to (not including) TForm, applied
  // top-down so that a descendant's file has the last word.
  std::vector<const TClassInfo*> chain;
  for (const TClassInfo* info = &ClassInfo(); info && info != &TForm::StaticClassInfo();
       info = info->Parent)
    chain.push_back(info);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    lang_controller_->SetLangPackageName((*it)->Name);
    const std::string& file = lang_controller_->FileName();
    std::error_code ec;
    if (file.empty() || !std::filesystem::is_regular_file(file, ec)) continue;
    lang_controller_->SetActive(true);
    lang_controller_->GetReader()->ReadComponent(this);
  }
}

std::string TVXForm::GetLangText(std::string_view class_name, std::string_view key,
                                 bool convert_default, std::string_view default_text) const {
  std::string fallback(default_text);
  if (convert_default) fallback = vx_converter_->ToUI(Variant(fallback)).ToText();
  return GetLangMessage(lang_controller_->DesignType(), class_name, key, fallback);
}

TModalResult TVXForm::FormMessageBox(std::string_view text, TMsgDlgType dialog_type,
                                     TMsgDlgButtons buttons) {
  return vx_converter_->ShowMessageDialog(text, dialog_type, buttons);
}

void TVXForm::MakeDisabledGlyph(TBitmap* glyph) {
  if (!glyph || glyph->Empty()) return;
  glyph->SetPixelFormat(pf24bit);
  const int w = glyph->Width(), h = glyph->Height();
  const TColor t = ColorToRGB(glyph->TransparentColor());
  auto at = [&](int x, int y) {
    return glyph->Pixel(std::clamp(x, 0, w - 1), std::clamp(y, 0, h - 1));
  };

  // The outline: dark pixels, and light ones on the edge of the picture.
  std::vector<bool> mask(static_cast<std::size_t>(w) * h, false);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      TColor c = at(x, y);
      if (c == t) continue;
      bool dark = GetRValue(c) + GetGValue(c) + GetBValue(c) < 384;
      bool edge = at(x, y - 1) == t || at(x, y + 1) == t || at(x - 1, y) == t || at(x + 1, y) == t;
      mask[static_cast<std::size_t>(y) * w + x] = dark || edge;
    }

  TBitmap disabled(w, h, ColorToRGB(clBtnFace));
  auto paint = [&](int dx, int dy, TColor color) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (mask[static_cast<std::size_t>(y) * w + x] && x + dx < w && y + dy < h)
          disabled.SetPixel(x + dx, y + dy, color);
  };
  paint(1, 1, ColorToRGB(clBtnHighlight));
  paint(0, 0, ColorToRGB(clBtnShadow));

  TBitmap result;
  result.Assign(glyph);
  result.SetSize(2 * w, h);
  result.Canvas()->Brush.Color = t;
  result.Canvas()->FillRect({0, 0, 2 * w, h});
  result.Canvas()->CopyRect({0, 0, w, h}, *glyph, {0, 0, w, h});
  result.Canvas()->CopyRect({w, 0, 2 * w, h}, disabled, {0, 0, w, h});
  glyph->Assign(&result);
}

}  // namespace vx
