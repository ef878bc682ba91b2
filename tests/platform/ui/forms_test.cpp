#include <gtest/gtest.h>

#include "platform/ui/dialogs.h"
#include "tests/platform/ui/ui_fixture.h"

namespace vx::testing {
namespace {

using ::testing::ElementsAre;

// A form that handles user message 10 (1034) by number and frees itself
// when closed.
class F2Form : public TForm {
  VX_CLASS(F2Form, TForm)
  explicit F2Form(TComponent* owner) : TForm(owner) { OnClose = Bind<&F2Form::FormClose>(this); }
  std::vector<TControl*> f2_for;
  void FormClose(TObject*, TCloseAction& action) { action = caFree; }
  void WMUser10(TMessage& msg) { f2_for.push_back(reinterpret_cast<TControl*>(msg.LParam)); }
};

const TClassInfo& F2Form::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<F2Form>(
      "TF2Form", [](auto& r) { r.template Message<&F2Form::WMUser10>(WM_USER + 10); });
  return info;
}

// Overrides the handler of its parent class and passes the message on.
class F2FormChild : public F2Form {
  VX_CLASS(F2FormChild, F2Form)
  explicit F2FormChild(TComponent* owner) : F2Form(owner) {}
  int own = 0;
  void WMUser10(TMessage& msg) {
    ++own;
    DispatchFrom(inherited::StaticClassInfo(), msg);
  }
};

const TClassInfo& F2FormChild::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<F2FormChild>(
      "TF2FormChild", [](auto& r) { r.template Message<&F2FormChild::WMUser10>(1034); });
  return info;
}

using FormTest = UiTest;

TEST_F(FormTest, UserMessageByNumberIsPostedAndOverridable) {
  auto* f = Create<F2FormChild>(nullptr);
  auto* ed = Add<TEdit>(f, "ed");
  PostMessage(f, 1034, 0, reinterpret_cast<LPARAM>(ed));
  EXPECT_TRUE(f->f2_for.empty());  // posted: nothing happens yet
  EXPECT_EQ(Application()->PendingMessages(), 1);
  Application()->ProcessMessages();
  EXPECT_THAT(f->f2_for, ElementsAre(ed));
  EXPECT_EQ(f->own, 1);
  f->Perform(WM_USER + 10, 0, 0);  // synchronous
  EXPECT_EQ(f->own, 2);
  f->Free();
}

TEST_F(FormTest, PostedCloseFreesTheFormOnlyAfterTheCallReturns) {
  auto* f = Create<F2Form>(nullptr);
  auto* btn = Add<TButton>(f, "btn");
  TWeak<F2Form> alive(f);
  struct Closer {
    F2Form* f;
    bool alive_after_post = false;
    void OnClick(TObject*) {
      PostMessage(f, WM_CLOSE);
      // Still whole while this handler runs.
      alive_after_post = f->Visible() && f->FindComponent("btn") != nullptr;
    }
  } closer{f};
  btn->OnClick = Bind<&Closer::OnClick>(&closer);
  f->Show();
  ClickControl(btn);
  EXPECT_TRUE(closer.alive_after_post);
  EXPECT_TRUE(alive);
  Application()->ProcessMessages();  // close -> caFree -> release -> freed
  EXPECT_FALSE(alive);
  EXPECT_EQ(Screen()->FormCount(), 0);
}

TEST_F(FormTest, CloseQueryAndCloseActions) {
  struct Handlers {
    bool allow = false;
    TCloseAction action = caHide;
    void Query(TObject*, bool& can) { can = allow; }
    void Close(TObject*, TCloseAction& a) { a = action; }
  } h;
  auto* f = Create<TForm>(nullptr);
  TWeak<TForm> alive(f);
  f->OnCloseQuery = Bind<&Handlers::Query>(&h);
  f->OnClose = Bind<&Handlers::Close>(&h);
  f->Show();
  f->Close();
  EXPECT_TRUE(f->Visible());  // refused
  h.allow = true;
  h.action = caNone;
  f->Close();
  EXPECT_TRUE(f->Visible());
  h.action = caMinimize;
  f->Close();
  EXPECT_EQ(f->WindowState(), wsMinimized);
  h.action = caHide;
  f->Close();
  EXPECT_FALSE(f->Visible());
  h.action = caFree;
  f->Close();
  EXPECT_TRUE(alive);  // released, not yet freed
  Application()->ProcessMessages();
  EXPECT_FALSE(alive);
}

TEST_F(FormTest, ShowHideActivateEventsInOrder) {
  auto* f = Create<TForm>(nullptr);
  f->SetName("f");
  struct Log {
    std::vector<std::string>* out;
    void Show(TObject*) { out->push_back("show"); }
    void Hide(TObject*) { out->push_back("hide"); }
    void Activate(TObject*) { out->push_back("activate"); }
    void Deactivate(TObject*) { out->push_back("deactivate"); }
    void Destroy(TObject*) { out->push_back("destroy"); }
  } l{&log};
  f->OnShow = Bind<&Log::Show>(&l);
  f->OnHide = Bind<&Log::Hide>(&l);
  f->OnActivate = Bind<&Log::Activate>(&l);
  f->OnDeactivate = Bind<&Log::Deactivate>(&l);
  f->OnDestroy = Bind<&Log::Destroy>(&l);
  auto* e = Add<TEdit>(f, "e");
  Watch(e);
  f->Show();
  f->Hide();
  f->Free();
  EXPECT_THAT(log, ElementsAre("show", "activate", "enter e", "hide", "deactivate", "destroy"));
}

TEST_F(FormTest, ModalFormAnsweredThroughTheResponderAndRecorded) {
  auto* f = Create<TForm>(nullptr);
  f->SetName("frmAsk");
  f->SetCaption("Ask");
  auto* ed = Add<TEdit>(f, "ed");
  auto* ok = Add<TButton>(f, "ok");
  ok->SetModalResult(mrOk);
  std::string seen_class;
  Headless().SetModalResponder([&](TCustomForm& form, const TDialogRecord& shown) {
    seen_class = shown.ClassName;
    EXPECT_TRUE(ed->Focused());
    SendText("42");
    ClickControl(form.FindComponent("ok") ? dynamic_cast<TButton*>(form.FindComponent("ok"))
                                          : nullptr);
  });
  EXPECT_EQ(f->ShowModal(), mrOk);
  EXPECT_EQ(seen_class, "TForm");
  EXPECT_EQ(ed->Text(), "42");
  EXPECT_FALSE(f->Visible());
  ASSERT_EQ(Headless().Dialogs().size(), 1u);
  const TDialogRecord& r = Headless().Dialogs()[0];
  EXPECT_EQ(r.FormName, "frmAsk");
  EXPECT_EQ(r.Caption, "Ask");
  EXPECT_FALSE(r.MessageDialog);
  EXPECT_EQ(r.ModalResult, mrOk);
  EXPECT_TRUE(r.Answered);
  EXPECT_THROW(
      {
        f->Show();
        f->ShowModal();
      },
      EInvalidOperation);
  f->Free();
}

TEST_F(FormTest, ModalFormWithoutResponderEndsWithCancel) {
  auto* f = Create<TForm>(nullptr);
  EXPECT_EQ(f->ShowModal(), mrCancel);
  EXPECT_FALSE(Headless().Dialogs()[0].Answered);
  // A form that refuses to close would hang; the headless loop gives up.
  struct Refuse {
    void Query(TObject*, bool& can) { can = false; }
  } refuse;
  f->OnCloseQuery = Bind<&Refuse::Query>(&refuse);
  EXPECT_THROW(f->ShowModal(), EInvalidOperation);
  EXPECT_FALSE(f->IsModal());
  f->Free();
}

TEST_F(FormTest, ModalDisablesOtherFormsAndRestoresTheFocus) {
  auto* main = Create<TForm>(nullptr);
  auto* me = Add<TEdit>(main, "me");
  main->Show();
  auto* dlg = Create<TForm>(nullptr);
  auto* mb = Add<TButton>(main, "mb");
  Watch(me);
  mb->OnClick = Bind<&UiTest::Clicked>(this);
  Headless().SetModalResponder([&](TCustomForm& form, const TDialogRecord&) {
    EXPECT_FALSE(me->CanFocus() && main->CanFocus());
    EXPECT_THROW(main->SetFocus(), EInvalidOperation);
    EXPECT_FALSE(ClickControl(mb));  // the main form takes no clicks meanwhile
    form.SetModalResult(mrYes);
  });
  log.clear();
  EXPECT_EQ(dlg->ShowModal(), mrYes);
  EXPECT_EQ(Screen()->ActiveForm(), main);
  EXPECT_TRUE(me->Focused());
  EXPECT_TRUE(log.empty());  // no click, and no exit/enter for a focus that only went away
  dlg->Free();
  main->Free();
}

TEST_F(FormTest, MessageDialogIsARealFormWithNamedButtons) {
  TMessageForm* d = CreateMessageDialog("Delete?", mtConfirmation, mbYesNoCancel);
  EXPECT_EQ(d->Caption(), "Confirm");
  EXPECT_EQ(d->MessageText(), "Delete?");
  struct Case {
    const char* name;
    TModalResult result;
  };
  for (Case c : {Case{"Yes", 6}, Case{"No", 7}, Case{"Cancel", 2}}) {
    auto* b = dynamic_cast<TButton*>(d->FindComponent(c.name));
    ASSERT_NE(b, nullptr) << c.name;
    EXPECT_EQ(b->ModalResult(), c.result);
  }
  EXPECT_EQ(d->FindComponent("OK"), nullptr);
  EXPECT_TRUE(d->Button(mbYes)->Default());
  EXPECT_TRUE(d->Button(mbCancel)->Cancel());
  // Changeable before it is shown.
  d->SetCaption("System");
  d->Button(mbYes)->SetCaption("是");
  d->Font()->SetCharset(GB2312_CHARSET);
  EXPECT_EQ(d->Button(mbNo)->Font()->Charset(), GB2312_CHARSET);
  Headless().SetModalResponder([](TCustomForm& form, const TDialogRecord& shown) {
    EXPECT_EQ(shown.Caption, "System");
    ClickControl(dynamic_cast<TButton*>(form.FindComponent("No")));
  });
  EXPECT_EQ(d->ShowModal(), mrNo);
  d->Free();

  // Every button kind, with the standard results.
  TMessageForm* all = CreateMessageDialog("x", mtCustom,
                                          {mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore,
                                           mbAll, mbNoToAll, mbYesToAll, mbHelp});
  std::vector<TModalResult> results;
  for (const char* n : {"OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No", "All", "NoToAll",
                        "YesToAll", "Help"})
    results.push_back(dynamic_cast<TButton*>(all->FindComponent(n))->ModalResult());
  EXPECT_THAT(results, ElementsAre(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0));
  all->Free();
}

TEST_F(FormTest, MessageDlgAnsweredThroughTheResponderAndRecorded) {
  Headless().SetModalResponder([](TCustomForm& form, const TDialogRecord& shown) {
    if (shown.Text == "Save changes?")
      ClickControl(dynamic_cast<TButton*>(form.FindComponent("No")));
    // Anything else is left to the default answer.
  });
  EXPECT_EQ(MessageDlg("Save changes?", mtWarning, mbYesNoCancel), mrNo);
  EXPECT_EQ(MessageDlg("Retry?", mtError, mbAbortRetryIgnore), mrRetry);
  ShowMessage("Done");
  const auto& d = Headless().Dialogs();
  ASSERT_EQ(d.size(), 3u);
  EXPECT_EQ(d[0].ClassName, "TMessageForm");
  EXPECT_EQ(d[0].Caption, "Warning");
  EXPECT_EQ(d[0].DlgType, "mtWarning");
  EXPECT_THAT(d[0].Buttons, ElementsAre("Yes", "No", "Cancel"));
  EXPECT_EQ(d[0].DefaultButton, "Yes");
  EXPECT_EQ(d[0].ModalResult, mrNo);
  EXPECT_TRUE(d[0].Answered);
  EXPECT_EQ(d[1].ModalResult, mrRetry);
  EXPECT_FALSE(d[1].Answered);
  EXPECT_EQ(d[2].Text, "Done");
  EXPECT_EQ(d[2].DlgType, "mtCustom");
  EXPECT_EQ(d[2].Caption, Application()->Title());
  EXPECT_EQ(d[2].ModalResult, mrOk);
  EXPECT_EQ(Screen()->FormCount(), 0);  // every dialog was freed
}

TEST_F(FormTest, NestedDialogFromTheResponder) {
  auto* f = Create<TForm>(nullptr);
  auto* b = Add<TButton>(f, "b");
  struct Asker {
    TModalResult inner = mrNone;
    void OnClick(TObject*) { inner = MessageDlg("Sure?", mtConfirmation, mbOKCancel); }
  } asker;
  b->OnClick = Bind<&Asker::OnClick>(&asker);
  Headless().SetModalResponder([&](TCustomForm& form, const TDialogRecord& shown) {
    if (shown.MessageDialog) {
      ClickControl(dynamic_cast<TButton*>(form.FindComponent("OK")));
      return;
    }
    ClickControl(b);
    form.SetModalResult(mrAbort);
  });
  EXPECT_EQ(f->ShowModal(), mrAbort);
  EXPECT_EQ(asker.inner, mrOk);
  ASSERT_EQ(Headless().Dialogs().size(), 2u);
  EXPECT_EQ(Headless().Dialogs()[1].Text, "Sure?");
  f->Free();
}

TEST_F(FormTest, WindowServices) {
  auto* f = Create<TForm>(nullptr);
  f->SetParentWindowHandle(GetDesktopWindow());
  f->Show();
  EXPECT_EQ(HeadlessPeerState(*f)->ParentWindow, THeadlessWidgetSet::kDesktopWindow);
  RepaintWindow(12345);  // a window of the shell, not ours
  RepaintWindow(12345);
  EXPECT_EQ(Headless().RepaintCount(12345), 2);
  EXPECT_TRUE(ShellExecute(f->Handle(), "properties", "/opt/STKB17C.so"));
  EXPECT_EQ(Headless().ShellExecutes().back().first, "properties");
  EXPECT_FALSE(PostMessage(HWND{999999}, WM_CLOSE));  // no such window
  f->Free();
}

TEST_F(FormTest, WindowProcSubclassingSeesMovesAndUserActions) {
  // An instance's window procedure replaced: moves repaint another window,
  // everything else goes on to the original procedure.
  struct Subclass {
    TForm* form;
    HWND shell;
    int moves = 0;
    void Proc(TMessage& msg) {
      if (msg.Msg == WM_MOVE) {
        ++moves;
        RepaintWindow(shell);
      }
      form->WndProc(msg);
    }
  };
  auto* f = Create<TForm>(nullptr);
  Subclass sub{f, 4242};
  f->WindowProc = Bind<&Subclass::Proc>(&sub);
  f->Show();
  WindowBoundsChanged(f, TRect{10, 20, 330, 260});
  EXPECT_EQ(sub.moves, 1);
  EXPECT_EQ(Headless().RepaintCount(4242), 1);
  WindowBoundsChanged(f, TRect{10, 20, 400, 300});  // resized only
  EXPECT_EQ(sub.moves, 1);

  auto* other = Create<TForm>(nullptr);
  other->Show();
  EXPECT_EQ(Screen()->ActiveForm(), other);
  WindowActivated(f);
  EXPECT_EQ(Screen()->ActiveForm(), f);
  WindowCloseRequested(f);
  EXPECT_TRUE(f->Visible());  // posted
  Application()->ProcessMessages();
  EXPECT_FALSE(f->Visible());
  EXPECT_EQ(Screen()->ActiveForm(), other);
  other->Free();
  f->Free();
}

TEST_F(FormTest, FailingCreateHandlerIsShownAndTheFormKept) {
  struct Failing : TForm {
    explicit Failing(TComponent* owner) : TForm(owner) {
      OnCreate = Bind<&Failing::FormCreate>(this);
    }
    void FormCreate(TObject*) { throw EInvalidOperation("no configuration"); }
  };
  auto* f = Create<Failing>(nullptr);
  ASSERT_EQ(Headless().Dialogs().size(), 1u);
  EXPECT_EQ(Headless().Dialogs()[0].Text, "no configuration.");
  EXPECT_EQ(Screen()->FormCount(), 1);
  // With an exception handler of its own the application shows nothing.
  struct Catcher {
    std::string seen;
    void OnException(TObject*, const std::exception& e) { seen = e.what(); }
  } catcher;
  Application()->OnException = Bind<&Catcher::OnException>(&catcher);
  Application()->Guard([] { throw EConvertError("bad"); });
  Application()->OnException = nullptr;
  EXPECT_EQ(catcher.seen, "bad");
  EXPECT_EQ(Headless().Dialogs().size(), 1u);
  f->Free();
}

TEST_F(FormTest, ApplicationAndScreenDefaults) {
  EXPECT_EQ(Application()->HintHidePause(), 2500);
  Application()->SetHintHidePause(500000);
  EXPECT_EQ(Application()->HintHidePause(), 500000);
  Application()->SetHintHidePause(2500);
  EXPECT_TRUE(Application()->ShowHint());
  EXPECT_NE(Screen()->HintFont(), nullptr);
  EXPECT_EQ(Screen()->Width(), 1024);
  TFont f;
  f.SetSize(9);
  EXPECT_EQ(TextWidth(f, "Wi"), 12);    // 6 per narrow character at 12 px
  EXPECT_EQ(TextWidth(f, "中文"), 24);  // 12 per wide character
  EXPECT_EQ(TextHeight(f, "W"), 14);
}

}  // namespace
}  // namespace vx::testing
