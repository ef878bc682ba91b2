// The stocktaking recount module as the shell runs it: STKB17C.so loaded by
// name, its controller started with a five-element array, the worksheet
// entered and checked, the job submitted queued and run directly.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "job/stkb17cf.h"
#include "lib/edition.h"
#include "lib/strs.h"
#include "module/dll_base_ctrller.h"
#include "platform/db/engine.h"
#include "platform/os/dynlib.h"
#include "platform/os/system.h"
#include "platform/ui/headless.h"
#include "platform/ui/input.h"
#include "tests/env/env_fixture.h"
#include "tests/framework/suite_doubles.h"

namespace vx {
namespace {

class Stkb17 : public test::EnvFixture {
 protected:
  void SetUp() override {
    FreeAllForms();
    HeadlessWidgetSet()->Reset();
    CodePage("936");
    // Updates of the job's library are switched off: the program folder's
    // update log is shared with the self-update tests.
    Registry("\"ClientPath\"=\"" + RegPath(Install()) + "\"\r\n\"ServerPath\"=\"" +
             RegPath(Install()) +
             "\"\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\QLMT\\Halvek]\r\n\"GoAhead\"=\"0\"\r\n");
    std::filesystem::create_directories(Install("S_PKG"));
    std::filesystem::copy_file(VX_FAKE_SVR, Install("S_PKG/STKB17S.so"));
    log_.emplace("VX_FAKE_SVR_LOG", tmp_.Path("svr.log"));
    MakeDatabases();
    auto& t = doubles_.Tables();
    t.Checks["INVTE;02;W24001"] = VarArrayOf({"20241231"});
    t.Counters["RESULTCONNECTSTRING"] = "Provider=SQLite;Data Source=" + tmp_.Path("DEMO.db") +
                                        ";Attach VXSYS=" + tmp_.Path("VXSYS.db");
    registration_ = doubles_.Install();
  }
  void TearDown() override {
    controller_.reset();
    FreeAllForms();
    HeadlessWidgetSet()->Reset();
  }

  void MakeDatabases() {
    auto sys = db::OpenSession("Data Source=" + tmp_.Path("VXSYS.db") + ";Create=True");
    sys->ExecuteScript(
        "CREATE TABLE TMCMC (MC001 TEXT, MC002 TEXT, MC005 TEXT);"
        "CREATE TABLE TMCMD (MD001 TEXT, MD002 TEXT, MD003 TEXT, MD004 TEXT, MD006 TEXT, MD007 "
        "TEXT);"
        "INSERT INTO TMCMC VALUES ('A', '1', 'stkb17');"
        "INSERT INTO TMCMD VALUES ('A', '1', '1', '6', '', '<MD007><Receiver><R1 ID=\"DS\"/>"
        "</Receiver><Title Value=\"盘点重计完成\"/></MD007>||重计完成[**********] ||备注');"
        "INSERT INTO TMCMD VALUES ('A', '1', '2', '6', '', '   ');"
        "INSERT INTO TMCMD VALUES ('A', '1', '3', '6', '', NULL);"
        "INSERT INTO TMCMD VALUES ('A', '1', '4', '5', '', 'other event||x||y');");
    auto company = db::OpenSession("Data Source=" + tmp_.Path("DEMO.db") + ";Create=True");
    company->ExecuteScript(
        "CREATE TABLE ADMTC (TC001 TEXT PRIMARY KEY, TC002 TEXT, TC003 TEXT, TC004 TEXT, TC005 "
        "TEXT, TC006 TEXT, TC007 TEXT, TC008 TEXT, TC009 TEXT, COMPANY TEXT, CREATOR TEXT, "
        "CREATE_DATE TEXT, FLAG INTEGER);"
        "CREATE TABLE ADMTD (TD001 TEXT, TD004 TEXT);");
  }
  std::vector<std::vector<std::string>> Alerts() {
    auto s = db::OpenSession("Data Source=" + tmp_.Path("DEMO.db"));
    auto st = s->Prepare(
        "SELECT TC001, TC003, TC006, TC007, TC008, TC009, FLAG FROM ADMTC ORDER BY TC001");
    std::vector<std::vector<std::string>> rows;
    while (st->Step()) {
      std::vector<std::string> row;
      for (int i = 0; i < st->ColumnCount(); ++i)
        row.push_back(VarToStr(st->Column(i)));
      rows.push_back(row);
    }
    return rows;
  }

  static void OnEvent(void* data, std::int32_t code, TDLLBaseController*) {
    static_cast<Stkb17*>(data)->events_.push_back(code);
  }
  TfrmStkb17* Start(const char* library = "STKB17C.dll") {
    EXPECT_TRUE(module_.Load(library)) << module_.Error();
    auto get = module_.Function<TGetControllerFunc>(kGetControllerExport);
    controller_.reset(get());
    controller_->Manager = doubles_.Manager();
    controller_->OnEvent = TControllerEvent::FromFunction(&Stkb17::OnEvent, this);
    EXPECT_EQ(controller_->Initialize(VarArrayOf({"DS", "DEMO", "VXSYS", 0, ""})), 0);
    controller_->SetVisible(-1);
    return dynamic_cast<TfrmStkb17*>(FindControl(controller_->GetHandle()));
  }
  std::string LastDialogText() const {
    auto d = HeadlessWidgetSet()->Dialogs();
    return d.empty() ? std::string() : d.back().Text;
  }

  std::optional<test::ScopedEnv> log_;
  test::SuiteDoubles doubles_;
  std::unique_ptr<ScopedClassRegistration> registration_;
  TDynLib module_;
  std::unique_ptr<TDLLBaseController> controller_;
  std::vector<std::int32_t> events_;
};

TEST_F(Stkb17, StartsWithTodayAndChecksTheWorksheet) {
  TfrmStkb17* f = Start();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->ProgramID, "STKB17");
  EXPECT_EQ(f->VersionTag, "900209");
  EXPECT_EQ(f->ProgramKind, "B");
  EXPECT_EQ(f->EnvCount, 12);
  EXPECT_EQ(f->OptionCount, 4);
  EXPECT_EQ(f->DateFields, "me02,edDate,meStartDate,meEndDate,edPrintDate");
  EXPECT_EQ(f->ed01->MaxLength(), 10);
  EXPECT_EQ(f->me02->Text(), FormatDateByKind(1, "/", Date()));
  EXPECT_TRUE(f->btnQuery->Enabled());
  EXPECT_EQ(f->btnOk->Caption(), "后台处理");
  EXPECT_EQ(f->SchemeFields, "ed01.text;me02.text;");
  EXPECT_TRUE(f->ed01->Focused());

  // An unknown worksheet: the error, the focus and the page stay.
  f->ed01->SetText("NOPE");
  SendKey(VK_TAB);
  EXPECT_EQ(LastDialogText(), "数据不正确: 查无此资料");
  EXPECT_TRUE(f->FieldCheckFailed);
  EXPECT_TRUE(f->ed01->Focused());
  EXPECT_EQ(f->ed01->SelLength(), 4);
  SendKey(VK_NEXT, {ssCtrl});
  EXPECT_EQ(f->pgOption->ActivePage(), f->tsOption1);

  // A known one fills the date, replacing what was typed.
  f->ed01->SetText("W24001");
  SendKey(VK_TAB);
  EXPECT_FALSE(f->FieldCheckFailed);
  EXPECT_EQ(f->me02->Text(), "2024/12/31");
  // Enter in the date moves on to the system page.
  EXPECT_TRUE(f->me02->Focused());
  SendKey(VK_RETURN);
  EXPECT_EQ(f->pgOption->ActivePage(), f->tsOption2);
}

TEST_F(Stkb17, QueuedRunReachesTheShell) {
  TfrmStkb17* f = Start();
  f->ed01->SetText("W24001");
  f->me02->SetText("2024/12/31");
  ClickControl(f->btnOk);
  Application()->ProcessMessages();
  ASSERT_EQ(doubles_.Server().CallCount("Request"), 1);
  const Variant& p = doubles_.Server().LastCall("Request").Args[0];
  EXPECT_EQ(p[0].HighBound(), 12);
  EXPECT_EQ(VarToStr(p[0][9]), "B");
  EXPECT_EQ(p[0][10].ToInt(), 0);
  EXPECT_EQ(VarToStr(p[0][12]), "");
  // Texts inside the array stay as they were held (ANSI).
  EXPECT_TRUE(p[2][1].IsAnsiString());
  std::vector<std::string> values;
  for (int i = 1; i <= 4; ++i)
    values.push_back(VarToStr(p[2][i]));
  EXPECT_EQ(values, (std::vector<std::string>{"W24001", "20241231", "N", ""}));
  EXPECT_EQ(VarToStr(p[1][3][1]), "chkLog");
  EXPECT_EQ(VarToStr(p[1][4][1]), "edPrintDate");
  EXPECT_TRUE(controller_->IsFormFreed());
  EXPECT_EQ(events_.back(), kEventFormDestroy);
  EXPECT_EQ(controller_->ResultCode, 1);
  EXPECT_EQ(VarToStr(controller_->ResultValue), "20261211000001");
}

TEST_F(Stkb17, RequiredDateBlocksTheRun) {
  TfrmStkb17* f = Start();
  // No worksheet to fill the date from, and the date emptied.
  f->me02->SetText("");
  ClickControl(f->btnOk);
  EXPECT_EQ(doubles_.Server().CallCount("Request"), 0);
  EXPECT_EQ(LastDialogText(), "必填字段不可空白");
  EXPECT_TRUE(f->me02->Focused());
}

TEST_F(Stkb17, DirectRunRunsTheLibraryWritesAlertsAndReports) {
  TfrmStkb17* f = Start();
  f->ed01->SetText("W24001");
  f->me02->SetText("2024/12/31");
  f->chkLog->SetChecked(true);
  ClickControl(f->btnQuery);
  ASSERT_EQ(doubles_.Server().CallCount("Request1"), 1);
  EXPECT_EQ(VarToStr(doubles_.Server().LastCall("Request1").Args[1]), GetLocalComputerName());
  std::string log = tmp_.Read("svr.log");
  EXPECT_EQ(log, "20261211000001|DEMO|DS|[W24001,20241231,Y]|VXSYS|202612110001|2|\n");
  auto alerts = Alerts();
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_EQ(alerts[0][0].size(), 14u);
  EXPECT_EQ(alerts[0][0].substr(0, 8), DateToDate8(Date()));
  EXPECT_EQ(alerts[0][0].substr(8), "000001");
  EXPECT_EQ(alerts[0][1],
            "<?xml version=\"1.0\" encoding=\"GB2312\"?><Root><R1 ID=\"DS\"/></Root>");
  EXPECT_EQ(alerts[0][2], "盘点重计完成");
  EXPECT_EQ(alerts[0][3], "备注");
  EXPECT_EQ(alerts[0][4], "重计完成");
  EXPECT_EQ(alerts[0][5], "4");
  EXPECT_EQ(alerts[0][6], "1");
  EXPECT_EQ(LastDialogText(), "处理完毕! 已重计 W24001; ");
  EXPECT_EQ(HeadlessWidgetSet()->Dialogs().back().DlgType, "mtInformation");
  ASSERT_EQ(doubles_.Server().CallCount("UpdateStatus1"), 1);
  EXPECT_EQ(VarToStr(doubles_.Server().LastCall("UpdateStatus1").Args[1]), "已重计 W24001; ");
  EXPECT_TRUE(f->btnQuery->Enabled());
  EXPECT_EQ(f->ResultCode, 1);
  // A second run numbers on, also past what the other table holds.
  auto company = db::OpenSession("Data Source=" + tmp_.Path("DEMO.db"));
  company->Execute("INSERT INTO ADMTD VALUES ('" + DateToDate8(Date()) + "000007', '" +
                   DateToDate8(Date()) + "120000000')");
  ClickControl(f->btnQuery);
  alerts = Alerts();
  ASSERT_EQ(alerts.size(), 2u);
  EXPECT_EQ(alerts[1][0].substr(8), "000008");
}

TEST_F(Stkb17, RefusedSubmissionIsReportedAndNothingRuns) {
  doubles_.Server().Returns("Request1", "error").Returns("ErrorDescript", "队列已满");
  TfrmStkb17* f = Start();
  f->ed01->SetText("W24001");
  ClickControl(f->btnQuery);
  EXPECT_EQ(LastDialogText(), "工作提交失败: 队列已满");
  EXPECT_TRUE(tmp_.Read("svr.log").empty());
  EXPECT_TRUE(Alerts().empty());
  EXPECT_EQ(doubles_.Server().CallCount("UpdateStatus1"), 1);
  EXPECT_EQ(f->ResultCode, 0);
}

TEST_F(Stkb17, TheProgramTableCanForbidTheDirectRun) {
  doubles_.Tables().Checks["ADMMB;11;STKB17"] = VarArrayOf({"STKB17", "盘点帐面量重计", "B", "Y"});
  TfrmStkb17* f = Start();
  EXPECT_FALSE(f->btnQuery->Enabled());
  // The shell's mode 5 still runs it, and the form closes.
  f->ed01->SetText("W24001");
  controller_->DoCommand(
      5, nullptr,
      VarArrayOf({5, VarArrayOf({true, VarArrayOf({VarArrayOf({VarArrayOf({"x", "ed01"})}),
                                                   VarArrayOf({"W24001"})})})}));
  Application()->ProcessMessages();
  EXPECT_EQ(doubles_.Server().CallCount("Request1"), 1);
  EXPECT_TRUE(controller_->IsFormFreed());
}

TEST_F(Stkb17, EarlierEditionWritesNoAlertsAndSendsTheNotificationFlags) {
  TfrmStkb17* f = Start((GetHostExeFolder() + "earlier/STKB17C.dll").c_str());
  ASSERT_NE(f, nullptr);
  EXPECT_TRUE(IsEarlierEdition());
  EXPECT_EQ(f->chkNotify, nullptr);
  ASSERT_NE(f->chkShowMsg, nullptr);
  f->ed01->SetText("W24001");
  f->chkShowMsg->SetChecked(true);
  ClickControl(f->btnQuery);
  EXPECT_FALSE(tmp_.Read("svr.log").empty());
  EXPECT_TRUE(Alerts().empty());
  const Variant& p = doubles_.Server().LastCall("Request1").Args[0];
  EXPECT_EQ(p[0][12].ToInt(), 2);
  EXPECT_EQ(LastDialogText(), "处理完毕! 已重计 W24001; ");
}

TEST_F(Stkb17, TheEnglishInterfaceReadsTheLanguageFiles) {
  std::filesystem::copy(std::string(std::getenv("VX_TEST_SOURCE_DIR")) + "/demo/MultiLanguage",
                        Install("MultiLanguage"), std::filesystem::copy_options::recursive);
  tmp_.Write("inst/SorvendaC.ini", "[CodePage]\nUICodePage=437\n");
  TfrmStkb17* f = Start();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->lbl01->Caption(), "Worksheet");
  EXPECT_EQ(f->btnQuery->Caption(), "Run now");
  EXPECT_EQ(f->btnOk->Caption(), "Queue");
  EXPECT_EQ(f->tsOption2->Caption(), "System");
  EXPECT_EQ(f->GetLangText("TfrmBaseBatch", "sOver", true, "处理完毕! "), "Done! ");
  EXPECT_EQ(f->GetLangText("TfrmBaseGene", "sOption", true, "选择条件文字"), "Option captions");
}

}  // namespace
}  // namespace vx
