#pragma once
// The root form of every form of the suite. It owns the form's code-page
// converter and language controller, applies the language files of its
// class chain each time it is shown, adapts fonts for an English interface
// and gives one-picture buttons a generated disabled picture.
#include <string>
#include <string_view>

#include "lang/code_converter.h"
#include "lang/language_controller.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/forms.h"
#include "platform/ui/graphics.h"

namespace vx {

class TVXForm : public TForm {
  VX_CLASS(TVXForm, TForm)
  // Creates VxConverter (client configuration; its translator error leaves
  // the constructor) and LangController (inactive), and sets the form's
  // defaults: key preview, screen centre, hints, "宋体" of height -13, button
  // face.
  explicit TVXForm(TComponent* owner);
  ~TVXForm() override;

  TCodeConverter* VxConverter() const { return vx_converter_; }
  TVxLangController* LangController() const { return lang_controller_; }

  // ConvertFormTexts has run: texts from the server go through DBToUI.
  bool TextsConverted() const { return texts_converted_; }
  // Apply the language files at every show; true from creation.
  bool TranslateOnShow() const { return translate_on_show_; }
  void SetTranslateOnShow(bool v) { translate_on_show_ = v; }

  // Converts the form's texts for the interface, once per form.
  void ConvertFormTexts();
  const std::string& SystemCodePage() const { return vx_converter_->SysCodePage(); }
  const std::string& InterfaceCodePage() const { return vx_converter_->UICodePage(); }

  // For each class from the one just below TForm down to the form's own
  // class, the language file named after the class is applied to the form
  // when it exists.
  void ApplyLanguage();
  // Message key of the language package class_name; default_text (through
  // ToUI when convert_default) when the file has no such entry.
  std::string GetLangText(std::string_view class_name, std::string_view key, bool convert_default,
                          std::string_view default_text) const;
  // A message dialog of the form's converter.
  TModalResult FormMessageBox(std::string_view text, TMsgDlgType dialog_type,
                              TMsgDlgButtons buttons);

  // Widens a one-picture glyph to two: the picture, then its disabled look
  // (an embossed outline in the button highlight and shadow colours on the
  // button face). The glyph is kept at 24 bits; an empty glyph stays empty.
  static void MakeDisabledGlyph(TBitmap* glyph);

 protected:
  // The creation steps, then OnCreate.
  void DoCreate() override;
  // The language files when TranslateOnShow, then OnShow.
  void DoShow() override;

 private:
  void PrepareComponent(TComponent* component);

  TCodeConverter* vx_converter_ = nullptr;
  TVxLangController* lang_controller_ = nullptr;
  bool texts_converted_ = false;
  bool translate_on_show_ = true;
};

}  // namespace vx
