// How long a shell waits for the module: loading STKB17C.so, GetController,
// Initialize with a five-element start-up array (manager and in-process
// server answering from tables), and showing the form, headless.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "module/dll_base_ctrller.h"
#include "platform/os/dynlib.h"
#include "platform/ui/forms.h"
#include "tests/framework/suite_doubles.h"

namespace {

using namespace vx;

// A machine whose client configuration names the in-process server.
void Machine() {
  static bool done = false;
  if (done) return;
  done = true;
  auto folder = std::filesystem::temp_directory_path() / "vx_module_bench";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "machine.reg")
      << "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\VRX\\Sorvenda]"
         "\r\n\"ClientPath\"=\""
      << folder.string() << "\"\r\n";
  ::setenv("VX_REGISTRY_FILE", (folder / "machine.reg").c_str(), 1);
  ::setenv("VX_CODEPAGE", "936", 1);
}

void ModuleStart(benchmark::State& state) {
  Machine();
  test::SuiteDoubles doubles;
  auto registration = doubles.Install();
  for (auto _ : state) {
    TDynLib module("STKB17C.dll");
    auto get = module.Function<TGetControllerFunc>(kGetControllerExport);
    std::unique_ptr<TDLLBaseController> controller(get());
    controller->Manager = doubles.Manager();
    if (controller->Initialize(VarArrayOf({"DS", "DEMO", "VXSYS", 0, ""})) != 0)
      state.SkipWithError("the module refused to start");
    controller->SetVisible(-1);
    Application()->ProcessMessages();
    controller.reset();
    Application()->ProcessMessages();
  }
}
BENCHMARK(ModuleStart)->Unit(benchmark::kMillisecond);

}  // namespace
