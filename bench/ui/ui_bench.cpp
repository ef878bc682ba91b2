// Costs of the UI model where forms do work per component: walking every
// component's properties by name (code-page conversion, language files),
// creating and freeing a form (linear: neither an insertion nor, while the
// owner is freed, a removal is passed on to all the owner holds), tabbing
// through it.
#include <benchmark/benchmark.h>

#include "lib/props.h"
#include "platform/ui/extctrls.h"
#include "platform/ui/input.h"

namespace vx {
namespace {

TForm* MakeForm(int n) {
  auto* form = Create<TForm>(nullptr);
  TPanel* panel = nullptr;
  for (int i = 0; i < n; ++i) {
    if (i % 10 == 0) {
      panel = new TPanel(form);
      panel->SetParent(form);
    }
    auto* edit = new TEdit(form);
    edit->SetName("ed" + std::to_string(i));
    edit->SetParent(panel);
    auto* label = new TLabel(form);
    label->SetParent(panel);
    label->SetFocusControl(edit);
  }
  return form;
}

void BM_PropertyWalk(benchmark::State& state) {
  TForm* form = MakeForm(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    for (TComponent* c : form->ComponentList()) {
      if (HasPropertyOfType(c, "Font", "TFont")) TrySetPropertyByPath(c, "Font.Charset", 134);
      benchmark::DoNotOptimize(GetStrProperty(c, "Caption"));
      benchmark::DoNotOptimize(GetStrProperty(c, "Hint"));
    }
  }
  state.SetComplexityN(state.range(0));
  form->Free();
}
BENCHMARK(BM_PropertyWalk)->Range(16, 512)->Complexity();

void BM_CreateAndFreeForm(benchmark::State& state) {
  for (auto _ : state)
    MakeForm(static_cast<int>(state.range(0)))->Free();
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CreateAndFreeForm)->Range(16, 512)->Complexity();

// Freeing alone.
void BM_FreeForm(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    TForm* form = MakeForm(static_cast<int>(state.range(0)));
    state.ResumeTiming();
    form->Free();
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FreeForm)->Range(16, 512)->Complexity();

void BM_TabThroughForm(benchmark::State& state) {
  TForm* form = MakeForm(static_cast<int>(state.range(0)));
  form->Show();
  for (auto _ : state)
    SendKey(VK_TAB);
  state.SetComplexityN(state.range(0));
  form->Free();
}
BENCHMARK(BM_TabThroughForm)->Range(16, 512)->Complexity();

}  // namespace
}  // namespace vx
