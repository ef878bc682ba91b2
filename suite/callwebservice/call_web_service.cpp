#include "suite/callwebservice/call_web_service.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include "platform/rtl/text.h"
#include "platform/xml/xml_document.h"

namespace {

constexpr std::size_t kMaxAnswer = 64u << 20;
constexpr long kDefaultTimeoutMs = 60000;
constexpr long kMaxConnectTimeoutMs = 10000;

long TimeoutMs() {
  const char* v = std::getenv("VX_WEBSERVICE_TIMEOUT_MS");
  if (v == nullptr) return kDefaultTimeoutMs;
  auto n = vx::TryStrToInt64(v);
  return n && *n > 0 ? static_cast<long>(*n) : kDefaultTimeoutMs;
}

// The error document in the shape of the portal answers.
std::string ErrorDocument(const std::string& code, const std::string& description) {
  // Control characters other than tab and line ends cannot appear in XML.
  std::string clean;
  for (char c : description)
    if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\r' || c == '\n') clean += c;
  vx::XmlDocument doc;
  vx::XmlNode root = doc.AppendChild(doc.CreateElement("Response"));
  vx::XmlNode status = root.AppendChild(doc.CreateElement("Status"));
  status.SetAttribute("code", code);
  status.SetAttribute("Description", clean);
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + root.Xml();
}

bool WriteFile(const char* name, const std::string& bytes) {
  std::FILE* f = std::fopen(name, "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

struct Body {
  std::string text;
  bool too_large = false;
};

size_t Collect(char* data, size_t size, size_t count, void* user) {
  auto* body = static_cast<Body*>(user);
  size_t n = size * count;
  if (body->text.size() + n > kMaxAnswer) {
    body->too_large = true;
    return 0;  // aborts the transfer
  }
  body->text.append(data, n);
  return n;
}

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Performs the call; returns the answer body or the error document.
int Call(const char* address, const char* method, const char* request, std::string& answer) {
  GlobalInit();
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
  if (!curl) {
    answer = ErrorDocument("-2", "The web-service call could not be prepared");
    return CALLWEBSERVICE_ERROR_DOCUMENT;
  }
  if (vx::Trim(address).empty()) {
    answer = ErrorDocument("-3", "No web-service address was given");
    return CALLWEBSERVICE_ERROR_DOCUMENT;
  }
  long timeout = TimeoutMs();
  std::string action = "SOAPAction: \"" + std::string(method) + "\"";
  curl_slist* headers = nullptr;
  headers = curl_slist_append(headers, "Content-Type: text/xml; charset=utf-8");
  headers = curl_slist_append(headers, action.c_str());
  headers = curl_slist_append(headers, "Expect:");  // no 100-continue round trip
  std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> header_list(headers,
                                                                          curl_slist_free_all);
  Body body;
  char error[CURL_ERROR_SIZE] = {0};
  CURL* c = curl.get();
  curl_easy_setopt(c, CURLOPT_URL, address);
  curl_easy_setopt(c, CURLOPT_POST, 1L);
  curl_easy_setopt(c, CURLOPT_POSTFIELDS, request);
  curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(std::strlen(request)));
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &body);
  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, timeout);
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, std::min(timeout, kMaxConnectTimeoutMs));
  curl_easy_setopt(c, CURLOPT_NOPROXY, "localhost,127.0.0.1,::1");
  curl_easy_setopt(c, CURLOPT_DEFAULT_PROTOCOL, "http");

  CURLcode rc = curl_easy_perform(c);
  if (body.too_large) {
    answer = ErrorDocument("-" + std::to_string(static_cast<int>(CURLE_WRITE_ERROR)),
                           "The answer of " + std::string(address) + " is larger than 64 MiB");
    return CALLWEBSERVICE_ERROR_DOCUMENT;
  }
  if (rc != CURLE_OK) {
    std::string what = error[0] ? error : curl_easy_strerror(rc);
    if (rc == CURLE_OPERATION_TIMEDOUT)
      what = "No answer from " + std::string(address) + " within " + std::to_string(timeout) +
             " ms (" + what + ")";
    else
      what = "The call of " + std::string(address) + " failed: " + what;
    answer = ErrorDocument("-" + std::to_string(static_cast<int>(rc)), what);
    return CALLWEBSERVICE_ERROR_DOCUMENT;
  }
  long status = 0;
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
  if (status < 200 || status > 299) {
    std::string excerpt = vx::Trim(body.text.substr(0, 200));
    answer = ErrorDocument(std::to_string(status), "HTTP status " + std::to_string(status) +
                                                       " from " + address +
                                                       (excerpt.empty() ? "" : ": " + excerpt));
    return CALLWEBSERVICE_ERROR_DOCUMENT;
  }
  answer = std::move(body.text);
  return CALLWEBSERVICE_OK;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int CallWebServiceFx(const char* address,
                                                                       const char* method,
                                                                       const char* request,
                                                                       const char* answer_file) {
  if (address == nullptr || method == nullptr || request == nullptr || answer_file == nullptr)
    return CALLWEBSERVICE_NO_ANSWER_FILE;
  std::string answer;
  int rc;
  try {
    rc = Call(address, method, request, answer);
  } catch (...) {
    answer = ErrorDocument("-1", "The web-service call failed unexpectedly");
    rc = CALLWEBSERVICE_ERROR_DOCUMENT;
  }
  return WriteFile(answer_file, answer) ? rc : CALLWEBSERVICE_NO_ANSWER_FILE;
}
