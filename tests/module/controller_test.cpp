// The module boundary as a shell sees it: a module library loaded by name,
// its controller driven through the eighteen operations and four fields.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "module/dll_base_ctrller.h"
#include "platform/os/dynlib.h"
#include "platform/ui/forms.h"
#include "platform/ui/headless.h"
#include "platform/ui/input.h"
#include "tests/env/env_fixture.h"
#include "tests/framework/suite_doubles.h"

namespace vx {
namespace {

class Shell : public test::ModuleMachine {
 protected:
  void SetUp() override {
    ModuleMachine::SetUp();
    ASSERT_TRUE(module_.Load("TSTB01C.dll")) << module_.Error();
    get_controller_ = module_.Function<TGetControllerFunc>(kGetControllerExport);
    ASSERT_NE(get_controller_, nullptr);
  }
  void TearDown() override {
    controllers_.clear();
    ModuleMachine::TearDown();
  }

  static void OnEvent(void* data, std::int32_t code, TDLLBaseController*) {
    static_cast<Shell*>(data)->events_.push_back(code);
  }
  TDLLBaseController* NewController(bool with_handler = true) {
    controllers_.emplace_back(get_controller_());
    TDLLBaseController* c = controllers_.back().get();
    c->Manager = doubles_.Manager();
    if (with_handler) c->OnEvent = TControllerEvent::FromFunction(&Shell::OnEvent, this);
    return c;
  }
  static Variant Five() { return VarArrayOf({"DS", "DEMO", "VXSYS", 0, ""}); }

  TDynLib module_;
  TGetControllerFunc get_controller_ = nullptr;
  std::vector<std::unique_ptr<TDLLBaseController>> controllers_;
  std::vector<std::int32_t> events_;
};

TEST_F(Shell, ControllersBeforeAnyForm) {
  TDLLBaseController* a = NewController();
  TDLLBaseController* b = NewController();
  EXPECT_NE(a, b);
  std::u16string version = u"unchanged";
  a->GetVersion(version);
  EXPECT_EQ(version, u"unchanged");
  Variant info = "unchanged";
  EXPECT_EQ(a->GetInfo(info), -1);
  EXPECT_EQ(VarToStr(info), "unchanged");
  EXPECT_EQ(a->GetHandle(), 0u);
  EXPECT_EQ(a->GetVisible(), kOleFalse);
  EXPECT_TRUE(a->IsFormFreed());
  EXPECT_EQ(a->ShowModal().ToInt(), 2);
  EXPECT_EQ(a->DoCommand(5, nullptr, Variant()), -1);
  EXPECT_EQ(a->SetParameters(VarArrayOf({1})), -1);
  a->SetVisible(-1);
  a->FreeForm();
  EXPECT_TRUE(events_.empty());
}

TEST_F(Shell, InitializeCreatesTheFormOnceAndCopiesTheOutcome) {
  TDLLBaseController* c = NewController();
  ASSERT_EQ(c->Initialize(Five()), 0);
  EXPECT_EQ(events_, std::vector<std::int32_t>{kEventFormCreated});
  EXPECT_FALSE(c->IsFormFreed());
  std::u16string version;
  c->GetVersion(version);
  EXPECT_EQ(version, u"870401-0.00.00");
  Variant info;
  ASSERT_EQ(c->GetInfo(info), 0);
  EXPECT_EQ(info.LowBound(), 0);
  EXPECT_EQ(info.HighBound(), 3);
  EXPECT_EQ(VarToStr(info[0]), "DS");
  EXPECT_EQ(VarToStr(info[2]), "TSTB01");
  EXPECT_NE(c->GetHandle(), 0u);
  // A second start-up reuses the form and is refused.
  EXPECT_EQ(c->Initialize(Five()), -1);
  EXPECT_EQ(events_.size(), 1u);

  c->SetVisible(-1);
  EXPECT_EQ(c->GetVisible(), kOleTrue);
  EXPECT_EQ(events_.back(), kEventFormShow);
  auto* form = Screen()->ActiveForm();
  ASSERT_NE(form, nullptr);
  form->SetWindowState(wsMinimized);
  c->SetVisible(-1);
  EXPECT_EQ(form->WindowState(), wsNormal);
  EXPECT_EQ(HeadlessWidgetSet()->ForegroundLog().back(), form->Handle());

  // The user closes the form with Esc: hidden, then destroyed.
  events_.clear();
  SendKey(VK_ESCAPE);
  Application()->ProcessMessages();
  EXPECT_EQ(events_, (std::vector<std::int32_t>{kEventFormHide, kEventFormDestroy}));
  EXPECT_TRUE(c->IsFormFreed());
  EXPECT_EQ(c->ResultCode, 0);
  // A later start-up creates a new form.
  EXPECT_EQ(c->Initialize(Five()), 0);
  EXPECT_EQ(events_.back(), kEventFormCreated);
}

TEST_F(Shell, AShortStartupArrayIsRefusedAndTheFormClosesItself) {
  TDLLBaseController* c = NewController();
  EXPECT_EQ(c->Initialize(VarArrayOf({"u", "c", "db"})), -1);
  EXPECT_FALSE(c->IsFormFreed());
  Application()->ProcessMessages();
  EXPECT_TRUE(c->IsFormFreed());
  // Never shown: created and destroyed only.
  EXPECT_EQ(events_, (std::vector<std::int32_t>{kEventFormCreated, kEventFormDestroy}));
}

TEST_F(Shell, ParametersAndCommands) {
  TDLLBaseController* c = NewController();
  ASSERT_EQ(c->Initialize(Five()), 0);
  EXPECT_EQ(c->SetParameters(Variant::Null()), -1);
  EXPECT_EQ(c->SetParameters(Variant("plain")), -1);
  EXPECT_EQ(c->SetParameters(VarArrayOf({false, VarArrayOf({0})})), 0);
  EXPECT_EQ(c->DoCommand(3, nullptr, VarArrayOf({0})), -1);
  EXPECT_EQ(c->DoCommand(5, nullptr, VarArrayOf({0})), 0);
  c->FireEvent(77);
  c->RaiseEvent320();
  c->ReservedOperation();
  EXPECT_EQ(events_, (std::vector<std::int32_t>{kEventFormCreated, 77, kEvent320}));
}

TEST_F(Shell, WithoutAHandlerEventsAreDropped) {
  TDLLBaseController* c = NewController(false);
  ASSERT_EQ(c->Initialize(Five()), 0);
  c->SetVisible(-1);
  c->SetVisible(0);
  c->FreeForm();
  EXPECT_TRUE(c->IsFormFreed());
  EXPECT_TRUE(events_.empty());
}

TEST_F(Shell, DestroyingTheControllerFreesItsForm) {
  TDLLBaseController* c = NewController();
  ASSERT_EQ(c->Initialize(Five()), 0);
  int forms = Screen()->FormCount();
  controllers_.clear();
  EXPECT_EQ(Screen()->FormCount(), forms - 1);
  EXPECT_EQ(events_.back(), kEventFormDestroy);
}

TEST_F(Shell, ALibraryWithoutAFormClassRaisesTheRegistrationError) {
  TDynLib bare("TSTB02C.dll");
  ASSERT_TRUE(bare.Loaded()) << bare.Error();
  auto get = bare.Function<TGetControllerFunc>(kGetControllerExport);
  std::unique_ptr<TDLLBaseController> c(get());
  try {
    c->Initialize(Five());
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "VRX DLL Internal Error :\rNot Assign \"frmBaseBatchClass\" varible");
  }
  EXPECT_TRUE(c->IsFormFreed());
}

}  // namespace
}  // namespace vx
