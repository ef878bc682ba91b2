#include "platform/ui/widgetset.h"

#include "platform/ui/controls.h"
#include "platform/ui/headless.h"

namespace vx {

namespace {

// Never destroyed, so that controls freed during the end of the process
// still find their widget set.
std::unique_ptr<TWidgetSet>& Slot() {
  static auto* slot = new std::unique_ptr<TWidgetSet>();
  return *slot;
}

}  // namespace

void TWidgetSet::RegisterPeerFactory(const TClassInfo& cls, TPeerFactory factory) {
  factories_[&cls] = std::move(factory);
}

std::unique_ptr<IControlPeer> TWidgetSet::CreatePeer(TControl& control) {
  for (const TClassInfo* c = &control.ClassInfo(); c; c = c->Parent) {
    auto it = factories_.find(c);
    if (it != factories_.end()) return it->second(control);
  }
  return nullptr;
}

TWidgetSet& WidgetSet() {
  auto& slot = Slot();
  if (!slot) slot = CreateHeadlessWidgetSet();
  return *slot;
}

std::unique_ptr<TWidgetSet> SetWidgetSet(std::unique_ptr<TWidgetSet> ws) {
  auto& slot = Slot();
  std::swap(slot, ws);
  return ws;
}

int TextWidth(const TFont& font, std::string_view text) {
  return WidgetSet().TextExtent(font, text).cx;
}

int TextHeight(const TFont& font, std::string_view text) {
  return WidgetSet().TextExtent(font, text).cy;
}

HWND GetDesktopWindow() { return WidgetSet().DesktopWindow(); }

void SetForegroundWindow(HWND window) { WidgetSet().SetForegroundWindow(window); }

void RepaintWindow(HWND window) {
  if (TWinControl* c = FindControl(window)) c->Invalidate();
  WidgetSet().RepaintWindow(window);
}

bool ShellExecute(HWND owner, std::string_view verb, std::string_view file) {
  return WidgetSet().ShellExecute(owner, verb, file);
}

}  // namespace vx
