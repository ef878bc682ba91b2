#pragma once
// Headless UI tests: every test starts with no forms, no queued messages,
// no recorded dialogs and no responder, and ends freeing what it left.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/extctrls.h"
#include "platform/ui/headless.h"
#include "platform/ui/input.h"

namespace vx::testing {

class UiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FreeAllForms();
    Headless().Reset();
  }
  void TearDown() override {
    FreeAllForms();
    Headless().Reset();
  }
  static THeadlessWidgetSet& Headless() { return *HeadlessWidgetSet(); }

 public:
  // Event log shared by the handlers below.
  std::vector<std::string> log;
  void Enter(TObject* sender) { log.push_back("enter " + Named(sender)); }
  void Exit(TObject* sender) { log.push_back("exit " + Named(sender)); }
  void Clicked(TObject* sender) { log.push_back("click " + Named(sender)); }
  static std::string Named(TObject* o) {
    auto* c = dynamic_cast<TComponent*>(o);
    return c ? c->Name() : std::string("?");
  }
  template <class T>
  T* Add(TWinControl* parent, const char* name) {
    auto* c = new T(GetParentForm(parent) ? static_cast<TComponent*>(GetParentForm(parent))
                                          : static_cast<TComponent*>(parent));
    c->SetName(name);
    c->SetParent(parent);
    return c;
  }
  // Hooks enter and exit of a windowed control to the log.
  void Watch(TWinControl* c) {
    c->OnEnter = Bind<&UiTest::Enter>(this);
    c->OnExit = Bind<&UiTest::Exit>(this);
  }
};

}  // namespace vx::testing
