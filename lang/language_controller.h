#pragma once
// Language files: for each form class an XML file "<class>.Lng" in the
// language folder of the interface code page lists, per component, the
// property values to use instead of the authored ones, and named message
// texts. The controller opens one file; its reader applies it to a form and
// everything the form owns.
//
// A file's elements are found by tag name anywhere in the document: the root
// element carries the form's own properties, the first element named after a
// component carries that component's, the first element named after a
// message carries the message text in "Msg". Attribute names are property
// paths ("Caption", "Font.Name", "Items_2", "Columns_0.Caption"); values are
// texts; whatever cannot be set is skipped without a word.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lang/code_converter.h"
#include "platform/automation/variant.h"
#include "platform/rtl/exception.h"
#include "platform/ui/classes.h"
#include "platform/xml/xml_document.h"

namespace vx {

VX_DECLARE_EXCEPTION(LanguageControllerError, Exception);

// (component, its element): around applying an element to a component.
using TLoadComponentEvent = TEvent<TComponent*, const XmlNode&>;

// "CHS" for code page 936, "CHT" for 950, "ENG" for 437, else empty.
std::string GetLanguageName(std::string_view code_page);
// Installation folder + "MultiLanguage/" + language name + "/", installation
// and interface code page from the client or server configuration; empty when
// the code page has no language or the folder does not exist.
std::string GetLanguageFolder(TDesignType design_type);
// The "Msg" attribute of the first element named message_name in the
// language file of package_name, read anew on every call; default_text when
// the file is missing, does not load, or has no such attribute.
std::string GetLangMessage(TDesignType design_type, std::string_view package_name,
                           std::string_view message_name, std::string_view default_text);

// Applies one element's attributes to one component.
class ILangRead {
 public:
  virtual ~ILangRead() = default;
  virtual TComponent* GetComponent() const = 0;
  virtual XmlNode GetNode() const = 0;
  virtual void SetComponent(TComponent* component) = 0;
  virtual void SetNode(const XmlNode& node) = 0;
  // An integer key selects the attribute by position, a text by name; a key
  // that selects nothing does nothing.
  virtual void LoadAttribute(const Variant& key) = 0;
  virtual void LoadAllAttributes() = 0;
};
using ILangReadPtr = std::shared_ptr<ILangRead>;

class TComponentRead : public ILangRead {
 public:
  TComponentRead(TComponent* component, XmlNode node);

  TComponent* GetComponent() const override { return component_; }
  XmlNode GetNode() const override { return node_; }
  void SetComponent(TComponent* component) override { component_ = component; }
  void SetNode(const XmlNode& node) override { node_ = node; }
  void LoadAttribute(const Variant& key) override;
  void LoadAllAttributes() override;

 protected:
  // The attribute's name is the property path, its text the value.
  virtual void ApplyAttribute(const XmlNode& attribute);

 private:
  // The lists one load changes stay in update until it ends, and lines past
  // what a list holds are reported once.
  struct Batch {
    std::vector<TStrings*> lists;
    int skipped = 0;
    std::string first_skipped;
  };
  void SetLine(TStrings& lines, int index, const std::string& path, const std::string& value);
  void FinishBatch();

  TComponent* component_;
  XmlNode node_;
  Batch* batch_ = nullptr;
};

// Combo boxes: rewriting the items must not lose the selected item.
class TCustomComboBoxRead : public TComponentRead {
 public:
  using TComponentRead::TComponentRead;
  void LoadAllAttributes() override;
};

// The data-aware combo box (class TwwDBCustomComboBox and descendants): the
// same, without touching the selection (and so the field) when it did not move.
class TwwDBCustomComboBoxRead : public TComponentRead {
 public:
  using TComponentRead::TComponentRead;
  void LoadAllAttributes() override;
};

class TReaderFactory {
 public:
  // The reader for the component's class: data-aware combo box, other combo
  // box, or any component.
  static ILangReadPtr CreateReader(TComponent* component, const XmlNode& node);
};

// Applies an open document to components.
class TLangReader {
 public:
  explicit TLangReader(XmlDocument document);
  virtual ~TLangReader();
  TLangReader(const TLangReader&) = delete;
  TLangReader& operator=(const TLangReader&) = delete;

  // The root element on a form or data module, then the element named after
  // the component unless it is excluded, then the same for every owned
  // component in ownership order.
  virtual void ReadComponent(TComponent* component);

  const XmlDocument& Document() const { return document_; }
  // Names not translated: compared trimmed and ignoring case.
  TStrings& ExcludeControls() { return exclude_; }

  TLoadComponentEvent BeforeLoadComponent;
  TLoadComponentEvent AfterLoadComponent;

 private:
  bool IsExcluded(std::string_view name) const;
  void LoadElement(TComponent* component, const XmlNode& node);

  XmlDocument document_;
  TStringList exclude_;
};

// Opens a language file and hands out its reader.
class TLanguageController : public TComponent {
  VX_CLASS(TLanguageController, TComponent)
  explicit TLanguageController(TComponent* owner);
  ~TLanguageController() override;

  // True when a document with a root element is open.
  bool Active() const;
  // true opens FileName (raising LanguageControllerError when the name is
  // empty or the file does not parse), false closes. While the owner is
  // being loaded the value is kept and applied when loading ends.
  void SetActive(bool value);

  const std::string& FileName() const { return file_name_; }
  // A different name closes an open file.
  void SetFileName(std::string_view file_name);

  TStrings* ExcludeControls() const { return exclude_.get(); }
  // Copies the list; nullptr clears it. Changes reach an open reader at once.
  void SetExcludeControls(TStrings* names);

  // The open file's reader; LanguageControllerError "No active
  // LanguageController!" when none is open.
  TLangReader* GetReader() const;

  TNotifyEvent BeforeOpen;
  TNotifyEvent AfterOpen;
  TNotifyEvent BeforeClose;
  TNotifyEvent AfterClose;
  TLoadComponentEvent BeforeLoadComponent;
  TLoadComponentEvent AfterLoadComponent;

 protected:
  void Loaded() override;

 private:
  void Open();
  void Close();
  void Release();
  void ExcludeChanged(TObject*);

  std::string file_name_;
  std::unique_ptr<XmlDocument> document_;
  std::unique_ptr<TLangReader> reader_;
  std::unique_ptr<TStringList> exclude_;
  bool streamed_active_ = false;
};

// The controller every form carries: the file is named after a package (a
// form class) in the language folder of the design type's configuration.
class TVxLangController : public TLanguageController {
  VX_CLASS(TVxLangController, TLanguageController)
  explicit TVxLangController(TComponent* owner) : TLanguageController(owner) {}

  const std::string& LangPackageName() const { return package_name_; }
  // A different name sets FileName to language folder + name + ".Lng".
  void SetLangPackageName(std::string_view name);
  TDesignType DesignType() const { return design_type_; }
  void SetDesignType(TDesignType value) { design_type_ = value; }

 private:
  std::string package_name_;
  TDesignType design_type_ = dtClient;
};

}  // namespace vx
