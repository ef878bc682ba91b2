#pragma once
// Calling a web service through the web-service library "CallWebService.dll"
// (export "CallWebServiceFx"), which leaves the service's answer in a file.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/exception.h"

namespace vx {

// The message of the tracing pause.
inline constexpr const char* kWebServiceTraceMessage =
    "跟踪测试中断!可在此时设置Dll之Modules。点\"OK\"继续。";

// The tracing pause: when the last argument of the host's command line is
// "T" (any case), CallWebService calls this hook with kWebServiceTraceMessage
// after loading the library and before calling it, so that a developer can
// attach to the library. The pause the application starts with shows the
// message in the standard message dialog ("OK") and waits for
// the user; a host may install another. An empty function removes the pause.
using WebServiceTracePause = std::function<void(const std::string& message)>;
void SetWebServiceTracePause(WebServiceTracePause pause);

// True when the pause applies to these command-line arguments (without the
// program name): the last one, upper-cased, is "T".
bool IsWebServiceTraceRequested(const std::vector<std::string>& arguments);

// Calls the service at address with the method name (such as
// "PORTAL.getAllUser") and the request text, and returns the answer: the
// lines of the answer file, each ended with CR LF. The answer file,
// GetLongTempPath() + "~Taviro_" + the time as YYYYMMDDHHNNSSZZZ + ".tmp", is
// created empty and exclusively before the call (a name taken, or a link at
// it, gives way to the next millisecond's) and deleted afterwards. A missing
// library or entry point gives an empty answer and creates no file; an answer
// file that cannot be created or read raises EFOpenError. The library stays
// loaded once loaded.
std::string CallWebService(const std::string& address, const std::string& method,
                           const std::string& request);

}  // namespace vx
