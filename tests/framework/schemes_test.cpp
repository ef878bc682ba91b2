// Condition schemes on the run-options form: the values a scheme stores and
// puts back, the scheme list's rename, delete and view modes, and the
// scheme-name dialog with its date settings.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/selectpnl.h"
#include "framework/baseopt.h"
#include "framework/geneconditioncf.h"
#include "lib/strs.h"
#include "platform/rtl/text.h"
#include "platform/ui/headless.h"
#include "platform/ui/typinfo.h"
#include "tests/framework/suite_doubles.h"

namespace vx {
namespace test {

// A job's form with one control of each kind a scheme covers: a text, a
// date, a list, a check box, a date range and a discrete list.
class TfrmTsts01 : public TfrmBaseOpt {
  VX_CLASS(TfrmTsts01, TfrmBaseOpt)
  explicit TfrmTsts01(TComponent* owner) : TfrmBaseOpt(owner) {
    SetName("frmTsts01");
    ed01 = Put<TEdit>("ed01", 20);
    me02 = Put<TMaskEdit>("me02", 50);
    cb03 = Put<TComboBox>("cb03", 80);
    for (const char* item : {"甲", "乙", "丙"})
      cb03->Items()->Add(item);
    chk04 = Put<TCheckBox>("chk04", 110);
    sp05 = Put<TSelectPanel>("sp05", 140);
    sp05->SetCaption("盘点期间");
    sp06 = Put<TSelectPanel>("sp06", 170);
    sp06->SetCaption("仓库");
    sp06->SetStyle(sp_Discrete);
  }

  template <class T>
  T* Put(const char* name, int top) {
    auto* c = new T(this);
    c->SetName(name);
    c->SetParent(tsOption1);
    c->SetBounds(88, top, 90, 21);
    return c;
  }

  void SetupProgram() override {
    TfrmBaseOpt::SetupProgram();
    SetOptionCount(6);
    if (date_fields) SetDateFields("sp05,me02");
  }
  bool InitModule(const Variant& startup) override {
    bool r = TfrmBaseOpt::InitModule(startup);
    if (r) {
      me02->SetEditMask(DateMaskText());
      sp05->SetEditMask(DateMaskText());
    }
    return r;
  }
  bool FillParamCaptions(Variant& row, int module_count) override {
    bool r = TfrmBaseOpt::FillParamCaptions(row, module_count);
    row[2] = VarArrayOf({"盘点日期", "me02"});
    return r;
  }
  void BeforeLoadControl(TComponent* control, const std::string&) override {
    loaded.push_back(control->Name());
  }

  TEdit* ed01;
  TMaskEdit* me02;
  TComboBox* cb03;
  TCheckBox* chk04;
  TSelectPanel* sp05;
  TSelectPanel* sp06;
  bool date_fields = true;
  std::vector<std::string> loaded;
};

inline const TClassInfo& TfrmTsts01::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TfrmTsts01>("TfrmTsts01", [](auto&) {});
  return info;
}

}  // namespace test

namespace {

using test::TfrmTsts01;

constexpr char kEtx = '\x03';

std::string Etx(std::vector<std::string> parts) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i)
    out += (i ? std::string(1, kEtx) : std::string()) + parts[i];
  return out;
}

// The text of the last message dialog; the dialog pads it with blanks.
std::string LastMessage() {
  const auto& shown = HeadlessWidgetSet()->Dialogs();
  return shown.empty() ? std::string() : TrimRight(shown.back().Text);
}

std::string Rows(TSelectPanel* panel) {
  std::string out;
  TListItems* items = panel->ListBox()->Items();
  for (int i = 0; i < items->Count(); ++i) {
    out += items->Items(i)->Caption();
    for (int j = 0; j < items->Items(i)->SubItems()->Count(); ++j)
      out += "/" + items->Items(i)->SubItems()->Get(j);
    out += ";";
  }
  return out;
}

void AddRow(TSelectPanel* panel, std::vector<std::string> texts) {
  TListItem* item = panel->ListBox()->Items()->Add();
  item->SetCaption(texts[0]);
  for (std::size_t i = 1; i < texts.size(); ++i)
    item->SubItems()->Add(texts[i]);
}

class Schemes : public test::ModuleMachine {
 protected:
  using Responder = std::function<void(TCustomForm&, const TDialogRecord&)>;

  TfrmTsts01* Started(bool date_fields = true) {
    auto* f = Create<TfrmTsts01>(nullptr);
    f->Manager = doubles_.Manager();
    f->SetModuleFileName(tmp_.Path("TSTS01C.so"));
    f->date_fields = date_fields;
    EXPECT_TRUE(f->InitModule(VarArrayOf({"DS", "DEMO", "VXSYS", 0, "x"}))) << f->MessageTexts;
    f->CloseAfterRun = false;
    f->Show();
    return f;
  }
  // The user's entries before a save.
  static void Fill(TfrmTsts01* f) {
    f->ed01->SetText("W0001");
    f->me02->SetText("2023/06/30");
    f->cb03->SetItemIndex(2);
    f->chk04->SetChecked(true);
    f->sp05->edBegin()->SetText("2023/01/31");
    f->sp05->edFinal()->SetText("2023/03/15");
    AddRow(f->sp06, {"X", "Y"});
    AddRow(f->sp06, {"Z"});
  }
  // Saves through the save button; in the dialog the name is typed, then
  // dialog_steps act on the dialog before OK, others answers the rest.
  void Save(TfrmTsts01* f, const std::string& name,
            const std::function<void(TfrmGeneCondition&)>& dialog_steps = {},
            const Responder& others = {}) {
    HeadlessWidgetSet()->SetModalResponder([&](TCustomForm& form, const TDialogRecord& shown) {
      if (auto* d = dynamic_cast<TfrmGeneCondition*>(&form)) {
        d->edConName->SetText(name);
        if (dialog_steps) dialog_steps(*d);
        if (d->ModalResult() == mrNone) d->btnOk->Click();
      } else if (others) {
        others(form, shown);
      }
    });
    f->btnInsert->Click();
    HeadlessWidgetSet()->SetModalResponder({});
  }
  TListItem* Item(TfrmTsts01* f, const std::string& caption) {
    return f->lstCondition->FindCaption(caption);
  }
  std::string StoredValues(const std::string& name) {
    for (const TRecordValues& r : doubles_.Schemes())
      if (VarToStr(r[0]) == name) return VarToStr(r[5]);
    return "<none>";
  }
  std::vector<std::string> Captions(TfrmTsts01* f) {
    std::vector<std::string> out;
    for (int i = 0; i < f->lstCondition->Items()->Count(); ++i)
      out.push_back(f->lstCondition->Items()->Items(i)->Caption());
    return out;
  }
  void AddScheme(const std::string& name, const std::string& fields, const std::string& values) {
    doubles_.Schemes().push_back({Variant(name), Variant("DS"), Variant("TSTS01"),
                                  Variant("20261211"), Variant(fields), Variant(values)});
  }
};

TEST_F(Schemes, SaveStoresEveryKindOfValueAndOpenPutsThemBack) {
  TfrmTsts01* f = Started();
  ASSERT_EQ(f->SchemeFields,
            "ed01.text;me02.text;cb03.itemindex;chk04.checked;sp05.style;sp06.style;");
  Fill(f);
  // In the dialog: the begin date of the range moves one month on to the
  // month's last day; the end date and me02 stay as entered.
  Save(f, "月底", [](TfrmGeneCondition& d) {
    ASSERT_EQ(d.cbodatecondition->Items()->Count(), 2);
    EXPECT_EQ(d.cbodatecondition->Items()->Get(0), "盘点期间");
    EXPECT_EQ(d.cbodatecondition->Items()->Get(1), "盘点日期");
    EXPECT_TRUE(d.gbDateFields->Enabled());
    d.spDate_B->Click();
    d.seSetDay_B1->SetFocus();
    d.seSetDay_B1->SetText("1");
    d.cboSetDay_B1->SetItemIndex(1);
    d.seSetDay_B1Change(d.cboSetDay_B1);
    d.cboSetDay_B2->SetItemIndex(2);
    d.cboSetDay_B2Change(d.cboSetDay_B2);
    EXPECT_FALSE(d.seSetDay_B2->Enabled());
  });
  ASSERT_EQ(f->DateEnvList.Count(), 2);
  EXPECT_EQ(f->DateEnvList.Get(0),
            Etx({"0", "sp05", "Y", "1", "1", "2", "0", "N", "0", "0", "0", "0", "D"}));
  EXPECT_EQ(f->DateEnvList.Get(1), Etx({"1", "me02", "N", "0", "0", "0", "0", "D"}));
  EXPECT_EQ(StoredValues("月底"), "W0001\r\n20230630\r\n2\r\nTrue\r\n" +
                                      Etx({"sp_Range", "20230228", "20230315"}) + "\r\n" +
                                      Etx({"sp_Discrete", "X\x01Y\x04Z\x04"}) + "\r\n");
  const RecordedCall& insert = doubles_.Server().LastCall("InsertConTable");
  EXPECT_EQ(VarToStr(insert.Args[0][4]), f->SchemeFields);
  EXPECT_FALSE(insert.Args[0][6].ToBool());
  ASSERT_EQ(Captions(f), std::vector<std::string>{"月底"});

  // Everything changed, then the scheme opened.
  f->ed01->SetText("other");
  f->me02->SetText("2020/01/01");
  f->cb03->SetItemIndex(0);
  f->chk04->SetChecked(false);
  f->sp05->edBegin()->SetText("");
  f->sp06->ListBox()->Items()->Clear();
  f->lstCondition->SetSelected(Item(f, "月底"));
  f->btnOpen->Click();
  EXPECT_EQ(f->ed01->Text(), "W0001");
  EXPECT_EQ(f->me02->Text(), "2023/06/30");
  EXPECT_EQ(f->cb03->ItemIndex(), 2);
  EXPECT_TRUE(f->chk04->Checked());
  EXPECT_EQ(f->sp05->edBegin()->Text(), "2023/02/28");
  EXPECT_EQ(f->sp05->edFinal()->Text(), "2023/03/15");
  EXPECT_EQ(Rows(f->sp06), "X/Y;Z;");
  EXPECT_TRUE(HeadlessWidgetSet()->Dialogs().empty() ||
              !HeadlessWidgetSet()->Dialogs().back().MessageDialog);
}

TEST_F(Schemes, ValuesAreAppliedByEntry) {
  struct Case {
    const char* fields;
    const char* values;
    bool ok;
    const char* ed01;
    const char* me02;  // as DisplayToDate8 reads it
    int cb03;
  } cases[] = {
      // One word, then an empty text for the second control.
      {"ed01.text;me02.text;", "abc\r\n\r\n", true, "abc", "", 1},
      // An entry whose control is gone is skipped with its value.
      {"gone.text;ed01.text;", "x\r\nkept\r\n", true, "kept", "20230630", 1},
      {"ed01;ed01.text;", "x\r\ny\r\n", true, "y", "20230630", 1},
      // The list's index; a value that is no number stops the load, the
      // entries before it stay applied.
      {"cb03.itemindex;", "2\r\n", true, "start", "20230630", 2},
      {"ed01.text;cb03.itemindex;me02.text;", "early\r\nzwei\r\n20240101\r\n", false, "early",
       "20230630", 1},
      {"chk04.checked;", "maybe\r\n", false, "start", "20230630", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fields);
    TfrmTsts01* f = Started();
    f->ed01->SetText("start");
    f->me02->SetText("2023/06/30");
    f->cb03->SetItemIndex(1);
    EXPECT_EQ(f->ApplyScheme(c.fields, c.values), c.ok);
    EXPECT_EQ(f->ed01->Text(), c.ed01);
    EXPECT_EQ(f->DisplayToDate8(f->me02->Text()), c.me02);
    EXPECT_EQ(f->cb03->ItemIndex(), c.cb03);
    FreeAllForms();
  }
}

TEST_F(Schemes, ASchemeThatCannotBeAppliedSaysSo) {
  AddScheme("坏", "ed01.text;cb03.itemindex;", "applied\r\nx\r\n");
  TfrmTsts01* f = Started();
  ASSERT_TRUE(f->LoadSchemes());
  f->lstCondition->SetSelected(Item(f, "坏"));
  f->N2->Click();
  ASSERT_FALSE(HeadlessWidgetSet()->Dialogs().empty());
  EXPECT_EQ(LastMessage(), "方案未能载入");
  EXPECT_EQ(f->ed01->Text(), "applied");
  EXPECT_EQ(f->loaded, (std::vector<std::string>{"ed01", "cb03"}));
}

TEST_F(Schemes, PanelsOfEveryStyleRoundTrip) {
  TfrmTsts01* f = Started();
  // A range panel that is no date field keeps its texts as they are.
  f->sp06->SetStyle(sp_Range);
  f->sp06->edBegin()->SetText("A01");
  f->sp06->edFinal()->SetText("B99");
  f->sp05->SetStyle(sp_UserChoice);
  f->sp05->SetUserChoice(false);
  AddRow(f->sp05, {"P", "q1", "q2"});
  AddRow(f->sp05, {"R"});
  Save(f, "面板");
  EXPECT_EQ(StoredValues("面板"), "\r\n\r\n-1\r\nFalse\r\n" +
                                      Etx({"sp_UserChoice", "False", "P\x01q1\x01q2\x04R\x04"}) +
                                      "\r\n" + Etx({"sp_Range", "A01", "B99"}) + "\r\n");
  f->sp06->edBegin()->SetText("");
  f->sp05->ListBox()->Items()->Clear();
  f->lstCondition->SetSelected(Item(f, "面板"));
  f->btnOpenClick(f->btnOpen);
  EXPECT_EQ(f->sp06->edBegin()->Text(), "A01");
  EXPECT_EQ(f->sp06->edFinal()->Text(), "B99");
  EXPECT_EQ(Rows(f->sp05), "P/q1/q2;R;");
  EXPECT_FALSE(f->sp05->UserChoice());
}

TEST_F(Schemes, DateFieldValuesFollowTheirEntry) {
  TfrmTsts01* f = Started();
  f->me02->SetText("2023/06/30");
  f->sp05->edBegin()->SetText("2023/01/31");
  f->sp05->edFinal()->SetText("2023/03/15");
  struct Case {
    std::vector<std::string> entry;
    TComponent* field;
    std::string value;
  } cases[] = {
      {{"1", "me02", "Y", "0", "0", "0", "0", "D"}, f->me02, "20230630"},
      {{"1", "me02", "Y", "1", "1", "2", "0", "D"}, f->me02, "20230731"},
      {{"1", "me02", "N", "1", "1", "2", "0", "D"}, f->me02, "20230630"},
      {{"1", "me02", "Y", "0", "0", "0", "3", "D"}, f->me02, "20230703"},
      {{"0", "sp05", "Y", "1", "1", "2", "0", "N", "0", "0", "0", "0", "D"},
       f->sp05,
       Etx({"20230228", "20230315"})},
      {{"0", "sp05", "N", "1", "1", "2", "0", "Y", "-1", "0", "1", "0", "D"},
       f->sp05,
       Etx({"20230131", "20230305"})},
      {{"1", "other", "Y", "1", "1", "2", "0", "D"}, f->me02, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Etx(c.entry));
    TStringList list;
    list.Add(Etx(c.entry));
    EXPECT_EQ(f->GetDateFieldValue(list, c.field), c.value);
  }
  EXPECT_EQ(f->GetDateFieldValue(TStringList(), f->me02), "");
  // An empty date stays empty, moved or not.
  f->me02->SetText("");
  TStringList list;
  list.Add(Etx({"1", "me02", "Y", "1", "1", "2", "0", "D"}));
  EXPECT_EQ(f->GetDateFieldValue(list, f->me02), "");
}

TEST_F(Schemes, RenameChecksTheNewName) {
  AddScheme("Alpha", "ed01.text;", "a\r\n");
  AddScheme("Beta", "ed01.text;", "b\r\n");
  TfrmTsts01* f = Started();
  ASSERT_TRUE(f->LoadSchemes());
  struct Case {
    const char* text;
    const char* message;  // empty: accepted
  } cases[] = {
      {"   ", "方案名不可空白!"},
      {"abcdefghijklmnopqrstu", "方案名长度不可大于20!"},
      // Ten characters of two bytes each and one more byte: 21 bytes.
      {"一二三四五六七八九十a", "方案名长度不可大于20!"},
      {"Beta", "此方案名称已经存在！"},
      {"一二三四五六七八九十", ""},
      {"BETA", ""},
  };
  std::string current = "Alpha";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::size_t shown = HeadlessWidgetSet()->Dialogs().size();
    TListItem* item = Item(f, current);
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(f->lstCondition->BeginEdit(item));
    f->lstCondition->EndEdit(c.text);
    if (*c.message) {
      ASSERT_EQ(HeadlessWidgetSet()->Dialogs().size(), shown + 1);
      EXPECT_EQ(LastMessage(), c.message);
      EXPECT_EQ(item->Caption(), current);
    } else {
      EXPECT_EQ(HeadlessWidgetSet()->Dialogs().size(), shown);
      EXPECT_EQ(item->Caption(), c.text);
      current = c.text;
    }
  }
  // The server and the local copy have the last name.
  EXPECT_EQ(StoredValues("BETA"), "a\r\n");
  ASSERT_TRUE(f->ClientDataSet1->FindKey({Variant("BETA"), Variant("DS"), Variant("TSTS01")}));
  // A refusal of the server shows "更改方案名失败!" and raises its reason.
  doubles_.SchemeRefusals["ChangeConName"] = "locked";
  TListItem* item = Item(f, "BETA");
  ASSERT_TRUE(f->lstCondition->BeginEdit(item));
  EXPECT_THROW(f->lstCondition->EndEdit("Gamma"), Exception);
  EXPECT_EQ(LastMessage(), "更改方案名失败!");
  EXPECT_EQ(item->Caption(), "BETA");
}

TEST_F(Schemes, DeleteAsksFirst) {
  AddScheme("Alpha", "ed01.text;", "a\r\n");
  AddScheme("Beta", "ed01.text;", "b\r\n");
  TfrmTsts01* f = Started();
  ASSERT_TRUE(f->LoadSchemes());
  TModalResult answer = mrNo;
  HeadlessWidgetSet()->SetModalResponder(
      [&](TCustomForm& form, const TDialogRecord&) { form.SetModalResult(answer); });
  f->lstCondition->SetSelected(Item(f, "Alpha"));
  f->btnDelete->Click();
  const TDialogRecord& asked = HeadlessWidgetSet()->Dialogs().back();
  EXPECT_EQ(TrimRight(asked.Text), "确实要删除此方案吗？Alpha");
  EXPECT_EQ(asked.DlgType, "mtConfirmation");
  EXPECT_EQ(asked.Buttons, (std::vector<std::string>{"Yes", "No"}));
  EXPECT_EQ(Captions(f), (std::vector<std::string>{"Alpha", "Beta"}));
  EXPECT_EQ(doubles_.Server().CallCount("DeleteConTable"), 0);
  answer = mrYes;
  f->N3->Click();
  EXPECT_EQ(Captions(f), std::vector<std::string>{"Beta"});
  // A refusal raises the server's reason; the list stays.
  doubles_.SchemeRefusals["DeleteConTable"] = "in use";
  f->lstCondition->SetSelected(Item(f, "Beta"));
  EXPECT_THROW(f->btnDeleteClick(f->btnDelete), Exception);
  EXPECT_EQ(Captions(f), std::vector<std::string>{"Beta"});
  // Nothing selected: nothing asked.
  f->lstCondition->ClearSelection();
  std::size_t shown = HeadlessWidgetSet()->Dialogs().size();
  f->btnDelete->Click();
  EXPECT_EQ(HeadlessWidgetSet()->Dialogs().size(), shown);
}

TEST_F(Schemes, TheToolButtonCyclesTheViewModes) {
  TfrmTsts01* f = Started();
  struct Step {
    TViewStyle style;
    TMenuItem* item;
  } steps[] = {{vsSmallIcon, f->N8},
               {vsList, f->N9},
               {vsReport, f->N10},
               {vsIcon, f->N7},
               {vsSmallIcon, f->N8}};
  for (const Step& s : steps) {
    f->ToolButton1->Click();
    EXPECT_EQ(f->lstCondition->ViewStyle(), s.style);
    EXPECT_TRUE(s.item->Checked());
  }
  f->N10->Click();
  EXPECT_EQ(f->lstCondition->ViewStyle(), vsReport);
  // Found by their published names, as the cycle finds them.
  EXPECT_TRUE(FindMethod(f, "viewlistexecute").Assigned());
  EXPECT_FALSE(FindMethod(f, "NoSuchExecute").Assigned());
  EXPECT_FALSE(FindMethod(nullptr, "ViewListExecute").Assigned());
}

TEST_F(Schemes, ListShowsNameAndCreationDay) {
  AddScheme("Alpha", "ed01.text;", "a\r\n");
  doubles_.Schemes().push_back({Variant("Bad day"), Variant("DS"), Variant("TSTS01"),
                                Variant("2026x211"), Variant(""), Variant("")});
  AddScheme("Other user's", "ed01.text;", "a\r\n");
  doubles_.Schemes().back()[1] = "XX";
  TfrmTsts01* f = Started();
  f->lstCondition->SetViewStyle(vsReport);
  ASSERT_TRUE(f->LoadSchemes());
  ASSERT_EQ(Captions(f), (std::vector<std::string>{"Alpha", "Bad day"}));
  EXPECT_EQ(f->lstCondition->ViewStyle(), vsReport);
  EXPECT_EQ(Item(f, "Alpha")->SubItems()->Get(0), DateToStr(EncodeDate(2026, 12, 11)));
  EXPECT_EQ(Item(f, "Bad day")->SubItems()->Get(0), DateToStr(TDateTime()));
  // Not connected: nothing happens.
  f->AppServer = Variant();
  EXPECT_FALSE(f->LoadSchemes());
  EXPECT_EQ(Captions(f).size(), 2u);
}

// ---- the dialog ----------------------------------------------------------------------

TEST_F(Schemes, WithOnlyTheFrameworksDateFieldsTheDateGroupRests) {
  TfrmTsts01* f = Started(false);
  bool seen = false;
  Save(f, "无日期", [&](TfrmGeneCondition& d) {
    seen = true;
    EXPECT_FALSE(d.gbDateFields->Enabled());
    EXPECT_EQ(d.cbodatecondition->Items()->Count(), 0);
    EXPECT_EQ(d.edConName->MaxLength(), 20);
    EXPECT_EQ(d.Caption(), f->Caption());
  });
  EXPECT_TRUE(seen);
  EXPECT_EQ(f->DateEnvList.Count(), 0);
  EXPECT_NE(StoredValues("无日期"), "<none>");
}

TEST_F(Schemes, DialogSettingsPerFieldAndEmptySpins) {
  TfrmTsts01* f = Started();
  Save(f, "x", [](TfrmGeneCondition& d) {
    // The single field's settings, then back to the range.
    d.cbodatecondition->SetItemIndex(1);
    d.cbodateconditionChange(d.cbodatecondition);
    EXPECT_TRUE(d.pnEdit->Visible());
    EXPECT_FALSE(d.pnSp->Visible());
    d.edSetDate->Click();
    EXPECT_TRUE(d.seSetDay1->Enabled());
    d.seSetDay1->SetFocus();
    d.seSetDay1->SetText("");
    d.cboSetDay1->SetFocus();  // leaving the empty spin
    EXPECT_EQ(d.seSetDay1->Text(), "0");
    d.cbodatecondition->SetItemIndex(0);
    d.cbodateconditionChange(d.cbodatecondition);
    EXPECT_TRUE(d.pnSp->Visible());
    EXPECT_FALSE(d.spDate_B->Checked());
    EXPECT_FALSE(d.seSetDay_B1->Enabled());
    d.cbodatecondition->SetItemIndex(1);
    d.cbodateconditionChange(d.cbodatecondition);
    EXPECT_TRUE(d.edSetDate->Checked());
    EXPECT_EQ(d.seSetDay1->Text(), "0");
  });
  EXPECT_EQ(f->DateEnvList.Get(1), Etx({"1", "me02", "Y", "0", "0", "0", "0", "D"}));
}

TEST_F(Schemes, BlankNamesAreRefusedAndExistingOnesAskToReplace) {
  TfrmTsts01* f = Started();
  doubles_.Tables().Checks["GENES;01;月底"] = VarArrayOf({"月底"});
  std::vector<std::string> messages;
  int confirmations = 0;
  Save(
      f, "月底",
      [&](TfrmGeneCondition& d) {
        d.edConName->SetText("   ");
        d.btnOk->Click();
        EXPECT_EQ(d.ModalResult(), mrNone);
        d.edConName->SetText("月底");
        d.btnOk->Click();  // answered Cancel: stays open
        EXPECT_EQ(d.ModalResult(), mrNone);
        EXPECT_FALSE(d.ReplaceScheme);
        d.btnOk->Click();  // answered OK
        EXPECT_EQ(d.ModalResult(), mrOk);
        EXPECT_TRUE(d.ReplaceScheme);
      },
      [&](TCustomForm& form, const TDialogRecord& shown) {
        messages.push_back(TrimRight(shown.Text));
        if (shown.DlgType == "mtConfirmation")
          form.SetModalResult(++confirmations == 1 ? mrCancel : mrOk);
      });
  EXPECT_EQ(messages, (std::vector<std::string>{"方案名不可空白!",
                                                "此方案名已存在！是否将原来的方案替换为此方案?",
                                                "此方案名已存在！是否将原来的方案替换为此方案?"}));
  const RecordedCall& check = doubles_.ValidatorObject().LastCall("CheckValue");
  EXPECT_EQ(VarToStr(check.Args[3][0]), "月底");
  EXPECT_EQ(VarToStr(check.Args[3][1]), "DS");
  EXPECT_TRUE(doubles_.Server().LastCall("InsertConTable").Args[0][6].ToBool());
}

TEST_F(Schemes, CancellingTheDialogSavesNothing) {
  TfrmTsts01* f = Started();
  HeadlessWidgetSet()->SetModalResponder({});
  f->btnInsert->Click();
  EXPECT_EQ(doubles_.Server().CallCount("InsertConTable"), 0);
  Variant answer = AskSchemeName(f->DateFields, f, 4);
  EXPECT_EQ(VarToStr(answer[0]), "");
  EXPECT_EQ(VarToStr(answer[1]), "");
}

}  // namespace
}  // namespace vx
