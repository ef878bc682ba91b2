// The data-aware edit bound to a client data set, and the bound label that
// takes its caption from the data set's display label.
#include <gtest/gtest.h>

#include "controls/dblabel.h"
#include "controls/vrxedit.h"
#include "platform/remote/client_dataset.h"
#include "platform/remote/provider.h"
#include "platform/ui/input.h"
#include "tests/controls/controls_fixture.h"

namespace vx::testing {
namespace {

class ProviderObject : public IDispatch {
 public:
  Variant Invoke(std::string_view name, DispatchKind, std::span<Arg> args) override {
    return providers.Invoke(name, args);
  }
  TProviders providers;
};

class DBEditTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    TTableProvider table({{"NCONDITION", ftString}, {"QTY", ftInteger}});
    table.SetRecords({{"月底", 5}, {"期初", Variant::Null()}});
    server->providers.Add("pvdConSave", std::move(table));
    form = NewForm();
    connection = Create<TSocketConnection>(form);
    connection->SetAppServer(Variant(DispatchPtr(server)));
    data = Create<TClientDataSet>(form);
    data->SetRemoteServer(connection);
    data->SetProviderName("pvdConSave");
    source = Create<TDataSource>(form);
    source->SetDataSet(data);
    edit = Add<TVxDBEdit>(form, "edName");
    SetObjectProp(*edit, *GetPropInfo(edit, "DataSource"), source);
    edit->SetDataField("NCONDITION");
  }
  TTableProvider& Table() { return *server->providers.Find("pvdConSave"); }

  ScopedGlyphLibrary library{"FewPictures.dll"};
  std::shared_ptr<ProviderObject> server = std::make_shared<ProviderObject>();
  F2RecordingForm* form = nullptr;
  TSocketConnection* connection = nullptr;
  TClientDataSet* data = nullptr;
  TDataSource* source = nullptr;
  TVxDBEdit* edit = nullptr;
};

TEST_F(DBEditTest, ShowsTheCurrentRecordsFieldText) {
  EXPECT_EQ(GetPropInfo(edit, "DataSource")->PropType->Name, "TDataSource");
  EXPECT_EQ(edit->Text(), "");  // closed
  data->Open();
  EXPECT_EQ(edit->Text(), "月底");
  data->Next();
  EXPECT_EQ(edit->Text(), "期初");
  edit->SetDataField("QTY");
  EXPECT_EQ(edit->Text(), "");  // Null
  data->First();
  EXPECT_EQ(edit->Text(), "5");
  data->Close();
  EXPECT_EQ(edit->Text(), "");
}

TEST_F(DBEditTest, TypedTextGoesToTheFieldOnlyWhileEditing) {
  data->Open();
  TField* name = data->FieldByName("NCONDITION");
  std::vector<std::string> stored;
  struct Upper {
    std::vector<std::string>* log;
    void Set(TField* f, const std::string& text) {
      log->push_back(text);
      f->SetAsString(text + "!");
    }
  } upper{&stored};
  name->OnSetText = Bind<&Upper::Set>(&upper);

  TextEdited(edit, "browsing");
  EXPECT_EQ(name->AsString(), "月底");
  EXPECT_TRUE(stored.empty());

  data->Edit();
  TextEdited(edit, "期末");
  EXPECT_EQ(name->AsString(), "期末!");
  EXPECT_EQ(edit->Text(), "期末");  // the typing is not overwritten while typing
  data->Post();
  EXPECT_EQ(VarToStr(Table().Records()[0][0]), "期末!");
  EXPECT_EQ(edit->Text(), "期末!");
}

TEST_F(DBEditTest, TextTheFieldCannotTakeIsReportedByThePost) {
  data->Open();
  edit->SetDataField("QTY");
  data->Edit();
  TextEdited(edit, "1x");
  EXPECT_EQ(data->FieldByName("QTY")->AsInteger(), 5);
  EXPECT_THROW(data->Post(), EVariantError);
  EXPECT_EQ(data->State(), dsEdit);
  TextEdited(edit, "12");
  data->Post();
  EXPECT_EQ(Table().Records()[0][1].ToInt(), 12);
}

TEST_F(DBEditTest, TheBoundLabelTakesTheFieldsDisplayLabel) {
  data->Open();
  data->FieldByName("NCONDITION")->SetDisplayLabel("方案名称");
  auto* label = Add<TDBLabel>(form, "lblName");
  label->SetFocusControl(edit);
  EXPECT_EQ(label->Caption(), "方案名称");
  // A data field the data set does not have leaves the caption alone.
  edit->SetDataField("NOSUCH");
  label->SetAutoCaption(false);
  label->SetAutoCaption(true);
  EXPECT_EQ(label->Caption(), "方案名称");
  // At design time the edit's own label names the field as well.
  EXPECT_EQ(edit->Caption(), "");
  edit->SetDesigning(true);
  edit->SetDataField("NCONDITION");
  EXPECT_EQ(edit->Caption(), "方案名称");
}

TEST_F(DBEditTest, FreeingTheDataSourceUnbindsTheEdit) {
  data->Open();
  source->Free();
  EXPECT_EQ(edit->DataSource(), nullptr);
  EXPECT_EQ(edit->Field(), nullptr);
  data->Next();  // no one to tell
  EXPECT_EQ(edit->Text(), "月底");
}

}  // namespace
}  // namespace vx::testing
