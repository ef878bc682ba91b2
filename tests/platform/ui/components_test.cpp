#include <gtest/gtest.h>

#include "tests/platform/ui/ui_fixture.h"

namespace vx::testing {
namespace {

// A component that keeps a reference to another and drops it when told.
class Referrer : public TComponent {
  VX_CLASS(Referrer, TComponent)
  explicit Referrer(TComponent* owner) : TComponent(owner) {}
  TComponent* target = nullptr;
  void Refer(TComponent* c) {
    target = c;
    if (c) c->FreeNotification(this);
  }

 protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove && c == target) target = nullptr;
  }
};

const TClassInfo& Referrer::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<Referrer>("TReferrer", [](auto&) {});
  return info;
}

using ComponentTest = UiTest;

TEST_F(ComponentTest, ClassChainAndNames) {
  auto* f = Create<TForm>(nullptr);
  EXPECT_EQ(f->ClassName(), "TForm");
  EXPECT_EQ(f->ClassParent()->Name, "TCustomForm");
  EXPECT_TRUE(f->InheritsFrom("twincontrol"));
  EXPECT_TRUE(f->InheritsFrom(TComponent::StaticClassInfo()));
  EXPECT_FALSE(f->InheritsFrom(TButton::StaticClassInfo()));
  EXPECT_EQ(FindClassInfo("tform"), &TForm::StaticClassInfo());
  // A registered component class can be created by name.
  TComponent* made = FindClassInfo("TEdit")->Construct(f);
  EXPECT_EQ(made->ClassName(), "TEdit");
  EXPECT_EQ(made->Owner(), f);
  f->Free();
}

TEST_F(ComponentTest, NamesAreValidatedAndUniquePerOwner) {
  auto* f = Create<TForm>(nullptr);
  auto* a = new TEdit(f);
  a->SetName("ed01");
  auto* b = new TEdit(f);
  EXPECT_THROW(b->SetName("ED01"), EComponentError);
  EXPECT_THROW(b->SetName("1ed"), EComponentError);
  EXPECT_THROW(b->SetName("ed 02"), EComponentError);
  b->SetName("ed02");
  EXPECT_EQ(f->FindComponent("ED02"), b);
  EXPECT_EQ(f->FindComponent("none"), nullptr);
  EXPECT_EQ(f->FindComponent(""), nullptr);
  a->SetName("Ed01");  // a case change of its own name is fine
  // Components are kept in creation order.
  ASSERT_EQ(f->ComponentCount(), 2);
  EXPECT_EQ(f->Components(0), a);
  EXPECT_EQ(b->ComponentIndex(), 1);
  // A component without owner can take any valid name.
  auto* loose = new TButton(nullptr);
  loose->SetName("ed01");
  loose->Free();
  f->Free();
}

TEST_F(ComponentTest, FreeingOwnerFreesOwnedAndNotifiesReferrers) {
  auto* keeper = new Referrer(nullptr);
  auto* f = Create<TForm>(nullptr);
  auto* ed = new TEdit(f);
  ed->SetParent(f);
  auto* label = new TLabel(f);
  label->SetParent(f);
  label->SetFocusControl(ed);
  keeper->Refer(ed);
  TWeak<TEdit> weak(ed);

  ed->Free();  // freed alone: both references cleared
  EXPECT_EQ(label->FocusControl(), nullptr);
  EXPECT_EQ(keeper->target, nullptr);
  EXPECT_FALSE(weak);
  EXPECT_EQ(f->ComponentCount(), 1);
  EXPECT_EQ(f->ControlCount(), 1);

  keeper->Refer(label);
  f->Free();  // freed with its owner
  EXPECT_EQ(keeper->target, nullptr);
  keeper->Free();
}

// Counts the removals it is told of.
class Listener : public TComponent {
  VX_CLASS(Listener, TComponent)
  explicit Listener(TComponent* owner) : TComponent(owner) {}
  ~Listener() override {
    if (told) *told = removals;
  }
  int removals = 0;
  int insertions = 0;
  int* told = nullptr;  // receives the count as it is freed

 protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove) ++removals;
    if (op == opInsert) ++insertions;
  }
};

const TClassInfo& Listener::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<Listener>("TListener", [](auto&) {});
  return info;
}

// Freeing a form does not tell each of its components of every other one
// going, nor is a new component announced to all before it (which made
// creating and freeing quadratic); a component freed on its own is still
// announced to its siblings, and references across forms are cleared.
TEST_F(ComponentTest, FreeingAFormDoesNotAnnounceEachRemovalToEveryComponent) {
  auto* f = Create<TForm>(nullptr);
  auto* listener = new Listener(f);
  std::vector<TEdit*> edits;
  for (int i = 0; i < 3; ++i) {
    auto* panel = new TPanel(f);
    panel->SetParent(f);
    for (int j = 0; j < 100; ++j) {
      edits.push_back(new TEdit(f));
      edits.back()->SetParent(panel);
    }
  }
  EXPECT_EQ(listener->insertions, 0);
  edits.front()->Free();
  EXPECT_EQ(listener->removals, 1);
  int told = -1;
  listener->told = &told;
  auto* other = Create<TForm>(nullptr);
  auto* label = new TLabel(other);
  label->SetParent(other);
  label->SetFocusControl(edits.back());
  f->Free();
  EXPECT_EQ(label->FocusControl(), nullptr);
  EXPECT_GE(told, 1);
  EXPECT_LE(told, 2);
  other->Free();
}

TEST_F(ComponentTest, FreeInAnyOrderWithCrossReferences) {
  // Two forms referring to each other's controls, a loose control parented
  // on a form, posted messages pending: every order frees cleanly.
  for (int order = 0; order < 3; ++order) {
    auto* a = Create<TForm>(nullptr);
    auto* b = Create<TForm>(nullptr);
    auto* pa = new TPanel(a);
    pa->SetParent(a);
    auto* ea = new TEdit(a);
    ea->SetParent(pa);
    auto* lb = new TLabel(b);
    lb->SetParent(b);
    lb->SetFocusControl(ea);
    auto* la = new TLabel(a);
    la->SetParent(pa);
    auto* eb = new TEdit(nullptr);  // owned by nobody, freed with its parent
    eb->SetParent(b);
    la->SetFocusControl(eb);
    auto* cross = new TButton(a);  // owned by a, standing on b
    cross->SetParent(b);
    TWeak<TButton> cross_alive(cross);
    a->Show();
    ea->SetFocus();
    PostMessage(ea, WM_USER + 10);
    PostMessage(b, WM_CLOSE);
    a->Release();
    switch (order) {
      case 0:
        a->Free();
        EXPECT_FALSE(cross_alive);  // freed with its owner, gone from its parent
        EXPECT_EQ(b->ControlCount(), 2);
        b->Free();
        break;
      case 1:
        b->Free();
        EXPECT_EQ(la->FocusControl(), nullptr);
        EXPECT_FALSE(cross_alive);  // freed with its parent, gone from its owner
        EXPECT_EQ(a->FindComponent(""), nullptr);
        a->Free();
        break;
      case 2:
        pa->Free();
        EXPECT_EQ(lb->FocusControl(), nullptr);
        EXPECT_EQ(a->ActiveControl(), nullptr);
        Application()->ProcessMessages();  // a's release frees a; b gets closed
        EXPECT_EQ(Screen()->FormCount(), 1);
        b->Free();
        break;
    }
    Application()->ProcessMessages();  // messages for freed windows are dropped
    EXPECT_EQ(Screen()->FormCount(), 0);
  }
}

TEST_F(ComponentTest, ParentAndChildrenAreConsistent) {
  auto* f = Create<TForm>(nullptr);
  auto* p = new TPanel(f);
  p->SetParent(f);
  EXPECT_THROW(f->SetParent(p), EInvalidOperation);
  EXPECT_THROW(p->SetParent(p), EInvalidOperation);
  auto* e = new TEdit(f);
  e->SetParent(p);
  EXPECT_TRUE(f->ContainsControl(e));
  e->SetParent(f);
  EXPECT_EQ(p->ControlCount(), 0);
  EXPECT_EQ(f->ControlCount(), 2);
  f->Free();
}

TEST_F(ComponentTest, LoadingStateAndLoaded) {
  struct Probe : TEdit {
    using TEdit::TEdit;
    int loaded = 0;
    void Loaded() override { ++loaded; }
  };
  auto* f = Create<TForm>(nullptr);
  auto* e = new Probe(f);
  f->BeginLoading();
  EXPECT_TRUE(e->IsLoading());
  f->EndLoading();
  EXPECT_FALSE(e->IsLoading());
  EXPECT_EQ(e->loaded, 1);
  f->Free();
}

TEST_F(ComponentTest, FontFollowsParentUntilChanged) {
  auto* f = Create<TForm>(nullptr);
  auto* p = new TPanel(f);
  p->SetParent(f);
  auto* e = new TEdit(f);
  e->SetParent(p);
  f->Font()->SetName("SimSun");
  f->Font()->SetSize(9);
  EXPECT_EQ(e->Font()->Name(), "SimSun");
  EXPECT_EQ(e->Font()->Size(), 9);
  EXPECT_TRUE(e->ParentFont());
  e->Font()->SetSize(12);
  EXPECT_FALSE(e->ParentFont());
  f->Font()->SetSize(10);
  EXPECT_EQ(e->Font()->Size(), 12);
  EXPECT_EQ(p->Font()->Size(), 10);
  e->SetParentFont(true);
  EXPECT_EQ(e->Font()->Size(), 10);
  f->Free();
}

TEST_F(ComponentTest, AlignLaysOutLeftClientBottom) {
  auto* f = Create<TForm>(nullptr);
  f->SetClientWidth(400);
  f->SetClientHeight(300);
  auto* bottom = new TPanel(f);
  bottom->SetParent(f);
  bottom->SetHeight(40);
  bottom->SetAlign(alBottom);
  auto* left = new TPanel(f);
  left->SetParent(f);
  left->SetWidth(100);
  left->SetAlign(alLeft);
  auto* client = new TPanel(f);
  client->SetParent(f);
  client->SetAlign(alClient);
  EXPECT_EQ(bottom->BoundsRect(), (TRect{0, 260, 400, 300}));
  EXPECT_EQ(left->BoundsRect(), (TRect{0, 0, 100, 260}));
  EXPECT_EQ(client->BoundsRect(), (TRect{100, 0, 400, 260}));
  f->SetBounds(0, 0, 500, 300);
  EXPECT_EQ(client->BoundsRect(), (TRect{100, 0, 500, 260}));
  left->Hide();
  EXPECT_EQ(client->BoundsRect(), (TRect{0, 0, 500, 260}));
  f->Free();
}

TEST_F(ComponentTest, PeersAreCreatedLazilyAndMirrorTheModel) {
  auto* f = Create<TForm>(nullptr);
  auto* e = new TEdit(f);
  e->SetParent(f);
  e->SetText("before");
  e->SetReadOnly(true);
  EXPECT_EQ(e->Peer(), nullptr);
  EXPECT_FALSE(e->HandleAllocated());
  f->Show();  // peers appear parent first and read the model's state
  const THeadlessPeerState* s = HeadlessPeerState(*e);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->Text, "before");
  EXPECT_TRUE(s->ReadOnly);
  e->SetText("after");
  e->SetBounds(5, 6, 70, 21);
  EXPECT_EQ(s->Text, "after");
  EXPECT_EQ(s->Bounds, (TRect{5, 6, 75, 27}));
  HWND h = e->Handle();
  EXPECT_EQ(FindControl(h), e);
  f->Free();
  EXPECT_EQ(FindControl(h), nullptr);
}

}  // namespace
}  // namespace vx::testing

namespace vx::testing {
namespace {

// A widget set of its own, as a desktop backend would plug in: it sees the
// peers created parent first with the model's state, and every later change.
class RecordingWidgetSet : public THeadlessWidgetSet {
 public:
  std::vector<std::string> calls;
  RecordingWidgetSet() {
    RegisterPeerFactory(TControl::StaticClassInfo(), [this](TControl& c) {
      calls.push_back("create " + c.Name() + " text=" + c.Text());
      return std::unique_ptr<IControlPeer>(new Peer(*this, c.Name()));
    });
  }

 private:
  struct Peer : IControlPeer {
    Peer(RecordingWidgetSet& ws, std::string name) : ws(ws), name(std::move(name)) {}
    ~Peer() override { ws.calls.push_back("destroy " + name); }
    HWND Handle() const override { return 0; }
    void SetBounds(const TRect&) override {}
    void SetVisible(bool v) override { ws.calls.push_back(name + " visible=" + (v ? "1" : "0")); }
    void SetEnabled(bool) override {}
    void SetText(const std::string& t) override { ws.calls.push_back(name + " text=" + t); }
    void SetColor(TColor) override {}
    void SetFont(const TFont&) override {}
    void SetHint(const std::string&) override {}
    void SetFocus() override { ws.calls.push_back(name + " focus"); }
    void SetZOrder(bool) override {}
    void Invalidate() override {}
    RecordingWidgetSet& ws;
    std::string name;
  };
};

TEST_F(ComponentTest, AnotherWidgetSetReplaysTheModel) {
  auto previous = SetWidgetSet(std::make_unique<RecordingWidgetSet>());
  auto& ws = static_cast<RecordingWidgetSet&>(WidgetSet());
  auto* f = Create<TForm>(nullptr);
  f->SetName("f");
  auto* p = Add<TPanel>(f, "p");
  auto* e = Add<TEdit>(p, "e");
  e->SetText("typed before");
  EXPECT_TRUE(ws.calls.empty());  // nothing until the form is shown
  f->Show();
  ASSERT_GE(ws.calls.size(), 4u);
  EXPECT_EQ(ws.calls[0], "create f text=");
  EXPECT_EQ(ws.calls[1], "create p text=");
  EXPECT_EQ(ws.calls[2], "create e text=typed before");
  // Windowless handles come from the model, so posting still works.
  EXPECT_NE(e->Handle(), HWND{0});
  EXPECT_EQ(FindControl(e->Handle()), e);
  ws.calls.clear();
  e->SetText("later");
  p->Hide();
  EXPECT_EQ(ws.calls, (std::vector<std::string>{"e text=later", "p visible=0", "f focus"}));
  ws.calls.clear();
  f->Free();
  EXPECT_EQ(ws.calls, (std::vector<std::string>{"destroy e", "destroy p", "destroy f"}));
  SetWidgetSet(std::move(previous));
}

}  // namespace
}  // namespace vx::testing
