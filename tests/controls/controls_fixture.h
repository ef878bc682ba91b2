#pragma once
// Tests of the framework controls: a form that records the F2 requests it
// receives, and the picture library swapped for one loaded by name.
#include <memory>
#include <string>
#include <vector>

#include "controls/f2button.h"
#include "platform/ui/dialogs.h"
#include "tests/platform/ui/ui_fixture.h"

namespace vx::testing {

class F2RecordingForm : public TForm {
  VX_CLASS(F2RecordingForm, TForm)
  explicit F2RecordingForm(TComponent* owner) : TForm(owner) {}
  std::vector<std::pair<WPARAM, TControl*>> requests;
  std::vector<std::string>* log = nullptr;
  void WMF2(TMessage& msg) {
    requests.emplace_back(msg.WParam, reinterpret_cast<TWinControl*>(msg.LParam));
    if (log) log->push_back("f2");
  }
};

inline const TClassInfo& F2RecordingForm::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<F2RecordingForm>(
      "TF2RecordingForm", [](auto& r) { r.template Message<&F2RecordingForm::WMF2>(WM_F2QUERY); });
  return info;
}

// Installs the picture library of that name for the scope.
class ScopedGlyphLibrary {
 public:
  explicit ScopedGlyphLibrary(const std::string& name)
      : saved_(SetGlyphLibrary(std::make_unique<TDynGlyphLibrary>(name))) {}
  explicit ScopedGlyphLibrary(std::unique_ptr<IGlyphLibrary> library)
      : saved_(SetGlyphLibrary(std::move(library))) {}
  ~ScopedGlyphLibrary() { SetGlyphLibrary(std::move(saved_)); }
  ScopedGlyphLibrary(const ScopedGlyphLibrary&) = delete;
  ScopedGlyphLibrary& operator=(const ScopedGlyphLibrary&) = delete;

 private:
  std::unique_ptr<IGlyphLibrary> saved_;
};

class ControlsTest : public UiTest {
 protected:
  F2RecordingForm* NewForm() {
    auto* f = Create<F2RecordingForm>(nullptr);
    f->SetBounds(0, 0, 400, 300);
    return f;
  }
  // Message dialogs shown so far, as "type: text".
  std::vector<std::string> ShownDialogs() const {
    std::vector<std::string> out;
    for (const TDialogRecord& d : Headless().Dialogs())
      if (d.MessageDialog) out.push_back(d.DlgType + ": " + d.Text);
    return out;
  }
};

}  // namespace vx::testing
