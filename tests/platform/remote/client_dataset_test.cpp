#include "platform/remote/client_dataset.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/automation/class_registry.h"
#include "platform/remote/provider.h"
#include "platform/remote/remote_server.h"
#include "platform/rtl/text.h"

namespace vx {
namespace {

using ::testing::ElementsAre;

// A server object with the scheme table behind the provider "pvdConSave".
class SchemeServer : public IDispatch {
 public:
  SchemeServer() {
    TTableProvider schemes({{"NCONDITION", ftString},
                            {"CREATOR", ftString},
                            {"PROGRAMME", ftString},
                            {"CREATE_DATE", ftString},
                            {"SCONDITION", ftMemo},
                            {"VCONDITION", ftMemo}},
                           {"NCONDITION", "CREATOR", "PROGRAMME"});
    schemes.SetRecords({
        {"月底", "U01", "STKB17", "20260131", "ed01.text;", "A\r\n"},
        {"B", "U01", "STKB17", "20260201", "ed01.text;", "B\r\n"},
        {"A", "U02", "STKB17", "20260202", "ed01.text;", "C\r\n"},
        {"A", "U01", "STKB17", "20260203", "ed01.text;", "D\r\n"},
    });
    providers.Add("pvdConSave", std::move(schemes));
    TTableProvider typed({{"QTY", ftInteger},
                          {"STKDATE", ftDateTime},
                          {"PRICE", ftFloat},
                          {"DONE", ftBoolean},
                          {"MEMO", ftWideString}});
    typed.SetRecords(
        {{Variant(5), Variant(TDateTime(46022)), Variant(2.5), Variant(true), Variant(u"宽")},
         {Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null()}});
    providers.Add("pvdTyped", std::move(typed));
  }
  Variant Invoke(std::string_view name, DispatchKind, std::span<Arg> args) override {
    if (SameText(name, "Garbage")) return Variant();
    if (TProviders::Handles(name)) {
      if (!broken.IsEmpty() && SameText(name, kGetRecordsMethod)) return broken;
      return providers.Invoke(name, args);
    }
    RaiseUnknownName(name);
  }
  TProviders providers;
  Variant broken;  // delivered instead of the records when set
};

class ClientDataSetTest : public ::testing::Test {
 protected:
  ClientDataSetTest() {
    connection.SetAddress("127.0.0.1");
    connection.SetAppServer(Variant(DispatchPtr(server)));
    data->SetName("ClientDataSet1");
    data->SetRemoteServer(&connection);
    data->SetProviderName("pvdConSave");
    data->AddIndex("Index1", "NCONDITION;CREATOR;PROGRAMME");
  }
  ~ClientDataSetTest() override { data->Free(); }
  TTableProvider& Schemes() { return *server->providers.Find("pvdConSave"); }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (data->First(); !data->Eof(); data->Next())
      names.push_back(data->FieldByName("NCONDITION")->AsString() + "/" +
                      data->FieldByName("CREATOR")->AsString());
    return names;
  }

  std::shared_ptr<SchemeServer> server = std::make_shared<SchemeServer>();
  TSocketConnection connection{nullptr};
  TClientDataSet* data = Create<TClientDataSet>(nullptr);
};

TEST_F(ClientDataSetTest, OpensWithTheProvidersRecordsAndBrowsesThem) {
  EXPECT_EQ(data->State(), dsInactive);
  data->Open();
  EXPECT_EQ(data->State(), dsBrowse);
  EXPECT_EQ(data->FieldCount(), 6);
  EXPECT_EQ(data->Fields(4)->FieldName(), "SCONDITION");
  EXPECT_EQ(data->Fields(4)->DataType(), ftMemo);
  EXPECT_EQ(data->RecordCount(), 4);
  EXPECT_TRUE(data->Bof());
  EXPECT_EQ(data->RecNo(), 1);
  EXPECT_THAT(Names(), ElementsAre("月底/U01", "B/U01", "A/U02", "A/U01"));
  EXPECT_TRUE(data->Eof());
  EXPECT_EQ(data->RecNo(), 4);
  data->Prior();
  EXPECT_EQ(data->RecNo(), 3);
  data->Last();
  EXPECT_TRUE(data->Eof());
  data->First();
  data->Prior();
  EXPECT_TRUE(data->Bof());
  EXPECT_EQ(data->RecNo(), 1);
  EXPECT_EQ(data->MoveBy(10), 3);  // stops at the last record
  EXPECT_TRUE(data->Eof());
  EXPECT_EQ(data->MoveBy(-2), -2);
  EXPECT_FALSE(data->Eof() || data->Bof());
  EXPECT_EQ(data->RecNo(), 2);
  data->Close();
  EXPECT_EQ(data->FieldCount(), 0);
  EXPECT_THROW(data->First(), EDatabaseError);
}

TEST_F(ClientDataSetTest, TheIndexOrdersTheRecordsAndFindsThemByKey) {
  data->Open();
  EXPECT_THROW(data->FindKey({"A"}), EDatabaseError);  // no index active
  data->SetIndexName("Index1");
  EXPECT_THAT(Names(), ElementsAre("A/U01", "A/U02", "B/U01", "月底/U01"));
  EXPECT_TRUE(data->FindKey({"A", "U02", "STKB17"}));
  EXPECT_EQ(data->FieldByName("VCONDITION")->AsString(), "C\r\n");
  EXPECT_FALSE(data->FindKey({"A", "U03", "STKB17"}));
  EXPECT_EQ(data->FieldByName("CREATOR")->AsString(), "U02");  // where it was
  EXPECT_FALSE(data->FindKey({"a", "U01", "STKB17"}));         // keys compare exactly
  EXPECT_TRUE(data->FindKey({"月底"}));                        // a leading part of the key
  EXPECT_EQ(data->RecNo(), 4);
  EXPECT_THROW(data->FindKey({"A", "U01", "STKB17", "x"}), EDatabaseError);
  EXPECT_THROW(data->SetIndexName("Index2"), EDatabaseError);
  data->SetIndexName("");  // back to the provider's order
  EXPECT_THAT(Names(), ElementsAre("月底/U01", "B/U01", "A/U02", "A/U01"));
}

TEST_F(ClientDataSetTest, APostedChangeGoesBackThroughTheProvider) {
  data->Open();
  data->SetIndexName("Index1");
  ASSERT_TRUE(data->FindKey({"A", "U01", "STKB17"}));
  EXPECT_EQ(data->RecNo(), 1);
  EXPECT_THROW(data->FieldByName("NCONDITION")->SetAsString("Z"), EDatabaseError);  // browsing
  data->Edit();
  EXPECT_EQ(data->State(), dsEdit);
  data->FieldByName("NCONDITION")->SetAsString("Z");
  data->Post();
  EXPECT_EQ(data->State(), dsBrowse);
  // The provider's table has it, and the record keeps its place by the index.
  EXPECT_EQ(VarToStr(Schemes().Records()[3][0]), "Z");
  EXPECT_EQ(data->FieldByName("NCONDITION")->AsString(), "Z");
  EXPECT_EQ(data->RecNo(), 3);  // moved after "B", before the Chinese name
  data->Close();
  data->Open();
  EXPECT_TRUE(data->FindKey({"Z", "U01", "STKB17"}));
}

TEST_F(ClientDataSetTest, ARefusedPostKeepsTheRecordInEditState) {
  Schemes().OnUpdate = [](const TRecordValues&, const TRecordValues& changed) {
    return VarToStr(changed[0]) == "locked" ? std::string("Scheme is in use") : std::string();
  };
  data->Open();
  data->Edit();
  data->FieldByName("NCONDITION")->SetAsString("locked");
  try {
    data->Post();
    FAIL() << "accepted";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Scheme is in use");
  }
  EXPECT_EQ(data->State(), dsEdit);
  EXPECT_EQ(data->FieldByName("NCONDITION")->AsString(), "locked");
  EXPECT_EQ(VarToStr(Schemes().Records()[0][0]), "月底");
  data->Cancel();
  EXPECT_EQ(data->FieldByName("NCONDITION")->AsString(), "月底");
  // A record changed meanwhile on the server is not overwritten.
  Schemes().OnUpdate = nullptr;
  auto records = Schemes().Records();
  records[0][0] = "renamed elsewhere";
  Schemes().SetRecords(records);
  data->Edit();
  data->FieldByName("VCONDITION")->SetAsString("X\r\n");
  EXPECT_THROW(data->Post(), EDatabaseError);
  data->Cancel();
  // A change the server made itself already (a rename) is no conflict.
  data->Edit();
  data->FieldByName("NCONDITION")->SetAsString("renamed elsewhere");
  data->Post();
  EXPECT_EQ(data->State(), dsBrowse);
}

TEST_F(ClientDataSetTest, FieldsConvertTheirValuesAndShowTextThroughHandlers) {
  data->SetProviderName("pvdTyped");
  data->Open();
  TField* qty = data->FieldByName("qty");
  EXPECT_EQ(qty->AsInteger(), 5);
  EXPECT_EQ(data->FieldByName("STKDATE")->AsDateTime().Value, 46022);
  EXPECT_EQ(data->FieldByName("MEMO")->Value().VarType(), varOleStr);
  try {
    data->FieldByName("NOSUCH");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Field 'NOSUCH' not found");
  }
  EXPECT_EQ(data->FindField("NOSUCH"), nullptr);
  data->Next();
  EXPECT_TRUE(qty->IsNull());
  EXPECT_EQ(qty->AsInteger(), 0);
  EXPECT_EQ(qty->AsString(), "");

  data->Edit();
  qty->SetAsString("12");
  EXPECT_EQ(qty->Value().VarType(), varInteger);
  EXPECT_THROW(qty->SetAsString("twelve"), EVariantError);
  EXPECT_EQ(qty->AsInteger(), 12);
  qty->SetAsString("");
  EXPECT_TRUE(qty->IsNull());

  struct Texts {
    std::vector<std::string> asked;
    void Get(TField* f, std::string& text, bool display) {
      asked.push_back(display ? "display" : "edit");
      text = "<" + f->AsString() + ">";
    }
    void Set(TField* f, const std::string& text) { f->SetAsString(Trim(text)); }
  } texts;
  qty->OnGetText = Bind<&Texts::Get>(&texts);
  qty->OnSetText = Bind<&Texts::Set>(&texts);
  qty->SetText(" 7 ");
  EXPECT_EQ(qty->AsInteger(), 7);
  EXPECT_EQ(qty->Text(), "<7>");
  EXPECT_EQ(qty->DisplayText(), "<7>");
  EXPECT_THAT(texts.asked, ElementsAre("edit", "display"));
  EXPECT_EQ(data->FieldByName("PRICE")->Text(), "");  // no handler, Null
}

TEST_F(ClientDataSetTest, DisplayLabelsAndDeclaredFields) {
  TField* name = data->AddField("NCONDITION", ftString);
  data->AddField("CREATOR", ftString);
  name->SetDisplayLabel("方案名称");
  data->Open();
  EXPECT_EQ(data->FieldCount(), 2);  // only the declared fields
  EXPECT_EQ(data->FieldDisplayLabel("ncondition"), "方案名称");
  EXPECT_EQ(data->FieldDisplayLabel("CREATOR"), "CREATOR");  // the name unless set
  EXPECT_THROW(data->FieldDisplayLabel("VCONDITION"), EDatabaseError);
  EXPECT_EQ(name->AsString(), "月底");
  data->Close();
  EXPECT_EQ(data->FieldByName("NCONDITION"), name);  // kept over Close
  EXPECT_THROW(data->AddField("NCONDITION", ftString), EDatabaseError);
  data->AddField("NOT_DELIVERED", ftString);
  EXPECT_THROW(data->Open(), EDatabaseError);
  EXPECT_FALSE(data->Active());
}

TEST_F(ClientDataSetTest, MalformedRecordsOrNoServerLeaveItClosed) {
  const Variant broken[] = {
      Variant("nothing"),
      VarArrayOf({VarArrayOf({VarArrayOf({"A", "S"})}), VarArrayOf({VarArrayOf({1, 2})})}),
      VarArrayOf({VarArrayOf({VarArrayOf({"A", "Q"})}), VarArrayOf({})}),
      VarArrayOf({VarArrayOf({VarArrayOf({"A"})}), VarArrayOf({})}),
  };
  for (const Variant& b : broken) {
    server->broken = b;
    EXPECT_THROW(data->Open(), EDatabaseError);
    EXPECT_FALSE(data->Active());
  }
  server->broken = Variant();
  connection.Close();
  connection.SetAddress("");
  EXPECT_THROW(data->Open(), ERemoteError);  // it tries to connect, with nowhere to go
  data->SetRemoteServer(nullptr);
  EXPECT_THROW(data->Open(), EDatabaseError);
}

TEST_F(ClientDataSetTest, ADataSourceForgetsAFreedDataSet) {
  auto* source = Create<TDataSource>(nullptr);
  source->SetDataSet(data);
  EXPECT_EQ(GetObjectProp(*source, *GetPropInfo(source, "DataSet")), data);
  data->Free();
  data = Create<TClientDataSet>(nullptr);
  EXPECT_EQ(source->DataSet(), nullptr);
  EXPECT_EQ(source->State(), dsInactive);
  source->Free();
}

// The same records over a socket, as a form on another computer sees them.
TEST(ClientDataSetRemote, OpensAndPostsThroughTheApplicationServer) {
  std::shared_ptr<SchemeServer> last;
  ScopedClassRegistration schemes("Remote.Schemes", [&last] {
    last = std::make_shared<SchemeServer>();
    last->providers.Find("pvdConSave")->OnUpdate = [](const TRecordValues&,
                                                      const TRecordValues& changed) {
      return VarToStr(changed[0]).size() > 20 ? std::string("名称长度不能大于20!") : std::string();
    };
    return last;
  });
  TRemoteServerOptions options;
  options.AllowedClasses = {"Remote.Schemes"};
  TRemoteServer server(options);
  server.Start();
  TSocketConnection connection(nullptr);
  connection.SetAddress("127.0.0.1");
  connection.SetPort(server.Port());
  connection.SetServerName("Remote.Schemes");
  auto* data = Create<TClientDataSet>(nullptr);
  data->SetRemoteServer(&connection);
  data->SetProviderName("pvdConSave");
  data->AddIndex("Index1", "NCONDITION;CREATOR;PROGRAMME");
  data->SetIndexName("Index1");
  data->Open();  // connects on its own
  EXPECT_TRUE(connection.Connected());
  EXPECT_EQ(data->RecordCount(), 4);
  ASSERT_TRUE(data->FindKey({"月底", "U01", "STKB17"}));
  data->Edit();
  data->FieldByName("NCONDITION")->SetAsString("期末");
  data->Post();
  EXPECT_EQ(VarToStr(last->providers.Find("pvdConSave")->Records()[0][0]), "期末");
  data->Edit();
  data->FieldByName("NCONDITION")->SetAsString(std::string(21, 'x'));
  EXPECT_THROW(data->Post(), EDatabaseError);
  EXPECT_EQ(data->State(), dsEdit);
  data->Free();
}

}  // namespace
}  // namespace vx
