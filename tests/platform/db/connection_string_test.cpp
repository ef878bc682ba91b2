#include "platform/db/connection_string.h"

#include <gtest/gtest.h>

#include <string>

namespace vx::db {
namespace {

TEST(ConnectionString, ReadsEveryEntry) {
  TConnectionSettings s = ParseConnectionString(
      "Provider=SQLite;Data Source=/data/C01.db;Attach VXSYS=/data/VXSYS.db;"
      "Attach ARCH = \"/data/a;b.db\" ; busy timeout=250; READ ONLY=yes;"
      "User ID=sa;Password=\"p;w\"\"d\";Persist Security Info=False;");
  EXPECT_EQ(s.Provider, "SQLite");
  EXPECT_EQ(s.DataSource, "/data/C01.db");
  ASSERT_EQ(s.Attached.size(), 2u);
  EXPECT_EQ(s.Attached[0].Name, "VXSYS");
  EXPECT_EQ(s.Attached[0].FileName, "/data/VXSYS.db");
  EXPECT_EQ(s.Attached[1].Name, "ARCH");
  EXPECT_EQ(s.Attached[1].FileName, "/data/a;b.db");
  EXPECT_EQ(s.BusyTimeoutMs, 250);
  EXPECT_TRUE(s.ReadOnly);
  EXPECT_FALSE(s.Create);
  EXPECT_EQ(s.UserID, "sa");
  EXPECT_EQ(s.Password, "p;w\"d");
}

TEST(ConnectionString, DefaultsAndQuoting) {
  TConnectionSettings s = ParseConnectionString("  data   source = '/x/it''s here.db'  ");
  EXPECT_EQ(s.Provider, "SQLite");
  EXPECT_EQ(s.DataSource, "/x/it's here.db");
  EXPECT_TRUE(s.Attached.empty());
  EXPECT_EQ(s.BusyTimeoutMs, 5000);
  EXPECT_FALSE(s.ReadOnly);
  EXPECT_TRUE(ParseConnectionString("Data Source=a;Create=1;Read Only=No").Create);
}

TEST(ConnectionString, MalformedTextsNameTheirFault) {
  struct Case {
    std::string text;
    std::string fault;
  };
  const Case cases[] = {
      {"", "\"Data Source\" (the database file) is missing"},
      {"Provider=SQLite", "\"Data Source\" (the database file) is missing"},
      {"Provider=SQLOLEDB.1;Data Source=x", "the provider \"SQLOLEDB.1\" is not supported"},
      {"Data Source", "the entry \"Data Source\" has no \"=\" and value"},
      {"Data Source=\"/x.db", "no closing quote"},
      {"Data Source=\"/x\".db", "unexpected text after the quoted value of \"Data Source\""},
      {"=x;Data Source=a", "a value without a name at position 1"},
      {"Data Source=a;data source=b", "\"data source\" is given more than once"},
      {"Data Source=a;Attach VXSYS=b;attach vxsys=c", "\"attach vxsys\" is given more than once"},
      {"Data Source=a;Attach 1X=b", "\"1X\" is not a valid name"},
      {"Data Source=a;Attach A-B=b", "\"A-B\" is not a valid name"},
      {"Data Source=a;Attach main=b", "\"main\" is reserved"},
      {"Data Source=a;Attach VXSYS=", "\"Attach VXSYS\" names no file"},
      {"Data Source=a;Busy Timeout=-5", "milliseconds"},
      {"Data Source=a;Busy Timeout=99999999999", "milliseconds"},
      {"Data Source=a;Busy Timeout=5s", "milliseconds"},
      {"Data Source=a;Read Only=maybe", "\"Read Only\" must be True or False, not \"maybe\""},
      {"Data Source=a;Colour=blue", "unknown entry \"Colour\""},
      {"Data Source=" + std::string(kMaxConnectionStringLength, 'x'), "longer than"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 80));
    try {
      ParseConnectionString(c.text);
      ADD_FAILURE() << "accepted";
    } catch (const EDBConnectionStringError& e) {
      EXPECT_NE(e.Message().find(c.fault), std::string::npos) << e.Message();
      EXPECT_EQ(e.Message().rfind("Invalid connection string: ", 0), 0u);
    }
  }
}

}  // namespace
}  // namespace vx::db
