#include "platform/os/inifile.h"

#include <gtest/gtest.h>

#include "alert_capture.h"
#include "tests/support/temp_folder.h"

namespace vx {
namespace {

TEST(IniFile, PrivateProfileSemantics) {
  test::TempFolder tmp;
  test::AlertCapture alerts;
  TIniFile ini(tmp.Write("a.ini",
                         "orphan=before any section\r\n"
                         "[Server Information]\r\n"
                         "  ComputerName =  10.0.0.1;10.0.0.2;  \r\n"
                         "ServerPort=3000\r\n"
                         "computername=second is ignored\r\n"
                         "; a comment\r\n"
                         "Quoted=\"  padded  \"\r\n"
                         "Bad=12x\r\n"
                         "Hex=0x10\r\n"
                         "Empty=\r\n"
                         "[ workdllpath ]\r\n"
                         "B=\\Pkg\r\n"
                         "A=D:\\Lib\r\n"
                         "b=dup\r\n"
                         "[SERVER INFORMATION]\r\n"
                         "SupportCallBack=1\r\n"));
  EXPECT_EQ(ini.ReadString("server information", "COMPUTERNAME", "x"), "10.0.0.1;10.0.0.2;");
  EXPECT_EQ(ini.ReadString("Server Information", "Quoted", ""), "  padded  ");
  EXPECT_EQ(ini.ReadString("Server Information", "Empty", "def"), "");
  EXPECT_EQ(ini.ReadString("Server Information", "Missing", "def"), "def");
  EXPECT_EQ(ini.ReadString("Server Information", "SupportCallBack", "0"), "0");  // repeated section
  EXPECT_EQ(ini.ReadString("", "orphan", "none"), "none");
  EXPECT_EQ(ini.ReadInteger("Server Information", "ServerPort", 211), 3000);
  EXPECT_EQ(ini.ReadInteger("Server Information", "Bad", 211), 211);
  EXPECT_EQ(ini.ReadInteger("Server Information", "Hex", 0), 16);
  EXPECT_EQ(ini.ReadInteger("Server Information", "Empty", 7), 7);
  EXPECT_EQ(ini.ReadInteger("Nowhere", "ServerPort", 211), 211);
  EXPECT_EQ(ini.ReadSectionValues("WorkDLLPath"),
            (std::vector<std::string>{"B=\\Pkg", "A=D:\\Lib"}));
  EXPECT_TRUE(ini.SectionExists("WORKDLLPATH"));
  EXPECT_TRUE(ini.ValueExists("workdllpath", "a"));
  EXPECT_EQ(ini.SkippedLines(), 0);
  EXPECT_TRUE(alerts.Lines().empty());
}

// Large files keep the first occurrence of every key and section, whatever
// the letter case, and every entry stays reachable.
TEST(IniFile, ManyKeysAndSections) {
  test::TempFolder tmp;
  std::string text = "[Big]\n";
  for (int i = 0; i < 100000; ++i)
    text += "Key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  text += "KEY7=later\n[big]\nKey1=repeated section\n";
  for (int i = 0; i < 20000; ++i)
    text += "[S" + std::to_string(i) + "]\nv=" + std::to_string(i) + "\n";
  text += "[s5]\nv=later\n";
  TIniFile ini(tmp.Write("big.ini", text));
  EXPECT_EQ(ini.ReadString("BIG", "key7", ""), "7");
  EXPECT_EQ(ini.ReadString("Big", "Key1", ""), "1");
  EXPECT_EQ(ini.ReadInteger("Big", "Key99999", 0), 99999);
  EXPECT_EQ(ini.ReadString("S5", "V", ""), "5");
  EXPECT_EQ(ini.ReadString("s19999", "v", ""), "19999");
  std::vector<std::string> values = ini.ReadSectionValues("big");
  ASSERT_EQ(values.size(), 100000u);
  EXPECT_EQ(values.front(), "Key0=0");
  EXPECT_EQ(values.back(), "Key99999=99999");
}

TEST(IniFile, MissingFileReadsAsEmpty) {
  test::TempFolder tmp;
  test::AlertCapture alerts;
  TIniFile ini(tmp.Path("none.ini"));
  EXPECT_EQ(ini.ReadString("A", "B", "d"), "d");
  EXPECT_TRUE(ini.ReadSectionValues("A").empty());
  TIniFile folder(tmp.Path());
  EXPECT_EQ(folder.ReadInteger("A", "B", 5), 5);
  EXPECT_TRUE(alerts.Lines().empty());
}

TEST(IniFile, EncodingsOfTheFile) {
  test::TempFolder tmp;
  test::ScopedEnv cp("VX_CODEPAGE", "936");
  TIniFile utf16(tmp.Write("u16.ini", test::Utf16LeFile(u"[CodePage]\r\nName=中文\r\n")));
  EXPECT_EQ(utf16.ReadString("CodePage", "Name", ""), "中文");
  TIniFile gbk(tmp.Write("gbk.ini", "[CodePage]\r\nName=\xD6\xD0\xCE\xC4\r\n"));
  EXPECT_EQ(gbk.ReadString("CodePage", "Name", ""), "中文");
  TIniFile utf8(tmp.Write("u8.ini", "\xEF\xBB\xBF[CodePage]\nName=中文\n"));
  EXPECT_EQ(utf8.ReadString("codepage", "name", ""), "中文");
}

TEST(IniFile, BinaryGarbageIsSkippedAndReported) {
  test::TempFolder tmp;
  test::AlertCapture alerts;
  std::string bytes = "[DBE Setting]\nMainAlias=Corvan\n";
  for (int i = 0; i < 512; ++i)
    bytes += static_cast<char>((i * 37 + 11) % 256);
  bytes += "\n[Server Information]\nServerPort=3000\nnot a pair\n[Broken\n";
  TIniFile ini(tmp.Write("garbage.ini", bytes));
  EXPECT_EQ(ini.ReadString("DBE Setting", "MainAlias", ""), "Corvan");
  EXPECT_EQ(ini.ReadInteger("Server Information", "ServerPort", 211), 3000);
  EXPECT_GE(ini.SkippedLines(), 3);
  EXPECT_TRUE(alerts.Contains("malformed line(s) skipped"));
}

}  // namespace
}  // namespace vx
