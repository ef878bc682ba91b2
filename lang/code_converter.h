#pragma once
// The code-page converter every module form carries: it knows the code pages
// of the system, the user interface and the database, and converts values
// between the module's own GBK texts, the interface and the database through
// the text-conversion library.
// A non-visual component: its owner is the form it serves, and it publishes
// DesignType.
#include <cstdint>
#include <memory>
#include <string>

#include "lang/translator.h"
#include "platform/automation/variant.h"
#include "platform/ui/classes.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/forms.h"
#include "platform/ui/graphics.h"

namespace vx {

class TCustomListView;
class TSelectPanel;
class TStringGrid;
class TStringAlignGrid;

// Which configuration reader supplies the code pages.
enum TDesignType { dtClient, dtServer };

// The code-page values of the configuration.
struct TCodePageSettings {
  std::string SysCodePage = "936";
  std::string UICodePage = "936";
  std::string DBCodePage = "936";
  std::uint8_t UIConvertMode = 0;  // 0, 2 or 4
  std::uint8_t DBConvertMode = 0;  // 0, 1 or 2
};

class TCodeConverter : public TComponent {
  VX_CLASS(TCodeConverter, TComponent)
  // Reads the code pages from the configuration reader of the design type
  // (LoadCodePages), then creates the translator when UIConvertMode is not 0;
  // the translator's "Load Library %s Error!" or "Get Library Procedure
  // Address Error!" leaves the constructor.
  explicit TCodeConverter(TComponent* owner) : TCodeConverter(owner, dtClient) {}
  TCodeConverter(TComponent* owner, TDesignType design_type);
  // The same with code pages the caller already has.
  TCodeConverter(TComponent* owner, const TCodePageSettings& settings);
  ~TCodeConverter() override;

  // Published. Changing it later does not read the configuration again.
  TDesignType DesignType() const { return design_type_; }
  void SetDesignType(TDesignType value) { design_type_ = value; }

  // Copies the five code-page values from the configuration reader of the
  // design type (client: SorvendaC.ini, server: SorvendaS.ini).
  void LoadCodePages();

  TTranslator* Translator() const { return translator_.get(); }
  const std::string& SysCodePage() const { return settings_.SysCodePage; }
  const std::string& UICodePage() const { return settings_.UICodePage; }
  const std::string& DBCodePage() const { return settings_.DBCodePage; }
  std::uint8_t UIConvertMode() const { return settings_.UIConvertMode; }
  std::uint8_t DBConvertMode() const { return settings_.DBConvertMode; }

  // Direction 1: Big5 to GBK; 2: GBK to Big5; any other leaves the value as
  // it is, as does a missing translator. Empty and null stay as they are;
  // arrays go through ConvertArray; a string keeps its kind (ANSI or wide).
  // Other scalars (numbers, dates, booleans, objects) hold no characters and
  // stay as they are. Raises when the library reports a failure.
  Variant Convert(int direction, const Variant& value) const;
  // One-dimensional arrays: elements that are arrays recursively, other
  // elements converted in direction 1 or 2 (null, empty and non-text elements
  // stay); two-dimensional arrays: every element through Convert; arrays of
  // more dimensions come back unchanged.
  Variant ConvertArray(int direction, const Variant& value) const;

  // The module's own GBK text for the interface: Convert(UIConvertMode); the
  // earlier edition lacks it and returns the value.
  Variant ToUI(const Variant& value) const;
  // Interface text back to GBK; never raises (a failure gives the value).
  Variant FromUI(const Variant& value) const;
  // Database text for the interface: Convert(DBConvertMode); the earlier
  // edition lacks it and returns the value.
  Variant DBToUI(const Variant& value) const;
  // Interface text for the database; never raises (a failure gives the value).
  Variant UIToDB(const Variant& value) const;

  // Text conversions; an empty text gives an empty text, and without a
  // translator the text comes back as it is.
  std::string Big5ToGB(const std::string& text) const;
  std::string GBToBig5(const std::string& text) const;

  // Font rule by mode: 0, 1 and 4 give "SimSun" with the GB2312 character
  // set (134), 2 and 3 "SimSun" with Big5 (136); other modes and no font
  // leave it as it is.
  static void AdjustFont(int mode, TFont* font);

  // Converts the texts and fonts of a whole form for the interface code
  // page: the form caption on a Big5 system, the form's hints, the screen
  // fonts, then for every owned component its published texts, fonts and
  // list styles and the texts its class keeps (list views, tab sets, the
  // selection panel, combo boxes, menus, navigators, tree views, grids).
  // Nothing happens without a translator. The base form runs it once.
  void ConvertForm(TCustomForm* form);

  // The standard message dialog with the owner form's caption and the
  // interface font; six blanks are appended on a GBK interface or system. A
  // minimised owner is restored first. An empty text shows nothing and
  // gives 0.
  TModalResult ShowMessageDialog(std::string_view text, TMsgDlgType dialog_type,
                                 TMsgDlgButtons buttons);

  // True when the component's class publishes a property of that name whose
  // declared type name is type_name, both ignoring case; false for an empty
  // name or no component.
  static bool HasPropertyOfType(const TComponent* component, std::string_view property_name,
                                std::string_view type_name);

 private:
  Variant ConvertText(int direction, const Variant& value) const;
  // Text in direction 1 or 2; other directions and empty text unchanged.
  std::string ConvertString(int direction, const std::string& text) const;
  void ConvertStrings(int direction, TStrings* strings) const;
  void ConvertProperties(TComponent* component) const;
  void ConvertClassTexts(TComponent* component) const;
  void ConvertListView(TCustomListView* list_view) const;
  void ConvertSelectPanel(TSelectPanel* panel) const;
  void ConvertGridCells(TStringGrid* grid) const;
  void ConvertAlignGrid(TStringAlignGrid* grid) const;
  Variant Inverse(std::uint8_t mode, const Variant& value) const;
  void CreateTranslator();

  TDesignType design_type_ = dtClient;
  TCodePageSettings settings_;
  std::unique_ptr<TTranslator> translator_;
};

}  // namespace vx
