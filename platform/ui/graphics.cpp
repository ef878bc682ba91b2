#include "platform/ui/graphics.h"

#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/rtl/text.h"
#include "platform/ui/widgetset.h"

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
  RegisterIntegerConsts("TColor", {{"clBlack", clBlack},
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
                                   {"clInfoBk", clInfoBk},
                                   {"clGradientActiveCaption", clGradientActiveCaption},
                                   {"clGradientInactiveCaption", clGradientInactiveCaption}});
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
  RegisterSetType("TFontStyles", RegisterEnumType("TFontStyle", {"fsBold", "fsItalic",
                                                                 "fsUnderline", "fsStrikeOut"}));
  RegisterEnumType("TFontPitch", {"fpDefault", "fpVariable", "fpFixed"});
  RegisterEnumType("TPixelFormat", {"pfDevice", "pf1bit", "pf4bit", "pf8bit", "pf15bit", "pf16bit",
                                    "pf24bit", "pf32bit"});
  RegisterEnumType("TTransparentMode", {"tmAuto", "tmFixed"});
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
  static const TColor palette[] = {0xC8C8C8, 0x000000, 0x800000, 0x808080, 0xC0C0C0, 0xFFFFFF,
                                   0x000000, 0x000000, 0x000000, 0xFFFFFF, 0xC0C0C0, 0xC0C0C0,
                                   0x808080, 0x800000, 0xFFFFFF, 0xC0C0C0, 0x808080, 0x808080,
                                   0x000000, 0xC0C0C0, 0xFFFFFF, 0x000000, 0xC0C0C0, 0x000000,
                                   0xE1FFFF, 0x000000, 0x000000, 0xF0CAA6, 0xC0C0C0};
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
    height_ = f->height_;
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
  return name_ == f.name_ && height_ == f.height_ && color_ == f.color_ && charset_ == f.charset_ &&
         style_ == f.style_ && pitch_ == f.pitch_;
}

void TFont::Changed() {
  OnChange(this);
}

void TFont::SetName(std::string_view name) {
  if (name.empty() || name == name_) return;
  name_ = std::string(name);
  Changed();
}

namespace {
// a * b / c rounded half away from zero, as font scaling does it.
int MulDiv(int a, int b, int c) {
  long long p = static_cast<long long>(a) * b;
  long long q = (std::llabs(p) + c / 2) / c;
  return static_cast<int>(p < 0 ? -q : q);
}
}  // namespace

int TFont::Size() const {
  return -MulDiv(height_, 72, kScreenPixelsPerInch);
}

void TFont::SetSize(int size) {
  SetHeight(-MulDiv(size, kScreenPixelsPerInch, 72));
}

void TFont::SetHeight(int height) {
  if (height == height_) return;
  height_ = height;
  Changed();
}

int TFont::PixelHeight() const {
  return std::abs(height_);
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

// ---- TCanvas -------------------------------------------------------------------------

namespace {

TCanvasOp Op(TCanvasOp::Kind kind, const TRect& rect, TColor color) {
  TCanvasOp op;
  op.Op = kind;
  op.Rect = rect;
  op.Color = color;
  return op;
}

TRect Normalized(const TRect& r) {
  return {std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
          std::max(r.Top, r.Bottom)};
}

}  // namespace

void TCanvas::FillRect(const TRect& rect) {
  TRect r = Normalized(rect);
  Record(Op(TCanvasOp::coFillRect, r, Brush.Color));
  if (!target_ || Brush.Style == bsClear) return;
  TColor c = ColorToRGB(Brush.Color);
  // Only the part inside the picture is touched.
  int bottom = std::min(r.Bottom, target_->Height()), right = std::min(r.Right, target_->Width());
  for (int y = std::max(r.Top, 0); y < bottom; ++y)
    for (int x = std::max(r.Left, 0); x < right; ++x)
      target_->SetPixel(x, y, c);
}

void TCanvas::FrameRect(const TRect& rect) {
  TRect r = Normalized(rect);
  Record(Op(TCanvasOp::coFrameRect, r, Brush.Color));
  if (!target_ || r.Width() == 0 || r.Height() == 0) return;
  TColor c = ColorToRGB(Brush.Color);
  for (int x = r.Left; x < r.Right; ++x) {
    target_->SetPixel(x, r.Top, c);
    target_->SetPixel(x, r.Bottom - 1, c);
  }
  for (int y = r.Top; y < r.Bottom; ++y) {
    target_->SetPixel(r.Left, y, c);
    target_->SetPixel(r.Right - 1, y, c);
  }
}

void TCanvas::DrawFocusRect(const TRect& rect) {
  Record(Op(TCanvasOp::coFocusRect, Normalized(rect), Pen.Color));
}

void TCanvas::LineTo(int x, int y) {
  TRect r{pen_pos_.X, pen_pos_.Y, x, y};
  Record(Op(TCanvasOp::coLine, r, Pen.Color));
  if (target_) {
    // Horizontal and vertical lines are all the controls draw; others are
    // stepped along the longer axis. The end point is not drawn.
    int dx = x - pen_pos_.X, dy = y - pen_pos_.Y;
    int steps = std::max(std::abs(dx), std::abs(dy));
    TColor c = ColorToRGB(Pen.Color);
    for (int i = 0; i < steps; ++i)
      target_->SetPixel(pen_pos_.X + MulDiv(dx, i, steps), pen_pos_.Y + MulDiv(dy, i, steps), c);
  }
  pen_pos_ = {x, y};
}

TSize TCanvas::TextExtent(std::string_view text) {
  return WidgetSet().TextExtent(font_, text);
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
  TSize e = TextExtent(text);
  TRect r{x, y, x + e.cx, y + e.cy};
  if (Brush.Style != bsClear) FillRect(r);
  TCanvasOp op = Op(TCanvasOp::coText, r, font_.Color());
  op.Text = std::string(text);
  op.Bold = font_.Style().Contains(fsBold);
  Record(std::move(op));
  pen_pos_ = {x + e.cx, y};
}

void TCanvas::TextRect(const TRect& rect, int x, int y, std::string_view text) {
  TSize e = TextExtent(text);
  TRect r{std::max(x, rect.Left), std::max(y, rect.Top), std::min(x + e.cx, rect.Right),
          std::min(y + e.cy, rect.Bottom)};
  if (Brush.Style != bsClear) FillRect(rect);
  TCanvasOp op = Op(TCanvasOp::coText, r, font_.Color());
  op.Text = std::string(text);
  op.Bold = font_.Style().Contains(fsBold);
  Record(std::move(op));
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap) {
  TCanvasOp op = Op(TCanvasOp::coDraw, {x, y, x + bitmap.Width(), y + bitmap.Height()}, 0);
  op.Transparent = bitmap.Transparent();
  op.TransparentColor = bitmap.Transparent() ? bitmap.TransparentColor() : clNone;
  Record(std::move(op));
  if (!target_ || target_ == &bitmap) return;
  TColor skip = bitmap.Transparent() ? ColorToRGB(bitmap.TransparentColor()) : clNone;
  for (int sy = 0; sy < bitmap.Height(); ++sy)
    for (int sx = 0; sx < bitmap.Width(); ++sx) {
      TColor c = bitmap.pixels_[static_cast<std::size_t>(sy) * bitmap.width_ + sx];
      if (c != skip) target_->SetPixel(x + sx, y + sy, c);
    }
}

void TCanvas::CopyRect(const TRect& dest, const TBitmap& bitmap, const TRect& source) {
  TRect d = Normalized(dest), s = Normalized(source);
  Record(Op(TCanvasOp::coDraw, d, 0));
  if (!target_ || d.Width() == 0 || d.Height() == 0 || s.Width() == 0 || s.Height() == 0) return;
  // A copy first: source and target may be the same bitmap.
  std::vector<TColor> out(static_cast<std::size_t>(d.Width()) * d.Height());
  for (int y = 0; y < d.Height(); ++y)
    for (int x = 0; x < d.Width(); ++x)
      out[static_cast<std::size_t>(y) * d.Width() + x] =
          bitmap.Pixel(s.Left + x * s.Width() / d.Width(), s.Top + y * s.Height() / d.Height());
  for (int y = 0; y < d.Height(); ++y)
    for (int x = 0; x < d.Width(); ++x) {
      TColor c = out[static_cast<std::size_t>(y) * d.Width() + x];
      if (c != clNone) target_->SetPixel(d.Left + x, d.Top + y, c);
    }
}

TColor TCanvas::Pixel(int x, int y) const {
  return target_ ? target_->Pixel(x, y) : clNone;
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  Record(Op(TCanvasOp::coPixel, {x, y, x + 1, y + 1}, color));
  if (target_) target_->SetPixel(x, y, ColorToRGB(color));
}

// ---- TBitmap --------------------------------------------------------------------------

const TClassInfo& TBitmap::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TBitmap>("TBitmap", [](auto& r) {
    RegisterGraphicsTypes();
    r.template Ord<&TBitmap::Height, &TBitmap::SetHeight>("Height", "Integer");
    r.template Ord<&TBitmap::PixelFormat, &TBitmap::SetPixelFormat>("PixelFormat", "TPixelFormat");
    r.template Bool<&TBitmap::Transparent, &TBitmap::SetTransparent>("Transparent");
    r.template Ord<&TBitmap::TransparentColor, &TBitmap::SetTransparentColor>("TransparentColor",
                                                                              "TColor");
    r.template Ord<&TBitmap::TransparentMode, &TBitmap::SetTransparentMode>("TransparentMode",
                                                                            "TTransparentMode");
    r.template Ord<&TBitmap::Width, &TBitmap::SetWidth>("Width", "Integer");
  });
  return info;
}

TBitmap::TBitmap() : canvas_(std::make_unique<TCanvas>(this)) {}

TBitmap::TBitmap(int width, int height, TColor fill) : TBitmap() {
  SetSize(width, height);
  std::fill(pixels_.begin(), pixels_.end(), ColorToRGB(fill));
}

TBitmap::~TBitmap() = default;

void TBitmap::Assign(const TPersistent* source) {
  if (!source) {
    Clear();
    return;
  }
  if (auto* b = dynamic_cast<const TBitmap*>(source)) {
    if (b == this) return;
    width_ = b->width_;
    height_ = b->height_;
    pixels_ = b->pixels_;
    pixel_format_ = b->pixel_format_;
    transparent_ = b->transparent_;
    transparent_mode_ = b->transparent_mode_;
    transparent_color_ = b->transparent_color_;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

void TBitmap::SetSize(int width, int height) {
  if (width < 0 || height < 0 || width > kMaxBitmapSide || height > kMaxBitmapSide)
    throw EInvalidGraphic(Format("Invalid bitmap size %d x %d", width, height));
  if (width == width_ && height == height_) return;
  std::vector<TColor> p(static_cast<std::size_t>(width) * height, clWhite);
  for (int y = 0; y < std::min(height, height_); ++y)
    for (int x = 0; x < std::min(width, width_); ++x)
      p[static_cast<std::size_t>(y) * width + x] =
          pixels_[static_cast<std::size_t>(y) * width_ + x];
  pixels_ = std::move(p);
  width_ = width;
  height_ = height;
  Changed();
}

TColor TBitmap::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return clNone;
  return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

void TBitmap::SetPixel(int x, int y, TColor color) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<std::size_t>(y) * width_ + x] = color & 0xFFFFFF;
}

void TBitmap::SetTransparent(bool v) {
  if (v == transparent_) return;
  transparent_ = v;
  Changed();
}

TColor TBitmap::TransparentColor() const {
  if (transparent_mode_ == tmFixed) return transparent_color_;
  return Empty() ? clNone : Pixel(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor color) {
  transparent_color_ = color;
  transparent_mode_ = tmFixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode m) {
  transparent_mode_ = m;
  Changed();
}

bool TBitmap::SameImage(const TBitmap& other) const {
  return width_ == other.width_ && height_ == other.height_ && pixels_ == other.pixels_;
}

namespace {

void FromRgb(const std::vector<unsigned char>& rgb, int w, int h, std::vector<TColor>& out) {
  out.resize(static_cast<std::size_t>(w) * h);
  for (std::size_t i = 0; i < out.size(); ++i)
    out[i] = RGB(rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]);
}

std::vector<unsigned char> ToRgb(const std::vector<TColor>& pixels) {
  std::vector<unsigned char> rgb(pixels.size() * 3);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    rgb[i * 3] = static_cast<unsigned char>(GetRValue(pixels[i]));
    rgb[i * 3 + 1] = static_cast<unsigned char>(GetGValue(pixels[i]));
    rgb[i * 3 + 2] = static_cast<unsigned char>(GetBValue(pixels[i]));
  }
  return rgb;
}

// Guards libpng's simplified image against leaks on every path.
struct PngImage {
  png_image image;
  PngImage() {
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
  }
  ~PngImage() { png_image_free(&image); }
  std::string Error() const { return image.message; }
};

}  // namespace

void TBitmap::LoadFromPng(const std::vector<unsigned char>& data) {
  PngImage png;
  if (data.empty() || !png_image_begin_read_from_memory(&png.image, data.data(), data.size()))
    throw EInvalidGraphic("Not a valid PNG image: " + (data.empty() ? "no data" : png.Error()));
  if (png.image.width > static_cast<png_uint_32>(kMaxBitmapSide) ||
      png.image.height > static_cast<png_uint_32>(kMaxBitmapSide))
    throw EInvalidGraphic(
        Format("PNG image too large (%u x %u)", png.image.width, png.image.height));
  png.image.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(png.image));
  // Transparent areas of a PNG with alpha are composed onto white.
  png_color white{255, 255, 255};
  if (!png_image_finish_read(&png.image, &white, rgb.data(), 0, nullptr))
    throw EInvalidGraphic("Not a valid PNG image: " + png.Error());
  std::vector<TColor> pixels;
  int w = static_cast<int>(png.image.width), h = static_cast<int>(png.image.height);
  FromRgb(rgb, w, h, pixels);
  width_ = w;
  height_ = h;
  pixels_ = std::move(pixels);
  pixel_format_ = pf24bit;
  Changed();
}

std::vector<unsigned char> TBitmap::SaveToPng() const {
  if (Empty()) throw EInvalidGraphic("Cannot save an empty bitmap");
  PngImage png;
  png.image.width = static_cast<png_uint_32>(width_);
  png.image.height = static_cast<png_uint_32>(height_);
  png.image.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> rgb = ToRgb(pixels_);
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&png.image, nullptr, &size, 0, rgb.data(), 0, nullptr))
    throw EInvalidGraphic("Cannot encode PNG image: " + png.Error());
  std::vector<unsigned char> out(size);
  if (!png_image_write_to_memory(&png.image, out.data(), &size, 0, rgb.data(), 0, nullptr))
    throw EInvalidGraphic("Cannot encode PNG image: " + png.Error());
  out.resize(size);
  return out;
}

void TBitmap::LoadFromFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EInvalidGraphic(Format("Cannot open file \"%s\"", path));
  std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  try {
    LoadFromPng(data);
  } catch (const EInvalidGraphic& e) {
    throw EInvalidGraphic(Format("%s: %s", path, e.Message()));
  }
}

void TBitmap::SaveToFile(const std::string& path) const {
  std::vector<unsigned char> data = SaveToPng();
  // Written beside the target first, so that a failed write keeps the old
  // file.
  std::string tmp = path + ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) throw EInvalidGraphic(Format("Cannot create file \"%s\"", path));
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
    if (!out.flush()) {
      std::remove(tmp.c_str());
      throw EInvalidGraphic(Format("Cannot write file \"%s\"", path));
    }
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    std::remove(tmp.c_str());
    throw EInvalidGraphic(Format("Cannot write file \"%s\"", path));
  }
}

}  // namespace vx
