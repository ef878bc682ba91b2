#include "env/sorvenda_ini.h"

#include <gtest/gtest.h>

#include "env/password.h"
#include "env_fixture.h"
#include "lib/edition.h"
#include "platform/os/system.h"
#include "platform/rtl/datetime.h"

namespace vx {
namespace {

using Lines = std::vector<std::string>;

class SorvendaIniTest : public test::EnvFixture {
 protected:
  void SetUp() override { CodePage("936"); }
  // Installation at inst/ for both readers, one shared INI file each.
  void Machine(const std::string& profile_type = "0") {
    Registry("\"ClientPath\"=\"" + RegPath(Install()) + "\"\r\n\"ServerPath\"=\"" +
             RegPath(Install()) + "\\\\\"\r\n\"ProfileType\"=\"" + profile_type + "\"\r\n");
    tmp_.MakeFolder("inst");
  }
  void Client(const std::string& ini) { tmp_.Write("inst/SorvendaC.ini", ini); }
  void Server(const std::string& ini) { tmp_.Write("inst/SorvendaS.ini", ini); }
  // Hosts of a client reader as (host, port) texts.
  static Lines Hosts(const TSorvendaIniC& c) {
    Lines out;
    if (c.ServerHosts.IsEmpty()) return out;
    EXPECT_EQ(c.ServerHosts.LowBound(1), 0);
    EXPECT_EQ(c.ServerHosts.HighBound(1), 1);
    EXPECT_EQ(c.ServerHosts.LowBound(2), 0);
    for (int j = 0; j <= c.ServerHosts.HighBound(2); ++j)
      out.push_back(c.ServerHosts.At({0, j}).ToText() + "|" +
                    std::to_string(c.ServerHosts.At({1, j}).ToInt()));
    return out;
  }
};

TEST_F(SorvendaIniTest, ClientDefaultsWithoutAnIniFile) {
  CodePage("1252");
  Machine();
  TSorvendaIniC c;
  EXPECT_EQ(c.ErrorCode, "");
  EXPECT_EQ(c.BasePath, Install() + "/");
  EXPECT_EQ(c.ProfilePath, c.BasePath);
  EXPECT_EQ(c.IniFileName, c.BasePath + "SorvendaC.ini");
  EXPECT_EQ(c.ProfileType, "0");
  EXPECT_EQ(c.UserName, "Default");
  EXPECT_EQ(c.SysCodePage, "437");
  EXPECT_EQ(c.UICodePage, "437");
  EXPECT_EQ(c.DBCodePage, "936");
  EXPECT_EQ(c.UIConvertMode, 0);
  EXPECT_EQ(c.DBConvertMode, 0);
  EXPECT_FALSE(c.SupportCallBack);
  EXPECT_EQ(Hosts(c), (Lines{"127.0.0.1|211"}));
  EXPECT_EQ(c.WorkDLLPaths, (Lines{c.BasePath + "C_PKG/"}));
  EXPECT_EQ(c.LangType, "ENG");
  EXPECT_EQ(c.ProductVersion, "");
  EXPECT_EQ(c.CreateGifBeforeSendEF, "Y");
  EXPECT_EQ(c.AutoCheckNewMsg + c.CheckInterval + c.PopupMsg + c.LoginCheck, "1110");
  EXPECT_TRUE(c.LoadSettings());
}

TEST_F(SorvendaIniTest, CodePagesAndConversionModes) {
  struct Case {
    const char* system;
    const char* ini;  // "CodePage" section lines
    const char* sys_cp;
    const char* ui_cp;
    int ui_mode, db_mode;
  } cases[] = {
      {"1252", "", "437", "437", 0, 0},
      {"936", "", "936", "936", 0, 0},
      {"950", "", "950", "950", 2, 2},
      {"936", "UICodePage=950\nDBCodePage=936\n", "936", "950", 2, 2},
      {"950", "UICodePage=936\nDBCodePage=950\n", "950", "936", 4, 1},
      {"936", "DBCodePage=950\n", "936", "936", 0, 1},
      {"950", "DBCodePage=950\n", "950", "950", 2, 0},
      {"437", "UICodePage=437\nDBCodePage=950\n", "437", "437", 0, 0},
  };
  Machine();
  for (const Case& c : cases) {
    CodePage(c.system);
    std::string ini = "[CodePage]\n" + std::string(c.ini);
    Client(ini);
    Server(ini);
    TSorvendaIniC client;
    TSorvendaIniS server;
    for (const TSorvendaIniBase* r : {static_cast<const TSorvendaIniBase*>(&client),
                                      static_cast<const TSorvendaIniBase*>(&server)}) {
      SCOPED_TRACE(std::string(c.system) + " " + c.ini);
      EXPECT_EQ(r->SysCodePage, c.sys_cp);
      EXPECT_EQ(r->UICodePage, c.ui_cp);
      EXPECT_EQ(r->UIConvertMode, c.ui_mode);
      EXPECT_EQ(r->DBConvertMode, c.db_mode);
    }
  }
}

TEST_F(SorvendaIniTest, HostList) {
  struct Case {
    const char* line;  // "" for no ComputerName line
    Lines hosts;
    const char* error;
  } cases[] = {
      {"ComputerName=10.0.0.1;10.0.0.2;", {"10.0.0.1|3000", "10.0.0.2|3000"}, ""},
      {"", {"127.0.0.1|3000"}, ""},
      {"ComputerName=  a; b ;  ", {"a|3000", " b |3000"}, ""},  // not trimmed one by one
      {"ComputerName=a;;b", {"a|3000", "|3000", "b|3000"}, ""},
      {"ComputerName=a;;", {"a|3000"}, ""},
      {"ComputerName=", {}, "E;000016"},
      {"ComputerName= ; ", {}, "E;000016"},
  };
  Machine();
  for (const Case& c : cases) {
    Client("[Server Information]\nServerPort=3000\n" + std::string(c.line) +
           "\n[WorkDLLPath]\nA=Sub\n");
    TSorvendaIniC reader;
    SCOPED_TRACE(c.line);
    EXPECT_EQ(Hosts(reader), c.hosts);
    EXPECT_EQ(reader.ErrorCode, c.error);
    EXPECT_EQ(reader.LoadSettings(), c.error[0] == '\0');
    // Without a host the library folders stay the raw lines.
    EXPECT_EQ(reader.WorkDLLPaths, c.error[0] ? Lines{"A=Sub"} : Lines{reader.BasePath + "Sub/"});
  }
}

TEST_F(SorvendaIniTest, ExpandWorkPathInBothStyles) {
  struct Case {
    const char* path;
    const char* base;
    const char* expanded;
  } cases[] = {
      {"D:\\Lib\\", "C:\\App\\", "D:\\Lib\\"},
      {"\\Pkg\\", "C:\\App\\", "C:\\App\\Pkg\\"},
      {"Sub\\", "C:\\App\\", "C:\\App\\Sub\\"},
      {"\\\\srv\\share\\", "C:\\App\\", "\\\\srv\\share\\"},
      {"D:/Lib/", "/opt/app/", "D:/Lib/"},
      {"/Pkg/", "/opt/app/", "/opt/app/Pkg/"},
      {"Sub/", "/opt/app/", "/opt/app/Sub/"},
      {"//srv/share/", "/opt/app/", "//srv/share/"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ExpandWorkPath(c.path, c.base), c.expanded) << c.path;
}

TEST_F(SorvendaIniTest, WorkLibraryFoldersWrittenWindowsStyle) {
  Machine();
  Client("[WorkDLLPath]\nLib=D:\\Lib\nPkg=\\Pkg\nSub=Sub\\\nShare=\\\\srv\\share\\lib\n");
  TSorvendaIniC c;
  const std::string base = Install() + "/";
  EXPECT_EQ(c.WorkDLLPaths, (Lines{"D:/Lib/", base + "Pkg/", base + "Sub/", "//srv/share/lib/"}));
  Server("[WorkDLLPath]\nx=/Pkg\n");
  TSorvendaIniS s;
  EXPECT_EQ(s.BasePath, base);  // a stored trailing separator is not doubled
  Lines paths{"left over"};
  s.GetWorkDLLPaths(paths);
  EXPECT_EQ(paths, (Lines{base + "Pkg/"}));
  Server("");
  TSorvendaIniS empty;
  empty.GetWorkDLLPaths(paths);
  EXPECT_EQ(paths, (Lines{base + "S_PKG/"}));
}

TEST_F(SorvendaIniTest, PerUserProfileFolder) {
  Machine("1");
  const std::string user = GetProcessUserName();
  ASSERT_FALSE(user.empty());
  Client("[Client Components]\nLangType=CHS\n");
  TSorvendaIniC shared;  // no file in the user's folder: the shared file
  EXPECT_EQ(shared.ProfileType, "1");
  EXPECT_EQ(shared.UserName, user);
  EXPECT_EQ(shared.ProfilePath, Install() + "/");
  EXPECT_EQ(shared.LangType, "CHS");
  tmp_.Write("inst/Profile/" + user + "/SorvendaC.ini", "[Client Components]\nLangType=CHT\n");
  TSorvendaIniC own;
  EXPECT_EQ(own.ProfilePath, Install() + "/Profile/" + user + "/");
  EXPECT_EQ(own.IniFileName, own.ProfilePath + "SorvendaC.ini");
  EXPECT_EQ(own.LangType, "CHT");
}

TEST_F(SorvendaIniTest, RegistryFailures) {
  registry_.emplace("VX_REGISTRY_FILE", tmp_.Path("none.reg"));
  CodePage("950");
  TSorvendaIniC c;
  EXPECT_EQ(c.ErrorCode, "E;000015");
  EXPECT_EQ(c.BasePath, "");
  EXPECT_EQ(c.UICodePage, "950");
  EXPECT_EQ(c.UIConvertMode, 2);
  EXPECT_TRUE(c.ServerHosts.IsEmpty());
  EXPECT_FALSE(c.LoadSettings());
  TSorvendaIniS s;
  EXPECT_EQ(s.ErrorCode, "E;000015");
  EXPECT_TRUE(s.DBSettings.IsEmpty());

  Registry("\"ClientPath\"=\"\"\r\n\"ProfileType\"=\"1\"\r\n");
  TSorvendaIniC no_path;
  EXPECT_EQ(no_path.ErrorCode, "");
  EXPECT_EQ(no_path.BasePath, "");
  EXPECT_EQ(no_path.ProfileType, "1");
  EXPECT_FALSE(no_path.LoadSettings());
}

TEST_F(SorvendaIniTest, SupportCallBackFlag) {
  struct Case {
    const char* value;
    bool on;
  } cases[] = {{"yes", true}, {"True", true}, {"y", true}, {"1", true},
               {"2", false},  {"no", false},  {"", false}, {"on", false}};
  Machine();
  for (const Case& c : cases) {
    Client(std::string("[Server Information]\nSupportCallBack=") + c.value + "\n");
    Server(std::string("[DBPasswordCtrl]\nSupportCallBack=") + c.value + "\n");
    EXPECT_EQ(TSorvendaIniC().SupportCallBack, c.on) << c.value;
    EXPECT_EQ(TSorvendaIniS().SupportCallBack, c.on) << c.value;
  }
}

TEST_F(SorvendaIniTest, ClientKeptValues) {
  Machine();
  Client(
      "[ProductVersion]\nVersion=7.2\n[UserDefine]\nCreateGifBeforeSendEF=N\n"
      "[TaskMessageCenter Setting]\nAutoCheckNewMsg=0\nCheckInterval=5\nPopupMsg=0\n"
      "LoginCheck=1\n");
  TSorvendaIniC c;
  EXPECT_EQ(c.ProductVersion, "7.2");
  EXPECT_EQ(c.CreateGifBeforeSendEF, "N");
  EXPECT_EQ(c.AutoCheckNewMsg + c.CheckInterval + c.PopupMsg + c.LoginCheck, "0501");

  ScopedEdition earlier(TModuleEdition::Earlier);
  TSorvendaIniC old;
  EXPECT_EQ(old.ProductVersion, "7.2");
  EXPECT_EQ(old.AutoCheckNewMsg + old.CheckInterval + old.PopupMsg + old.LoginCheck, "");
}

TEST_F(SorvendaIniTest, ServerDatabaseSettingsDefaults) {
  Machine();
  TSorvendaIniS s;
  EXPECT_EQ(s.ErrorCode, "");
  ASSERT_EQ(s.DBSettings.DimCount(), 2);
  EXPECT_EQ(s.DBSettings.HighBound(1), 3);
  EXPECT_EQ(s.DBSettings.HighBound(2), 7);
  const Variant& d = s.DBSettings;
  Lines expected_text[] = {
      {"Corvan", "sa", "", "MSSQL", "", ""},
      {"CorvanTemp", "sa", "", "PARADOX", "", "PostgreSQL"},
  };
  for (int row = 0; row < 2; ++row)
    for (int col = 0; col < 6; ++col)
      EXPECT_EQ(d.At({row, col}).ToText(), expected_text[row][col]);
  for (int row = 0; row < 2; ++row) {
    EXPECT_EQ(d.At({row, 6}), Variant(300));
    EXPECT_EQ(d.At({row, 7}), Variant(3000));
  }
  EXPECT_EQ(d.At({2, 0}), Variant(std::string()));
  EXPECT_EQ(d.At({2, 1}), Variant(211));
  EXPECT_EQ(d.At({2, 2}), Variant(1024));
  EXPECT_EQ(d.At({2, 3}).ToText(), "Chinese_Taiwan_Stroke_BIN");
  EXPECT_EQ(d.At({3, 0}).ToText(), "EDIDATA");
  EXPECT_EQ(d.At({3, 1}).ToText(), "sa");
  EXPECT_EQ(d.At({3, 2}).ToText(), "");
  for (int col = 4; col <= 7; ++col)
    EXPECT_TRUE(d.At({2, col}).IsEmpty()) << col;
  for (int col = 3; col <= 7; ++col)
    EXPECT_TRUE(d.At({3, col}).IsEmpty()) << col;
  EXPECT_EQ(s.DBKind, 0);
  EXPECT_EQ(s.SystemControlAddress, "");
  EXPECT_EQ(s.WorkDLLPaths, (Lines{Install() + "/S_PKG/"}));
}

TEST_F(SorvendaIniTest, ServerDatabaseSettingsFromTheFile) {
  Machine();
  Server("[DBE Setting]\nMainAlias=Books\nMainUserName=stock\nXXXXXX=" + EncodePassword("秘密pw") +
         "\nMainDBType=oracle\nMainDBName=erp\n" +
         "MainServerName=db1\nSystemControlAddress=  \nOtherSystemControlAddress=ctl2\n" +
         "MainConnectionTimeOut=x\nMainCommandTimeOut=60\nTempPassword=" + EncodePassword("") +
         "\nEctPassword=6b34\nDataBaseCodeOrder=Chinese_PRC_BIN\n"
         "[DBPasswordCtrl]\nComputerName= host9 \nServerPort=999\nClientSocketPort=abc\n");
  TSorvendaIniS s;
  const Variant& d = s.DBSettings;
  EXPECT_EQ(d.At({0, 0}).ToText(), "Books");
  EXPECT_EQ(d.At({0, 1}).ToText(), "stock");
  EXPECT_EQ(d.At({0, 2}).ToText(), "秘密pw");
  EXPECT_EQ(d.At({0, 3}).ToText(), "oracle");
  EXPECT_EQ(d.At({0, 5}).ToText(), "db1");
  EXPECT_EQ(d.At({0, 6}), Variant(300));  // not a number: the default
  EXPECT_EQ(d.At({0, 7}), Variant(60));
  EXPECT_EQ(d.At({1, 2}).ToText(), "");      // the empty-password marker
  EXPECT_EQ(d.At({3, 2}).ToText(), "6b34");  // taken as stored
  EXPECT_EQ(d.At({2, 0}).ToText(), "host9");
  EXPECT_EQ(d.At({2, 1}), Variant(999));
  EXPECT_EQ(d.At({2, 2}), Variant(1024));
  EXPECT_EQ(d.At({2, 3}).ToText(), "Chinese_PRC_BIN");
  EXPECT_EQ(s.DBKind, 1);
  EXPECT_EQ(s.SystemControlAddress, "db1");  // blank: the main server name
  EXPECT_EQ(s.OtherSystemControlAddress, "ctl2");
  {
    ScopedEdition earlier(TModuleEdition::Earlier);
    TSorvendaIniS old;
    EXPECT_EQ(old.DBSettings.At({0, 5}).ToText(), "db1");
    EXPECT_EQ(old.SystemControlAddress + old.OtherSystemControlAddress, "");
  }

  struct Kind {
    const char* type;
    int kind;
  } kinds[] = {{"ORACLE", 1}, {"Db2", 2}, {"MSSQL", 0}, {"DB2 ", 2}, {"", 0}};
  for (const Kind& k : kinds) {
    Server(std::string("[DBE Setting]\nMainDBType=") + k.type + "\n");
    EXPECT_EQ(TSorvendaIniS().DBKind, k.kind) << k.type;
  }
}

TEST_F(SorvendaIniTest, CorruptPasswordGivesTheMarker) {
  Machine();
  Server("[DBE Setting]\nXXXXXX=not-hex\nTempPassword=" + EncodePassword("temp") + "\n");
  TSorvendaIniS s;
  EXPECT_EQ(s.DBSettings.At({0, 2}).ToText(), kPasswordErrorMarker);
  EXPECT_EQ(s.DBSettings.At({1, 2}).ToText(), "temp");
  EXPECT_NE(tmp_.Read("inst/Log/Alert_PlexoGenerator_" + FormatDateTime("yyyymmdd", Now()) + ".log")
                .find("解析 Sa 时发生错误!"),
            std::string::npos);
}

TEST_F(SorvendaIniTest, BinaryGarbageInTheIniFile) {
  Machine();
  std::string garbage;
  for (int i = 0; i < 2048; ++i)
    garbage += static_cast<char>((i * 131 + 7) % 256);
  Client("[Server Information]\nServerPort=4000\n" + garbage + "\n");
  Server(garbage);
  TSorvendaIniC c;
  TSorvendaIniS s;
  EXPECT_EQ(c.ErrorCode, "");
  EXPECT_FALSE(Hosts(c).empty());
  EXPECT_EQ(s.DBSettings.At({0, 0}).ToText(), "Corvan");
  EXPECT_NE(tmp_.Read("inst/Log/Alert_os_" + FormatDateTime("yyyymmdd", Now()) + ".log")
                .find("malformed line(s) skipped"),
            std::string::npos);
}

}  // namespace
}  // namespace vx
