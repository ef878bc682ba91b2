#include "lang/language_controller.h"

#include <algorithm>

#include "env/sorvenda_ini.h"
#include "lib/alert_log.h"
#include "lib/props.h"
#include "lib/strs.h"
#include "platform/os/paths.h"
#include "platform/rtl/text.h"
#include "platform/ui/collections.h"
#include "platform/ui/forms.h"

namespace vx {

namespace {

// Code page = language folder name.
constexpr std::string_view kLanguageNames = "936=CHS\r\n950=CHT\r\n437=ENG";
constexpr std::string_view kLangFileExt = ".Lng";

// A path segment "Name_N": the name before the first "_" and N, the number
// after it, or -1 when that is not a number from 0 ("Items_1_2" is -1).
struct Segment {
  std::string Name;
  int Index = -1;
};

Segment SplitSegment(std::string_view text) {
  Segment s;
  std::size_t underscore = text.find('_');
  s.Name = std::string(text.substr(0, underscore));
  if (underscore == std::string_view::npos) return s;
  s.Index = std::max(StrToIntDef(text.substr(underscore + 1), -1), -1);
  return s;
}

// A translator's file never needs longer lists than this; an index beyond it
// would only make the reader append empty lines by the million.
constexpr int kMaxLines = 4096;

// Element N of a collection; the collection itself when N is past its end.
TObject* ElementOf(TCollection* collection, int index, TObject* otherwise) {
  return index < collection->Count() ? collection->Items(index) : otherwise;
}

// An Items_N / Columns_N step of a path from obj. Sets obj to nullptr when
// there is nothing to walk into.
void SelectElement(TObject*& obj, const Segment& seg) {
  if (auto* collection = dynamic_cast<TCollection*>(obj)) {
    obj = ElementOf(collection, seg.Index, obj);
    return;
  }
  // List-view columns and items, tree-view nodes (in flat order), grid
  // columns: the property holds a collection. An index past its end leaves
  // the walk where it was.
  TObject* held = GetObjectProperty(obj, seg.Name);
  if (auto* collection = dynamic_cast<TCollection*>(held))
    obj = ElementOf(collection, seg.Index, obj);
  else
    obj = held;
}

// The item index of a combo box, whatever its class, through its declared
// property.
const TPropInfo* ItemIndexProp(TComponent* component) {
  if (!component) return nullptr;
  const TPropInfo* p = component->ClassInfo().FindDeclared("ItemIndex");
  return p && p->GetOrd && p->SetOrd ? p : nullptr;
}

template <class LoadAll>
void KeepingItemIndex(TComponent* component, bool always_restore, LoadAll&& load_all) {
  const TPropInfo* p = ItemIndexProp(component);
  if (!p) {
    load_all();
    return;
  }
  std::int64_t index = p->GetOrd(*component);
  load_all();
  if (always_restore || p->GetOrd(*component) != index) {
    try {
      p->SetOrd(*component, index);
    } catch (const std::exception&) {
      // The item it pointed at is gone; the box keeps what it has.
    }
  }
}

bool IsRootTarget(const TComponent* component) {
  return dynamic_cast<const TCustomForm*>(component) || component->InheritsFrom("TDataModule");
}

}  // namespace

// ---- language folder and messages --------------------------------------------------

std::string GetLanguageName(std::string_view code_page) {
  TStringList names;
  names.SetText(kLanguageNames);
  return names.Values(Trim(code_page));
}

std::string GetLanguageFolder(TDesignType design_type) {
  std::string base_path, code_page;
  if (design_type == dtServer) {
    TSorvendaIniS ini;
    base_path = ini.BasePath;
    code_page = ini.UICodePage;
  } else {
    TSorvendaIniC ini;
    base_path = ini.BasePath;
    code_page = ini.UICodePage;
  }
  std::string name = GetLanguageName(code_page);
  if (name.empty()) return {};
  std::string folder =
      IncludeTrailingPathDelimiter(IncludeTrailingPathDelimiter(base_path) + "MultiLanguage") +
      name + kPathDelim;
  return DirectoryExists(folder) ? folder : std::string();
}

std::string GetLangMessage(TDesignType design_type, std::string_view package_name,
                           std::string_view message_name, std::string_view default_text) {
  try {
    std::string file_name =
        GetLanguageFolder(design_type) + std::string(package_name) + std::string(kLangFileExt);
    if (!FileExists(file_name)) return std::string(default_text);
    XmlDocument doc;
    if (!doc.Load(file_name)) return std::string(default_text);
    XmlNode root = doc.DocumentElement();
    if (!root) return std::string(default_text);
    XmlNode node = root.SelectSingleNode(Format("//%s/@%s", std::string(message_name), "Msg"));
    if (node && node.NodeType() == XmlNodeType::Attribute) return node.Text();
  } catch (const std::exception&) {
    // A name that makes no valid expression, an unreadable configuration:
    // the caller's text stands.
  }
  return std::string(default_text);
}

// ---- readers of one element ---------------------------------------------------------

TComponentRead::TComponentRead(TComponent* component, XmlNode node)
    : component_(component), node_(std::move(node)) {}

void TComponentRead::LoadAttribute(const Variant& key) {
  if (!node_) return;
  XmlNode attribute;
  if (key.IsString())
    attribute = node_.NamedAttribute(key.ToText());
  else if (!VarIsEmptyOrNull(key) && !key.IsArray())
    attribute = node_.AttributeAt(key.ToInt());
  if (attribute) ApplyAttribute(attribute);
}

void TComponentRead::LoadAllAttributes() {
  if (!node_) return;
  Batch batch;
  batch_ = &batch;
  for (int i = 0; i < node_.AttributeCount(); ++i)
    LoadAttribute(i);
  FinishBatch();
}

void TComponentRead::FinishBatch() {
  Batch batch = std::move(*batch_);
  batch_ = nullptr;
  // One change per list: a radio group rebuilds its buttons once for the
  // whole element, not once per line.
  for (TStrings* lines : batch.lists)
    lines->EndUpdate();
  if (batch.skipped > 0)
    WriteAlertLog("Language",
                  Format("%s: %d line(s) beyond the %d a list holds skipped, the first \"%s\"",
                         component_ ? component_->Name() : std::string(), batch.skipped, kMaxLines,
                         batch.first_skipped));
}

void TComponentRead::SetLine(TStrings& lines, int index, const std::string& path,
                             const std::string& value) {
  if (index >= kMaxLines) {
    if (batch_->skipped++ == 0) batch_->first_skipped = path;
    return;
  }
  if (std::find(batch_->lists.begin(), batch_->lists.end(), &lines) == batch_->lists.end()) {
    lines.BeginUpdate();
    batch_->lists.push_back(&lines);
  }
  while (lines.Count() <= index)
    lines.Add("");
  lines.Put(index, value);
}

void TComponentRead::ApplyAttribute(const XmlNode& attribute) {
  if (!component_) return;
  const std::string path = attribute.NodeName();
  const std::string value = attribute.Text();

  TObject* obj = component_;
  std::string last = path;
  std::string_view rest = path;
  if (path.find('.') != std::string::npos) {
    while (obj) {
      std::size_t dot = rest.find('.');
      std::string seg = Trim(rest.substr(0, dot));
      rest = dot == std::string_view::npos ? std::string_view() : rest.substr(dot + 1);
      if (Trim(rest).empty()) {
        last = seg;
        break;
      }
      if (seg.find('_') == std::string::npos) {
        obj = GetObjectProperty(obj, seg);
        continue;
      }
      Segment s = SplitSegment(seg);
      if (s.Index < 0 || !(SameText(s.Name, "Items") || SameText(s.Name, "Columns"))) {
        last = seg;
        break;
      }
      SelectElement(obj, s);
    }
  }
  if (!obj) return;

  Segment s = SplitSegment(last);
  // "Items_2" of a combo box, "Lines_0" of a memo: the component's string list.
  if (obj == component_ && s.Index >= 0) obj = GetObjectProperty(component_, s.Name);
  if (!obj) return;

  if (auto* lines = dynamic_cast<TStrings*>(obj); lines && s.Index >= 0) {
    if (batch_) {
      SetLine(*lines, s.Index, path, value);
      return;
    }
    Batch batch;
    batch_ = &batch;
    SetLine(*lines, s.Index, path, value);
    FinishBatch();
    return;
  }
  TrySetPropertyByPath(obj, s.Name, Variant(value));
}

void TCustomComboBoxRead::LoadAllAttributes() {
  KeepingItemIndex(GetComponent(), true, [this] { TComponentRead::LoadAllAttributes(); });
}

void TwwDBCustomComboBoxRead::LoadAllAttributes() {
  KeepingItemIndex(GetComponent(), false, [this] { TComponentRead::LoadAllAttributes(); });
}

ILangReadPtr TReaderFactory::CreateReader(TComponent* component, const XmlNode& node) {
  if (component && component->InheritsFrom("TwwDBCustomComboBox"))
    return std::make_shared<TwwDBCustomComboBoxRead>(component, node);
  if (component && component->InheritsFrom("TCustomComboBox"))
    return std::make_shared<TCustomComboBoxRead>(component, node);
  return std::make_shared<TComponentRead>(component, node);
}

// ---- TLangReader --------------------------------------------------------------------

TLangReader::TLangReader(XmlDocument document) : document_(std::move(document)) {}

TLangReader::~TLangReader() = default;

bool TLangReader::IsExcluded(std::string_view name) const {
  std::string trimmed = Trim(name);
  for (int i = 0; i < exclude_.Count(); ++i)
    if (SameText(Trim(exclude_.Get(i)), trimmed)) return true;
  return false;
}

void TLangReader::LoadElement(TComponent* component, const XmlNode& node) {
  BeforeLoadComponent(component, node);
  TReaderFactory::CreateReader(component, node)->LoadAllAttributes();
  AfterLoadComponent(component, node);
}

void TLangReader::ReadComponent(TComponent* component) {
  if (!component) return;
  TWeak<TComponent> alive(component);
  XmlNode root = document_.DocumentElement();
  if (root && IsRootTarget(component)) LoadElement(component, root);
  if (!alive) return;

  if (!component->Name().empty() && !IsExcluded(component->Name())) {
    XmlNode node;
    try {
      node = document_.SelectSingleNode("//" + component->Name());
    } catch (const EXmlError&) {
      // A name that is no element name cannot have an element.
    }
    if (node && node.NodeType() == XmlNodeType::Element) LoadElement(component, node);
    if (!alive) return;
  }

  // Index by index: a load event may add or free components on the way.
  for (int i = 0; alive && i < component->ComponentCount(); ++i) {
    TWeak<TComponent> child(component->Components(i));
    ReadComponent(child.get());
  }
}

// ---- TLanguageController ------------------------------------------------------------

const TClassInfo& TLanguageController::StaticClassInfo() {
  static const TClassInfo& info =
      DefineClass<TLanguageController>("TLanguageController", [](auto&) {});
  return info;
}

TLanguageController::TLanguageController(TComponent* owner)
    : TComponent(owner), exclude_(std::make_unique<TStringList>()) {
  exclude_->OnChange = Bind<&TLanguageController::ExcludeChanged>(this);
}

TLanguageController::~TLanguageController() {
  // No close events: whoever handles them may already be gone.
  Release();
}

bool TLanguageController::Active() const {
  return document_ && document_->DocumentElement();
}

void TLanguageController::SetActive(bool value) {
  if (IsLoading()) {
    streamed_active_ = value;
    return;
  }
  if (value == Active()) return;
  if (value)
    Open();
  else
    Close();
}

void TLanguageController::Loaded() {
  TComponent::Loaded();
  if (streamed_active_) SetActive(true);
}

void TLanguageController::Open() {
  BeforeOpen(this);
  Release();
  if (file_name_.empty()) throw LanguageControllerError(Format("Cannot Find File %s!", file_name_));
  auto doc = std::make_unique<XmlDocument>();
  if (!doc->Load(file_name_) || doc->ParseError().ErrorCode != xmlOk)
    throw LanguageControllerError(doc->ParseError().Reason);
  document_ = std::move(doc);
  reader_ = std::make_unique<TLangReader>(*document_);
  reader_->ExcludeControls().Assign(exclude_.get());
  reader_->BeforeLoadComponent = BeforeLoadComponent;
  reader_->AfterLoadComponent = AfterLoadComponent;
  AfterOpen(this);
}

void TLanguageController::Close() {
  BeforeClose(this);
  Release();
  AfterClose(this);
}

void TLanguageController::Release() {
  reader_.reset();
  document_.reset();
}

void TLanguageController::SetFileName(std::string_view file_name) {
  if (file_name == file_name_) return;
  file_name_ = std::string(file_name);
  SetActive(false);
}

void TLanguageController::SetExcludeControls(TStrings* names) {
  if (names)
    exclude_->Assign(names);
  else
    exclude_->Clear();
}

void TLanguageController::ExcludeChanged(TObject*) {
  if (reader_) reader_->ExcludeControls().Assign(exclude_.get());
}

TLangReader* TLanguageController::GetReader() const {
  if (!Active() || !reader_) throw LanguageControllerError("No active LanguageController!");
  return reader_.get();
}

// ---- TVxLangController --------------------------------------------------------------

const TClassInfo& TVxLangController::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TVxLangController>("TVxLangController", [](auto& r) {
    RegisterEnumType("TDesignType", {"dtClient", "dtServer"});
    r.template Bool<&TVxLangController::Active, &TVxLangController::SetActive>("Active");
    r.template Event<&TVxLangController::AfterClose>("AfterClose");
    r.template Event<&TVxLangController::AfterOpen>("AfterOpen");
    r.template Event<&TVxLangController::BeforeClose>("BeforeClose");
    r.template Event<&TVxLangController::BeforeOpen>("BeforeOpen");
    r.template Event<&TVxLangController::AfterLoadComponent>("AfterLoadComponent",
                                                             "TLoadComponentEvent");
    r.template Event<&TVxLangController::BeforeLoadComponent>("BeforeLoadComponent",
                                                              "TLoadComponentEvent");
    r.template Obj<&TVxLangController::ExcludeControls, &TVxLangController::SetExcludeControls>(
        "ExcludeControls", "TStrings");
    r.template Str<&TVxLangController::LangPackageName, &TVxLangController::SetLangPackageName>(
        "LangPackageName");
    r.template Ord<&TVxLangController::DesignType, &TVxLangController::SetDesignType>(
        "DesignType", "TDesignType");
  });
  return info;
}

void TVxLangController::SetLangPackageName(std::string_view name) {
  if (name == package_name_) return;
  package_name_ = std::string(name);
  SetFileName(GetLanguageFolder(design_type_) + package_name_ + std::string(kLangFileExt));
}

}  // namespace vx
