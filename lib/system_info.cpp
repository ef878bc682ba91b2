#include "lib/system_info.h"

#include "platform/os/system.h"

namespace vx {

std::string GetLongTempPath() {
  return GetLongTempFolder();
}

bool IsLocalHost(std::string_view host) {
  return host == "127.0.0.1";
}

}  // namespace vx
