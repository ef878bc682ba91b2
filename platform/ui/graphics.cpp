#include "platform/ui/graphics.h"

#include <cstdlib>

#include "platform/rtl/text.h"

namespace vx {

namespace {

const TTypeInfo& ColorType() {
  RegisterGraphicsTypes();
  return *FindTypeInfo("TColor");
}

}  // namespace

void RegisterGraphicsTypes() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterIntegerConsts(
      "TColor",
      {{"clBlack", clBlack},
       {"clMaroon", clMaroon},
       {"clGreen", clGreen},
       {"clOlive", clOlive},
       {"clNavy", clNavy},
       {"clPurple", clPurple},
       {"clTeal", clTeal},
       {"clGray", clGray},
       {"clSilver", clSilver},
       {"clRed", clRed},
       {"clLime", clLime},
       {"clYellow", clYellow},
       {"clBlue", clBlue},
       {"clFuchsia", clFuchsia},
       {"clAqua", clAqua},
       {"clWhite", clWhite},
       {"clLtGray", clLtGray},
       {"clDkGray", clDkGray},
       {"clMoneyGreen", clMoneyGreen},
       {"clSkyBlue", clSkyBlue},
       {"clCream", clCream},
       {"clMedGray", clMedGray},
       {"clNone", clNone},
       {"clDefault", clDefault},
       {"clScrollBar", clScrollBar},
       {"clBackground", clBackground},
       {"clActiveCaption", clActiveCaption},
       {"clInactiveCaption", clInactiveCaption},
       {"clMenu", clMenu},
       {"clWindow", clWindow},
       {"clWindowFrame", clWindowFrame},
       {"clMenuText", clMenuText},
       {"clWindowText", clWindowText},
       {"clCaptionText", clCaptionText},
       {"clActiveBorder", clActiveBorder},
       {"clInactiveBorder", clInactiveBorder},
       {"clAppWorkSpace", clAppWorkSpace},
       {"clHighlight", clHighlight},
       {"clHighlightText", clHighlightText},
       {"clBtnFace", clBtnFace},
       {"clBtnShadow", clBtnShadow},
       {"clGrayText", clGrayText},
       {"clBtnText", clBtnText},
       {"clInactiveCaptionText", clInactiveCaptionText},
       {"clBtnHighlight", clBtnHighlight},
       {"cl3DDkShadow", cl3DDkShadow},
       {"cl3DLight", cl3DLight},
       {"clInfoText", clInfoText},
       {"clInfoBk", clInfoBk}});
  RegisterIntegerConsts("TCursor", {{"crDefault", crDefault},
                                    {"crNone", crNone},
                                    {"crArrow", crArrow},
                                    {"crCross", crCross},
                                    {"crIBeam", crIBeam},
                                    {"crSize", crSizeAll},
                                    {"crSizeNESW", crSizeNESW},
                                    {"crSizeNS", crSizeNS},
                                    {"crSizeNWSE", crSizeNWSE},
                                    {"crSizeWE", crSizeWE},
                                    {"crUpArrow", crUpArrow},
                                    {"crHourGlass", crHourGlass},
                                    {"crDrag", crDrag},
                                    {"crNoDrop", crNoDrop},
                                    {"crHSplit", crHSplit},
                                    {"crVSplit", crVSplit},
                                    {"crMultiDrag", crMultiDrag},
                                    {"crSQLWait", crSQLWait},
                                    {"crNo", crNo},
                                    {"crAppStart", crAppStart},
                                    {"crHelp", crHelp},
                                    {"crHandPoint", crHandPoint},
                                    {"crSizeAll", crSizeAll}});
  RegisterIntegerConsts("TFontCharset", {{"ANSI_CHARSET", 0},
                                         {"DEFAULT_CHARSET", 1},
                                         {"SYMBOL_CHARSET", 2},
                                         {"MAC_CHARSET", 77},
                                         {"SHIFTJIS_CHARSET", 128},
                                         {"HANGEUL_CHARSET", 129},
                                         {"JOHAB_CHARSET", 130},
                                         {"GB2312_CHARSET", 134},
                                         {"CHINESEBIG5_CHARSET", 136},
                                         {"GREEK_CHARSET", 161},
                                         {"TURKISH_CHARSET", 162},
                                         {"VIETNAMESE_CHARSET", 163},
                                         {"HEBREW_CHARSET", 177},
                                         {"ARABIC_CHARSET", 178},
                                         {"BALTIC_CHARSET", 186},
                                         {"RUSSIAN_CHARSET", 204},
                                         {"THAI_CHARSET", 222},
                                         {"EASTEUROPE_CHARSET", 238},
                                         {"OEM_CHARSET", 255}});
  RegisterSetType("TFontStyles",
                  RegisterEnumType("TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}));
  RegisterEnumType("TFontPitch", {"fpDefault", "fpVariable", "fpFixed"});
}

bool IdentToColor(std::string_view ident, TColor& color) {
  std::int64_t v = 0;
  if (!IdentToInt(ColorType(), ident, v)) return false;
  color = static_cast<TColor>(v);
  return true;
}

std::string ColorToString(TColor color) {
  std::string ident;
  if (IntToIdent(ColorType(), color, ident)) return ident;
  return Format("$%.8X", static_cast<unsigned>(color));
}

TColor StringToColor(std::string_view text) {
  TColor c = 0;
  if (IdentToColor(Trim(text), c)) return c;
  auto v = TryStrToInt64(text);
  if (!v) throw EConvertError(Format("'%s' is not a valid integer value", std::string(text)));
  return static_cast<TColor>(*v);
}

TColor ColorToRGB(TColor color) {
  static const TColor palette[] = {
      0xC8C8C8, 0x000000, 0x800000, 0x808080, 0xC0C0C0, 0xFFFFFF, 0x000000, 0x000000,
      0x000000, 0xFFFFFF, 0xC0C0C0, 0xC0C0C0, 0x808080, 0x800000, 0xFFFFFF, 0xC0C0C0,
      0x808080, 0x808080, 0x000000, 0xC0C0C0, 0xFFFFFF, 0x000000, 0xC0C0C0, 0x000000,
      0xE1FFFF};
  if (color < 0) {
    unsigned index = static_cast<unsigned>(color) & 0xFF;
    if (index < std::size(palette)) return palette[index];
  }
  return color;
}

// ---- TFont -------------------------------------------------------------------------

const TClassInfo& TFont::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TFont>("TFont", [](auto& r) {
    RegisterGraphicsTypes();
    r.template Ord<&TFont::Charset, &TFont::SetCharset>("Charset", "TFontCharset");
    r.template Ord<&TFont::Color, &TFont::SetColor>("Color", "TColor");
    r.template Ord<&TFont::Height, &TFont::SetHeight>("Height", "Integer");
    r.template Str<&TFont::Name, &TFont::SetName>("Name", "TFontName");
    r.template Ord<&TFont::Pitch, &TFont::SetPitch>("Pitch", "TFontPitch");
    r.template Ord<&TFont::Size, &TFont::SetSize>("Size", "Integer");
    r.template Ord<&TFont::Style, &TFont::SetStyle>("Style", "TFontStyles");
  });
  return info;
}

TFont::TFont() = default;

void TFont::Assign(const TPersistent* source) {
  if (auto* f = dynamic_cast<const TFont*>(source)) {
    if (SameAs(*f)) return;
    name_ = f->name_;
    size_ = f->size_;
    color_ = f->color_;
    charset_ = f->charset_;
    style_ = f->style_;
    pitch_ = f->pitch_;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

bool TFont::SameAs(const TFont& f) const {
  return name_ == f.name_ && size_ == f.size_ && color_ == f.color_ && charset_ == f.charset_ &&
         style_ == f.style_ && pitch_ == f.pitch_;
}

void TFont::Changed() { OnChange(this); }

void TFont::SetName(std::string_view name) {
  if (name.empty() || name == name_) return;
  name_ = std::string(name);
  Changed();
}

void TFont::SetSize(int size) {
  if (size == size_) return;
  size_ = size;
  Changed();
}

int TFont::Height() const { return -PixelHeight(); }

void TFont::SetHeight(int height) {
  // Height is in pixels; negative means character height without leading.
  int px = std::abs(height);
  SetSize((px * 72 + kScreenPixelsPerInch / 2) / kScreenPixelsPerInch);
}

int TFont::PixelHeight() const {
  int s = std::abs(size_);
  return (s * kScreenPixelsPerInch + 36) / 72;
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TFont::SetCharset(TFontCharset charset) {
  if (charset == charset_) return;
  charset_ = charset;
  Changed();
}

void TFont::SetStyle(TFontStyles style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
  if (pitch == pitch_) return;
  pitch_ = pitch;
  Changed();
}

}  // namespace vx
