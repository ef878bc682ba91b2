// The server object's other methods: the direct run (ExecSvrDLL and
// UpdateStatus1) with its notifications, the rights answer and the saved
// schemes through a client data set.
#include <gmock/gmock.h>

#include "platform/remote/client_dataset.h"
#include "suite/appserver/notify.h"
#include "tests/suite/appserver/appserver_fixture.h"

namespace vx::appserver::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr const char* kReceivers =
    R"(<?xml version="1.0" encoding="GB2312"?><Root><R1 ID="U02" Name="李四" Mob="13900000000" )"
    R"(Mail="li@example.com" Type="1" Msg="YYY"/><R3 ID="P9" Name="" Type="5" Msg="NNY"/></Root>)";

class DirectRunTest : public AppServerTest {
 protected:
  // Request1, then ExecSvrDLL as the batch form calls it on a remote server.
  std::string Submit(const std::string& what) {
    Variant params = BatchParams(what, 1, Variant(TDateTime(46108.5)), kReceivers);
    return VarToStr(CallServer(*server, "Request1", {VarAnsiToWideCP(params, 936), "PC-7"}));
  }
  void Exec(std::string id, std::string what = "ok") {
    Variant job(id);
    Variant values = BatchParams(what)[2];
    CallServer(*server, "ExecSvrDLL",
               {Ref(job), "STKB17", "", "C01", "U01", "STKB17S.Class1", "B", "VXSYS", values,
                std::int32_t{1}, id.substr(0, 8) + "0001", std::int32_t{2}});
  }
  std::shared_ptr<TReportCounter> server = NewServer();
};

TEST_F(DirectRunTest, RunsTheJobsLibraryAndEndsWithTheStatusTheClientReports) {
  std::string id = Submit("ok");
  ASSERT_EQ(id, "20260327000001");
  Exec(id);
  EXPECT_THAT(JobLog(), ElementsAre("start " + id + " 202603270001 ok 20260301 N 20260327",
                                    "end " + id + " 202603270001"));
  TJobStore store(config.DatabaseFile);
  auto runs = store.Runs(id);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].Status, kDone);
  EXPECT_EQ(runs[0].Messages, "已重计 20260301");
  EXPECT_EQ(store.FindJob(id)->Status, kOnClient);  // until the client reports

  Variant job(id);
  CallServer(*server, "UpdateStatus1", {Ref(job), "处理完毕", Variant(TDateTime(46108.6))});
  auto ended = store.FindJob(id);
  EXPECT_EQ(ended->Status, kDone);
  EXPECT_EQ(ended->StatusText, "处理完毕");
  // A job ends once: a second report is refused and changes nothing.
  EXPECT_THROW(CallServer(*server, "UpdateStatus1", {Ref(job), "again", Variant()}), EOleException);
  EXPECT_EQ(store.FindJob(id)->StatusText, "处理完毕");

  // Each receiver gets the channels chosen for them.
  std::vector<std::string> notices;
  for (const TNotification& n : store.Notifications(id))
    notices.push_back(n.Channel + ":" + n.Receiver + ":" + n.Address);
  EXPECT_THAT(notices, ElementsAre("MSG:U02:", "SMS:U02:13900000000", "MAIL:U02:li@example.com"));
  EXPECT_THAT(store.Notifications(id)[0].Text, HasSubstr(id));
}

TEST_F(DirectRunTest, AFailedRunRaisesWithItsReasonAndIsRecorded) {
  struct Case {
    std::string What, Reason;
  };
  config.RunLimit = std::chrono::seconds(1);
  server = NewServer();
  for (const Case& c : std::vector<Case>{{"raise", "库存资料有误"},
                                         {"crash", "ended abnormally"},
                                         {"sleep:5000", "longer than 1 seconds"}}) {
    std::string id = Submit(c.What);
    try {
      Exec(id, c.What);
      ADD_FAILURE() << c.What << " did not raise";
    } catch (const EOleException& e) {
      EXPECT_THAT(e.what(), HasSubstr(c.Reason)) << c.What;
    }
    EXPECT_THAT(VarToStr(CallServer(*server, "ErrorDescript")), HasSubstr(c.Reason));
    auto runs = TJobStore(config.DatabaseFile).Runs(id);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].Status, kFailed);
  }
  // Neither an unknown job nor a queued one is run directly.
  EXPECT_THROW(Exec("20260327999999"), EOleException);
  std::string queued = VarToStr(CallServer(*server, "Request", {BatchParams()}));
  EXPECT_THROW(Exec(queued), EOleException);
  // Without the library installed the run fails with that reason.
  config.LibraryFolders = {folder.Path()};
  server = NewServer();
  std::string missing = Submit("ok");
  EXPECT_THROW(Exec(missing), EOleException);
  EXPECT_THAT(VarToStr(CallServer(*server, "ErrorDescript")),
              HasSubstr("STKB17S.DLL is not installed"));
}

TEST(NotificationTest, TheEarlierEditionsChoiceAndDamagedListsAreHandled) {
  TJob job;
  job.JobID = "20260327000001";
  job.UserID = "U01";
  auto channels = [&](std::string receivers) {
    job.Receivers = receivers;
    std::vector<std::string> list;
    for (const TNotification& n : BuildNotifications(job, kFailed, "x"))
      list.push_back(n.Channel + ":" + n.Receiver);
    return list;
  };
  EXPECT_THAT(channels("4"), ElementsAre("MSG:U01", "BBCALL:U01"));
  EXPECT_THAT(channels("1"), ElementsAre());
  EXPECT_THAT(channels("N"), ElementsAre());
  EXPECT_THAT(channels("<Root><R1 ID="), ElementsAre());
  EXPECT_THAT(channels("<Root><R1 ID=\"A\" Msg=\"Y\"/><R2 Msg=\"YYY\"/></Root>"),
              ElementsAre("MSG:A"));
}

TEST_F(AppServerTest, GetPowerAnswersTheStoredRightsOrFullRights) {
  auto server = NewServer();
  auto power = [&](const char* user) {
    return CallServer(*server, "GetPower", {VarArrayOf({"VXSYS", user, "STKB17", ""})});
  };
  Variant full = power("U01");
  EXPECT_EQ(VarToStr(full[1]), ",Y,Y,YYYYYYYY,,");
  EXPECT_EQ(full[5][0].ToInt(), 0);
  {
    TJobStore store(config.DatabaseFile);
    store.SetRights("VXSYS", "U02", "*", {"U02,N,N,YYYYYYNN,E,F", "", "", "W01", {}});
    store.SetRights("VXSYS", "U02", "stkb17",
                    {"U02,Y,N,YYYYYYYN,E,F", "a", "b", "W", {"01", "02"}});
  }
  Variant own = power("U02");
  EXPECT_EQ(VarToStr(own[1]), "U02,Y,N,YYYYYYYN,E,F");  // the program's row before "*"
  EXPECT_EQ(VarToStr(own[4]), "W");
  EXPECT_EQ(own[5][0].ToInt(), 2);
  EXPECT_EQ(VarToStr(own[5][2]), "02");
  Variant other = CallServer(*server, "GetPower", {VarArrayOf({"VXSYS", "U02", "STKB18", ""})});
  EXPECT_EQ(VarToStr(other[1]), "U02,N,N,YYYYYYNN,E,F");
  EXPECT_EQ(Get(Variant(DispatchPtr(server)), "SQLType").ToInt(), 0);
  EXPECT_THROW(CallServer(*server, "GetPower", {"VXSYS"}), EOleException);
}

TEST_F(AppServerTest, SchemesAreSavedRenamedAndDeletedAndServedToTheClientDataSet) {
  auto server = NewServer();
  TSocketConnection connection(nullptr);
  connection.SetAddress("127.0.0.1");
  connection.SetAppServer(Variant(DispatchPtr(server)));
  TClientDataSet* data = Create<TClientDataSet>(nullptr);
  data->SetRemoteServer(&connection);
  data->SetProviderName("pvdConSave");
  data->AddIndex("Index1", "NCONDITION;CREATOR;PROGRAMME");
  data->SetIndexName("Index1");
  auto insert = [&](const char* name, const char* user, bool replace, const char* values) {
    Variant a =
        VarArrayOf({name, user, "20260327", "STKB17", "ed01.text;me02.text;", values, replace});
    return VarToStr(CallServer(*server, "InsertConTable", {Ref(a)}));
  };
  auto names = [&] {
    Variant key = VarArrayOf({"U01", "STKB17"});
    CallServer(*server, "LoadTable", {Ref(key)});
    data->Close();
    data->Open();
    std::vector<std::string> list;
    for (data->First(); !data->Eof(); data->Next())
      list.push_back(data->FieldByName("NCONDITION")->AsString());
    return list;
  };
  EXPECT_EQ(insert("月底", "U01", false, "A01\r\n20260331\r\n"), "");
  EXPECT_EQ(insert("季末", "U01", false, "A02\r\n\r\n"), "");
  EXPECT_EQ(insert("月底", "U02", false, "B\r\n\r\n"), "");  // another user's
  EXPECT_EQ(insert("月底", "U01", false, "X\r\n\r\n"), "此方案名称已经存在！");
  EXPECT_EQ(insert("月底", "U01", true, "A03\r\n20260331\r\n"), "");
  EXPECT_EQ(insert(" ", "U01", true, ""), "方案名不可空白!");
  EXPECT_THAT(names(), ElementsAre("季末", "月底"));
  ASSERT_TRUE(data->FindKey({"月底", "U01", "STKB17"}));
  EXPECT_EQ(data->FieldByName("VCONDITION")->AsString(), "A03\r\n20260331\r\n");
  EXPECT_EQ(data->FieldByName("SCONDITION")->AsString(), "ed01.text;me02.text;");
  EXPECT_EQ(data->FieldByName("CREATE_DATE")->AsString(), "20260327");

  // Rename as the list does: the server first, then the local record posted.
  Variant from = VarArrayOf({"月底", "U01", "STKB17"}), to = VarArrayOf({"年底", "U01", "STKB17"});
  EXPECT_EQ(VarToStr(CallServer(*server, "ChangeConName", {Ref(from), Ref(to)})), "");
  data->Edit();
  data->FieldByName("NCONDITION")->SetAsString("年底");
  data->Post();
  Variant clash = VarArrayOf({"季末", "U01", "STKB17"});
  EXPECT_EQ(VarToStr(CallServer(*server, "ChangeConName", {Ref(to), Ref(clash)})),
            "此方案名称已经存在！");
  // A change posted through the data set is stored.
  ASSERT_TRUE(data->FindKey({"季末", "U01", "STKB17"}));
  data->Edit();
  data->FieldByName("VCONDITION")->SetAsString("A09\r\n\r\n");
  data->Post();
  EXPECT_THAT(names(), ElementsAre("季末", "年底"));
  EXPECT_EQ(TJobStore(config.DatabaseFile).FindScheme("季末", "U01", "STKB17")->Values,
            "A09\r\n\r\n");

  Variant gone = VarArrayOf({"季末", "U01", "STKB17"});
  EXPECT_EQ(VarToStr(CallServer(*server, "DeleteConTable", {Ref(gone)})), "");
  EXPECT_THAT(VarToStr(CallServer(*server, "DeleteConTable", {Ref(gone)})), HasSubstr("不存在"));
  EXPECT_THAT(names(), ElementsAre("年底"));
  data->Free();
}

}  // namespace
}  // namespace vx::appserver::test
