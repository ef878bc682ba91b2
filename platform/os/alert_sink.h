#pragma once
// Problems the operating-system layer meets in configuration files (a
// malformed registry line, garbage in an INI file) are written to the alert
// log. The writer lives above this layer, so it installs itself here; until it
// does, the reports go to standard error.
#include <string_view>

namespace vx {

using OsAlertSink = void (*)(std::string_view text);

// Installs the writer; nullptr restores the standard-error fallback.
void SetOsAlertSink(OsAlertSink sink);
// Reports one problem; never raises.
void ReportOsAlert(std::string_view text);

}  // namespace vx
