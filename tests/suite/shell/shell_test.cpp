// The shell host as a user runs it: a module started, values applied by
// name, a run asked for, and what was shown and decided printed.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "suite/shell/shell_options.h"
#include "tests/env/env_fixture.h"

namespace vx {
namespace {

class Shell : public test::EnvFixture {
 protected:
  void SetUp() override {
    CodePage("936");
    Registry("\"ClientPath\"=\"" + RegPath(Install()) + "\"\r\n");
    tmp_.MakeFolder("inst");
  }
  // Runs the shell; its output and exit status.
  std::pair<std::string, int> Run(const std::string& args) {
    std::string command = std::string("'") + VX_SHELL + "' " + args + " 2>&1";
    std::string out;
    std::FILE* p = ::popen(command.c_str(), "r");
    char buf[512];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
      out.append(buf, n);
    int status = ::pclose(p);
    return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
  }
};

TEST_F(Shell, QueuesAJobWithValuesGivenByName) {
  auto [out, status] =
      Run("--load ShellTestSuite.dll --set ed01=W24001 --set me02=20241231 --queue STKB17C.so");
  EXPECT_EQ(status, 0) << out;
  EXPECT_NE(out.find("event 256: form created"), std::string::npos) << out;
  EXPECT_NE(out.find("event 272: form shown"), std::string::npos);
  EXPECT_NE(out.find("event 304: form destroyed"), std::string::npos);
  EXPECT_NE(out.find("result 1 20261211000001"), std::string::npos) << out;
}

TEST_F(Shell, ShowsTheDialogsAndTheirAnswers) {
  // Mode 1 announces the job in a dialog; an unknown name is reported.
  auto [out, status] = Run("--load ShellTestSuite.dll --set edNone=1 --mode 1 STKB17C.so");
  EXPECT_EQ(status, 1) << out;
  EXPECT_NE(out.find("result 0"), std::string::npos) << out;
  auto [out2, status2] =
      Run("--load ShellTestSuite.dll --set ed01=W24001 --set me02=20241231 --mode 1 STKB17C.so");
  EXPECT_EQ(status2, 0) << out2;
  EXPECT_NE(out2.find("dialog mtInformation: 工作已提交, 编号 20261211000001 [OK] -> OK (default)"),
            std::string::npos)
      << out2;
}

TEST_F(Shell, RefusedStartAndMissingLibraries) {
  auto [out, status] = Run("STKB17C.so");
  EXPECT_EQ(status, 2) << out;  // no manager, no server: the start is refused
  EXPECT_NE(out.find("start-up refused"), std::string::npos) << out;
  auto [out2, status2] = Run("--load NoSuchLib.dll STKB17C.so");
  EXPECT_EQ(status2, 3) << out2;
  auto [out3, status3] = Run("--bogus STKB17C.so");
  EXPECT_EQ(status3, 64);
  EXPECT_NE(out3.find("unknown option --bogus"), std::string::npos);
}

TEST(ShellOptions, CommandLineTable) {
  using shell::ParseShellOptions;
  auto o = ParseShellOptions(
      {"--user", "U", "--set", "ed01=A=B", "--direct", "--answer", "mtConfirmation=No", "X.so"});
  EXPECT_EQ(o.Startup[0], "U");
  EXPECT_EQ(o.Values[0].second, "A=B");
  EXPECT_EQ(o.Mode, 5);
  EXPECT_EQ(o.Answers[0].second, "No");
  EXPECT_EQ(o.Module, "X.so");
  EXPECT_THROW(ParseShellOptions({}), std::invalid_argument);
  EXPECT_THROW(ParseShellOptions({"--set", "novalue", "X"}), std::invalid_argument);
  EXPECT_THROW(ParseShellOptions({"--mode", "12", "X"}), std::invalid_argument);
  EXPECT_TRUE(ParseShellOptions({"--help"}).Help);
}

}  // namespace
}  // namespace vx
