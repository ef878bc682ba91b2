// The receivers of a submitted job: the receivers dialog, its XML, its keys,
// the portal request and the portal user picker, against answers good and
// hostile.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/baseopt.h"
#include "framework/portaluser.h"
#include "framework/vxdialogcf.h"
#include "framework/vxnotify.h"
#include "lib/edition.h"
#include "platform/ui/headless.h"
#include "platform/ui/input.h"
#include "platform/ui/messages.h"
#include "platform/ui/stdctrls.h"
#include "tests/framework/suite_doubles.h"
#include "tests/support/loopback_http_server.h"

namespace vx {
namespace {

using testing::LoopbackHttpServer;

constexpr const char* kProlog = "<?xml version=\"1.0\" encoding=\"GB2312\"?>";

class Receivers : public test::ModuleMachine {
 protected:
  void SetUp() override {
    ModuleMachine::SetUp();
    ::setenv("VX_WEBSERVICE_TIMEOUT_MS", "400", 1);
  }
  void TearDown() override {
    ::unsetenv("VX_WEBSERVICE_TIMEOUT_MS");
    ModuleMachine::TearDown();
  }
  // The batch form of the test, started once.
  TfrmBaseOpt* Batch() {
    if (batch_) return batch_;
    auto* f = batch_ = Create<TfrmBaseOpt>(nullptr);
    f->SetName("frmTstp01");  // the form of the program TSTP01
    f->Manager = doubles_.Manager();
    f->SetModuleFileName(tmp_.Path("TSTP01C.so"));
    EXPECT_TRUE(f->InitModule(VarArrayOf({"DS", "DEMO", "VXSYS", 0, "x"}))) << f->MessageTexts;
    f->CloseAfterRun = false;
    return f;
  }
  TfrmBaseOpt* batch_ = nullptr;
  // A receivers dialog over a batch form, prepared as EditReceivers does.
  TfrmNotify* Dialog(const std::string& flag = "N", const std::string& address = {}) {
    auto* d = Create<TfrmNotify>(Batch());
    d->PortalFlag = flag;
    d->PortalAddress = address;
    d->Prepare();
    return d;
  }
  static std::string Row(TStringGrid* g, int row) {
    std::string out;
    for (int c = 0; c < g->ColCount(); ++c)
      out += (c ? "|" : "") + g->Cells(c, row);
    return out;
  }
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> out;
    for (const auto& d : HeadlessWidgetSet()->Dialogs())
      if (d.MessageDialog) out.push_back(d.Text);
    return out;
  }
  // Opens the receiver cell of row 1 for editing, as a user clicking into it.
  static void EditFirstReceiver(TfrmNotify* d) {
    d->grReceive->FocusCell(0, 1);
    d->grReceive->SetEditorMode(true);
  }
};

TEST_F(Receivers, TheDialogAsBuilt) {
  TfrmNotify* d = Dialog();
  EXPECT_EQ(d->Caption(), "被通知人");
  EXPECT_EQ(Row(d->grReceive, 0), "收件人|姓名|手机号码|邮箱地址|类型|消息|短信|邮件");
  EXPECT_EQ(d->grReceive->FixedCols(), 0);
  EXPECT_EQ(d->grReceive->FixedRows(), 1);
  EXPECT_EQ(d->grReceive->ColWidths(3), 133);
  EXPECT_EQ(d->grReceive->ColEditor(0), ceEditButton);
  EXPECT_EQ(d->grReceive->ColEditor(4), cePickList);
  EXPECT_EQ(d->grReceive->ColEditor(7), ceCheckBox);
  EXPECT_EQ(d->grReceive->CheckedValue(6), "Y");
  EXPECT_EQ(d->me01->Lines()->Text(), "1.系统用户\r\n");
  EXPECT_EQ(Dialog("Y", "http://127.0.0.1:1/ws")->me01->Lines()->Text(), "5.Portal用户\r\n");
  // Portal mode needs an address as well.
  EXPECT_EQ(Dialog("Y", "")->me01->Lines()->Text(), "1.系统用户\r\n");
  EXPECT_EQ(d->BitBtn1->Caption(), "确定");
  EXPECT_EQ(d->BitBtn2->Caption(), "取消");
  // The dialog base takes its owner's caption: the picker shows the dialog's.
  auto* picker = Create<TfrmPortalUser>(d);
  EXPECT_EQ(picker->Caption(), "被通知人");
  EXPECT_EQ(picker->BorderStyle(), TFormBorderStyle::bsDialog);
  EXPECT_EQ(Row(picker->grUser, 0), "用户编号|用户名称");
}

// Loading a receivers text and writing it back, in system and portal mode.
TEST_F(Receivers, TheEnglishInterfaceReadsTheLanguageFiles) {
  std::filesystem::copy(std::string(std::getenv("VX_TEST_SOURCE_DIR")) + "/demo/MultiLanguage",
                        Install("MultiLanguage"), std::filesystem::copy_options::recursive);
  tmp_.Write("inst/SorvendaC.ini", "[CodePage]\nUICodePage=437\n");
  TfrmNotify* d = Dialog();
  EXPECT_EQ(Row(d->grReceive, 0), "Receiver|Name|Mobile|E-mail|Type|Msg|SMS|Mail");
  d->ApplyLanguage();
  EXPECT_EQ(d->Caption(), "Receivers");
  EXPECT_EQ(d->BitBtn2->Caption(), "Cancel");
  // The picker keeps the caption of the dialog it was opened from.
  std::string caption, ok;
  HeadlessWidgetSet()->SetModalResponder([&](TCustomForm& form, const TDialogRecord& shown) {
    caption = shown.Caption;
    ok = dynamic_cast<TfrmPortalUser&>(form).btnOk->Caption();
  });
  TPortalUser chosen;
  EXPECT_FALSE(PickPortalUser(d, {{"P1", "a"}}, chosen));
  EXPECT_EQ(caption, "Receivers");
  EXPECT_EQ(ok, "OK");
}

TEST_F(Receivers, TextsLoadedAndWrittenBack) {
  struct Case {
    const char* name;
    std::string flag;
    std::string text;
    std::vector<std::string> rows;  // the data rows as loaded
    std::string written;
  } cases[] = {
      {"default list, portal mode",
       "Y",
       DefaultReceiversXml("DS"),
       {"DS||||5.Portal用户|Y||"},
       DefaultReceiversXml("DS")},
      {"type not in the list",
       "N",
       DefaultReceiversXml("DS"),
       {"DS|||||Y||"},
       std::string(kProlog) + "<Root><R1 ID=\"DS\" Name=\"\" Msg=\"YNN\"/></Root>"},
      {"not XML", "N", "N", {"|||||||"}, "N"},
      {"all attributes, Msg YNY",
       "N",
       std::string(kProlog) +
           "<Root><R1 ID=\"U1\" Name=\"王五\" Mob=\"139\" Mail=\"w@x.cn\" Type=\"1\" "
           "Msg=\"YNY\"/></Root>",
       {"U1|王五|139|w@x.cn|1.系统用户|Y||Y"},
       std::string(kProlog) +
           "<Root><R1 ID=\"U1\" Name=\"王五\" Mob=\"139\" Mail=\"w@x.cn\" Type=\"1\" "
           "Msg=\"YNY\"/></Root>"},
      // Every receiver is kept, whatever the numbering; rows are renumbered.
      {"gap in the numbering",
       "N",
       std::string(kProlog) + "<Root><R1 ID=\"A\" Name=\"a\" Msg=\"NNN\"/>"
                              "<R3 ID=\"B\" Name=\"b\" Msg=\"NYN\"/></Root>",
       {"A|a||||||", "B|b|||||Y|"},
       std::string(kProlog) + "<Root><R1 ID=\"A\" Name=\"a\" Msg=\"NNN\"/>"
                              "<R2 ID=\"B\" Name=\"b\" Msg=\"NYN\"/></Root>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TfrmNotify* d = Dialog(c.flag, c.flag == "Y" ? "http://127.0.0.1:1/ws" : "");
    d->LoadReceiversXml(c.text);
    ASSERT_EQ(d->grReceive->RowCount(), static_cast<int>(c.rows.size()) + 1);
    for (std::size_t i = 0; i < c.rows.size(); ++i)
      EXPECT_EQ(Row(d->grReceive, static_cast<int>(i) + 1), c.rows[i]);
    EXPECT_EQ(d->BuildReceiversXml(), c.written);
  }
}

TEST_F(Receivers, RowsWithoutReceiverAreSkippedAndKeepTheirNumbers) {
  TfrmNotify* d = Dialog();
  d->grReceive->SetRowCount(4);
  d->grReceive->SetCells(0, 1, "A");
  d->grReceive->SetCells(1, 2, "a name without receiver");
  d->grReceive->SetCells(0, 3, "C");
  d->grReceive->SetCells(6, 3, "Y");
  d->grReceive->SetCells(7, 3, "maybe");  // only "Y" counts as checked
  EXPECT_EQ(d->BuildReceiversXml(), std::string(kProlog) +
                                        "<Root><R1 ID=\"A\" Name=\"\" Msg=\"NNN\"/>"
                                        "<R3 ID=\"C\" Name=\"\" Msg=\"NYN\"/></Root>");
  for (int r = 1; r < 4; ++r)
    d->grReceive->SetCells(0, r, "");
  EXPECT_EQ(d->BuildReceiversXml(), "N");
}

TEST_F(Receivers, TheNotifyCheckBoxAndButton) {
  TfrmBaseOpt* f = Batch();
  ASSERT_NE(f->chkNotify, nullptr);
  f->chkNotify->Click();
  EXPECT_TRUE(f->btnNotify->Enabled());
  EXPECT_EQ(f->ReceiversXml, DefaultReceiversXml(f->UserID));
  // The button reads both settings afresh and keeps a confirmed list.
  doubles_.CounterObject().On("GetCounter", [](std::span<Arg> a) {
    const Variant& args = a[1].get();
    std::string query = args.IsArray() ? VarToStr(args[args.LowBound()]) : std::string();
    return VarArrayOf({VarArrayOf(
        {query.find("StartupPortal") != std::string::npos ? "N" : "http://127.0.0.1:1/ws"})});
  });
  HeadlessWidgetSet()->SetModalResponder([](TCustomForm& form, const TDialogRecord&) {
    auto* d = dynamic_cast<TfrmNotify*>(&form);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->grReceive->Cells(0, 1), "DS");
    d->grReceive->SetCells(2, 1, "13900000000");
    d->BitBtn1->Click();
  });
  f->btnNotify->Click();
  EXPECT_EQ(f->PortalFlag, "N");
  EXPECT_EQ(f->PortalAddress, "http://127.0.0.1:1/ws");
  EXPECT_EQ(f->ReceiversXml, std::string(kProlog) +
                                 "<Root><R1 ID=\"DS\" Name=\"\" Mob=\"13900000000\" "
                                 "Msg=\"YNN\"/></Root>");
  // Cancelling keeps the list; unchecking and checking again keeps it too.
  std::string kept = f->ReceiversXml;
  HeadlessWidgetSet()->SetModalResponder([](TCustomForm& form, const TDialogRecord&) {
    dynamic_cast<TfrmNotify&>(form).grReceive->SetCells(0, 1, "");
    form.SetModalResult(2);
  });
  f->btnNotify->Click();
  f->chkNotify->Click();
  EXPECT_FALSE(f->btnNotify->Enabled());
  f->chkNotify->Click();
  EXPECT_EQ(f->ReceiversXml, kept);
}

TEST_F(Receivers, TheEarlierEditionHasNoReceivers) {
  ScopedEdition earlier(TModuleEdition::Earlier);
  TfrmBaseOpt* f = Batch();
  EXPECT_EQ(f->chkNotify, nullptr);
  EXPECT_EQ(f->btnNotify, nullptr);
  EXPECT_EQ(f->FindComponent("chkNotify"), nullptr);
  f->chkNotifyClick(f);  // inert
  f->btnNotifyClick(f);
  EXPECT_TRUE(HeadlessWidgetSet()->Dialogs().empty());
  EXPECT_EQ(doubles_.CounterObject().CallCount("GetCounter"), 0);
  EXPECT_EQ(f->ReceiversXml, "");
}

TEST_F(Receivers, KeysOfTheGrid) {
  TfrmNotify* d = Dialog();
  d->LoadReceiversXml(std::string(kProlog) +
                      "<Root><R1 ID=\"A\" Msg=\"YNN\"/><R2 ID=\"B\" Msg=\"YNN\"/></Root>");
  d->Show();
  d->grReceive->SetFocus();
  d->grReceive->FocusCell(1, 2);
  SendKey(VK_DOWN);
  EXPECT_EQ(d->grReceive->RowCount(), 4);
  EXPECT_EQ(d->grReceive->Row(), 3);
  EXPECT_EQ(Row(d->grReceive, 3), "|||||||");
  d->grReceive->FocusCell(1, 1);
  SendKey(VK_DELETE, {ssCtrl});
  EXPECT_EQ(d->grReceive->RowCount(), 3);
  EXPECT_EQ(d->grReceive->Cells(0, 1), "B");
  // The last data row is emptied rather than removed.
  SendKey(VK_DELETE, {ssCtrl});
  SendKey(VK_DELETE, {ssCtrl});
  EXPECT_EQ(d->grReceive->RowCount(), 2);
  EXPECT_EQ(Row(d->grReceive, 1), "|||||||");
  // The hint of the receiver column while editing.
  EditFirstReceiver(d);
  EXPECT_EQ(d->grReceive->HintForCell(0, 1), "[F2]系统用户开窗");
}

TEST_F(Receivers, F2PicksASystemUserOnlyInTheReceiverCellWhileEditing) {
  doubles_.F2Object().Returns(
      "F2GetData", VarArrayOf({VarArrayOf({"U7", "赵六", "138", "z@x.cn"}), VarArrayOf({"U8"})}));
  TfrmNotify* d = Dialog();
  d->Show();
  d->grReceive->SetFocus();
  d->grReceive->FocusCell(1, 1);
  d->grReceive->SetEditorMode(true);
  SendKey(VK_F2);
  EXPECT_EQ(doubles_.F2Object().CallCount("F2GetData"), 0);
  EditFirstReceiver(d);
  SendKey(VK_F2);
  ASSERT_EQ(doubles_.F2Object().CallCount("F2GetData"), 1);
  Variant request = doubles_.F2Object().LastCall("F2GetData").Args[0];
  EXPECT_EQ(VarToStr(request[0]), "VRXMA");
  EXPECT_EQ(VarToStr(request[1]), "04");
  EXPECT_EQ(Row(d->grReceive, 1), "U7|赵六|138|z@x.cn|1.系统用户|Y||");
}

// A dialog of two edits and a memo.
class TfrmTwoEdits : public TfrmVXDialog {
  VX_CLASS(TfrmTwoEdits, TfrmVXDialog)
  explicit TfrmTwoEdits(TComponent* owner) : TfrmVXDialog(owner) {
    ed1 = Put<TEdit>("ed1", 0);
    ed2 = Put<TEdit>("ed2", 1);
    memo = Put<TMemo>("memo", 2);
  }
  template <class T>
  T* Put(const char* name, int order) {
    auto* c = new T(this);
    c->SetName(name);
    c->SetParent(this);
    c->SetBounds(10, 10 + 30 * order, 80, 21);
    c->SetTabOrder(order);
    return c;
  }
  TEdit* ed1;
  TEdit* ed2;
  TMemo* memo;
};

const TClassInfo& TfrmTwoEdits::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TfrmTwoEdits>("TfrmTwoEdits", [](auto&) {});
  return info;
}

TEST_F(Receivers, TheDialogBaseMovesOnEnterAndFocusesWhatAKeyOrMessageNames) {
  auto* d = Create<TfrmTwoEdits>(nullptr);
  d->Show();
  d->ed1->SetFocus();
  SendKey(VK_RETURN);
  EXPECT_EQ(d->ActiveControl(), d->ed2);
  EXPECT_EQ(d->ed2->Text(), "");
  SendKey(VK_RETURN);
  EXPECT_EQ(d->ActiveControl(), d->memo);
  SendKey(VK_RETURN);  // a memo keeps its Enter
  EXPECT_EQ(d->ActiveControl(), d->memo);
  // User message 10 names a control; a parameter naming none is ignored.
  d->Perform(WM_USER + 10, 0, reinterpret_cast<LPARAM>(d->ed1));
  EXPECT_EQ(d->ActiveControl(), d->ed1);
  d->Perform(WM_USER + 11, 0, 12345);
  EXPECT_EQ(d->ActiveControl(), d->ed1);
}

TEST(PortalRequest, IsBuiltPieceByPieceWithTheLocaleOfTheCodePage) {
  const std::string head =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Request>   <Access>     <Authentication "
      "user=\"DS\" password=\"\"/>     <Connection application=\"TAVIRO\" source=\"\"/>     "
      "<Organization name=\"DEMO\"/>     <Locale language=\"";
  const std::string tail = "\"/>   </Access>   <RequestContent/> </Request>";
  for (auto [page, locale] : {std::pair{"936", "zh_CN"}, std::pair{"950", "zh_TW"},
                              std::pair{"437", "ch_US"}, std::pair{"", "ch_US"}}) {
    SCOPED_TRACE(page);
    EXPECT_EQ(PortalUsersRequest("DS", "DEMO", page), head + locale + tail);
  }
}

// Portal mode against a portal on 127.0.0.1.
class PortalPicker : public Receivers {
 protected:
  TfrmNotify* PortalDialog(const LoopbackHttpServer& portal) { return Dialog("Y", portal.Url()); }
};

TEST_F(PortalPicker, AGoodAnswerListsTheUsersAndTheChoiceFillsTheRow) {
  LoopbackHttpServer portal(
      200,
      "<Response><Status code=\"0\" Description=\"\"/><Data>"
      "<Record><Field name=\"Id\" value=\"P1\"/><Field name=\"Name\" value=\"张三\"/></Record>"
      "<Record><Field name=\"Name\" value=\"李四\"/><Field name=\"Id\" value=\"P2\"/></Record>"
      "</Data></Response>");
  TfrmNotify* d = PortalDialog(portal);
  std::vector<std::string> listed;
  HeadlessWidgetSet()->SetModalResponder([&](TCustomForm& form, const TDialogRecord& shown) {
    auto* picker = dynamic_cast<TfrmPortalUser*>(&form);
    ASSERT_NE(picker, nullptr) << shown.Text;
    for (int r = 1; r < picker->grUser->RowCount(); ++r)
      listed.push_back(Row(picker->grUser, r));
    picker->grUser->SetRow(2);
    picker->btnOk->Click();
  });
  EditFirstReceiver(d);
  d->grReceive->EditButtonClick();
  EXPECT_EQ(listed, (std::vector<std::string>{"P1|张三", "P2|李四"}));
  EXPECT_EQ(Row(d->grReceive, 1), "P2|李四|||5.Portal用户|Y||");
  ASSERT_EQ(portal.Requests().size(), 1u);
  EXPECT_NE(portal.Requests()[0].head.find("SOAPAction: \"PORTAL.getAllUser\""), std::string::npos);
  EXPECT_EQ(portal.Requests()[0].body, PortalUsersRequest("DS", "DEMO", "936"));
}

TEST_F(PortalPicker, CancellingThePickerOrAnEmptyListChangesNothing) {
  LoopbackHttpServer portal(
      200,
      "<Response><Status code=\"0\"/><Record><Field name=\"Id\" value=\"P1\"/></Record>"
      "</Response>");
  TfrmNotify* d = PortalDialog(portal);
  EditFirstReceiver(d);
  d->grReceive->EditButtonClick();  // no responder: the picker is cancelled
  ASSERT_EQ(HeadlessWidgetSet()->Dialogs().size(), 1u);
  EXPECT_EQ(HeadlessWidgetSet()->Dialogs()[0].ClassName, "TfrmPortalUser");
  EXPECT_EQ(Row(d->grReceive, 1), "|||||||");
  LoopbackHttpServer none(200, "<Response><Status code=\"0\"/></Response>");
  d->PortalAddress = none.Url();
  d->grReceive->EditButtonClick();
  EXPECT_EQ(HeadlessWidgetSet()->Dialogs().size(), 1u);
  EXPECT_EQ(Row(d->grReceive, 1), "|||||||");
}

// Whatever the portal answers, a failure ends in the message and no user.
TEST_F(PortalPicker, BrokenAndHostileAnswersEndInTheMessageAndNoUser) {
  std::string deep;
  for (int i = 0; i < 300; ++i)
    deep += "<a>";
  deep += "<Status code=\"0\"/>";
  for (int i = 0; i < 300; ++i)
    deep += "</a>";
  std::string wide = "<Response><Status code=\"0\"/><Record";
  for (int i = 0; i < 100000; ++i)
    wide += " a" + std::to_string(i) + "=\"1\"";
  wide += "><Field name=\"Id\" value=\"X\"/></Record></Response>";
  struct Case {
    const char* name;
    int status;
    std::string body;
    LoopbackHttpServer::Mode mode;
    std::string message_start;
  } cases[] = {
      {"portal error", 200, "<Response><Status code=\"7\" Description=\"no rights\"/></Response>",
       LoopbackHttpServer::Mode::Answer, "Call portal webservice error! \n\rno rights"},
      {"malformed", 200, "<Response><Status code=\"0\"><Record>", LoopbackHttpServer::Mode::Answer,
       "Call portal webservice error! \n\r"},
      {"no status", 200, "<Response/>", LoopbackHttpServer::Mode::Answer,
       "Call portal webservice error! \n\r"},
      {"300 levels deep", 200, deep, LoopbackHttpServer::Mode::Answer,
       "Call portal webservice error! \n\r"},
      {"100,000 attributes", 200, wide, LoopbackHttpServer::Mode::Answer,
       "Call portal webservice error! \n\r"},
      {"HTTP error", 500, "boom", LoopbackHttpServer::Mode::Answer,
       "Call portal webservice error! \n\r"},
      {"silent portal", 200, "", LoopbackHttpServer::Mode::Silent,
       "Call portal webservice error! \n\r"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HeadlessWidgetSet()->Reset();
    LoopbackHttpServer portal(c.status, c.body, c.mode);
    TfrmNotify* d = PortalDialog(portal);
    EXPECT_TRUE(d->GetPortalUsers().empty());
    std::vector<std::string> shown = MessageTexts();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].rfind(c.message_start, 0), 0u) << shown[0].substr(0, 200);
    EditFirstReceiver(d);
    d->grReceive->EditButtonClick();
    for (const auto& rec : HeadlessWidgetSet()->Dialogs())
      EXPECT_NE(rec.ClassName, "TfrmPortalUser");
    EXPECT_EQ(Row(d->grReceive, 1), "|||||||");
  }
}

TEST_F(PortalPicker, NoAddressAsksNobody) {
  TfrmNotify* d = Dialog("Y", "");
  EXPECT_EQ(d->GetPortalUsers(), "");
  EXPECT_TRUE(HeadlessWidgetSet()->Dialogs().empty());
}

}  // namespace
}  // namespace vx
