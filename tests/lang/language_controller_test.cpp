#include "lang/language_controller.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "controls/selectpnl.h"
#include "lib/props.h"
#include "platform/ui/collections.h"
#include "platform/ui/comctrls.h"
#include "platform/ui/extctrls.h"
#include "tests/env/env_fixture.h"

namespace vx {
namespace {

// ---- stand-ins for classes the framework knows only by name -------------------------

// The data-aware combo box: items and an item index that rewriting the items
// clears, as a real box does.
class TwwDBCustomComboBox : public TWinControl {
  VX_CLASS(TwwDBCustomComboBox, TWinControl)
  explicit TwwDBCustomComboBox(TComponent* owner) : TWinControl(owner) {
    items_.OnChange = Bind<&TwwDBCustomComboBox::ItemsChanged>(this);
  }
  TStrings* Items() const { return const_cast<TStringList*>(&items_); }
  void SetItems(TStrings* items) { items_.Assign(items); }
  int ItemIndex() const { return item_index_; }
  void SetItemIndex(int index) {
    ++index_writes;
    item_index_ = index < items_.Count() ? index : -1;
  }
  int index_writes = 0;

 private:
  void ItemsChanged(TObject*) { item_index_ = -1; }
  TStringList items_;
  int item_index_ = -1;
};

const TClassInfo& TwwDBCustomComboBox::StaticClassInfo() {
  static const TClassInfo& info =
      DefineClass<TwwDBCustomComboBox>("TwwDBCustomComboBox", [](auto& r) {
        r.template Obj<&TwwDBCustomComboBox::Items, &TwwDBCustomComboBox::SetItems>("Items",
                                                                                    "TStrings");
        r.template Ord<&TwwDBCustomComboBox::ItemIndex, &TwwDBCustomComboBox::SetItemIndex>(
            "ItemIndex", "Integer");
        r.Publish("Hint");
      });
  return info;
}

// A non-visual container whose root element applies like a form's.
class TDataModule : public TComponent {
  VX_CLASS(TDataModule, TComponent)
  explicit TDataModule(TComponent* owner) : TComponent(owner) {}
};

const TClassInfo& TDataModule::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TDataModule>("TDataModule", [](auto&) {});
  return info;
}

// A column of a grid-like control: a collection element with a caption.
class TTestColumn : public TCollectionItem {
  VX_CLASS(TTestColumn, TCollectionItem)
  explicit TTestColumn(TCollection* c) : TCollectionItem(c) {}
  const std::string& Title() const { return title_; }
  void SetTitle(std::string_view v) { title_ = std::string(v); }
  int Width() const { return width_; }
  void SetWidth(int v) { width_ = v; }

 private:
  std::string title_;
  int width_ = 64;
};

const TClassInfo& TTestColumn::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TTestColumn>("TTestColumn", [](auto& r) {
    r.template Str<&TTestColumn::Title, &TTestColumn::SetTitle>("Caption", "TCaption");
    r.template Ord<&TTestColumn::Width, &TTestColumn::SetWidth>("Width", "Integer");
  });
  return info;
}

// A grid with a column collection and a memo-like string list.
class TTestGrid : public TCustomPanel {
  VX_CLASS(TTestGrid, TCustomPanel)
  explicit TTestGrid(TComponent* owner)
      : TCustomPanel(owner),
        columns_([](TCollection* c) -> TCollectionItem* { return new TTestColumn(c); }) {}
  TCollection* Columns() const { return const_cast<TCollection*>(&columns_); }
  TStrings* Lines() const { return const_cast<TStringList*>(&lines_); }
  TTestColumn* Column(int i) const { return static_cast<TTestColumn*>(columns_.Items(i)); }

 private:
  TCollection columns_;
  TStringList lines_;
};

const TClassInfo& TTestGrid::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TTestGrid>("TTestGrid", [](auto& r) {
    r.template Obj<&TTestGrid::Columns>("Columns", "TCollection");
    r.template Obj<&TTestGrid::Lines>("Lines", "TStrings");
    r.Publish("Caption");
    r.Publish("Hint");
    r.Publish("Font");
    r.Publish("Alignment");
    r.Publish("Visible");
  });
  return info;
}

using Lines = std::vector<std::string>;

class LanguageTest : public test::EnvFixture {
 protected:
  void SetUp() override {
    CodePage("936");
    FreeAllForms();
  }
  void TearDown() override { FreeAllForms(); }

  // Installation at inst/ for both readers; the interface code pages of the
  // client and the server configuration; the language folders named exist.
  void Machine(const std::string& client_cp, const std::string& server_cp = "936",
               const Lines& folders = {"CHS", "CHT", "ENG"}) {
    Registry("\"ClientPath\"=\"" + RegPath(Install()) + "\"\r\n\"ServerPath\"=\"" +
             RegPath(Install()) + "\"\r\n\"ProfileType\"=\"0\"\r\n");
    tmp_.Write("inst/SorvendaC.ini", "[CodePage]\nUICodePage=" + client_cp + "\n");
    tmp_.Write("inst/SorvendaS.ini", "[CodePage]\nUICodePage=" + server_cp + "\n");
    for (const auto& f : folders)
      tmp_.MakeFolder("inst/MultiLanguage/" + f);
  }
  std::string Folder(const std::string& lang) const {
    return Install("MultiLanguage/" + lang) + "/";
  }
  std::string LangFile(const std::string& lang, const std::string& package,
                       const std::string& xml) {
    return tmp_.Write("inst/MultiLanguage/" + lang + "/" + package + ".Lng", xml);
  }

  // An English machine with one package file, and a controller on a form
  // opened on it.
  TVxLangController* Open(TForm* form, const std::string& xml) {
    Machine("437");
    LangFile("ENG", "TfrmTest", xml);
    auto* c = new TVxLangController(form);
    c->SetLangPackageName("TfrmTest");
    c->SetActive(true);
    return c;
  }

 public:
  Lines log;
  static std::string NameOf(TObject* o) {
    auto* c = dynamic_cast<TComponent*>(o);
    return c && !c->Name().empty() ? c->Name() : o ? o->ClassName() : "nil";
  }
  void BeforeOpen(TObject* s) { log.push_back("BeforeOpen " + NameOf(s)); }
  void AfterOpen(TObject* s) { log.push_back("AfterOpen " + NameOf(s)); }
  void BeforeClose(TObject* s) { log.push_back("BeforeClose " + NameOf(s)); }
  void AfterClose(TObject* s) { log.push_back("AfterClose " + NameOf(s)); }
  void BeforeLoad(TComponent* c, const XmlNode& n) {
    log.push_back("before " + NameOf(c) + "@" + n.NodeName());
  }
  void AfterLoad(TComponent* c, const XmlNode& n) {
    log.push_back("after " + NameOf(c) + "@" + n.NodeName());
  }
  void Watch(TLanguageController* c) {
    c->BeforeOpen = Bind<&LanguageTest::BeforeOpen>(this);
    c->AfterOpen = Bind<&LanguageTest::AfterOpen>(this);
    c->BeforeClose = Bind<&LanguageTest::BeforeClose>(this);
    c->AfterClose = Bind<&LanguageTest::AfterClose>(this);
    c->BeforeLoadComponent = Bind<&LanguageTest::BeforeLoad>(this);
    c->AfterLoadComponent = Bind<&LanguageTest::AfterLoad>(this);
  }
};

template <class T>
T* Add(TForm* form, const char* name, TComponent* owner = nullptr) {
  auto* c = new T(owner ? owner : form);
  c->SetName(name);
  if constexpr (std::is_base_of_v<TControl, T>) c->SetParent(form);
  return c;
}

TForm* NewForm(const char* name = "frmTest") {
  auto* f = Create<TForm>(nullptr);
  f->SetName(name);
  return f;
}

// ---- language folder ------------------------------------------------------------------

TEST_F(LanguageTest, LanguageNameByCodePage) {
  struct Case {
    const char* code_page;
    const char* name;
  } cases[] = {{"936", "CHS"}, {"950", "CHT"}, {"437", "ENG"}, {" 437 ", "ENG"},
               {"1252", ""},   {"", ""},       {"CHS", ""},    {"9360", ""}};
  for (const auto& c : cases)
    EXPECT_EQ(GetLanguageName(c.code_page), c.name) << c.code_page;
}

TEST_F(LanguageTest, LanguageFolderByConfiguredCodePageAndDesignType) {
  struct Case {
    const char* client_cp;
    const char* server_cp;
    Lines folders;
    TDesignType type;
    const char* expected;  // language folder, "" for none
  } cases[] = {
      {"936", "950", {"CHS", "CHT"}, dtClient, "CHS"},
      {"936", "950", {"CHS", "CHT"}, dtServer, "CHT"},
      {"437", "936", {"ENG"}, dtClient, "ENG"},
      {"950", "936", {"CHS"}, dtClient, ""},  // no CHT folder
      {"1252", "936", {"CHS", "CHT", "ENG"}, dtClient, ""},
      {"936", "1252", {"CHS", "CHT", "ENG"}, dtServer, ""},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(Install());
    Machine(c.client_cp, c.server_cp, c.folders);
    std::string expected = *c.expected ? Folder(c.expected) : "";
    EXPECT_EQ(GetLanguageFolder(c.type), expected) << c.client_cp << " " << c.server_cp;
  }
}

TEST_F(LanguageTest, PackageNameGivesTheFileNameInTheLanguageFolder) {
  Machine("437");
  TForm* f = NewForm();
  auto* c = new TVxLangController(f);
  c->SetLangPackageName("TfrmStkb17");
  EXPECT_EQ(c->FileName(), Folder("ENG") + "TfrmStkb17.Lng");
  // A code page without a language: the bare name, relative to the current folder.
  Machine("1252");
  c->SetLangPackageName("TfrmBaseGene");
  EXPECT_EQ(c->FileName(), "TfrmBaseGene.Lng");
  // The server configuration for a server-side controller.
  Machine("437", "950");
  c->SetDesignType(dtServer);
  c->SetLangPackageName("TfrmStkb17");
  EXPECT_EQ(c->FileName(), Folder("CHT") + "TfrmStkb17.Lng");
}

// ---- activation -----------------------------------------------------------------------

TEST_F(LanguageTest, ActivationErrors) {
  Machine("437");
  std::string broken =
      LangFile("ENG", "TfrmBroken", "<TfrmBroken><btnOK Caption=\"OK\"></TfrmBroken>");
  XmlDocument probe;
  ASSERT_FALSE(probe.Load(broken));
  std::string parser_reason = probe.ParseError().Reason;
  ASSERT_FALSE(parser_reason.empty());
  std::string missing = Folder("ENG") + "TfrmNone.Lng";
  ASSERT_FALSE(probe.Load(missing));
  std::string missing_reason = probe.ParseError().Reason;
  ASSERT_FALSE(missing_reason.empty());

  struct Case {
    const char* file_name;
    std::string message;
  } cases[] = {
      {"", "Cannot Find File !"},
      {"broken", parser_reason},
      {"missing", missing_reason},
  };
  for (const auto& c : cases) {
    TForm* f = NewForm();
    auto* lc = new TVxLangController(f);
    Watch(lc);
    log.clear();
    std::string name = c.file_name;
    lc->SetFileName(name == "broken" ? broken : name == "missing" ? missing : name);
    try {
      lc->SetActive(true);
      ADD_FAILURE() << "no error for " << c.file_name;
    } catch (const LanguageControllerError& e) {
      EXPECT_EQ(e.Message(), c.message);
      EXPECT_EQ(e.ClassName(), "LanguageControllerError");
    }
    EXPECT_FALSE(lc->Active());
    EXPECT_EQ(log, (Lines{"BeforeOpen TVxLangController"})) << c.file_name;
    try {
      lc->GetReader();
      ADD_FAILURE() << "a reader while closed";
    } catch (const LanguageControllerError& e) {
      EXPECT_EQ(e.Message(), "No active LanguageController!");
    }
    f->Free();
  }
}

TEST_F(LanguageTest, OpenAndCloseEventsInOrder) {
  Machine("437");
  LangFile("ENG", "TfrmA", "<TfrmA/>");
  LangFile("ENG", "TfrmB", "<TfrmB/>");
  TForm* f = NewForm();
  auto* lc = new TVxLangController(f);
  lc->SetName("LangController");
  Watch(lc);
  lc->SetLangPackageName("TfrmA");
  lc->SetActive(true);
  EXPECT_TRUE(lc->Active());
  EXPECT_NE(lc->GetReader(), nullptr);
  lc->SetActive(true);              // already open: nothing
  lc->SetLangPackageName("TfrmA");  // the same name: nothing
  lc->SetLangPackageName("TfrmB");  // another file closes
  EXPECT_FALSE(lc->Active());
  lc->SetActive(false);  // already closed: nothing
  lc->SetActive(true);
  lc->SetActive(false);
  EXPECT_EQ(log, (Lines{"BeforeOpen LangController", "AfterOpen LangController",
                        "BeforeClose LangController", "AfterClose LangController",
                        "BeforeOpen LangController", "AfterOpen LangController",
                        "BeforeClose LangController", "AfterClose LangController"}));
  // Freeing an open controller fires nothing.
  lc->SetActive(true);
  log.clear();
  f->Free();
  EXPECT_TRUE(log.empty());
}

TEST_F(LanguageTest, ActiveReadFromAResourceIsAppliedWhenLoadingEnds) {
  Machine("437");
  LangFile("ENG", "TfrmTest", "<TfrmTest Caption=\"Recount\"/>");
  TForm* f = NewForm();
  auto* lc = new TVxLangController(f);
  f->BeginLoading();
  lc->SetLangPackageName("TfrmTest");
  lc->SetActive(true);
  EXPECT_FALSE(lc->Active());
  f->EndLoading();
  EXPECT_TRUE(lc->Active());
}

TEST_F(LanguageTest, PublishedPropertiesInOrder) {
  TForm* f = NewForm();
  auto* lc = new TVxLangController(f);
  Lines names;
  for (const TPropInfo* p : GetPropList(*lc))
    names.push_back(p->Name);
  EXPECT_EQ(names, (Lines{"Name", "Tag", "Active", "AfterClose", "AfterOpen", "BeforeClose",
                          "BeforeOpen", "AfterLoadComponent", "BeforeLoadComponent",
                          "ExcludeControls", "LangPackageName", "DesignType"}));
  EXPECT_EQ(GetStrProperty(lc, "DesignType"), "dtClient");
  EXPECT_EQ(GetStrProperty(lc, "Active"), "False");
  SetStrProperty(lc, "DesignType", "dtServer");
  EXPECT_EQ(lc->DesignType(), dtServer);
}

// ---- applying a file ------------------------------------------------------------------

TEST_F(LanguageTest, ElementFoundAnywhereFirstInDocumentOrderWins) {
  TForm* f = NewForm();
  auto* btn = Add<TButton>(f, "btnQuery");
  auto* lbl = Add<TLabel>(f, "lblDate");
  auto* lc = Open(f,
                  "<TfrmTest>"
                  "<pnlTop><Group><btnQuery Caption=\"Query\" Hint=\"Look up\"/></Group></pnlTop>"
                  "<btnQuery Caption=\"Second\"/>"
                  "<lblDate Caption=\"Date\"/>"
                  "</TfrmTest>");
  btn->SetCaption("查询");
  lc->GetReader()->ReadComponent(f);
  EXPECT_EQ(btn->Caption(), "Query");
  EXPECT_EQ(btn->Hint(), "Look up");
  EXPECT_EQ(lbl->Caption(), "Date");
}

TEST_F(LanguageTest, PropertyPaths) {
  struct Case {
    const char* attributes;
    const char* expected;  // caption|hint|font name|font size|alignment|visible|col0|col1|lines
  } cases[] = {
      {"Caption=\"Total\" Hint=\"Sum\"", "Total|Sum|Arial|9|taCenter|1|a|b|"},
      {"Font.Name=\"Tahoma\" Font.Size=\"12\"", "c|h|Tahoma|12|taCenter|1|a|b|"},
      {"Font.Name.=\"Tahoma\"", "c|h|Tahoma|9|taCenter|1|a|b|"},
      {"Alignment=\" taRightJustify \" Visible=\"False\"", "c|h|Arial|9|taRightJustify|0|a|b|"},
      {"Columns_1.Caption=\"Second\" Columns_0.Width=\"80\"", "c|h|Arial|9|taCenter|1|a|Second|"},
      {"Columns.Items_0.Caption=\"First\"", "c|h|Arial|9|taCenter|1|First|b|"},
      // Past the end: the grid's own Caption gets the value.
      {"Columns_2.Caption=\"Own\"", "Own|h|Arial|9|taCenter|1|a|b|"},
      {"Lines_2=\"third\" Lines_0=\"first\"", "c|h|Arial|9|taCenter|1|a|b|first,,third"},
      // Unsettable: skipped, the rest still applies.
      {"NoSuch=\"x\" Font.NoSuch=\"x\" Font.Size=\"big\" Alignment=\"taNowhere\" Hint=\"ok\"",
       "c|ok|Arial|9|taCenter|1|a|b|"},
      {"Tag.Name=\"x\" Items_1=\"z\" Font..Name=\"x\"", "c|h|Arial|9|taCenter|1|a|b|"},
      // A segment is split at its first "_": the name before it is the
      // property, the rest its index only when it is a number.
      {"Caption_x=\"y\" Hint_=\"z\"", "y|z|Arial|9|taCenter|1|a|b|"},
      {"Lines_1_2=\"z\" Lines_-1=\"z\" Columns_0_1.Caption=\"t\"", "c|h|Arial|9|taCenter|1|a|b|"},
  };
  for (const auto& c : cases) {
    TForm* f = NewForm();
    auto* grid = Add<TTestGrid>(f, "grdList");
    grid->SetCaption("c");
    grid->SetHint("h");
    grid->Font()->SetName("Arial");
    grid->Font()->SetSize(9);
    static_cast<TTestColumn*>(grid->Columns()->Add())->SetTitle("a");
    static_cast<TTestColumn*>(grid->Columns()->Add())->SetTitle("b");
    auto* lc = Open(f, std::string("<TfrmTest><grdList ") + c.attributes + "/></TfrmTest>");
    lc->GetReader()->ReadComponent(f);
    std::string got = grid->Caption() + "|" + grid->Hint() + "|" + grid->Font()->Name() + "|" +
                      std::to_string(grid->Font()->Size()) + "|" +
                      GetStrProperty(grid, "Alignment") + "|" + std::to_string(grid->Visible()) +
                      "|" + grid->Column(0)->Title() + "|" + grid->Column(1)->Title() + "|" +
                      grid->Lines()->CommaText();
    EXPECT_EQ(got, c.expected) << c.attributes;
    if (std::string(c.attributes).find("Width") != std::string::npos) {
      EXPECT_EQ(grid->Column(0)->Width(), 80);
    }
    f->Free();
  }
}

TEST_F(LanguageTest, ListViewColumnsAndItemsTreeViewNodesInFlatOrder) {
  struct Case {
    const char* attributes;
    const char* expected;  // list view: columns ; items | tree view: nodes in flat order
  } cases[] = {
      {"Columns_0.Caption=\"Name\" Items_1.Caption=\"Second\"", "Name;a,Second|r1,c1,r2"},
      // Past the end: the list view has no property of that name, nothing changes.
      {"Columns_1.Caption=\"x\" Items_2.Caption=\"y\"", "名称;a,b2|r1,c1,r2"},
      {"Items_0.Checked=\"True\" Columns_0.Width=\"120\"", "名称;a,b2|r1,c1,r2"},
      {"Items_1.Text=\"child\" Items_2.Text=\"root 2\" Items_3.Text=\"none\"",
       "名称;a,b2|r1,child,root 2"},
  };
  for (const auto& c : cases) {
    TForm* f = NewForm();
    auto* lv = Add<TListView>(f, "lvList");
    lv->Columns()->Add()->SetCaption("名称");
    lv->Items()->Add()->SetCaption("a");
    lv->Items()->Add()->SetCaption("b2");
    auto* tv = Add<TTreeView>(f, "tvTree");
    TTreeNode* r1 = tv->Items()->Add(nullptr, "r1");
    tv->Items()->AddChild(r1, "c1");
    tv->Items()->Add(r1, "r2");
    std::string attrs = c.attributes;
    bool tree = attrs.find(".Text") != std::string::npos;
    auto* lc = Open(
        f, "<TfrmTest><" + std::string(tree ? "tvTree " : "lvList ") + attrs + "/></TfrmTest>");
    lc->GetReader()->ReadComponent(f);
    std::string got = lv->Column(0)->Caption() + ";";
    for (int i = 0; i < lv->Items()->Count(); ++i)
      got += (i ? "," : "") + lv->Items()->Items(i)->Caption();
    got += "|";
    for (int i = 0; i < tv->Items()->Count(); ++i)
      got += (i ? "," : "") + tv->Items()->Item(i)->Text();
    EXPECT_EQ(got, c.expected) << attrs;
    EXPECT_EQ(lv->Columns()->Count(), 1);
    EXPECT_EQ(lv->Caption(), "");
    if (attrs.find("Checked") != std::string::npos) {
      EXPECT_TRUE(lv->Items()->Items(0)->Checked());
      EXPECT_EQ(lv->Column(0)->Width(), 120);
    }
    f->Free();
  }
}

TEST_F(LanguageTest, ComboBoxLinesAppendedAndItemIndexKept) {
  TForm* f = NewForm();
  auto* cbo = Add<TwwDBCustomComboBox>(f, "cboKind");
  cbo->Items()->Add("one");
  cbo->Items()->Add("two");
  cbo->SetItemIndex(1);
  auto* lc = Open(f, "<TfrmTest><cboKind Items_3=\"four\" Items_0=\"One\"/></TfrmTest>");
  cbo->index_writes = 0;
  lc->GetReader()->ReadComponent(f);
  EXPECT_EQ(cbo->Items()->CommaText(), "One,two,,four");
  EXPECT_EQ(cbo->ItemIndex(), 1);
  EXPECT_EQ(cbo->index_writes, 1);
  // Nothing moved the selection: the data-aware box is left alone.
  LangFile("ENG", "TfrmTest", "<TfrmTest><cboKind Hint=\"Kind\"/></TfrmTest>");
  lc->SetActive(false);
  lc->SetActive(true);
  cbo->index_writes = 0;
  lc->GetReader()->ReadComponent(f);
  EXPECT_EQ(cbo->Hint(), "Kind");
  EXPECT_EQ(cbo->index_writes, 0);
}

TEST_F(LanguageTest, StandardComboBoxKeepsItsSelectionMemoLinesAppended) {
  struct Case {
    TComboBoxStyle style;
    const char* attributes;
    const char* items;
    int index;
  } cases[] = {
      {csDropDown, "Items_3=\"four\" Items_1=\"Two\"", "one,Two,,four", 1},
      {csDropDownList, "Items_1=\"Two\" Items_0=\"One\"", "One,Two", 1},
      {csDropDownList, "Items_5=\"\"", "one,two,,,,", 1},
  };
  for (const auto& c : cases) {
    TForm* f = NewForm();
    auto* cbo = Add<TComboBox>(f, "cboKind");
    cbo->SetStyle(c.style);
    cbo->Items()->Add("one");
    cbo->Items()->Add("two");
    cbo->SetItemIndex(1);
    auto* memo = Add<TMemo>(f, "meNote");
    auto* lc = Open(f, std::string("<TfrmTest><cboKind ") + c.attributes +
                           "/><meNote Lines_1=\"second\"/></TfrmTest>");
    lc->GetReader()->ReadComponent(f);
    EXPECT_EQ(cbo->Items()->CommaText(), c.items) << c.attributes;
    EXPECT_EQ(cbo->ItemIndex(), c.index) << c.attributes;
    EXPECT_EQ(memo->Lines()->Text(), "\r\nsecond\r\n");
    f->Free();
  }
}

// Counts the change notifications of a radio group's item list, passing them on.
struct ItemChanges {
  explicit ItemChanges(TCustomRadioGroup* group)
      : list(static_cast<TStringList*>(group->Items())), passed_on(list->OnChange) {
    list->OnChange = Bind<&ItemChanges::Changed>(this);
  }
  void Changed(TObject* sender) {
    ++count;
    passed_on(sender);
  }
  TStringList* list;
  TNotifyEvent passed_on;
  int count = 0;
};

TEST_F(LanguageTest, LineIndexesAreBoundedAndARadioGroupRebuildsOnce) {
  TForm* f = NewForm();
  auto* memo = Add<TMemo>(f, "meNote");
  auto* rdo = Add<TRadioGroup>(f, "rdoKind");
  ItemChanges changes(rdo);
  auto* lc = Open(f,
                  "<TfrmTest><meNote Lines_2147483647=\"\" Lines_4096=\"x\" Lines_1=\"b\"/>"
                  "<rdoKind Items_2=\"c\" Items_0=\"a\" Items_21474=\"\" Items_1=\"b\" "
                  "Caption=\"Kind\"/></TfrmTest>");
  lc->GetReader()->ReadComponent(f);
  EXPECT_EQ(memo->Lines()->CommaText(), ",b");
  EXPECT_EQ(rdo->Items()->CommaText(), "a,b,c");
  EXPECT_EQ(rdo->ButtonCount(), 3);
  EXPECT_EQ(rdo->Buttons(2)->Caption(), "c");
  EXPECT_EQ(rdo->Caption(), "Kind");
  EXPECT_EQ(changes.count, 1);
  // What was skipped is reported once per element, with its count.
  std::string log;
  for (const auto& e : std::filesystem::directory_iterator(Install("Log")))
    log += tmp_.Read("inst/Log/" + e.path().filename().string());
  EXPECT_NE(log.find("meNote: 2 line(s) beyond the 4096 a list holds skipped, the first "
                     "\"Lines_2147483647\""),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("rdoKind: 1 line(s)"), std::string::npos) << log;

  // The last line a list holds is still set.
  LangFile("ENG", "TfrmTest", "<TfrmTest><meNote Lines_4095=\"last\"/></TfrmTest>");
  lc->SetActive(false);
  lc->SetActive(true);
  lc->GetReader()->ReadComponent(f);
  EXPECT_EQ(memo->Lines()->Count(), 4096);
  EXPECT_EQ(memo->Lines()->Get(4095), "last");
  f->Free();
}

TEST_F(LanguageTest, ReaderFactoryByClass) {
  TForm* f = NewForm();
  XmlNode none;
  auto* ww = Add<TwwDBCustomComboBox>(f, "cboA");
  auto* btn = Add<TButton>(f, "btnA");
  auto* cbo = Add<TComboBox>(f, "cboB");
  EXPECT_NE(dynamic_cast<TCustomComboBoxRead*>(TReaderFactory::CreateReader(cbo, none).get()),
            nullptr);
  EXPECT_NE(dynamic_cast<TwwDBCustomComboBoxRead*>(TReaderFactory::CreateReader(ww, none).get()),
            nullptr);
  ILangReadPtr plain = TReaderFactory::CreateReader(btn, none);
  EXPECT_EQ(dynamic_cast<TCustomComboBoxRead*>(plain.get()), nullptr);
  EXPECT_EQ(dynamic_cast<TwwDBCustomComboBoxRead*>(plain.get()), nullptr);
  EXPECT_EQ(plain->GetComponent(), btn);
}

TEST_F(LanguageTest, LoadAttributeByPositionOrName) {
  TForm* f = NewForm();
  auto* btn = Add<TButton>(f, "btnA");
  XmlDocument doc;
  ASSERT_TRUE(doc.LoadXml("<btnA Caption=\"Go\" Hint=\"Start\"/>"));
  ILangReadPtr r = TReaderFactory::CreateReader(btn, doc.DocumentElement());
  r->LoadAttribute("Hint");
  EXPECT_EQ(btn->Hint(), "Start");
  EXPECT_EQ(btn->Caption(), "");
  r->LoadAttribute(0);
  EXPECT_EQ(btn->Caption(), "Go");
  btn->SetCaption("x");
  r->LoadAttribute(2);
  r->LoadAttribute("caption");  // names are exact
  r->LoadAttribute(Variant());
  EXPECT_EQ(btn->Caption(), "x");
}

TEST_F(LanguageTest, ExcludedInOtherCaseWithBlanksOwnedComponentsStillTranslated) {
  TForm* f = NewForm();
  auto* pnl = Add<TTestGrid>(f, "pnlTop");
  auto* inner = Add<TButton>(f, "btnInner", pnl);  // owned by the panel
  auto* other = Add<TButton>(f, "btnOther");
  auto* lc = Open(f,
                  "<TfrmTest><pnlTop Caption=\"Top\"/><btnInner Caption=\"Inner\"/>"
                  "<btnOther Caption=\"Other\"/></TfrmTest>");
  lc->ExcludeControls()->Add("  PNLTOP ");
  lc->GetReader()->ReadComponent(f);
  EXPECT_EQ(pnl->Caption(), "");
  EXPECT_EQ(inner->Caption(), "Inner");
  EXPECT_EQ(other->Caption(), "Other");

  // A list given before opening is copied into the reader; nil clears it.
  TStringList names;
  names.Add("btnOther");
  lc->SetActive(false);
  lc->SetExcludeControls(&names);
  lc->SetActive(true);
  other->SetCaption("");
  pnl->SetCaption("");
  lc->GetReader()->ReadComponent(f);
  EXPECT_EQ(other->Caption(), "");
  EXPECT_EQ(pnl->Caption(), "Top");
  lc->SetExcludeControls(nullptr);
  lc->GetReader()->ReadComponent(f);
  EXPECT_EQ(other->Caption(), "Other");
}

TEST_F(LanguageTest, FormTreatedTwiceRootThenNamedElementThenOwned) {
  TForm* f = NewForm("frmTest");
  auto* btn = Add<TButton>(f, "btnOK");
  auto* lc = Open(f,
                  "<TfrmTest Caption=\"From root\" Hint=\"root hint\">"
                  "<frmTest Caption=\"From element\"/><btnOK Caption=\"OK\"/></TfrmTest>");
  lc->SetName("LangController");
  Watch(lc);
  // Load events are handed to the reader when the file opens.
  lc->SetActive(false);
  lc->SetActive(true);
  log.clear();
  lc->GetReader()->ReadComponent(f);
  EXPECT_EQ(f->Caption(), "From element");
  EXPECT_EQ(f->Hint(), "root hint");
  EXPECT_EQ(btn->Caption(), "OK");
  EXPECT_EQ(log,
            (Lines{"before frmTest@TfrmTest", "after frmTest@TfrmTest", "before frmTest@frmTest",
                   "after frmTest@frmTest", "before btnOK@btnOK", "after btnOK@btnOK"}));
}

TEST_F(LanguageTest, RootElementAppliesToDataModulesNotToOtherComponents) {
  TForm* f = NewForm();
  auto* dm = new TDataModule(f);
  dm->SetName("dmData");
  auto* tagged = new TComponent(f);
  tagged->SetName("cmpPlain");
  auto* lc = Open(f, "<TfrmTest Tag=\"7\"/>");
  lc->GetReader()->ReadComponent(f);
  EXPECT_EQ(f->Tag(), 7);
  EXPECT_EQ(dm->Tag(), 7);
  EXPECT_EQ(tagged->Tag(), 0);
}

// ---- message texts --------------------------------------------------------------------

TEST_F(LanguageTest, MessageTextOrDefaultOnEveryFailure) {
  Machine("437");
  LangFile("ENG", "TfrmBaseGene",
           "<TfrmBaseGene><Msgs><sOption Msg=\"Option captions\"/></Msgs>"
           "<sOption Msg=\"later\"/><sEmpty Msg=\"\"/><sNoMsg Text=\"x\"/>"
           "<sElement><Msg>not an attribute</Msg></sElement></TfrmBaseGene>");
  LangFile("ENG", "TfrmBroken", "<TfrmBroken><sOption Msg=\"x\"></TfrmBroken>");
  struct Case {
    TDesignType type;
    const char* package;
    const char* name;
    const char* expected;
  } cases[] = {
      {dtClient, "TfrmBaseGene", "sOption", "Option captions"},
      {dtClient, "TfrmBaseGene", "sEmpty", ""},
      {dtClient, "TfrmBaseGene", "sNoMsg", "default"},
      {dtClient, "TfrmBaseGene", "sElement", "default"},
      {dtClient, "TfrmBaseGene", "sMissing", "default"},
      {dtClient, "TfrmBaseGene", "no such name", "default"},
      {dtClient, "TfrmBaseGene", "", "default"},
      {dtClient, "TfrmBroken", "sOption", "default"},
      {dtClient, "TfrmNone", "sOption", "default"},
      {dtServer, "TfrmBaseGene", "sOption", "default"},  // server: CHS, no file there
  };
  for (const auto& c : cases)
    EXPECT_EQ(GetLangMessage(c.type, c.package, c.name, "default"), c.expected)
        << c.package << " " << c.name;
  // The file is read anew on every call.
  LangFile("ENG", "TfrmBaseGene", "<TfrmBaseGene><sOption Msg=\"Changed\"/></TfrmBaseGene>");
  EXPECT_EQ(GetLangMessage(dtClient, "TfrmBaseGene", "sOption", "default"), "Changed");
  // No configuration at all.
  registry_.reset();
  EXPECT_EQ(GetLangMessage(dtClient, "TfrmBaseGene", "sOption", "默认"), "默认");
}

// ---- deployed files ---------------------------------------------------------------------

TEST_F(LanguageTest, DeployedRootFormFilesApplyTheLanguagesFont) {
  const char* source = std::getenv("VX_TEST_SOURCE_DIR");
  ASSERT_NE(source, nullptr);
  struct Case {
    const char* code_page;
    const char* font;  // "" when no file applies
    int charset;
  } cases[] = {
      {"936", "宋体", 134}, {"950", "SimSun", 136}, {"437", "Tahoma", 134}, {"1252", "", 0}};
  for (const auto& c : cases) {
    Machine(c.code_page, "936", {});
    std::filesystem::copy(std::string(source) + "/demo/MultiLanguage", Install("MultiLanguage"),
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
    TForm* f = NewForm("frmAny");
    f->Font()->SetName("Courier");
    auto* lc = new TVxLangController(f);
    lc->SetLangPackageName("TVXForm");
    // As the forms do it: only an existing file is opened.
    if (std::filesystem::exists(lc->FileName())) {
      lc->SetActive(true);
      lc->GetReader()->ReadComponent(f);
    }
    EXPECT_EQ(f->Font()->Name(), *c.font ? c.font : "Courier") << c.code_page;
    if (*c.font) {
      EXPECT_EQ(f->Font()->Charset(), c.charset) << c.code_page;
    }
    f->Free();
  }
}

TEST_F(LanguageTest, DeployedEnglishFileTranslatesTheSelectionPanelsOwnHints) {
  const char* source = std::getenv("VX_TEST_SOURCE_DIR");
  ASSERT_NE(source, nullptr);
  Machine("437", "936", {});
  std::filesystem::copy(std::string(source) + "/demo/MultiLanguage", Install("MultiLanguage"),
                        std::filesystem::copy_options::recursive);
  TForm* f = NewForm("frmAny");
  auto* panel = new TSelectPanel(f);
  panel->SetName("pnlItem");
  panel->SetParent(f);
  auto* lc = new TVxLangController(f);
  lc->SetLangPackageName("TVXForm");
  ASSERT_TRUE(std::filesystem::exists(lc->FileName()));
  lc->SetActive(true);
  lc->GetReader()->ReadComponent(f);
  EXPECT_EQ(panel->edBegin()->Hint(), "Range: from");
  EXPECT_EQ(panel->ClearButton()->Hint(), "Multiple choice: remove all chosen values");
  EXPECT_EQ(panel->ListBox()->Hint(), "Multiple choice: the values chosen");
  f->Free();
}

}  // namespace
}  // namespace vx
