#include "platform/os/paths.h"

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace vx {
namespace {

TEST(Paths, NormalizeTurnsWindowsSeparatorsIntoHostOnesAndKeepsShares) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"C:\\App\\Client\\", "C:/App/Client/"},
      {"\\\\server\\share\\Pkg", "//server/share/Pkg"},
      {"\\Pkg", "/Pkg"},
      {"/opt/sorvenda/client", "/opt/sorvenda/client"},
      {"Sub\\Dir", "Sub/Dir"},
      {"", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(NormalizePath(c.in), c.out) << c.in;
}

TEST(Paths, DriveOrShareInEitherStyle) {
  struct Case {
    const char* path;
    bool complete;
  } cases[] = {
      {"C:\\App", true}, {"d:/lib", true}, {"\\\\srv\\x", true}, {"//srv/x", true},
      {"\\Pkg", false},  {"/Pkg", false},  {"Sub", false},       {"", false},
      {"1:\\x", false},  {"C", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(HasDriveOrShare(c.path), c.complete) << c.path;
}

TEST(Paths, TrailingSeparatorAndParts) {
  EXPECT_EQ(IncludeTrailingPathDelimiter("/opt/app"), "/opt/app/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\App\\"), "C:\\App\\");
  EXPECT_EQ(IncludeTrailingPathDelimiter(""), "");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/opt/app/"), "/opt/app");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
  EXPECT_EQ(ExtractFilePath("C:\\App\\x.ini"), "C:\\App\\");
  EXPECT_EQ(ExtractFilePath("x.ini"), "");
  EXPECT_EQ(ExtractFileName("/opt/app/x.ini"), "x.ini");
  EXPECT_EQ(JoinPath("/opt/app/", "/Log"), "/opt/app/Log");
  EXPECT_EQ(JoinPath("/opt/app", "Log"), "/opt/app/Log");
}

TEST(Paths, ForceDirectoriesCreatesParentsAndReportsWhatBlocksIt) {
  test::TempFolder tmp;
  std::string error;
  EXPECT_TRUE(ForceDirectories(tmp.Path("a/b/c"), &error)) << error;
  EXPECT_TRUE(DirectoryExists(tmp.Path("a/b/c")));
  EXPECT_TRUE(ForceDirectories(tmp.Path("a/b/c/"), &error));  // already there
  tmp.Write("file", "x");
  EXPECT_FALSE(ForceDirectories(tmp.Path("file/sub"), &error));
  EXPECT_NE(error.find("file"), std::string::npos);
  EXPECT_FALSE(ForceDirectories("", &error));
  EXPECT_TRUE(FileExists(tmp.Path("file")));
  EXPECT_FALSE(FileExists(tmp.Path("a")));
}

}  // namespace
}  // namespace vx
