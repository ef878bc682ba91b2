#include "suite/callwebservice/call_web_service.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/xml/xml_document.h"
#include "tests/support/loopback_http_server.h"

namespace vx {
namespace {

using testing::LoopbackHttpServer;

class CallWebServiceFxTest : public ::testing::Test {
 protected:
  void SetUp() override { ::setenv("VX_WEBSERVICE_TIMEOUT_MS", "400", 1); }
  void TearDown() override {
    std::filesystem::remove(answer_);
    ::unsetenv("VX_WEBSERVICE_TIMEOUT_MS");
  }
  std::string ReadAnswer() {
    std::ifstream in(answer_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // The error document as the portal caller reads it: code and description.
  std::pair<std::string, std::string> Status() {
    XmlDocument doc;
    EXPECT_TRUE(doc.LoadXml(ReadAnswer())) << ReadAnswer();
    return {doc.SelectSingleNode("//Status[@code]").GetAttribute("code"),
            doc.SelectSingleNode("//Status[@Description]").GetAttribute("Description")};
  }
  std::string answer_ =
      (std::filesystem::temp_directory_path() / ("vx_cws_" + std::to_string(::getpid()) + ".tmp"))
          .string();
};

TEST_F(CallWebServiceFxTest, PostsTheRequestAndWritesTheAnswerBody) {
  const std::string body =
      "<?xml version=\"1.0\"?>\r\n<Response><Status code=\"0\"/>"
      "<Record><Field name=\"Name\" value=\"王仓管\"/></Record></Response>\r\n";
  LoopbackHttpServer server(200, body);
  const std::string request =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Request>   <Access/> "
      "<Locale language=\"zh_CN\"/></Request>";
  EXPECT_EQ(
      CallWebServiceFx(server.Url().c_str(), "PORTAL.getAllUser", request.c_str(), answer_.c_str()),
      CALLWEBSERVICE_OK);
  EXPECT_EQ(ReadAnswer(), body);
  auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].head.rfind("POST /ws HTTP/1.1\r\n", 0), 0u) << requests[0].head;
  EXPECT_NE(requests[0].head.find("SOAPAction: \"PORTAL.getAllUser\""), std::string::npos);
  EXPECT_NE(requests[0].head.find("Content-Type: text/xml; charset=utf-8"), std::string::npos);
  EXPECT_EQ(requests[0].body, request);
}

TEST_F(CallWebServiceFxTest, AnErrorStatusBecomesAnErrorDocument) {
  LoopbackHttpServer server(500, "Internal failure <db>\x01\r\n\"quoted\" & more");
  EXPECT_EQ(
      CallWebServiceFx(server.Url().c_str(), "PORTAL.getAllUser", "<Request/>", answer_.c_str()),
      CALLWEBSERVICE_ERROR_DOCUMENT);
  auto [code, description] = Status();
  EXPECT_EQ(code, "500");
  EXPECT_NE(description.find("HTTP status 500"), std::string::npos) << description;
  EXPECT_NE(description.find("Internal failure <db>"), std::string::npos) << description;
}

TEST_F(CallWebServiceFxTest, AServerThatNeverAnswersTimesOut) {
  LoopbackHttpServer server(200, "", LoopbackHttpServer::Mode::Silent);
  EXPECT_EQ(
      CallWebServiceFx(server.Url().c_str(), "PORTAL.getAllUser", "<Request/>", answer_.c_str()),
      CALLWEBSERVICE_ERROR_DOCUMENT);
  auto [code, description] = Status();
  EXPECT_EQ(code, "-28");
  EXPECT_NE(description.find("within 400 ms"), std::string::npos) << description;
  EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(CallWebServiceFxTest, NoServerOrNoAddressBecomesAnErrorDocument) {
  std::string url;
  {
    LoopbackHttpServer closed(200, "");
    url = closed.Url();
  }
  EXPECT_EQ(CallWebServiceFx(url.c_str(), "M", "<Request/>", answer_.c_str()),
            CALLWEBSERVICE_ERROR_DOCUMENT);
  EXPECT_EQ(Status().first, "-7");
  EXPECT_EQ(CallWebServiceFx("", "M", "<Request/>", answer_.c_str()),
            CALLWEBSERVICE_ERROR_DOCUMENT);
  EXPECT_EQ(Status().first, "-3");
}

TEST_F(CallWebServiceFxTest, WithoutAnAnswerFileNothingIsWritten) {
  EXPECT_EQ(CallWebServiceFx("http://127.0.0.1:9/", "M", "<R/>", nullptr),
            CALLWEBSERVICE_NO_ANSWER_FILE);
  EXPECT_EQ(CallWebServiceFx(nullptr, "M", "<R/>", answer_.c_str()), CALLWEBSERVICE_NO_ANSWER_FILE);
  EXPECT_FALSE(std::filesystem::exists(answer_));
  EXPECT_EQ(CallWebServiceFx("", "M", "<R/>", "/nonexistent-folder/answer.tmp"),
            CALLWEBSERVICE_NO_ANSWER_FILE);
}

}  // namespace
}  // namespace vx
