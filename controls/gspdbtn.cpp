#include "controls/gspdbtn.h"

#include "platform/rtl/text.h"
#include "platform/ui/dialogs.h"

namespace vx {

namespace {

// The picture library's C interface, as the library declares it: a target
// that receives rows of 3-byte RGB pixels and the "no pixel" colour.
struct BmpTarget {
  void* context;
  int (*assign)(void* context, int width, int height, const unsigned char* rgb, int stride,
                unsigned int transparent_color);
};

int AssignPixels(void* context, int width, int height, const unsigned char* rgb, int stride,
                 unsigned int transparent_color) {
  if (!context || !rgb || width <= 0 || height <= 0 || stride < width * 3) return 0;
  TBitmap picture(width, height);
  for (int y = 0; y < height; ++y) {
    const unsigned char* row = rgb + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride);
    for (int x = 0; x < width; ++x)
      picture.SetPixel(x, y, RGB(row[x * 3], row[x * 3 + 1], row[x * 3 + 2]));
  }
  picture.SetTransparentColor(static_cast<TColor>(transparent_color & 0x00FFFFFF));
  picture.SetTransparent(true);
  static_cast<TBitmap*>(context)->Assign(&picture);
  return 1;
}

std::unique_ptr<IGlyphLibrary>& LibrarySlot() {
  static std::unique_ptr<IGlyphLibrary> library;
  return library;
}

}  // namespace

// ---- the picture library -----------------------------------------------------------------

TDynGlyphLibrary::TDynGlyphLibrary(std::string name, std::string folder)
    : name_(std::move(name)), folder_(std::move(folder)) {}

void TDynGlyphLibrary::Require() {
  if (get_max_ && load_) return;
  if (!lib_.Loaded() && !lib_.Load(name_, folder_))
    throw EGlyphLibraryError(Format("Cannot load %s: %s", name_, lib_.Error()));
  get_max_ = lib_.Function<int (*)()>("GetMaxBmpID");
  load_ = lib_.Function<int (*)(void*, int)>("LoadBmp");
  if (!get_max_ || !load_)
    throw EGlyphLibraryError(Format("%s does not export GetMaxBmpID and LoadBmp", name_));
}

int TDynGlyphLibrary::GetMaxBmpID() {
  Require();
  return get_max_();
}

bool TDynGlyphLibrary::LoadBmp(TBitmap& bitmap, int id) {
  Require();
  BmpTarget target{&bitmap, &AssignPixels};
  return load_(&target, id) != 0;
}

IGlyphLibrary& GlyphLibrary() {
  auto& slot = LibrarySlot();
  if (!slot) slot = std::make_unique<TDynGlyphLibrary>();
  return *slot;
}

std::unique_ptr<IGlyphLibrary> SetGlyphLibrary(std::unique_ptr<IGlyphLibrary> library) {
  auto previous = std::move(LibrarySlot());
  LibrarySlot() = std::move(library);
  return previous;
}

// ---- TGSpeedButton -----------------------------------------------------------------------

const TClassInfo& TGSpeedButton::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TGSpeedButton>("TGSpeedButton", [](auto& r) {
    r.template Ord<&TGSpeedButton::GlyphIndex, &TGSpeedButton::SetGlyphIndex>("GlyphIndex",
                                                                              "Integer");
    r.template Ord<&TGSpeedButton::HintIndex, &TGSpeedButton::SetHintIndex>("HintIndex", "Integer");
    r.Publish("Glyph");
  });
  return info;
}

TGSpeedButton::TGSpeedButton(TComponent* owner) : TSpeedButton(owner) {}

void TGSpeedButton::SetGlyphIndex(int index) {
  if (index == glyph_index_) return;
  glyph_index_ = index;
  SetCaption(IntToStr(index));
  try {
    IGlyphLibrary& library = GlyphLibrary();
    TBitmap picture;
    if (index > 0 && index <= library.GetMaxBmpID() && library.LoadBmp(picture, index) &&
        !picture.Empty()) {
      SetGlyph(&picture);
      SetCaption("");
      SetNumGlyphs(picture.Width() / picture.Height());
    } else {
      // No picture for that number: the button shows the number alone.
      Glyph()->Clear();
    }
  } catch (const std::exception&) {
    Glyph()->Clear();
    MessageDlg(kLoadBmpError, mtError, {mbOK});
  }
}

}  // namespace vx
