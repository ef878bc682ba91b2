#include "framework/basegene.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/basegeneu.h"
#include "lib/edition.h"
#include "lib/strs.h"
#include "platform/ui/headless.h"
#include "platform/ui/input.h"
#include "tests/env/env_fixture.h"
#include "tests/framework/suite_doubles.h"
#include "tests/framework/test_module_form.h"

namespace vx {
namespace {

using test::TfrmTstb01;

// Counts the clicks of the button whose handler it is.
struct ClickCounter {
  int* n;
  void Click(TObject*) { ++*n; }
};

class BaseGene : public test::ModuleMachine {
 protected:
  TfrmTstb01* NewForm() {
    auto* f = Create<TfrmTstb01>(nullptr);
    f->Manager = doubles_.Manager();
    f->SetModuleFileName(tmp_.Path("TSTB01C.so"));
    return f;
  }
  TfrmTstb01* Started(Variant startup = VarArrayOf({"DS", "DEMO", "VXSYS", 0, "x"})) {
    TfrmTstb01* f = NewForm();
    started_ok_ = f->InitModule(startup);
    return f;
  }
  std::vector<TDialogRecord> Dialogs() const { return HeadlessWidgetSet()->Dialogs(); }
  std::string LastDialogText() const {
    auto d = Dialogs();
    return d.empty() ? std::string() : d.back().Text;
  }

  bool started_ok_ = false;
};

TEST_F(BaseGene, StartsFromFiveElementsAndConnectsInProcess) {
  TfrmTstb01* f = Started();
  ASSERT_TRUE(started_ok_) << f->MessageTexts;
  EXPECT_EQ(f->UserID, "DS");
  EXPECT_EQ(f->CompanyID, "DEMO");
  EXPECT_EQ(f->SystemDB, "VXSYS");
  EXPECT_EQ(f->ProgramID, "TSTB01");
  EXPECT_EQ(f->ServerClass, "TSTB01S.Class1");
  EXPECT_EQ(f->ProgramName, "TSTB01");
  EXPECT_EQ(f->CompanyName, "示范公司");
  EXPECT_EQ(f->VersionTag, "870401-0.00.00");
  EXPECT_EQ(f->ProductID, 2);
  EXPECT_TRUE(f->LocalServer);
  EXPECT_TRUE(f->AppServer.IsDispatch());
  EXPECT_TRUE(f->MainMidas->Connected());
  EXPECT_TRUE(f->F2Window.IsDispatch());  // the bit of value 4
  EXPECT_EQ(f->DateFields, "me02,edPrintDate");
  EXPECT_TRUE(f->MessageCodes.empty());
  EXPECT_FALSE(f->Visible());
  // A form accepts one start-up array only.
  EXPECT_FALSE(f->InitModule(VarArrayOf({"X", "Y", "Z", 0, ""})));
  EXPECT_EQ(f->UserID, "DS");
}

TEST_F(BaseGene, ProgramNameFromTheProgramTable) {
  doubles_.Tables().Checks["ADMMB;01;TSTB01"] =
      VarArrayOf({"测试作业", "", "", "", "", "", "", "Test job"});
  TfrmTstb01* f = Started();
  EXPECT_EQ(f->ProgramName, "测试作业");
  const RecordedCall& call = doubles_.ValidatorObject().LastCall("CheckValue");
  EXPECT_EQ(VarToStr(call.Args[2]), "VXSYS");
}

TEST_F(BaseGene, ShortStartupArrayIsReportedAndTheFormClosesItself) {
  TfrmTstb01* f = Started(VarArrayOf({"u", "c", "db"}));
  TWeak<TfrmTstb01> weak(f);
  EXPECT_FALSE(started_ok_);
  EXPECT_EQ(f->ShellWindow, 0u);
  EXPECT_EQ(f->MessageCodes.substr(0, 10), "E;000038; ");
  ASSERT_FALSE(Dialogs().empty());
  EXPECT_EQ(Dialogs().front().Text, "启动参数不足");
  EXPECT_EQ(Dialogs().front().DlgType, "mtError");
  EXPECT_TRUE(weak);
  Application()->ProcessMessages();
  EXPECT_FALSE(weak);
}

TEST_F(BaseGene, ANameThatDoesNotFitTheProgramClosesButStarts) {
  TfrmTstb01* f = NewForm();
  f->SetName("frmAbcd01");
  TWeak<TfrmTstb01> weak(f);
  EXPECT_TRUE(f->InitModule(VarArrayOf({"DS", "DEMO", "VXSYS", 0, ""})));
  EXPECT_NE(f->MessageCodes.find("E;000036"), std::string::npos);
  Application()->ProcessMessages();
  EXPECT_FALSE(weak);
}

TEST_F(BaseGene, WithoutAServerObjectTheStartFails) {
  registration_.reset();
  TfrmTstb01* f = Started();
  EXPECT_FALSE(started_ok_);
  EXPECT_NE(f->MessageCodes.find("E;000006"), std::string::npos);
  EXPECT_FALSE(f->AppServer.IsDispatch());
}

TEST_F(BaseGene, AFailingVersionTypeAbortsTheStart) {
  doubles_.ManagerObject().Throws("VersionType", "no version");
  TfrmTstb01* f = Started();
  EXPECT_FALSE(started_ok_);
  EXPECT_NE(f->MessageTexts.find("no version"), std::string::npos);
}

TEST_F(BaseGene, ProgramIdentityFromTheFileName) {
  struct Case {
    const char* file;
    const char* id;
  } cases[] = {{"STKB17C.dll", "STKB17"}, {"/opt/c/STKB17C.so", "STKB17"},
               {"STKB17.dll", "STKB17"},  {"ABCDE.dll", "ABCDE"},
               {"STKB17CX", "STKB17"},    {"xyzr01c.Dll", "xyzr01"}};
  for (const Case& c : cases) {
    auto* f = Create<TfrmTstb01>(nullptr);
    f->ModuleFileName = c.file;
    EXPECT_EQ(f->ProgramIDFromFile(), c.id) << c.file;
    f->Free();
  }
}

TEST(DateFields, MasksBlanksAndConversionsForEveryStyle) {
  EXPECT_EQ(DateMask(1, "/"), "9999/99/99;1; ");
  EXPECT_EQ(DateMask(3, "-"), "99-99-9999;1; ");
  EXPECT_EQ(DateMask(4, "/"), "99/99/99;1; ");
  EXPECT_EQ(DateMask(5, "."), "999.99.99;1; ");
  EXPECT_EQ(BlankDateText(1, "/"), "    /  /  ");
  EXPECT_EQ(BlankDateText(2, "/"), "  /  /    ");
  EXPECT_EQ(BlankDateText(5, "/"), "   /  /  ");
  struct Case {
    const char* text;
    int style;
    const char* expect;
  } cases[] = {
      {"2024/02/30", 1, "20240230"},
      {"2024/2/5", 1, "20240205"},
      {"93/05/06", 4, "20040506"},
      {"113/3/5", 5, "20240305"},
      {"12/31/2024", 2, "20241231"},
      {"31/12/2024", 3, "20241231"},
      {"    /  /  ", 1, ""},
      {"", 1, ""},
      {"2024/ab/05", 1, "2024/ab/05"},
      {" 2024/1/1 ", 7, ""},
      {"99999999999/1/1", 4, "99999999999/1/1"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DisplayToDate8(c.text, c.style, "/"), c.expect) << c.text << " style " << c.style;
  EXPECT_EQ(Date8ToDisplay("20240305", 5, "/"), "113/03/05");
  EXPECT_EQ(DateStyleOf("x"), 1);
  EXPECT_EQ(DateSepOf(""), "/");
}

TEST(MessageTemplates, FormatsTextArgumentsAndRefusesWhatDoesNotFit) {
  std::vector<std::string> ten(10);
  EXPECT_EQ(FormatMessage("必填字段不可空白", ten), "必填字段不可空白");
  EXPECT_EQ(FormatMessage("编号 %s 完成%s", {"A1", ""}), "编号 A1 完成");
  EXPECT_EQ(FormatMessage("%1:s-%0:s %%", {"a", "b"}), "b-a %");
  EXPECT_EQ(FormatMessage("%d/%.3d", {"7", "5"}), "7/005");
  EXPECT_THROW(FormatMessage("%s %s", {"a"}), EConvertError);
  EXPECT_THROW(FormatMessage("%d", {"x"}), EConvertError);
  EXPECT_THROW(FormatMessage("%", {}), EConvertError);
}

TEST_F(BaseGene, MessagesAreRecordedAndShownByKind) {
  TfrmTstb01* f = Started();
  f->AddMessage("I;-000004;20261211000001");
  EXPECT_EQ(f->MessageCodes, "I;-000004;20261211000001; ");
  EXPECT_EQ(f->MessageTexts, "工作已提交, 编号 20261211000001; ");
  EXPECT_TRUE(Dialogs().empty());
  f->AddMessage("E;000037");
  f->AddMessage("E;000037");
  EXPECT_EQ(f->MessageCodes, "I;-000004;20261211000001; E;000037; E;000037; ");
  EXPECT_EQ(f->MessageTexts, "工作已提交, 编号 20261211000001; 必填字段不可空白; ");
  ASSERT_EQ(Dialogs().size(), 2u);
  EXPECT_EQ(Dialogs()[0].DlgType, "mtError");
  EXPECT_EQ(Dialogs()[0].Buttons, std::vector<std::string>{"OK"});
  // Ten arguments always: missing ones are empty.
  f->AddMessage("E;100082;起");
  EXPECT_NE(f->MessageTexts.find("起 不可早于 ; "), std::string::npos);
  // A template the arguments do not fit is recorded raw, with them.
  doubles_.Tables().Messages["E;000099"] = "第 %d 行";
  f->AddMessage("E;000099;x");
  EXPECT_NE(f->MessageTexts.find("第 %d 行\rx;;;;;;;;;;; "), std::string::npos);
  f->AddErrorText("  ");
  EXPECT_TRUE(f->MessageCodes.empty());
  EXPECT_TRUE(f->MessageTexts.empty());
  f->AddErrorText("connection refused");
  f->AddErrorText("connection refused");
  EXPECT_EQ(f->MessageCodes, "E;-1; E;-1; ");
  EXPECT_EQ(f->MessageTexts, "connection refused; ");
}

TEST_F(BaseGene, DialogButtonsAndCaptionsByCodeAndInterface) {
  TfrmTstb01* f = Started();
  f->SetCaption("测试[示范公司]");
  TDialogRecord seen;
  std::vector<std::string> captions;
  HeadlessWidgetSet()->SetModalResponder([&](TCustomForm& form, const TDialogRecord& shown) {
    seen = shown;
    captions.clear();
    for (const char* name : {"OK", "Cancel"})
      if (auto* b = dynamic_cast<TButton*>(form.FindComponent(name)))
        captions.push_back(b->Caption());
  });
  f->ShowMessageByCode("W", "000014", {});
  EXPECT_EQ(seen.Buttons, (std::vector<std::string>{"OK", "Cancel"}));
  EXPECT_EQ(seen.Caption, "测试[示范公司]");
  EXPECT_EQ(captions, (std::vector<std::string>{"确定", "取消"}));
  f->AddMessage("W;000014");
  EXPECT_EQ(seen.Buttons, std::vector<std::string>{"OK"});
  f->QuietMessages = true;
  EXPECT_EQ(f->ShowMessageText("x", mtWarning, {mbOK}), 0);
  f->QuietMessages = false;
  // Without a manager the text names kind and number.
  f->Manager = Variant();
  EXPECT_EQ(f->GetMessageText("E", "000037"), "Can not Get Message\rType= E, ID= 000037 ");
}

TEST_F(BaseGene, ParameterArrayRowsAndTheirChecks) {
  TfrmTstb01* f = Started();
  f->ed01->SetText("000123");
  f->me02->SetText("2024/03/05");
  f->edPrintDate->SetEditMask(f->DateMaskText());
  f->edPrintDate->SetText("2024/12/11");
  ASSERT_TRUE(f->CollectParams());
  const Variant& p = f->ParamArray;
  EXPECT_EQ(p.LowBound(), 0);
  EXPECT_EQ(p.HighBound(), 2);
  EXPECT_EQ(p[0].LowBound(), 1);
  EXPECT_EQ(p[0].HighBound(), 9);
  EXPECT_EQ(VarToStr(p[0][1]), "TSTB01");
  EXPECT_EQ(p[0][2].ToInt(), 9);
  EXPECT_EQ(p[0][3].ToInt(), 3);
  EXPECT_EQ(VarToStr(p[0][8]), "TSTB01S.Class1");
  EXPECT_EQ(VarToStr(p[0][9]), "R");
  EXPECT_EQ(p[0][7].VarType(), varDate);
  EXPECT_EQ(VarToStr(p[1][3][1]), "edPrintDate");
  EXPECT_EQ(VarToStr(p[1][1][0]), "盘点底稿编号");
  EXPECT_EQ(VarToStr(p[2][1]), "000123");
  EXPECT_EQ(VarToStr(p[2][2]), "20240305");
  EXPECT_EQ(VarToStr(p[2][3]), "20241211");

  // A module that leaves an entry empty is told which one.
  f->skip_second = true;
  EXPECT_FALSE(f->CollectParams());
  EXPECT_EQ(LastDialogText(), "选择条件文字 共 3 个, 第 2 个没有内容");
  f->skip_second = false;
  // An empty text is a value: the required fields decide about it.
  f->ed01->SetText("");
  EXPECT_TRUE(f->CollectParams());
}

TEST_F(BaseGene, NoEntriesAtAllIsReported) {
  TfrmTstb01* f = Started();
  f->OptionCount = 0;
  EXPECT_FALSE(f->CollectParams());
  EXPECT_EQ(LastDialogText(), "没有任何选择条件");
  EXPECT_EQ(Dialogs().back().DlgType, "mtInformation");
}

TEST_F(BaseGene, SystemInformationAndItsDefaults) {
  TfrmTstb01* f = Started();
  EXPECT_EQ(f->SysInfo("Sys001"), "1");
  EXPECT_EQ(f->SysInfo("sys008"), "商品分类方式二");
  EXPECT_EQ(f->SysInfo("nothing"), "");
  {
    ScopedEdition earlier(TModuleEdition::Earlier);
    EXPECT_EQ(f->SysInfo("sys008"), "");
  }
  tmp_.Write("inst/SorvendaC.ini", "[CodePage]\nUICodePage=437\n");
  TfrmTstb01* english = Create<TfrmTstb01>(nullptr);
  english->SetName("frmTstb02");
  english->Manager = doubles_.Manager();
  english->SetModuleFileName(tmp_.Path("TSTB02C.so"));
  english->InitModule(VarArrayOf({"DS", "DEMO", "VXSYS", 0, ""}));
  EXPECT_EQ(english->SysInfo("sys008"), "Inv.Cate.2");
  EXPECT_EQ(english->SysInfo("SYS010"), "Inv.Cate.4");
}

TEST_F(BaseGene, ServerValidationByIndex) {
  doubles_.Tables().Checks["INVTE;02;A1"] = VarArrayOf({"20240131", "x"});
  TfrmTstb01* f = Started();
  Variant result;
  EXPECT_TRUE(f->ValidateField("INVTE", "02", "E", 0, result, VarArrayOf({"A1"})));
  EXPECT_EQ(VarToStr(result), "20240131");
  EXPECT_TRUE(f->ValidateField("INVTE", "02", "E", 5, result, VarArrayOf({"A1"})));
  EXPECT_TRUE(result.IsArray());
  EXPECT_TRUE(f->ValidateField("INVTE", "02", "E", -2, result, VarArrayOf({"A1"})));
  EXPECT_EQ(doubles_.ValidatorObject().CallCount("QueryData"), 1);
  EXPECT_EQ(doubles_.ValidatorObject().PropertyValue("ProductID").ToInt(), 2);
  // An unknown value: the error with the catalogue's reason, the result kept.
  result = "kept";
  EXPECT_FALSE(f->ValidateField("INVTE", "02", "E", 0, result, VarArrayOf({"ZZ"})));
  EXPECT_EQ(VarToStr(result), "kept");
  EXPECT_EQ(LastDialogText(), "数据不正确: 查无此资料");
  EXPECT_FALSE(f->ValidateField("INVTE", "02", "W", 0, result, VarArrayOf({"ZZ"})));
  EXPECT_EQ(LastDialogText(), "数据可能不正确: 查无此资料");
  // No arguments: nothing to check.
  EXPECT_TRUE(f->ValidateField("INVTE", "02", "E", 0, result, Variant()));
}

TEST_F(BaseGene, LeavingByCancelChecksNothingInTheCurrentEditionOnly) {
  TfrmTstb01* f = Started();
  f->Show();
  f->btnCancel->SetFocus();
  Variant result;
  int before = doubles_.ValidatorObject().CallCount("CheckValue");
  EXPECT_TRUE(f->ValidateField("INVTE", "02", "E", 0, result, VarArrayOf({"ZZ"})));
  EXPECT_EQ(doubles_.ValidatorObject().CallCount("CheckValue"), before);
  ScopedEdition earlier(TModuleEdition::Earlier);
  EXPECT_FALSE(f->ValidateField("INVTE", "02", "E", 0, result, VarArrayOf({"ZZ"})));
  EXPECT_EQ(doubles_.ValidatorObject().CallCount("CheckValue"), before + 1);
}

TEST_F(BaseGene, CounterValuesInTheCurrentEditionOnly) {
  doubles_.Tables().Counters["RESULTCONNECTSTRING"] = "Data Source=x.db";
  TfrmTstb01* f = Started();
  EXPECT_EQ(VarToStr(f->GetCounterValue("ResultConnectString", VarArrayOf({""}))),
            "Data Source=x.db");
  const RecordedCall& call = doubles_.CounterObject().LastCall("GetCounter");
  EXPECT_EQ(VarToStr(call.Args[0]), "RESULTCONNECTSTRING");
  EXPECT_EQ(VarToStr(call.Args[2][0]), "DEMO");
  ScopedEdition earlier(TModuleEdition::Earlier);
  EXPECT_TRUE(f->GetCounterValue("ResultConnectString", VarArrayOf({""})).IsEmpty());
}

TEST_F(BaseGene, LookupsAndTheDateQuickPick) {
  TfrmTstb01* f = Started();
  doubles_.F2Object().Returns("F2GetData", VarArrayOf({VarArrayOf({"W0001", "x"})}));
  Variant result;
  f->F2Lookup("INVTE", "01", VarArrayOf({""}), "W0", false, result);
  EXPECT_EQ(VarToStr(result[0][0]), "W0001");
  const Variant& request = doubles_.F2Object().LastCall("F2GetData").Args[0];
  EXPECT_EQ(request.HighBound(), 18);
  EXPECT_EQ(VarToStr(request[0]), "INVTE");
  EXPECT_EQ(VarToStr(request[4]), "W0");
  EXPECT_EQ(VarToStr(request[5]), "DEMO");
  EXPECT_EQ(request[8].ToInt(), 1);
  EXPECT_EQ(request[10].ToInt(), 2);
  EXPECT_TRUE(request[17].IsDispatch());
  EXPECT_EQ(VarToStr(request[18]), "DS");

  doubles_.F2Object().Returns("ShowInputDay", "20240506");
  EXPECT_EQ(f->PickDate("2024/05/06"), "2024/05/06");
  const Variant& day = doubles_.F2Object().LastCall("ShowInputDay").Args[0];
  EXPECT_EQ(VarToStr(day[1]), DateToDate8(Date()));  // not 8 characters: today
  EXPECT_FALSE(day[0].ToBool());
  f->PickDate("20240101");
  EXPECT_EQ(VarToStr(doubles_.F2Object().LastCall("ShowInputDay").Args[0][1]), "20240101");
  doubles_.F2Object().Returns("ShowInputDay", "  ");
  EXPECT_EQ(f->PickDate("2024/01/01"), "2024/01/01");
  f->F2Window = Variant();
  EXPECT_EQ(f->PickDate("2024/01/01"), "");
}

TEST_F(BaseGene, F2KeyAndMessage1034ReachHandleF2) {
  TfrmTstb01* f = Started();
  doubles_.F2Object().Returns("ShowInputDay", "20240229");
  f->Show();
  f->me02->SetFocus();
  SendKey(VK_F2);
  EXPECT_EQ(f->me02->Text(), "2024/02/29");
  f->Perform(WM_F2QUERY, 0, reinterpret_cast<LPARAM>(static_cast<TWinControl*>(f->ed01)));
  EXPECT_EQ(f->f2_fields, (std::vector<std::string>{"me02", "ed01"}));
  EXPECT_TRUE(f->ed01->Focused());
  // A control of another form is not taken at its word.
  auto* other = Create<TForm>(nullptr);
  auto* stray = new TEdit(other);
  stray->SetParent(other);
  f->Perform(WM_F2QUERY, 0, reinterpret_cast<LPARAM>(static_cast<TWinControl*>(stray)));
  EXPECT_EQ(f->f2_fields.size(), 2u);
}

TEST_F(BaseGene, DateFieldsCheckedOnLeaving) {
  TfrmTstb01* f = Started();
  f->Show();
  f->me02->SetFocus();
  f->me02->SetText("2024/02/30");
  f->ed01->SetFocus();
  EXPECT_TRUE(f->FieldCheckFailed);
  EXPECT_EQ(LastDialogText(), "日期格式不正确");
  EXPECT_TRUE(f->me02->Focused());
  f->me02->SetText("2024/02/29");
  f->ed01->SetFocus();
  EXPECT_FALSE(f->FieldCheckFailed);
  EXPECT_TRUE(f->ed01->Focused());
  // Untouched: blanks and separators only.
  f->me02->SetFocus();
  f->me02->SetText("");
  f->ed01->SetFocus();
  EXPECT_FALSE(f->FieldCheckFailed);
}

TEST_F(BaseGene, RequiredFieldsBlockAndUnblockTheRun) {
  TfrmTstb01* f = Started();
  int runs = 0;
  ClickCounter counter{&runs};
  f->btnOk->OnClick = Bind<&ClickCounter::Click>(&counter);
  f->Show();
  f->me02->SetText("");
  f->SetRequiredFields("me02");
  EXPECT_EQ(f->me02->Color(), kRequiredColor);
  f->pgOption->SetActivePage(f->tsOption2);
  ClickControl(f->btnOk);
  EXPECT_EQ(runs, 0);
  EXPECT_TRUE(f->FieldCheckFailed);
  EXPECT_EQ(LastDialogText(), "必填字段不可空白");
  EXPECT_EQ(f->pgOption->ActivePage(), f->tsOption1);
  EXPECT_TRUE(f->me02->Focused());
  f->me02->SetText("2024/12/11");
  ClickControl(f->btnOk);
  EXPECT_EQ(runs, 1);
  // A mark N highlights without checking; a new list gives the old
  // fields their colours back.
  f->SetRequiredFields("ed01;N");
  EXPECT_NE(f->me02->Color(), kRequiredColor);
  EXPECT_EQ(f->ed01->Color(), kRequiredColor);
  f->ed01->SetText("");
  ClickControl(f->btnOk);
  EXPECT_EQ(runs, 2);
}

TEST_F(BaseGene, ShellMessagesApplyValuesAndRun) {
  TfrmTstb01* f = Started();
  int runs = 0;
  ClickCounter counter{&runs};
  f->btnOk->OnClick = Bind<&ClickCounter::Click>(&counter);
  auto named = [](int mode) {
    Variant captions =
        VarArrayOf({VarArrayOf({"盘点底稿编号", "ed01"}), VarArrayOf({"盘点日期", "me02"})});
    Variant values = VarArrayOf({"W0007", "20240131"});
    return VarArrayOf(
        {false, VarArrayOf({mode, VarArrayOf({true, VarArrayOf({captions, values})})})});
  };
  f->ReceiveShellParams(named(0));
  EXPECT_EQ(runs, 0);
  EXPECT_TRUE(f->Interactive);
  EXPECT_TRUE(f->TextsConverted());
  EXPECT_EQ(f->ed01->Text(), "W0007");
  EXPECT_EQ(f->me02->Text(), "2024/01/31");
  f->ReceiveShellParams(named(2));
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(f->Interactive);
  f->ReceiveShellParams(named(5));
  EXPECT_EQ(f->shell_runs, std::vector<int>{5});
  // Names the form does not have: recorded, nothing runs.
  Variant bad = VarArrayOf(
      {false,
       VarArrayOf({1, VarArrayOf({true, VarArrayOf({VarArrayOf({VarArrayOf({"?", "edNone"})}),
                                                    VarArrayOf({"1"})})})})});
  f->ReceiveShellParams(bad);
  EXPECT_EQ(runs, 1);
  EXPECT_NE(f->MessageCodes.find("W;000014"), std::string::npos);
}

TEST_F(BaseGene, EnterMovesToTheNextControlOrPage) {
  TfrmTstb01* f = Started();
  f->Show();
  EXPECT_TRUE(f->ed01->Focused());
  SendKey(VK_RETURN);
  EXPECT_TRUE(f->me02->Focused());
  f->ed03->SetFocus();
  SendKey(VK_RETURN);
  EXPECT_EQ(f->pgOption->ActivePage(), f->tsOption2);
  EXPECT_TRUE(f->edPrintDate->Focused());
  EXPECT_TRUE(f->SystemPageReady);
  SendKey(VK_TAB, {ssCtrl});
  EXPECT_EQ(f->pgOption->ActivePage(), f->tsOption1);
}

TEST_F(BaseGene, HelpTopicsFromTheProgramIdentifier) {
  TfrmTstb01* f = Started();
  struct Case {
    const char* id;
    const char* system;
    const char* topic;
  } cases[] = {{"STKB17", "STK", "13170000"},  {"ACRR21", "ACR", "12210000"},
               {"INVAR21", "INV", "62210000"}, {"INVMB05", "INV", "83050000"},
               {"ABCX01", nullptr, nullptr},   {"ABC", nullptr, nullptr}};
  for (const Case& c : cases) {
    f->ProgramID = c.id;
    int before = doubles_.ManagerObject().CallCount("CallHelp");
    EXPECT_EQ(f->ShowProgramHelp(), c.topic != nullptr) << c.id;
    if (!c.topic) {
      EXPECT_EQ(doubles_.ManagerObject().CallCount("CallHelp"), before);
      continue;
    }
    const Variant& arg = doubles_.ManagerObject().LastCall("CallHelp").Args[0];
    EXPECT_EQ(VarToStr(arg[0]), c.system);
    EXPECT_EQ(VarToStr(arg[1]), c.topic);
  }
}

TEST_F(BaseGene, UserRightsAnswer) {
  TfrmTstb01* f = Started();
  f->ApplyUserRights(
      VarArrayOf({"", "A,Y,N,YYYYYYNY,E,F", "t2", "t3", "LIM", VarArrayOf({2, "W01", "W02"})}));
  EXPECT_FALSE(f->LookupFlag7);
  EXPECT_TRUE(f->LookupFlag8);
  EXPECT_EQ(f->LimitText,
            "LIM\x03"
            "2\x03W01\x03W02\x03");
  f->ApplyUserRights(VarArrayOf({"", "A,Y,N,YY,E,F"}));
  EXPECT_TRUE(f->LookupFlag7);
  EXPECT_TRUE(f->LookupFlag8);
}

TEST_F(BaseGene, MovingTheFormRepaintsTheShellWindow) {
  TfrmTstb01* f = Started(VarArrayOf({"DS", "DEMO", "VXSYS", 4242, ""}));
  EXPECT_EQ(f->ShellWindow, 4242u);
  int before = HeadlessWidgetSet()->RepaintCount(4242);
  f->SetLeft(f->Left() + 10);
  EXPECT_GT(HeadlessWidgetSet()->RepaintCount(4242), before);
}

}  // namespace
}  // namespace vx
