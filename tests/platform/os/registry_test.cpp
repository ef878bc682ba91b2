#include "platform/os/registry.h"

#include <gtest/gtest.h>

#include "alert_capture.h"
#include "tests/support/temp_folder.h"

namespace vx {
namespace {

constexpr const char* kKey = "Software\\VRX\\Sorvenda";

class RegistryTest : public ::testing::Test {
 protected:
  // Writes the registry file and points VX_REGISTRY_FILE at it.
  void Use(std::string_view bytes) {
    path_ = tmp_.Write("registry.reg", bytes);
    env_.emplace("VX_REGISTRY_FILE", path_);
  }
  test::TempFolder tmp_;
  std::string path_;
  std::optional<test::ScopedEnv> env_;
  test::AlertCapture alerts_;
};

TEST_F(RegistryTest, ReadsTextValuesOfAnExport) {
  Use("Windows Registry Editor Version 5.00\r\n"
      "\r\n"
      "; installed by setup\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\VRX\\Sorvenda]\r\n"
      "\"ClientPath\"=\"C:\\\\Sorvenda\\\\Client\"\r\n"
      "\"Quoted\"=\"say \\\"hi\\\"\"\r\n"
      "\"ProfileType\"=\"0\"\r\n"
      "\"Count\"=dword:00000010\r\n"
      "\"Blob\"=hex:01,02,\\\r\n"
      "  03,04\r\n"
      "@=\"default\"\r\n"
      "\"ProfileType\"=\"1\"\r\n"
      "\"Gone\"=\"x\"\r\n"
      "\"Gone\"=-\r\n"
      "[HKEY_CURRENT_USER\\Software\\VRX\\Sorvenda]\r\n"
      "\"ServerPath\"=\"/not/for/us\"\r\n");
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKeyReadOnly(kKey));
  EXPECT_EQ(reg.ReadString("clientpath"), "C:\\Sorvenda\\Client");
  EXPECT_EQ(reg.ReadString("Quoted"), "say \"hi\"");
  EXPECT_EQ(reg.ReadString("ProfileType"), "1");  // the later definition wins
  EXPECT_EQ(reg.ReadString("@"), "default");
  EXPECT_TRUE(reg.ValueExists("Count"));
  EXPECT_EQ(reg.ReadString("Count"), "");  // not text
  EXPECT_TRUE(reg.ValueExists("Blob"));
  EXPECT_FALSE(reg.ValueExists("Gone"));
  EXPECT_EQ(reg.ReadString("ServerPath"), "");  // only machine keys count
  EXPECT_TRUE(alerts_.Lines().empty()) << alerts_.Lines().front();

  EXPECT_TRUE(reg.OpenKeyReadOnly("software\\vrx"));  // a parent key exists
  EXPECT_FALSE(reg.OpenKeyReadOnly("Software\\Other"));
  EXPECT_FALSE(reg.KeyOpen());
  EXPECT_EQ(reg.ReadString("ClientPath"), "");
  EXPECT_EQ(ReadMachineRegistryString(kKey, "ClientPath"), "C:\\Sorvenda\\Client");
}

TEST_F(RegistryTest, ExportOfA64BitSystem) {
  Use("Windows Registry Editor Version 5.00\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\VRX\\Sorvenda]\n"
      "\"ClientPath\"=\"C:\\\\App\"\n");
  EXPECT_EQ(ReadMachineRegistryString(kKey, "ClientPath"), "C:\\App");
  Use("Windows Registry Editor Version 5.00\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\VRX\\Sorvenda]\n"
      "\"ClientPath\"=\"wow\"\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\VRX\\Sorvenda]\n"
      "\"ClientPath\"=\"plain\"\n");
  EXPECT_EQ(ReadMachineRegistryString(kKey, "ClientPath"), "plain");
}

TEST_F(RegistryTest, Utf16ExportWithByteOrderMark) {
  Use(
      test::Utf16LeFile(u"Windows Registry Editor Version 5.00\r\n\r\n"
                        u"[HKEY_LOCAL_MACHINE\\Software\\VRX\\Sorvenda]\r\n"
                        u"\"ServerPath\"=\"D:\\\\服务器\"\r\n"));
  EXPECT_EQ(ReadMachineRegistryString(kKey, "ServerPath"), "D:\\服务器");
}

TEST_F(RegistryTest, MissingOrUnusableFilesBehaveAsAMissingKey) {
  TRegistry reg;
  {
    test::ScopedEnv unset("VX_REGISTRY_FILE", std::nullopt);
    EXPECT_FALSE(reg.OpenKeyReadOnly(kKey));
    EXPECT_TRUE(alerts_.Lines().empty());
  }
  {
    test::ScopedEnv missing("VX_REGISTRY_FILE", tmp_.Path("none.reg"));
    EXPECT_FALSE(reg.OpenKeyReadOnly(kKey));
    EXPECT_FALSE(reg.OpenKeyReadOnly(kKey));
    EXPECT_EQ(alerts_.Lines().size(), 1u);  // reported once, not at every lookup
    EXPECT_TRUE(alerts_.Contains("cannot be found"));
  }
  Use("[HKEY_LOCAL_MACHINE\\Software\\VRX\\Sorvenda]\n\"ClientPath\"=\"/opt\"\n");
  EXPECT_FALSE(reg.OpenKeyReadOnly(kKey));
  EXPECT_TRUE(alerts_.Contains("not a registry export"));
  Use("");
  EXPECT_FALSE(reg.OpenKeyReadOnly(kKey));
  Use("\x7F"
      "ELF\x02\x01\x01\0\0\0\xFF\xFE garbage");
  EXPECT_FALSE(reg.OpenKeyReadOnly(kKey));
}

TEST_F(RegistryTest, MalformedLinesAreSkippedAndReported) {
  // Cut off in the middle of a value, after a few broken lines.
  Use("Windows Registry Editor Version 5.00\n"
      "[HKEY_LOCAL_MACHINE\\Software\\VRX\\Sorvenda]\n"
      "\"ClientPath\"=\"/opt/sorvenda/client\"\n"
      "ServerPath=/opt/server\n"
      "\"Odd\"=qword:1\n"
      "\"NoEquals\" \"x\"\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Broken\n"
      "\"Stray\"=\"must not land in the previous key\"\n"
      "[HKEY_LOCAL_MACHINE\\Software\\VRX\\Sorvenda]\n"
      "\"ProfileType\"=\"1\"\n"
      "\"ServerPath\"=\"/opt/ser");
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKeyReadOnly(kKey));
  EXPECT_EQ(reg.ReadString("ClientPath"), "/opt/sorvenda/client");
  EXPECT_EQ(reg.ReadString("ProfileType"), "1");
  EXPECT_FALSE(reg.ValueExists("ServerPath"));
  EXPECT_FALSE(reg.ValueExists("Stray"));
  for (const char* part : {"line 4", "line 5", "line 6", "line 7", "line 11"})
    EXPECT_TRUE(alerts_.Contains(part)) << part;
  EXPECT_TRUE(alerts_.Contains("not closed"));
  ASSERT_EQ(alerts_.Lines().size(), 1u);
  EXPECT_NE(alerts_.Lines()[0].find("5 lines skipped: line 4 (neither a key nor a value), line 5"),
            std::string::npos)
      << alerts_.Lines()[0];
  // The parsed file is kept: a second lookup reports nothing new.
  std::size_t reported = alerts_.Lines().size();
  EXPECT_TRUE(reg.OpenKeyReadOnly(kKey));
  EXPECT_EQ(alerts_.Lines().size(), reported);
}

TEST_F(RegistryTest, ManyMalformedLinesAreOneReportWithTheirCount) {
  std::string file =
      "Windows Registry Editor Version 5.00\n"
      "[HKEY_LOCAL_MACHINE\\Software\\VRX\\Sorvenda]\n"
      "\"ClientPath\"=\"/opt/c\"\n";
  for (int i = 0; i < 100000; ++i)
    file += "xx\n";
  Use(file);
  EXPECT_EQ(ReadMachineRegistryString(kKey, "ClientPath"), "/opt/c");
  ASSERT_EQ(alerts_.Lines().size(), 1u);
  const std::string& report = alerts_.Lines()[0];
  EXPECT_NE(report.find("100000 lines skipped: line 4 (neither a key nor a value), line 5 "),
            std::string::npos);
  EXPECT_NE(report.find("line 13 (neither a key nor a value), ..."), std::string::npos) << report;
  EXPECT_EQ(report.find("line 14"), std::string::npos);
}

TEST_F(RegistryTest, Utf16FileCutInHalfACharacter) {
  std::string bytes = test::Utf16LeFile(
      u"Windows Registry Editor Version 5.00\r\n"
      u"[HKEY_LOCAL_MACHINE\\Software\\VRX\\Sorvenda]\r\n\"ClientPath\"=\"/opt/c\"\r\n\"X\"=\"ab");
  bytes.pop_back();
  Use(bytes);
  EXPECT_EQ(ReadMachineRegistryString(kKey, "ClientPath"), "/opt/c");
  EXPECT_TRUE(alerts_.Contains("half"));
  EXPECT_TRUE(alerts_.Contains("line 4"));
}

}  // namespace
}  // namespace vx
