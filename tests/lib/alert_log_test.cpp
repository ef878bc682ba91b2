#include "lib/alert_log.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "platform/os/alert_sink.h"
#include "platform/os/system.h"
#include "platform/rtl/datetime.h"
#include "tests/support/temp_folder.h"

namespace vx {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    out.push_back(line);
  return out;
}

class AlertLogTest : public ::testing::Test {
 protected:
  // Registry file with the given values under the suite's key.
  void Registry(std::string_view values) {
    std::string reg =
        "Windows Registry Editor Version 5.00\n\n"
        "[HKEY_LOCAL_MACHINE\\Software\\VRX\\Sorvenda]\n" +
        std::string(values);
    env_.emplace("VX_REGISTRY_FILE", tmp_.Write("machine.reg", reg));
  }
  // The folder written Windows-style, as setup stores it.
  std::string WindowsStyle(const std::string& path) {
    std::string out;
    for (char c : path)
      out += c == '/' ? std::string("\\\\") : std::string(1, c);
    return out;
  }
  test::TempFolder tmp_;
  std::optional<test::ScopedEnv> env_;
};

TEST_F(AlertLogTest, InstallFolderFromClientPathElseServerPath) {
  Registry("\"ClientPath\"=\"" + WindowsStyle(tmp_.Path("client")) +
           "\"\n\"ServerPath\"=\"/srv\"\n");
  EXPECT_EQ(GetInstallFolder(), tmp_.Path("client"));
  Registry("\"ClientPath\"=\"\"\n\"ServerPath\"=\"/srv/app\"\n");
  EXPECT_EQ(GetInstallFolder(), "/srv/app");
  Registry("\"ProfileType\"=\"0\"\n");
  EXPECT_EQ(GetInstallFolder(), "");
  env_.emplace("VX_REGISTRY_FILE", tmp_.Path("missing.reg"));
  EXPECT_EQ(GetInstallFolder(), "");
}

TEST_F(AlertLogTest, FileNameByPeriodAndNamePart) {
  Registry("\"ClientPath\"=\"" + WindowsStyle(tmp_.Path("inst")) + "\\\\\"\n");
  TDateTime now = Now();
  struct Case {
    const char* name;
    const char* period;
    std::string file;
  } cases[] = {
      {"libstrs", "D", "Alert_libstrs_" + FormatDateTime("yyyymmdd", now) + ".log"},
      {"libstrs", "M", "Alert_libstrs_" + FormatDateTime("yyyymm", now) + ".log"},
      {"libstrs", "Y", "Alert_libstrs_" + FormatDateTime("yyyy", now) + ".log"},
      {"other", "W", "Alert_other_" + FormatDateTime("yyyymmdd", now) + ".log"},
      {"upd.txt", "D", "Alert_upd.txt_" + FormatDateTime("yyyymmdd", now)},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(WriteAlertLog(c.name, "entry 中文", c.period)) << c.name << c.period;
    std::vector<std::string> lines = Lines(tmp_.Read("inst/Log/" + c.file));
    ASSERT_EQ(lines.size(), 1u) << c.file;
    EXPECT_TRUE(std::regex_match(
        lines[0], std::regex(R"(\[\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}:\d{3}\] entry 中文)")))
        << lines[0];
  }
  ASSERT_TRUE(WriteAlertLog("libstrs", "second", "D"));
  EXPECT_EQ(Lines(tmp_.Read("inst/Log/" + cases[0].file)).size(), 2u);
}

TEST_F(AlertLogTest, WithoutInstallFolderTheHostExecutablesFolderIsUsed) {
  Registry("");
  std::string name = "vxtest" + std::to_string(::getpid());
  ASSERT_TRUE(WriteAlertLog(name, "x", "Y"));
  std::string file =
      GetHostExeFolder() + "Log/Alert_" + name + "_" + FormatDateTime("yyyy", Now()) + ".log";
  EXPECT_TRUE(std::filesystem::exists(file));
  std::filesystem::remove(file);
}

TEST_F(AlertLogTest, UnwritableLogFolderGivesFalse) {
  Registry("\"ClientPath\"=\"" + tmp_.Path("inst") + "\"\n");
  tmp_.Write("inst/Log", "a file where the folder should be");
  EXPECT_FALSE(WriteAlertLog("libstrs", "lost", "D"));
  EXPECT_FALSE(AppendAlertLine(tmp_.Path("inst/Log"), "x.log", "lost"));
  if (::geteuid() != 0) {  // permissions do not stop the superuser
    std::filesystem::create_directories(tmp_.Path("ro/Log"));
    std::filesystem::permissions(tmp_.Path("ro/Log"), std::filesystem::perms::owner_read |
                                                          std::filesystem::perms::owner_exec);
    EXPECT_FALSE(AppendAlertLine(tmp_.Path("ro/Log"), "x.log", "lost"));
  }
}

TEST_F(AlertLogTest, ConcurrentProcessesNeverMixWithinALine) {
  const int kLines = 300;
  const std::string folder = tmp_.Path("shared/Log");
  pid_t children[2];
  for (int p = 0; p < 2; ++p) {
    children[p] = ::fork();
    ASSERT_GE(children[p], 0);
    if (children[p] == 0) {
      std::string body(3000, static_cast<char>('a' + p));
      bool ok = true;
      for (int i = 0; i < kLines; ++i)
        ok = AppendAlertLine(folder, "x.log", body) && ok;
      ::_exit(ok ? 0 : 1);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::vector<std::string> lines = Lines(tmp_.Read("shared/Log/x.log"));
  ASSERT_EQ(lines.size(), 2u * kLines);
  for (const std::string& line : lines)
    ASSERT_TRUE(line == std::string(3000, 'a') || line == std::string(3000, 'b'));
}

TEST_F(AlertLogTest, ProblemsOfTheOperatingSystemLayerAreLogged) {
  Registry("\"ClientPath\"=\"" + tmp_.Path("inst") + "\"\nthis line is broken\n");
  EXPECT_EQ(GetInstallFolder(), tmp_.Path("inst"));
  std::string log = tmp_.Read("inst/Log/Alert_os_" + FormatDateTime("yyyymmdd", Now()) + ".log");
  EXPECT_NE(log.find("1 line skipped: line 5 (neither a key nor a value)"), std::string::npos)
      << log;
  EXPECT_EQ(Lines(log).size(), 1u) << log;  // reported once, though the writer reads the registry
  EXPECT_EQ(GetInstallFolder(), tmp_.Path("inst"));
  EXPECT_EQ(
      Lines(tmp_.Read("inst/Log/Alert_os_" + FormatDateTime("yyyymmdd", Now()) + ".log")).size(),
      1u);
}

}  // namespace
}  // namespace vx
