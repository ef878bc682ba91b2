#include "platform/os/alert_sink.h"

#include <atomic>
#include <cstdio>

namespace vx {

namespace {
std::atomic<OsAlertSink> g_sink{nullptr};
}

void SetOsAlertSink(OsAlertSink sink) {
  g_sink.store(sink);
}

void ReportOsAlert(std::string_view text) {
  if (OsAlertSink sink = g_sink.load()) {
    sink(text);
    return;
  }
  std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

}  // namespace vx
