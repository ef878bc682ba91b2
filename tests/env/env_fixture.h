#pragma once
// A machine for the environment tests: a registry file pointing at an
// installation folder in a temporary folder, and the system code page.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/support/temp_folder.h"

namespace vx::test {

class EnvFixture : public ::testing::Test {
 protected:
  // Writes the registry file with these values under the suite's key.
  void Registry(const std::string& values) {
    registry_.emplace("VX_REGISTRY_FILE",
                      tmp_.Write("machine.reg",
                                 "Windows Registry Editor Version 5.00\r\n\r\n"
                                 "[HKEY_LOCAL_MACHINE\\Software\\VRX\\Sorvenda]\r\n" +
                                     values));
  }
  // Registry value text of a host path, written Windows-style ("\\" pairs).
  static std::string RegPath(const std::string& path) {
    std::string out;
    for (char c : path)
      out += c == '/' ? std::string("\\\\") : std::string(1, c);
    return out;
  }
  void CodePage(const char* cp) { codepage_.emplace("VX_CODEPAGE", cp); }
  std::string Install(const std::string& relative = {}) const {
    return tmp_.Path(relative.empty() ? "inst" : "inst/" + relative);
  }

  TempFolder tmp_;
  std::optional<ScopedEnv> registry_;
  std::optional<ScopedEnv> codepage_;
};

}  // namespace vx::test
