#pragma once
// TGSpeedButton: a speed button whose picture is chosen by number from the
// numbered button-picture library ("ZiRurO5.dll", loaded by name on first
// use). A picture is a horizontal strip of square images, one per button
// state; a number the library does not hold leaves the button without
// picture, showing the number as its caption.
#include <memory>
#include <string>
#include <string_view>

#include "platform/os/dynlib.h"
#include "platform/ui/buttons.h"

namespace vx {

// The error text shown when loading a picture raises.
inline constexpr const char* kLoadBmpError = "读取 BMP 发生错误";

// The picture library as the buttons see it. Both functions may raise (a
// library that cannot be loaded); the buttons report that to the user.
class IGlyphLibrary {
 public:
  virtual ~IGlyphLibrary() = default;
  // The highest picture number held (numbers run from 1).
  virtual int GetMaxBmpID() = 0;
  // Loads picture id into bitmap; false when it cannot.
  virtual bool LoadBmp(TBitmap& bitmap, int id) = 0;
};

// The library behind a shared library exporting "GetMaxBmpID" and "LoadBmp"
// (the C interface of suite/bitmaps/zirur_o5.h), loaded by its Windows name
// on first use. A library or export that cannot be found raises
// EGlyphLibraryError.
VX_DECLARE_EXCEPTION(EGlyphLibraryError, Exception);
class TDynGlyphLibrary : public IGlyphLibrary {
 public:
  explicit TDynGlyphLibrary(std::string name = "ZiRurO5.dll", std::string folder = {});
  int GetMaxBmpID() override;
  bool LoadBmp(TBitmap& bitmap, int id) override;

 private:
  void Require();
  std::string name_, folder_;
  TDynLib lib_;
  int (*get_max_)() = nullptr;
  int (*load_)(void*, int) = nullptr;
};

// The library every button uses; "ZiRurO5.dll" unless replaced. Replacing it
// (tests, a shell with its own pictures) returns the previous one; nullptr
// restores the default.
IGlyphLibrary& GlyphLibrary();
std::unique_ptr<IGlyphLibrary> SetGlyphLibrary(std::unique_ptr<IGlyphLibrary> library);

class TGSpeedButton : public TSpeedButton {
  VX_CLASS(TGSpeedButton, TSpeedButton)
  explicit TGSpeedButton(TComponent* owner);

  // The picture's number. Setting a new number writes it as the caption,
  // then loads the picture: on success the caption is cleared and the
  // number of images follows the picture's width / height; 0, a number past
  // the library's highest or a failed load leaves no picture. A raised
  // error is shown ("读取 BMP 发生错误"); the number is kept either way.
  int GlyphIndex() const { return glyph_index_; }
  void SetGlyphIndex(int index);
  // Stored only.
  int HintIndex() const { return hint_index_; }
  void SetHintIndex(int index) { hint_index_ = index; }

 private:
  int glyph_index_ = 0;
  int hint_index_ = 0;
};

}  // namespace vx
