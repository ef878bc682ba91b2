// The language-file reader: any text as the file of a form, applied to a form
// with the controls whose properties language files set.
#include "fuzz/fuzz_input.h"
#include "lang/language_controller.h"
#include "platform/os/alert_sink.h"
#include "platform/ui/comctrls.h"
#include "platform/ui/extctrls.h"
#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"

namespace {

template <class T>
T* Add(vx::TForm* form, const char* name) {
  auto* c = new T(form);
  c->SetName(name);
  c->SetParent(form);
  return c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool quiet = (vx::SetOsAlertSink([](std::string_view) {}), true);
  (void)quiet;
  static vx::fuzz::ScratchFile file(".Lng");
  vx::XmlDocument doc;
  // Through the file, as the controller reads it: declared encodings too.
  if (!doc.Load(file.Write(vx::fuzz::AsText(data, size)))) return 0;
  auto* form = vx::Create<vx::TForm>(nullptr);
  form->SetName("frmFuzz");
  Add<vx::TEdit>(form, "edA");
  Add<vx::TLabel>(form, "lblA");
  Add<vx::TMemo>(form, "meA")->Lines()->Add("one");
  auto* cbo = Add<vx::TComboBox>(form, "cboA");
  cbo->Items()->Add("one");
  cbo->SetItemIndex(0);
  Add<vx::TRadioGroup>(form, "rdoA")->Items()->Add("one");
  auto* lv = Add<vx::TListView>(form, "lvA");
  lv->Columns()->Add();
  lv->Items()->Add();
  Add<vx::TButton>(form, "btnA");
  {
    vx::TLangReader reader(doc);
    reader.ReadComponent(form);
  }
  form->Free();
  return 0;
}
