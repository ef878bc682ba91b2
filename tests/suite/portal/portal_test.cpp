// The demo's portal: its answers, and the receivers dialog picking a portal
// user from it over 127.0.0.1.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/baseopt.h"
#include "framework/portaluser.h"
#include "framework/vxnotify.h"
#include "platform/ui/headless.h"
#include "platform/xml/xml_document.h"
#include "suite/demodb/demodb.h"
#include "suite/portal/portal_service.h"
#include "tests/framework/suite_doubles.h"

namespace vx {
namespace {

class DemoPortal : public test::ModuleMachine {
 protected:
  void SetUp() override {
    ModuleMachine::SetUp();
    demo::CreateDemoDatabases(tmp_.MakeFolder("db"));
    system_db_ = tmp_.Path("db/") + demo::kSystemFileName;
  }
  std::string Request(const std::string& company = "DEMO") const {
    return PortalUsersRequest("DS", company, "936");
  }
  std::string system_db_;
};

// "code|Description|id:name,id:name" of an answer.
std::string Read(const std::string& answer) {
  XmlDocument doc;
  if (!doc.LoadXml(answer)) return "not XML";
  XmlNode status = doc.SelectSingleNode("//Status[@code]");
  std::string out = status.GetAttribute("code") + "|" + status.GetAttribute("Description") + "|";
  for (const XmlNode& r : doc.SelectNodes("//Record"))
    out += r.SelectSingleNode("Field[@name='Id']").GetAttribute("value") + ":" +
           r.SelectSingleNode("Field[@name='Name']").GetAttribute("value") + ",";
  return out;
}

TEST_F(DemoPortal, AnswersFromTheCompanysPortalUsers) {
  struct Case {
    const char* name;
    std::string method, request, read;
  } cases[] = {
      {"all portal users", portal::kGetAllUser, Request(), "0||DS:系统管理员,LIUY:刘洋,"},
      {"another method", "PORTAL.dropAll", Request(), "1|unknown method: PORTAL.dropAll|"},
      {"not XML", portal::kGetAllUser, "<Request>", "2|the request is not XML|"},
      {"no user", portal::kGetAllUser, "<Request/>", "3|the request names no user|"},
      {"another company", portal::kGetAllUser, Request("ACME"), "4|unknown organization: ACME|"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Read(portal::Answer(system_db_, c.method, c.request)), c.read);
  }
  EXPECT_EQ(
      Read(portal::Answer(tmp_.Path("missing.db"), portal::kGetAllUser, Request())).substr(0, 2),
      "5|");
}

TEST_F(DemoPortal, TheReceiversDialogPicksAPortalUserFromIt) {
  portal::TPortalServer server(system_db_);
  server.Start();
  auto* batch = Create<TfrmBaseOpt>(nullptr);
  batch->SetName("frmTstp01");
  batch->Manager = doubles_.Manager();
  batch->SetModuleFileName(tmp_.Path("TSTP01C.so"));
  ASSERT_TRUE(batch->InitModule(VarArrayOf({"DS", "DEMO", "VXSYS", 0, "x"})));
  batch->CloseAfterRun = false;
  std::vector<std::string> listed;
  HeadlessWidgetSet()->SetModalResponder([&](TCustomForm& form, const TDialogRecord& shown) {
    if (auto* d = dynamic_cast<TfrmNotify*>(&form)) {
      d->grReceive->FocusCell(0, 1);
      d->grReceive->SetEditorMode(true);
      d->grReceive->EditButtonClick();
      d->BitBtn1->Click();
    } else if (auto* picker = dynamic_cast<TfrmPortalUser*>(&form)) {
      for (int r = 1; r < picker->grUser->RowCount(); ++r)
        listed.push_back(picker->grUser->Cells(0, r) + ":" + picker->grUser->Cells(1, r));
      picker->grUser->SetRow(2);
      picker->btnOk->Click();
    } else {
      ADD_FAILURE() << "unexpected dialog: " << shown.Text;
    }
  });
  std::string xml = EditReceivers(batch, "N", "Y", server.Url());
  EXPECT_EQ(listed, (std::vector<std::string>{"DS:系统管理员", "LIUY:刘洋"}));
  EXPECT_EQ(xml,
            "<?xml version=\"1.0\" encoding=\"GB2312\"?><Root><R1 ID=\"LIUY\" Name=\"刘洋\" "
            "Type=\"5\" Msg=\"YNN\"/></Root>");
  server.Stop();
}

}  // namespace
}  // namespace vx
