#pragma once
// Colours, cursors, character sets and fonts. The identifier maps
// ("clRed" <-> 255, "crHandPoint" <-> -21, "GB2312_CHARSET" <-> 134) are
// registered with the type information under the type names "TColor",
// "TCursor" and "TFontCharset".
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/classes.h"

namespace vx {

// 0x00BBGGRR, or a system colour (0x80000000 | index), clNone, clDefault.
using TColor = std::int32_t;
constexpr TColor SystemColor(int index) {
  return static_cast<TColor>(0x80000000u | static_cast<std::uint32_t>(index));
}

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clScrollBar = SystemColor(0);
constexpr TColor clBackground = SystemColor(1);
constexpr TColor clActiveCaption = SystemColor(2);
constexpr TColor clInactiveCaption = SystemColor(3);
constexpr TColor clMenu = SystemColor(4);
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowFrame = SystemColor(6);
constexpr TColor clMenuText = SystemColor(7);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clCaptionText = SystemColor(9);
constexpr TColor clActiveBorder = SystemColor(10);
constexpr TColor clInactiveBorder = SystemColor(11);
constexpr TColor clAppWorkSpace = SystemColor(12);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clGrayText = SystemColor(17);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clInactiveCaptionText = SystemColor(19);
constexpr TColor clBtnHighlight = SystemColor(20);
constexpr TColor cl3DDkShadow = SystemColor(21);
constexpr TColor cl3DLight = SystemColor(22);
constexpr TColor clInfoText = SystemColor(23);
constexpr TColor clInfoBk = SystemColor(24);
constexpr TColor clGradientActiveCaption = SystemColor(27);
constexpr TColor clGradientInactiveCaption = SystemColor(28);

constexpr TColor RGB(int r, int g, int b) {
  return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(TColor c) {
  return c & 0xFF;
}
constexpr int GetGValue(TColor c) {
  return (c >> 8) & 0xFF;
}
constexpr int GetBValue(TColor c) {
  return (c >> 16) & 0xFF;
}

// "clRed", or "$00BBGGRR" for a colour without identifier.
std::string ColorToString(TColor color);
// Identifier or number ("$FF", "255"); raises EConvertError otherwise.
TColor StringToColor(std::string_view text);
bool IdentToColor(std::string_view ident, TColor& color);
// The RGB value of a system colour in the headless palette (the classic
// desktop scheme); other colours unchanged.
TColor ColorToRGB(TColor color);

using TCursor = std::int16_t;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

using TFontCharset = std::uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;
constexpr TFontCharset SYMBOL_CHARSET = 2;
constexpr TFontCharset SHIFTJIS_CHARSET = 128;
constexpr TFontCharset HANGEUL_CHARSET = 129;
constexpr TFontCharset GB2312_CHARSET = 134;
constexpr TFontCharset CHINESEBIG5_CHARSET = 136;
constexpr TFontCharset OEM_CHARSET = 255;

enum class TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using enum TFontStyle;
using TFontStyles = TSet<TFontStyle>;
enum class TFontPitch { fpDefault, fpVariable, fpFixed };
using enum TFontPitch;

// Registers the identifier maps and the graphics enumerations; idempotent,
// run by the class information of TFont and TControl.
void RegisterGraphicsTypes();

// Points per inch of the model's screen (96).
constexpr int kScreenPixelsPerInch = 96;

class TFont : public TPersistent {
  VX_CLASS(TFont, TPersistent)
  TFont();
  void Assign(const TPersistent* source) override;

  const std::string& Name() const { return name_; }
  void SetName(std::string_view name);
  // Points; Height is the matching negative pixel height (character height
  // without leading). A positive Height (cell height) gives a negative Size.
  int Size() const;
  void SetSize(int size);
  int Height() const { return height_; }
  void SetHeight(int height);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TFontCharset Charset() const { return charset_; }
  void SetCharset(TFontCharset charset);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch pitch);
  // Character height in pixels (Size at 96 dpi, rounded).
  int PixelHeight() const;
  bool SameAs(const TFont& other) const;

  TNotifyEvent OnChange;

 private:
  void Changed();
  std::string name_ = "MS Sans Serif";
  int height_ = -11;
  TColor color_ = clWindowText;
  TFontCharset charset_ = DEFAULT_CHARSET;
  TFontStyles style_;
  TFontPitch pitch_ = fpDefault;
};

VX_DECLARE_EXCEPTION(EInvalidGraphic, Exception);

enum class TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };
using enum TPixelFormat;
enum class TTransparentMode { tmAuto, tmFixed };
using enum TTransparentMode;
enum class TBrushStyle { bsSolid, bsClear };
using enum TBrushStyle;

class TBitmap;

struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;
};
struct TPen {
  TColor Color = clBlack;
  int Width = 1;
};

// One drawing operation as a canvas recorded it, so that tests (and the
// headless widget set) can see what was drawn where in which colour.
struct TCanvasOp {
  enum Kind { coFillRect, coFrameRect, coFocusRect, coText, coDraw, coLine, coPixel };
  Kind Op = coFillRect;
  TRect Rect;                // the area touched (for Text: the text's extent)
  TColor Color = 0;          // brush colour, pen colour, text colour or pixel
  std::string Text;          // text drawn
  bool Bold = false;         // text in a bold font
  bool Transparent = false;  // Draw: the source's transparent colour left out
  TColor TransparentColor = clNone;
};

// A drawing surface. A bitmap's canvas changes its pixels; a control's
// canvas (and any other) only records. Every canvas records what it drew in
// Log(). Text metrics come from the installed widget set.
class TCanvas {
 public:
  TCanvas() = default;
  explicit TCanvas(TBitmap* target) : target_(target) {}
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  TBrush Brush;
  TPen Pen;
  TFont* Font() { return &font_; }
  TBitmap* Target() const { return target_; }

  void FillRect(const TRect& rect);
  // A one-pixel frame in the brush colour.
  void FrameRect(const TRect& rect);
  void DrawFocusRect(const TRect& rect);
  void MoveTo(int x, int y) { pen_pos_ = {x, y}; }
  void LineTo(int x, int y);
  // The brush fills the text's extent first unless its style is bsClear.
  void TextOut(int x, int y, std::string_view text);
  // Text clipped to rect, drawn at (x, y).
  void TextRect(const TRect& rect, int x, int y, std::string_view text);
  TSize TextExtent(std::string_view text);
  int TextWidth(std::string_view text) { return TextExtent(text).cx; }
  int TextHeight(std::string_view text) { return TextExtent(text).cy; }
  // The bitmap at (x, y); a transparent bitmap leaves out its transparent
  // colour.
  void Draw(int x, int y, const TBitmap& bitmap);
  // The source rectangle of bitmap into dest (scaled by nearest pixel when
  // the sizes differ), opaque.
  void CopyRect(const TRect& dest, const TBitmap& bitmap, const TRect& source);
  // clNone outside the surface or on a canvas without pixels.
  TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor color);

  const std::vector<TCanvasOp>& Log() const { return log_; }
  void ClearLog() { log_.clear(); }

 private:
  void Record(TCanvasOp op) { log_.push_back(std::move(op)); }
  TBitmap* target_ = nullptr;
  TFont font_;
  TPoint pen_pos_;
  std::vector<TCanvasOp> log_;
};

// The largest side of a bitmap; larger sizes and files are refused rather
// than allocated.
constexpr int kMaxBitmapSide = 16384;

// A picture of 24-bit pixels (0x00BBGGRR per pixel, row by row from the top).
class TBitmap : public TPersistent {
  VX_CLASS(TBitmap, TPersistent)
  TBitmap();
  TBitmap(int width, int height, TColor fill = clWhite);
  ~TBitmap() override;
  void Assign(const TPersistent* source) override;

  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetWidth(int w) { SetSize(w, height_); }
  void SetHeight(int h) { SetSize(width_, h); }
  // Keeps the pixels that still fit; new pixels are white.
  void SetSize(int width, int height);
  bool Empty() const { return width_ == 0 || height_ == 0; }
  // Frees the image: an empty bitmap.
  void Clear() { SetSize(0, 0); }

  // Pixels are always kept at 24 bits; the format is remembered for callers
  // that ask for it.
  TPixelFormat PixelFormat() const { return pixel_format_; }
  void SetPixelFormat(TPixelFormat f) { pixel_format_ = f; }

  TColor Pixel(int x, int y) const;  // clNone outside the image
  void SetPixel(int x, int y, TColor color);
  const std::vector<TColor>& Pixels() const { return pixels_; }

  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  // tmAuto: the bottom-left pixel (clNone when empty); tmFixed: the colour
  // set. Setting a colour switches to tmFixed.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor color);
  TTransparentMode TransparentMode() const { return transparent_mode_; }
  void SetTransparentMode(TTransparentMode m);

  TCanvas* Canvas() { return canvas_.get(); }

  // PNG files and data; a failure raises EInvalidGraphic and leaves the
  // bitmap unchanged.
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path) const;
  void LoadFromPng(const std::vector<unsigned char>& data);
  std::vector<unsigned char> SaveToPng() const;

  bool SameImage(const TBitmap& other) const;

  TNotifyEvent OnChange;

 private:
  friend class TCanvas;
  void Changed() { OnChange(this); }
  int width_ = 0, height_ = 0;
  std::vector<TColor> pixels_;
  TPixelFormat pixel_format_ = pf24bit;
  bool transparent_ = false;
  TTransparentMode transparent_mode_ = tmAuto;
  TColor transparent_color_ = clNone;
  std::unique_ptr<TCanvas> canvas_;
};

}  // namespace vx
