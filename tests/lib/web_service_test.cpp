#include "lib/web_service.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "lib/xml_helpers.h"
#include "platform/rtl/datetime.h"
#include "tests/support/loopback_http_server.h"
#include "tests/support/temp_folder.h"

namespace vx {
namespace {

using LoopbackHttpServer = vx::testing::LoopbackHttpServer;

class WebServiceTest : public ::testing::Test {
 protected:
  bool TempFolderIsEmpty() { return std::filesystem::is_empty(tmp_.Path()); }
  test::TempFolder tmp_;
  test::ScopedEnv tmpdir_{"TMPDIR", tmp_.Path()};
  test::ScopedEnv timeout_{"VX_WEBSERVICE_TIMEOUT_MS", "300"};
};

TEST_F(WebServiceTest, ReturnsTheAnswerLinesEndedWithCrLfAndDeletesTheFile) {
  LoopbackHttpServer server(200, "<Response>\n<Status code=\"0\"/>\r\n<Record/>\r</Response>");
  std::string answer = CallWebService(server.Url(), "PORTAL.getAllUser", "<Request/>");
  EXPECT_EQ(answer, "<Response>\r\n<Status code=\"0\"/>\r\n<Record/>\r\n</Response>\r\n");
  EXPECT_TRUE(TempFolderIsEmpty());
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].body, "<Request/>");
}

TEST_F(WebServiceTest, AnEmptyAnswerIsAnEmptyText) {
  LoopbackHttpServer server(200, "");
  EXPECT_EQ(CallWebService(server.Url(), "M", "<Request/>"), "");
  EXPECT_TRUE(TempFolderIsEmpty());
}

TEST_F(WebServiceTest, TimeOutsAndErrorStatusesComeBackAsAStatusTheCallerReads) {
  struct Case {
    int status;
    LoopbackHttpServer::Mode mode;
    const char* code;
  } cases[] = {
      {500, LoopbackHttpServer::Mode::Answer, "500"},
      {404, LoopbackHttpServer::Mode::Answer, "404"},
      {200, LoopbackHttpServer::Mode::Silent, "-28"},
  };
  for (const auto& c : cases) {
    LoopbackHttpServer server(c.status, "failure", c.mode);
    std::string answer = CallWebService(server.Url(), "PORTAL.getAllUser", "<Request/>");
    XmlDocument doc = LoadXMLNormalized(answer);
    EXPECT_EQ(GetXMLAttribute(doc.SelectSingleNode("//Status[@code]"), "code"), c.code) << answer;
    EXPECT_FALSE(
        GetXMLAttribute(doc.SelectSingleNode("//Status[@Description]"), "Description").empty());
    EXPECT_TRUE(TempFolderIsEmpty());
  }
}

// The shared temporary folder is open to everyone: links planted at the
// names of the next few seconds are neither followed nor replaced, and the
// call still gets its answer under a name of the same pattern.
TEST_F(WebServiceTest, TheAnswerFileIsCreatedExclusivelyWithoutFollowingLinks) {
  namespace fs = std::filesystem;
  const std::string victim = tmp_.Write("keep/victim.txt", "keep me");
  std::vector<std::string> planted;
  const TDateTime now = Now();
  for (int ms = -20; ms < 3000; ++ms) {
    std::string name = "~Taviro_" +
                       FormatDateTime("yyyymmddhhnnsszzz", TDateTime(now.Value + ms / 86400000.0)) +
                       ".tmp";
    std::error_code ec;
    fs::create_symlink(victim, tmp_.Path(name), ec);
    if (!ec) planted.push_back(name);
  }
  LoopbackHttpServer server(200, "<Response/>");
  EXPECT_EQ(CallWebService(server.Url(), "M", "<Request/>"), "<Response/>\r\n");
  EXPECT_EQ(tmp_.Read("keep/victim.txt"), "keep me");
  std::size_t left = 0;
  for (const auto& e : fs::directory_iterator(tmp_.Path())) {
    if (e.path().filename() == "keep") continue;
    EXPECT_TRUE(fs::is_symlink(e.symlink_status())) << e.path();
    ++left;
  }
  EXPECT_EQ(left, planted.size());
}

TEST_F(WebServiceTest, AnAnswerFileTheLibraryCouldNotWriteRaises) {
  // Nothing can create files in /proc, whatever the user's rights.
  test::ScopedEnv proc("TMPDIR", "/proc/self");
  EXPECT_THROW(CallWebService("http://127.0.0.1:9/", "M", "<Request/>"), EFOpenError);
}

// Runs the probe program (from folder when given, with the library copied
// beside it) and returns what it printed.
std::string RunProbe(const std::vector<std::string>& args, const std::string& folder = {}) {
  std::string program = VX_WEB_SERVICE_PROBE;
  if (!folder.empty()) {
    namespace fs = std::filesystem;
    fs::copy_file(program, folder + "/web_service_probe", fs::copy_options::overwrite_existing);
    fs::copy_file(VX_WEB_SERVICE_LIBRARY, folder + "/CallWebService.so",
                  fs::copy_options::overwrite_existing);
    program = folder + "/web_service_probe";
  }
  std::string command = "'" + program + "'";
  for (const auto& a : args)
    command += " '" + a + "'";
  std::string out;
  if (std::FILE* p = ::popen(command.c_str(), "r")) {
    char buf[512];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
      out.append(buf, n);
    ::pclose(p);
  }
  return out;
}

TEST_F(WebServiceTest, WithoutTheLibraryTheAnswerIsEmptyAndNoFileIsMade) {
  LoopbackHttpServer server(200, "<Response/>");
  EXPECT_EQ(RunProbe({server.Url(), "M", "<Request/>"}), "ANSWER:");
  EXPECT_TRUE(server.Requests().empty());
  EXPECT_TRUE(TempFolderIsEmpty());
}

TEST_F(WebServiceTest, ALastArgumentTPausesThroughTheHook) {
  LoopbackHttpServer server(200, "<Response/>");
  test::TempFolder bin;
  EXPECT_EQ(RunProbe({server.Url(), "M", "<Request/>", "t"}, bin.Path()),
            std::string("PAUSE:") + kWebServiceTraceMessage + "\nANSWER:<Response/>\r\n");
  EXPECT_EQ(RunProbe({server.Url(), "M", "<Request/>", "T", "x"}, bin.Path()),
            "ANSWER:<Response/>\r\n");
  EXPECT_EQ(server.Requests().size(), 2u);
  // Without a host's own hook the application shows the message in its
  // message dialog and the call waits for "OK".
  test::ScopedEnv dialogs("VX_PROBE_DIALOGS", "1");
  EXPECT_EQ(RunProbe({server.Url(), "M", "<Request/>", "T"}, bin.Path()),
            std::string("DIALOG:") + kWebServiceTraceMessage + ": OK\nANSWER:<Response/>\r\n");
}

TEST(WebServiceTrace, PausesOnlyForALastArgumentT) {
  using Args = std::vector<std::string>;
  EXPECT_TRUE(IsWebServiceTraceRequested(Args{"T"}));
  EXPECT_TRUE(IsWebServiceTraceRequested(Args{"-x", "t"}));
  EXPECT_FALSE(IsWebServiceTraceRequested(Args{"T", "x"}));
  EXPECT_FALSE(IsWebServiceTraceRequested(Args{"TT"}));
  EXPECT_FALSE(IsWebServiceTraceRequested(Args{}));
}

}  // namespace
}  // namespace vx
