// The registry-file reader: any bytes as the registry export.
#include <cstdlib>

#include "fuzz/fuzz_input.h"
#include "platform/os/alert_sink.h"
#include "platform/os/registry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static vx::fuzz::ScratchFile file(".reg");
  static const bool quiet = (vx::SetOsAlertSink([](std::string_view) {}),
                             ::setenv("VX_REGISTRY_FILE", file.Path().c_str(), 1), true);
  (void)quiet;
  file.Write(vx::fuzz::AsText(data, size));
  vx::TRegistry reg;
  for (const char* key : {"Software\\VRX\\Sorvenda", "Software", "SOFTWARE\\x\\"}) {
    if (reg.OpenKeyReadOnly(key)) {
      (void)reg.ReadString("ClientPath");
      (void)reg.ReadString("@");
      (void)reg.ValueExists("");
    }
  }
  return 0;
}
