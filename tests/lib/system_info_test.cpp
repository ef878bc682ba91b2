#include "lib/system_info.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_folder.h"

namespace vx {
namespace {

TEST(SystemInfo, LongTempPath) {
  test::TempFolder tmp;
  std::filesystem::create_directory_symlink(tmp.Path(), tmp.Path("short"));
  {
    test::ScopedEnv env("TMPDIR", tmp.Path("short"));
    EXPECT_EQ(GetLongTempPath(), std::filesystem::canonical(tmp.Path()).string() + "/");
  }
  test::ScopedEnv env("TMPDIR", tmp.Path("gone"));
  EXPECT_EQ(GetLongTempPath(), "");
}

TEST(SystemInfo, LocalHostIsExactlyTheLoopbackAddress) {
  EXPECT_TRUE(IsLocalHost("127.0.0.1"));
  for (const char* other : {"localhost", " 127.0.0.1", "127.0.0.1 ", "127.0.0.2", ""})
    EXPECT_FALSE(IsLocalHost(other)) << other;
}

}  // namespace
}  // namespace vx
