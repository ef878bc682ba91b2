#include "platform/os/system.h"

#include <gtest/gtest.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/temp_folder.h"

namespace vx {
namespace {

TEST(System, CodePageFromVariableElseLocale) {
  struct Case {
    std::optional<std::string> codepage, lc_all, lang;
    int expected;
  } cases[] = {
      {"950", "zh_CN.UTF-8", std::nullopt, 950},
      {"1252", std::nullopt, "zh_CN.UTF-8", 1252},
      {"junk", std::nullopt, "zh_TW.UTF-8", 950},
      {std::nullopt, std::nullopt, "zh_CN.GBK", 936},
      {std::nullopt, std::nullopt, "zh_HK.UTF-8", 950},
      {std::nullopt, "zh_TW.Big5", "en_US.UTF-8", 950},
      {std::nullopt, std::nullopt, "en_US.UTF-8", 437},
      {std::nullopt, std::nullopt, "zh_SG.UTF-8", 437},
      {std::nullopt, std::nullopt, std::nullopt, 437},
  };
  for (const Case& c : cases) {
    test::ScopedEnv cp("VX_CODEPAGE", c.codepage), all("LC_ALL", c.lc_all),
        ctype("LC_CTYPE", std::nullopt), lang("LANG", c.lang);
    EXPECT_EQ(GetSystemCodePage(), c.expected)
        << c.codepage.value_or("-") << " " << c.lc_all.value_or("-") << " " << c.lang.value_or("-");
  }
}

TEST(System, NamesOfUserAndComputer) {
  EXPECT_FALSE(GetProcessUserName().empty());
  std::string computer = GetLocalComputerName();
  EXPECT_FALSE(computer.empty());
  EXPECT_LE(computer.size(), 15u);
  EXPECT_EQ(computer.find('.'), std::string::npos);
}

TEST(System, TempFolderAndItsLongForm) {
  test::TempFolder tmp;
  std::filesystem::create_directory(tmp.Path("real"));
  std::filesystem::create_directory_symlink(tmp.Path("real"), tmp.Path("link"));
  std::string real = std::filesystem::canonical(tmp.Path("real")).string() + "/";
  {
    test::ScopedEnv env("TMPDIR", tmp.Path("link"));
    EXPECT_EQ(GetTempFolder(), tmp.Path("link") + "/");
    EXPECT_EQ(GetLongTempFolder(), real);
  }
  {
    test::ScopedEnv env("TMPDIR", tmp.Path("missing"));
    EXPECT_EQ(GetTempFolder(), tmp.Path("missing") + "/");
    EXPECT_EQ(GetLongTempFolder(), "");
  }
  test::ScopedEnv env("TMPDIR", std::nullopt);
  EXPECT_EQ(GetTempFolder(), "/tmp/");
  EXPECT_EQ(GetLongPathName(tmp.Path("link") + "/"), real);
  EXPECT_EQ(GetLongPathName(tmp.Path("link")), real.substr(0, real.size() - 1));
}

TEST(System, VersionTextAndHostExecutable) {
  struct utsname u {};
  ASSERT_EQ(::uname(&u), 0);
  EXPECT_EQ(GetOSVersionText().rfind(u.sysname, 0), 0u);
  std::string exe = std::filesystem::canonical("/proc/self/exe").string();
  EXPECT_EQ(std::filesystem::canonical(GetHostExeFileName()).string(), exe);
  EXPECT_EQ(GetHostExeFolder(), std::filesystem::path(exe).parent_path().string() + "/");
}

}  // namespace
}  // namespace vx
