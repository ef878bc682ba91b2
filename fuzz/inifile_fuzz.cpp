// The INI reader: any bytes as the file.
#include "fuzz/fuzz_input.h"
#include "platform/os/alert_sink.h"
#include "platform/os/inifile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static vx::fuzz::ScratchFile file(".ini");
  static const bool quiet = (vx::SetOsAlertSink([](std::string_view) {}), true);
  (void)quiet;
  vx::TIniFile ini(file.Write(vx::fuzz::AsText(data, size)));
  for (const char* section : {"Server Information", "CodePage", "", "a"}) {
    (void)ini.SectionExists(section);
    (void)ini.ReadString(section, "ComputerName", "x");
    (void)ini.ReadInteger(section, "ServerPort", 211);
    for (const std::string& line : ini.ReadSectionValues(section)) {
      std::size_t eq = line.find('=');
      // Every listed name reads back its first value.
      if (eq != std::string::npos && ini.ReadString(section, line.substr(0, eq), "\x01") == "\x01")
        __builtin_trap();
    }
  }
  return 0;
}
