#pragma once
// Collects what the operating-system layer reports, for the duration of a test.
#include <string>
#include <string_view>
#include <vector>

#include "platform/os/alert_sink.h"

namespace vx::test {

class AlertCapture {
 public:
  AlertCapture() {
    Lines().clear();
    SetOsAlertSink([](std::string_view text) { Lines().emplace_back(text); });
  }
  ~AlertCapture() { SetOsAlertSink(nullptr); }
  static std::vector<std::string>& Lines() {
    static std::vector<std::string> lines;
    return lines;
  }
  bool Contains(std::string_view part) const {
    for (const std::string& l : Lines())
      if (l.find(part) != std::string::npos) return true;
    return false;
  }
};

}  // namespace vx::test
