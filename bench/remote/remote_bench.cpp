// One server call over loopback carrying a 1,000-element variant array each
// way, and the codec alone for the same array.
#include <benchmark/benchmark.h>

#include "platform/automation/class_registry.h"
#include "platform/automation/scripted_object.h"
#include "platform/remote/remote_server.h"
#include "platform/remote/socket_connection.h"

namespace {

vx::Variant ThousandValues() {
  vx::Variant a = vx::VarArrayCreate(0, 999);
  for (int i = 0; i < 1000; ++i)
    a[i] = i % 3 == 0   ? vx::Variant(i)
           : i % 3 == 1 ? vx::Variant("STKB17 worksheet line")
                        : vx::Variant(vx::TDateTime(46000.5 + i));
  return a;
}

void BM_LoopbackCallWith1000ElementArray(benchmark::State& state) {
  vx::ScopedClassRegistration echo("Bench.Echo", [] {
    auto object = std::make_shared<vx::ScriptedObject>();
    object->On("Echo", [](std::span<vx::Arg> args) { return args[0].get(); });
    return object;
  });
  vx::TRemoteServerOptions options;
  options.AllowedClasses = {"Bench.Echo"};
  vx::TRemoteServer server(options);
  server.Start();
  vx::TSocketConnection connection(nullptr);
  connection.SetAddress("127.0.0.1");
  connection.SetPort(server.Port());
  connection.SetServerName("Bench.Echo");
  connection.Open();
  vx::Variant app = connection.AppServer();
  vx::Variant values = ThousandValues();
  for (auto _ : state)
    benchmark::DoNotOptimize(vx::Call(app, "Echo", {values}));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LoopbackCallWith1000ElementArray)->Unit(benchmark::kMicrosecond);

void BM_EncodeDecode1000ElementArray(benchmark::State& state) {
  vx::Variant values = ThousandValues();
  for (auto _ : state)
    benchmark::DoNotOptimize(vx::DecodeVariant(vx::EncodeVariant(values)));
}
BENCHMARK(BM_EncodeDecode1000ElementArray)->Unit(benchmark::kMicrosecond);

}  // namespace
